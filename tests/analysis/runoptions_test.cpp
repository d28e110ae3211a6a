#include "analysistestdata.h"

#include "analysis/backtest.h"
#include "analysis/stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stop_token>
#include <vector>

namespace omvex::analysis {
namespace {

// A stop requested after some draws, or before the first, must leave nothing that could be shown
// as a result, and the run must stop where it was asked to.
TEST(Backtest, cancelledRunKeepsNoPartialResult)
{
    const auto draws = sharedDraws(20);
    struct Row {
        const char *name;
        int stopAfter; // draws done when the stop is requested; 0 = before the run starts
    };
    const Row rows[] = {{"beforeTheFirstDraw", 0}, {"afterThreeDraws", 3}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PredictionTables tables;
        resetTablesForStartUp(tables);
        for (int k = 1; k <= 20; ++k)
            addDraw(tables.history, k, draws[static_cast<std::size_t>(k - 1)]);
        std::stop_source stop;
        if (row.stopAfter == 0)
            stop.request_stop();
        int passes = 0;
        PassRunner runner = [&](PredictionTables &, int, const Settings &, std::uint64_t) {
            ++passes;
            return Line{1, 2, 3, 4, 5, 6};
        };
        ProgressReport progress = [&](int done, int) {
            if (done == row.stopAfter)
                stop.request_stop();
        };
        const BacktestResult result = runBacktest(tables, Settings{}, 1, std::nullopt, progress, stop.get_token(), runner);
        EXPECT_TRUE(result.cancelled);
        EXPECT_TRUE(result.draws.empty());
        EXPECT_EQ(result.tally.lines, 0);
        EXPECT_EQ(passes, 2 * row.stopAfter);
    }
}

// The copy-taking run must give the very numbers of a run over start-up tables, and leave the
// caller's grid whole although the run cuts its own.
TEST(Backtest, runOnACopyMatchesTheTablesRunAndLeavesTheCallerGrid)
{
    const auto draws = sharedDraws(30);
    PredictionTables tables;
    resetTablesForStartUp(tables);
    for (int k = 1; k <= 30; ++k)
        addDraw(tables.history, k, draws[static_cast<std::size_t>(k - 1)]);
    const CellGrid history = tables.history;
    const Settings settings{Level::Standard, Pattern::All, Kako::RandomLowBonus};

    const BacktestResult copied = runBacktest(history, settings, 77, 5);
    const BacktestResult direct = runBacktest(tables, settings, 77, 5);
    EXPECT_FALSE(copied.cancelled);
    ASSERT_EQ(copied.draws.size(), direct.draws.size());
    for (std::size_t i = 0; i < copied.draws.size(); ++i)
        EXPECT_EQ(copied.draws[i].lines, direct.draws[i].lines) << "draw " << copied.draws[i].draw;
    EXPECT_EQ(copied.tally.counts, direct.tally.counts);
    EXPECT_EQ(history.rowCount(), 30);
}

// Shared among workers, the draws must come out exactly as one thread makes them, a stop must still
// leave nothing, and the draws reported done must climb to the total without going back.
TEST(Backtest, workersGiveTheSingleThreadResult)
{
    const auto draws = sharedDraws(40);
    CellGrid history = emptyHistory();
    for (int k = 1; k <= 40; ++k)
        addDraw(history, k, draws[static_cast<std::size_t>(k - 1)]);
    const Settings settings{Level::Ume, Pattern::Sample, Kako::Random};
    const BacktestResult single = runBacktest(history, settings, 7, std::nullopt);
    ASSERT_EQ(single.draws.size(), 39u);
    for (const int workers : {2, 3, 64}) {
        SCOPED_TRACE(workers);
        std::vector<int> reported;
        const BacktestResult shared = runBacktest(
            history, settings, 7, std::nullopt, [&](int done, int total) { reported.push_back(done * 100 + total); },
            {}, workers);
        ASSERT_EQ(shared.draws.size(), single.draws.size());
        for (std::size_t i = 0; i < shared.draws.size(); ++i) {
            EXPECT_EQ(shared.draws[i].draw, single.draws[i].draw);
            EXPECT_EQ(shared.draws[i].lines, single.draws[i].lines) << "draw " << shared.draws[i].draw;
        }
        EXPECT_EQ(shared.tally.counts, single.tally.counts);
        EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
        ASSERT_FALSE(reported.empty());
        EXPECT_EQ(reported.back(), 39 * 100 + 39);

        std::stop_source stop;
        stop.request_stop();
        EXPECT_TRUE(runBacktest(history, settings, 7, std::nullopt, {}, stop.get_token(), workers).cancelled);
    }
}

TEST(HistoryStats, lastNCountsOnlyTheLatestValidDraws)
{
    const auto draws = sharedDraws(12);
    CellGrid history = emptyHistory();
    for (int k = 1; k <= 12; ++k)
        addDraw(history, k, draws[static_cast<std::size_t>(k - 1)]);
    history.setText(1, 11, "x"); // draw 11 is not valid, so the last three valid are 9, 10, 12
    struct Row {
        const char *name;
        std::optional<int> last;
        std::vector<int> counted;
    };
    const Row rows[] = {
        {"lastThree_skipsTheInvalidRow", 3, {9, 10, 12}},
        {"moreThanThereAre_countsAll", 50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}},
        {"all", std::nullopt, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        CellGrid only = emptyHistory();
        for (const int k : row.counted)
            addDraw(only, k, draws[static_cast<std::size_t>(k - 1)]);
        const HistoryStats expected = historyStats(only);
        const HistoryStats stats = historyStats(history, row.last);
        EXPECT_EQ(stats.draws, static_cast<int>(row.counted.size()));
        EXPECT_EQ(stats.skippedRows, 1);
        for (std::size_t i = 0; i < stats.numbers.size(); ++i) {
            EXPECT_EQ(stats.numbers[i].main, expected.numbers[i].main) << "number " << i + 1;
            EXPECT_EQ(stats.numbers[i].bonus, expected.numbers[i].bonus) << "number " << i + 1;
            EXPECT_DOUBLE_EQ(stats.numbers[i].high, expected.numbers[i].high);
        }
    }
}

} // namespace
} // namespace omvex::analysis
