#include "analysis/backtest.h"
#include "history/drawhistory.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <string>

namespace {

// The whole walk-forward backtest over the shared 2058-draw history, as `--backtest` runs it:
// one load, one set of tables, the history grid cut draw by draw.
void BM_Backtest(benchmark::State &state)
{
    omvex::Settings settings;
    settings.level = omvex::levelFromDigit(state.range(0));
    settings.pattern = omvex::patternFromDigit(state.range(1));
    settings.kako = omvex::kakoFromDigit(state.range(2));
    const QString path = QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt");

    {
        omvex::PredictionTables tables;
        omvex::resetTablesForStartUp(tables);
        const omvex::HistoryReadResult read = omvex::loadDrawHistory(path, tables.history);
        const omvex::analysis::BacktestResult result = omvex::analysis::runBacktest(tables, settings, 1, 50);
        if (!read.complete || read.storedRows != 2058 || result.tally.lines != 100) {
            state.SkipWithError("the backtest did not see the 2058 draws it should");
            return;
        }
    }
    std::uint64_t seed = 1;
    long long lines = 0;
    for (auto _ : state) {
        omvex::PredictionTables tables;
        omvex::resetTablesForStartUp(tables);
        omvex::loadDrawHistory(path, tables.history);
        const omvex::analysis::BacktestResult result = omvex::analysis::runBacktest(tables, settings, ++seed, std::nullopt);
        lines = result.tally.lines;
        benchmark::DoNotOptimize(result.tally.counts.data());
    }
    state.counters["lines"] = static_cast<double>(lines);
}

} // namespace

// Level 3 is the heaviest; Pattern 1 counts every line and Kako 1 draws a weight per history cell,
// so {3, 1, 1} is the slowest case and {3, 0, 0} the stored default at Level 3.
BENCHMARK(BM_Backtest)
    ->Args({3, 0, 0})
    ->Args({3, 1, 1})
    ->Args({0, 0, 0})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
