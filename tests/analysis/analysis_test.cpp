#include "analysistestdata.h"

#include "analysis/backtest.h"
#include "analysis/chance.h"
#include "analysis/stats.h"
#include "engine/predictpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace omvex::analysis {
namespace {

TEST(TierProbability, exactFractionsOfAllLines)
{
    constexpr std::uint64_t kAllLines = 6096454; // C(43, 6)
    struct Row {
        Tier tier;
        std::uint64_t lines;          // C(6,m) x C(1,b) x C(36, 6-m-b), summed over the tier
        double roundedOneIn;          // the odds as usually quoted
        double quotedPrecision;
    };
    const Row rows[] = {
        {Tier::Six, 1, 6096454, 0.5},
        {Tier::FivePlusBonus, 6, 1016076, 0.5},
        {Tier::Five, 216, 28224, 0.5},
        {Tier::Four, 15 * (630 + 36), 610.3, 0.05},
        {Tier::Three, 20 * (7140 + 630), 39.2, 0.05},
        {Tier::Fewer, kAllLines - 1 - 6 - 216 - 9990 - 155400, 1.028, 0.0005},
    };
    std::uint64_t total = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(tierKey(row.tier));
        const Fraction p = tierProbability(row.tier);
        EXPECT_EQ(p.denominator, kAllLines);
        EXPECT_EQ(p.numerator, row.lines);
        EXPECT_NEAR(static_cast<double>(p.denominator) / static_cast<double>(p.numerator), row.roundedOneIn,
                    row.quotedPrecision);
        total += p.numerator;
    }
    EXPECT_EQ(total, kAllLines);
    EXPECT_DOUBLE_EQ(expectedMatchesPerLine(), 36.0 / 43.0);
}

// Every one of the C(43, 6) lines scored against one draw must fall into the tiers exactly as
// the fractions say, and the mean and variance of the matches must be the hypergeometric ones.
TEST(TierProbability, agreesWithScoringEveryPossibleLine)
{
    const Draw draw{1, {4, 9, 17, 23, 35, 41}, 12};
    std::array<std::uint64_t, kTierCount> counts{};
    double sum = 0;
    double sumSquares = 0;
    Line line{};
    for (line[0] = 1; line[0] <= 38; ++line[0])
        for (line[1] = line[0] + 1; line[1] <= 39; ++line[1])
            for (line[2] = line[1] + 1; line[2] <= 40; ++line[2])
                for (line[3] = line[2] + 1; line[3] <= 41; ++line[3])
                    for (line[4] = line[3] + 1; line[4] <= 42; ++line[4])
                        for (line[5] = line[4] + 1; line[5] <= 43; ++line[5]) {
                            const LineScore score = scoreLine(line, draw);
                            ++counts[static_cast<std::size_t>(score.tier)];
                            sum += score.matches;
                            sumSquares += score.matches * score.matches;
                        }
    for (const Tier tier : kTiers)
        EXPECT_EQ(counts[static_cast<std::size_t>(tier)], tierProbability(tier).numerator) << tierKey(tier);
    const double mean = sum / 6096454;
    EXPECT_NEAR(mean, expectedMatchesPerLine(), 1e-12);
    EXPECT_NEAR(sumSquares / 6096454 - mean * mean, matchesVariancePerLine(), 1e-12);
}

TEST(ScoreLine, tiersFollowMainMatchesAndTheBonus)
{
    const Draw draw{7, {3, 11, 17, 25, 36, 42}, 8};
    struct Row {
        const char *name;
        Line line;
        int matches;
        bool bonus;
        Tier tier;
    };
    const Row rows[] = {
        {"allSix", {3, 11, 17, 25, 36, 42}, 6, false, Tier::Six},
        {"allSixInAnotherOrder", {42, 3, 36, 11, 25, 17}, 6, false, Tier::Six},
        {"fivePlusBonus", {3, 11, 17, 25, 36, 8}, 5, true, Tier::FivePlusBonus},
        {"fiveWithoutBonus", {3, 11, 17, 25, 36, 9}, 5, false, Tier::Five},
        {"fourPlusBonus_isStillFour", {3, 11, 17, 25, 8, 9}, 4, true, Tier::Four},
        {"four", {1, 11, 17, 25, 36, 9}, 4, false, Tier::Four},
        {"three", {1, 2, 17, 25, 36, 9}, 3, false, Tier::Three},
        {"twoPlusBonus_isFewer", {1, 2, 8, 25, 36, 9}, 2, true, Tier::Fewer},
        {"none", {1, 2, 4, 5, 6, 7}, 0, false, Tier::Fewer},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const LineScore score = scoreLine(row.line, draw);
        EXPECT_EQ(score.matches, row.matches);
        EXPECT_EQ(score.bonus, row.bonus);
        EXPECT_EQ(score.tier, row.tier);
    }
}

TEST(DrawHistory, heldRowsHoldAnythingUsableRowsAValidDraw)
{
    CellGrid history = emptyHistory();
    addDraw(history, 1, {1, 2, 3, 4, 5, 6, 7});
    addDraw(history, 2, {1, 2, 3, 4, 5, 5, 7});  // repeated main number
    addDraw(history, 3, {1, 2, 3, 4, 5, 6, 6});  // bonus among the main numbers
    addDraw(history, 4, {1, 2, 3, 4, 5, 44, 7}); // out of range
    addDraw(history, 5, {0, 2, 3, 4, 5, 6, 7});
    addDraw(history, 6, {1, 2, 3, 4, 5, 6, 7});
    history.setText(2, 6, "2.5"); // not a whole number
    addDraw(history, 8, {43, 42, 41, 40, 39, 38, 1}); // row 7 left empty by a skipped draw number
    const std::set<int> valid{1, 8};
    const DrawHistory draws = DrawHistory::fromGrid(history);
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(draws.usable(row) != nullptr, valid.count(row) == 1) << "row " << row;
        EXPECT_EQ(draws.isHeld(row), row != 7) << "row " << row;
    }
    EXPECT_EQ(draws.usable(8)->bonus, 1);
    EXPECT_EQ(draws.held().count, 7);
    EXPECT_EQ(draws.latest(), 8);
    EXPECT_EQ(draws.usableCount(), 2);
}

TEST(BinomialInterval, centralNinetyFivePercentOfTheCount)
{
    struct Row {
        const char *name;
        long long trials;
        double p;
        CountInterval expected; // exact quantiles, computed with rational arithmetic
    };
    const Row rows[] = {
        {"fairCoinHundred", 100, 0.5, {40, 60}},
        {"fairCoinTen", 10, 0.5, {2, 8}},
        {"tenthOfThousand", 1000, 0.1, {82, 119}},
        {"threeMatchesOverFullBacktest", 4116, 155400.0 / 6096454, {86, 125}},
        {"fourMatchesOverFullBacktest", 4116, 9990.0 / 6096454, {2, 12}},
        {"fiveMatchesOverTheHistory", 2058, 216.0 / 6096454, {0, 1}},
        {"sixMatches_neverExpected", 4116, 1.0 / 6096454, {0, 0}},
        {"noTrials", 0, 0.3, {0, 0}},
        {"certainty", 7, 1.0, {7, 7}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const CountInterval interval = binomialInterval95(row.trials, row.p);
        EXPECT_EQ(interval.low, row.expected.low);
        EXPECT_EQ(interval.high, row.expected.high);
    }
}

TEST(CompareWithChance, expectedCountsAndVerdict)
{
    TierTally typical;
    typical.lines = 4000;
    typical.counts = {0, 0, 0, 7, 102, 3891};
    typical.matches = 3348; // 4000 x 36/43 is 3348.8
    const ChanceComparison calm = compareWithChance(typical);
    for (const TierComparison &row : calm.tiers) {
        EXPECT_DOUBLE_EQ(row.expected, 4000 * tierProbability(row.tier).value()) << tierKey(row.tier);
        EXPECT_FALSE(row.outside()) << tierKey(row.tier);
    }
    EXPECT_NE(calm.verdict.find("偶然と区別できる差はありません"), std::string::npos) << calm.verdict;

    TierTally lucky = typical;
    lucky.counts = {1, 0, 0, 7, 102, 3890};
    const ChanceComparison odd = compareWithChance(lucky);
    EXPECT_TRUE(odd.tiers[0].outside());
    EXPECT_NE(odd.verdict.find("1等"), std::string::npos) << odd.verdict;
    EXPECT_NE(odd.verdict.find("多く"), std::string::npos) << odd.verdict;

    EXPECT_NE(compareWithChance(TierTally{}).verdict.find("ありません"), std::string::npos);
}

// Draw k must be predicted from draws 1..k-1 only: the runner sees the history grid exactly as the
// prediction run would and checks that nothing of draw k or later is in it.
TEST(Backtest, drawKNeverSeesItselfOrLaterDraws)
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    const auto draws = sharedDraws(30);
    ASSERT_EQ(draws.size(), 30u);
    for (int k = 1; k <= 30; ++k) {
        if (k != 12) // a skipped draw number leaves row 12 empty
            addDraw(tables.history, k, draws[static_cast<std::size_t>(k - 1)]);
    }
    const CellGrid full = tables.history;

    std::map<int, int> callsPerDraw;
    int currentDraw = 0;
    PassRunner runner = [&](PredictionTables &t, int pass, const Settings &, std::uint64_t seed) {
        const CellGrid &seen = t.history;
        currentDraw = seen.rowCount() + 1;
        ++callsPerDraw[currentDraw];
        EXPECT_EQ(seed, backtestSeed(99, currentDraw, pass));
        for (int row = 1; row <= seen.rowCount(); ++row)
            for (int column = 1; column <= 7; ++column)
                EXPECT_EQ(seen.text(column, row), full.text(column, row)) << "row " << row << " changed";
        const auto &target = draws[static_cast<std::size_t>(currentDraw - 1)];
        return Line{target[0], target[1], target[2], target[3], target[4], target[5]};
    };
    const BacktestResult result = runBacktest(tables, Settings{}, 99, std::nullopt, {}, {}, runner);

    std::set<int> expectedDraws;
    for (int k = 2; k <= 30; ++k)
        if (k != 12)
            expectedDraws.insert(k);
    std::set<int> predicted;
    for (const auto &[draw, calls] : callsPerDraw) {
        predicted.insert(draw);
        EXPECT_EQ(calls, 2) << "draw " << draw;
    }
    EXPECT_EQ(predicted, expectedDraws);
    ASSERT_EQ(result.draws.size(), expectedDraws.size());
    // The runner answered each draw with its own numbers, so a line scored against any other draw
    // than its own would show up here.
    EXPECT_EQ(result.tally.counts[static_cast<std::size_t>(Tier::Six)], 2 * 28);
    EXPECT_EQ(result.tally.lines, 2 * 28);
    EXPECT_TRUE(std::is_sorted(result.draws.begin(), result.draws.end(),
                               [](const BacktestDraw &a, const BacktestDraw &b) { return a.draw < b.draw; }));
}

// Cutting one shared grid must give the same proposals as loading each prefix afresh.
TEST(Backtest, sameAsAFreshRunOnEachPrefix)
{
    const auto draws = sharedDraws(40);
    PredictionTables tables;
    resetTablesForStartUp(tables);
    for (int k = 1; k <= 40; ++k)
        addDraw(tables.history, k, draws[static_cast<std::size_t>(k - 1)]);
    const Settings settings{Level::Ume, Pattern::Sample, Kako::Random};
    const BacktestResult result = runBacktest(tables, settings, 2024, 6);
    ASSERT_EQ(result.draws.size(), 6u);
    EXPECT_EQ(result.draws.front().draw, 35);
    for (const BacktestDraw &outcome : result.draws) {
        PredictionTables fresh;
        resetTablesForStartUp(fresh);
        for (int k = 1; k < outcome.draw; ++k)
            addDraw(fresh.history, k, draws[static_cast<std::size_t>(k - 1)]);
        for (int pass = 0; pass < 2; ++pass) {
            const Line line = predictPass(fresh, pass, settings, backtestSeed(2024, outcome.draw, pass));
            EXPECT_EQ(outcome.lines[static_cast<std::size_t>(pass)], line) << "draw " << outcome.draw;
            const auto &target = draws[static_cast<std::size_t>(outcome.draw - 1)];
            const Draw actual{outcome.draw, {target[0], target[1], target[2], target[3], target[4], target[5]}, target[6]};
            EXPECT_EQ(outcome.scores[static_cast<std::size_t>(pass)].matches, scoreLine(line, actual).matches);
        }
    }
}

TEST(Backtest, drawsChosen)
{
    CellGrid history = emptyHistory();
    addDraw(history, 2, {1, 2, 3, 4, 5, 6, 7});
    addDraw(history, 3, {1, 2, 3, 4, 5, 6, 6}); // not a valid draw
    addDraw(history, 4, {1, 2, 3, 4, 5, 6, 7});
    addDraw(history, 5, {1, 2, 3, 4, 5, 6, 7});
    addDraw(history, 6, {1, 2, 3, 4, 5, 6, 7});
    struct Row {
        const char *name;
        std::optional<int> last;
        std::vector<int> draws;
    };
    const Row rows[] = {
        {"all_firstDrawHasNoPast", std::nullopt, {4, 5, 6}},
        {"lastTwo", 2, {5, 6}},
        {"lastMoreThanThereAre", 10, {4, 5, 6}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        int skipped = -1;
        std::vector<int> numbers;
        for (const Draw &draw : backtestDraws(history, row.last, &skipped))
            numbers.push_back(draw.number);
        EXPECT_EQ(numbers, row.draws);
        EXPECT_EQ(skipped, 1);
    }
}

TEST(Backtest, sameSeedRepeatsTheResult)
{
    const auto draws = sharedDraws(25);
    auto run = [&](std::uint64_t seed) {
        PredictionTables tables;
        resetTablesForStartUp(tables);
        for (int k = 1; k <= 25; ++k)
            addDraw(tables.history, k, draws[static_cast<std::size_t>(k - 1)]);
        std::vector<Line> lines;
        for (const BacktestDraw &draw : runBacktest(tables, Settings{}, seed, std::nullopt).draws)
            lines.insert(lines.end(), draw.lines.begin(), draw.lines.end());
        return lines;
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
}

TEST(CheckTicket, countsTiersAndFindsTheBestDraw)
{
    CellGrid history = emptyHistory();
    addDraw(history, 1, {1, 2, 3, 40, 41, 42, 43});   // 3
    addDraw(history, 2, {1, 2, 3, 4, 5, 30, 6});      // 5 + bonus
    addDraw(history, 3, {10, 11, 12, 13, 14, 15, 1}); // fewer (bonus alone counts nothing)
    addDraw(history, 4, {1, 2, 3, 4, 5, 30, 43});     // 5 without the bonus
    addDraw(history, 5, {1, 2, 3, 4, 44, 30, 43});    // not a valid draw
    addDraw(history, 6, {6, 5, 4, 3, 2, 31, 1});      // 5 + bonus again
    const TicketResult result = checkTicket(history, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(result.tally.lines, 5);
    EXPECT_EQ(result.skippedRows, 1);
    const std::array<long long, kTierCount> counts{0, 2, 1, 0, 1, 1};
    EXPECT_EQ(result.tally.counts, counts) << "6, 5+bonus, 5, 4, 3, fewer";
    ASSERT_TRUE(result.best.has_value());
    EXPECT_EQ(result.best->tier, Tier::FivePlusBonus);
    EXPECT_EQ(result.bestDraw, 2);
    EXPECT_EQ(result.bestCount, 2);
    EXPECT_EQ(result.tally.matches, 3 + 5 + 0 + 5 + 5);
}

TEST(HistoryStats, handCheckedCountsAndBands)
{
    CellGrid history = emptyHistory();
    addDraw(history, 1, {1, 2, 3, 4, 5, 6, 7});
    addDraw(history, 2, {1, 2, 3, 10, 11, 12, 43});
    addDraw(history, 3, {1, 20, 21, 22, 23, 24, 7});
    addDraw(history, 5, {1, 1, 1, 1, 1, 1, 1}); // not a valid draw; row 4 empty
    addDraw(history, 6, {43, 1, 30, 31, 32, 33, 2});
    const HistoryStats stats = historyStats(history);
    EXPECT_EQ(stats.draws, 4);
    EXPECT_EQ(stats.skippedRows, 1);
    struct Row {
        int number;
        int main;
        int bonus;
    };
    const Row rows[] = {{1, 4, 0}, {2, 2, 1}, {3, 2, 0}, {7, 0, 2}, {43, 1, 1}, {42, 0, 0}, {30, 1, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.number);
        const NumberStats &entry = stats.numbers[static_cast<std::size_t>(row.number - 1)];
        EXPECT_EQ(entry.number, row.number);
        EXPECT_EQ(entry.main, row.main);
        EXPECT_EQ(entry.bonus, row.bonus);
    }
    int mainTotal = 0;
    int bonusTotal = 0;
    for (const NumberStats &entry : stats.numbers) {
        mainTotal += entry.main;
        bonusTotal += entry.bonus;
    }
    EXPECT_EQ(mainTotal, 24);
    EXPECT_EQ(bonusTotal, 4);

    // 4 draws: expected 24/43 as a main number; the exact 95 % range of Binomial(4, 6/43) is 0..2
    // (P(X <= 2) = 0.991), where a normal curve gave -0.8..1.9 and flagged every number drawn twice.
    const NumberStats &one = stats.numbers[0];
    const double p = 6.0 / 43;
    EXPECT_DOUBLE_EQ(one.expectedMain, 24.0 / 43);
    EXPECT_EQ(one.low, 0);
    EXPECT_EQ(one.high, 2);
    EXPECT_TRUE(one.mainOutside()) << "4 of 4 draws";
    EXPECT_FALSE(stats.numbers[2].mainOutside()) << "2 of 4 draws is within the range";
    EXPECT_FALSE(stats.numbers[41].mainOutside()) << "never";
    EXPECT_NEAR(stats.expectedMainOutside, 43 * (4 * p * p * p * (1 - p) + p * p * p * p), 1e-12);
    EXPECT_EQ(one.bonusHigh, 1);
    EXPECT_TRUE(stats.numbers[6].bonusOutside()) << "7 was the bonus twice";
    EXPECT_DOUBLE_EQ(one.expectedBonus, 4.0 / 43);
}

} // namespace
} // namespace omvex::analysis
