#include "engine/predictpass.h"
#include "history/drawhistory.h"

#include <benchmark/benchmark.h>

#include <set>
#include <stdexcept>
#include <string>

namespace {

void fillHistory(omvex::CellGrid &history)
{
    const auto read = omvex::loadDrawHistory(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"), history);
    if (!read.complete || read.storedRows != 2058)
        throw std::runtime_error("cannot read the benchmark history: " + read.reason);
}

void BM_PredictPass(benchmark::State &state)
{
    omvex::PredictionTables tables;
    omvex::resetTablesForStartUp(tables);
    if (state.range(2) > 0)
        fillHistory(tables.history);
    omvex::Settings settings;
    settings.level = omvex::levelFromDigit(state.range(0));
    settings.pattern = omvex::patternFromDigit(state.range(1));
    settings.kako = omvex::Kako::Random;

    const auto first = omvex::predictPass(tables, 0, settings, 1);
    if (std::set<int>(first.begin(), first.end()).size() != 6) {
        state.SkipWithError("the run did not propose six distinct numbers");
        return;
    }
    std::uint64_t seed = 1;
    for (auto _ : state) {
        auto numbers = omvex::predictPass(tables, 0, settings, ++seed);
        benchmark::DoNotOptimize(numbers);
    }
}

} // namespace

BENCHMARK(BM_PredictPass)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 2058}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
