#include "analysistestdata.h"

#include "analysis/distributions.h"
#include "analysis/patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace omvex::analysis {
namespace {

constexpr std::uint64_t kAllSets = 6096454; // C(43, 6)

// Every set of six is enumerated once and its value counted for each pattern; the report's exact
// chances (those of an empty history still carry them) must hold the same counts. The repeats are
// counted against the previous draw 1..6, as any six numbers give the same spread.
TEST(PatternChances, agreeWithEnumeratingEverySetOfSix)
{
    std::array<std::uint64_t, 7> odd{};
    std::array<std::uint64_t, 7> low{};
    std::array<std::uint64_t, 7> repeats{};
    std::array<std::uint64_t, 6> consecutive{};
    std::vector<std::uint64_t> bySum(244, 0);
    Line s{};
    for (s[0] = 1; s[0] <= 38; ++s[0])
        for (s[1] = s[0] + 1; s[1] <= 39; ++s[1])
            for (s[2] = s[1] + 1; s[2] <= 40; ++s[2])
                for (s[3] = s[2] + 1; s[3] <= 41; ++s[3])
                    for (s[4] = s[3] + 1; s[4] <= 42; ++s[4])
                        for (s[5] = s[4] + 1; s[5] <= 43; ++s[5]) {
                            int odds = 0, lows = 0, sum = 0, pairs = 0;
                            for (std::size_t i = 0; i < 6; ++i) {
                                odds += s[i] % 2;
                                lows += s[i] <= 21 ? 1 : 0;
                                sum += s[i];
                                pairs += i > 0 && s[i] == s[i - 1] + 1 ? 1 : 0;
                            }
                            ++odd[odds];
                            ++low[lows];
                            ++repeats[static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](int n) { return n <= 6; }))];
                            ++consecutive[pairs];
                            ++bySum[sum];
                        }
    const PatternReport report = patternReport(emptyHistory());
    auto numerators = [](const PatternDistribution &distribution) {
        std::vector<std::uint64_t> counts;
        for (const PatternBin &bin : distribution.bins) {
            EXPECT_EQ(bin.chance.denominator, kAllSets);
            counts.push_back(bin.chance.numerator);
        }
        return counts;
    };
    EXPECT_EQ(numerators(report.oddEven), std::vector<std::uint64_t>(odd.begin(), odd.end()));
    EXPECT_EQ(numerators(report.lowHigh), std::vector<std::uint64_t>(low.begin(), low.end()));
    EXPECT_EQ(numerators(report.repeats), std::vector<std::uint64_t>(repeats.begin(), repeats.end()));
    EXPECT_EQ(numerators(report.consecutive), std::vector<std::uint64_t>(consecutive.begin(), consecutive.end()));
    EXPECT_EQ(consecutive[0], 2760681u) << "no pair at all: C(38, 6)";
    std::vector<std::uint64_t> sumBins;
    double mean = 0;
    for (const PatternBin &bin : report.sum.bins) {
        std::uint64_t sets = 0;
        for (int sum = bin.low; sum <= bin.high; ++sum)
            sets += bySum[static_cast<std::size_t>(sum)];
        sumBins.push_back(sets);
    }
    for (int sum = 21; sum <= 243; ++sum)
        mean += sum * static_cast<double>(bySum[static_cast<std::size_t>(sum)]) / kAllSets;
    EXPECT_EQ(numerators(report.sum), sumBins);
    EXPECT_DOUBLE_EQ(mean, 132);
    EXPECT_EQ(report.sum.bins.front().low, 21);
    EXPECT_EQ(report.sum.bins.back().high, 243);
    EXPECT_NEAR(report.pairs.probability, 30.0 / 1806, 1e-15);
}

// Draws 1, 2, 3 and 5 are usable; row 4 holds a repeated number and row 6 is empty.
TEST(PatternReport, countsAHandMadeHistory)
{
    CellGrid history = emptyHistory();
    addDraw(history, 1, {1, 2, 3, 4, 5, 6, 43});        // odd 3, low 6, sum 21, pairs 5
    addDraw(history, 2, {1, 3, 5, 7, 9, 11, 2});        // odd 6, low 6, sum 36, pairs 0, repeats 3
    addDraw(history, 3, {22, 24, 26, 28, 30, 43, 1});   // odd 1, low 0, sum 173, pairs 0, repeats 0
    addDraw(history, 4, {1, 1, 2, 3, 4, 5, 6});         // not usable
    addDraw(history, 5, {20, 21, 22, 40, 41, 42, 3});   // odd 2, low 2, sum 186, pairs 4, no previous
    addDraw(history, 7, {1, 2, 20, 21, 30, 31, 43});    // odd 3, low 4, sum 105, pairs 3, no previous
    struct Row {
        const char *name;
        std::optional<int> last;
        int draws, first, lastDraw;
        std::vector<long long> odd, low, sum, consecutive, repeats;
        std::array<int, 2> mostPair; // the first of the most frequent pairs
        long long mostCount;
    };
    const Row rows[] = {
        {"all", std::nullopt, 5, 1, 7, {0, 1, 1, 2, 0, 0, 1}, {1, 0, 1, 0, 1, 0, 2}, {2, 0, 1, 0, 0, 1, 1},
         {2, 0, 0, 1, 1, 1}, {1, 0, 0, 1, 0, 0, 0}, {1, 2}, 2},
        {"lastTwo_firstOfTheWindowHasNoUsablePrevious", 2, 2, 5, 7, {0, 0, 1, 1, 0, 0, 0}, {0, 0, 1, 0, 1, 0, 0},
         {0, 0, 1, 0, 0, 0, 1}, {0, 0, 0, 1, 1, 0}, {0, 0, 0, 0, 0, 0, 0}, {20, 21}, 2},
        {"lastFour_previousOutsideTheWindowCounts", 4, 4, 2, 7, {0, 1, 1, 1, 0, 0, 1}, {1, 0, 1, 0, 1, 0, 1},
         {1, 0, 1, 0, 0, 1, 1}, {2, 0, 0, 1, 1, 0}, {1, 0, 0, 1, 0, 0, 0}, {20, 21}, 2},
    };
    auto observed = [](const PatternDistribution &distribution) {
        std::vector<long long> counts;
        for (const PatternBin &bin : distribution.bins)
            counts.push_back(bin.observed);
        return counts;
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const PatternReport report = patternReport(history, row.last);
        EXPECT_EQ(report.draws, row.draws);
        EXPECT_EQ(report.firstDraw, row.first);
        EXPECT_EQ(report.lastDraw, row.lastDraw);
        EXPECT_EQ(observed(report.oddEven), row.odd);
        EXPECT_EQ(observed(report.lowHigh), row.low);
        EXPECT_EQ(observed(report.sum), row.sum);
        EXPECT_EQ(observed(report.consecutive), row.consecutive);
        EXPECT_EQ(observed(report.repeats), row.repeats);
        EXPECT_EQ(report.repeats.draws, std::accumulate(row.repeats.begin(), row.repeats.end(), 0));
        EXPECT_FALSE(report.oddEven.fit.pValue) << "too few draws for any test";
        EXPECT_EQ(report.oddEven.verdict, "回数が少なすぎます");
        ASSERT_EQ(report.pairs.most.size(), 10u);
        // Ties stay in ascending pair order.
        EXPECT_EQ((std::array{report.pairs.most.front().first, report.pairs.most.front().second}), row.mostPair);
        EXPECT_EQ(report.pairs.most.front().observed, row.mostCount);
        EXPECT_EQ(report.pairs.least.front().observed, 0);
        EXPECT_TRUE(std::is_sorted(report.pairs.least.begin(), report.pairs.least.end(),
                                   [](const PairCount &a, const PairCount &b) {
                                       return a.observed < b.observed
                                           || (a.observed == b.observed && std::pair(a.first, a.second) < std::pair(b.first, b.second));
                                   }));
        // Gaps always run over the whole history, to draw 7.
        EXPECT_EQ(report.gaps[0].gap, 0);
        EXPECT_EQ(report.gaps[2].gap, 3) << "3 came up last in draw 2, then draws 3, 5 and 7 without it";
        EXPECT_EQ(report.gaps[41].gap, 1) << "42 last in draw 5";
        EXPECT_EQ(report.gaps[9].gap, 5) << "10 never came up: all five usable draws";
        EXPECT_DOUBLE_EQ(report.gaps[9].probabilityAtLeast, std::pow(37.0 / 43, 5));
    }
}

TEST(ChiSquare, upperTailMatchesClosedForms)
{
    struct Row {
        double x;
        int degrees;
        double expected;
    };
    const Row rows[] = {
        {3.841458820694124, 1, 0.05},
        {0.5, 1, std::erfc(std::sqrt(0.25))},
        {30, 1, std::erfc(std::sqrt(15.0))},
        {5.991464547107979, 2, 0.05},
        {0.1, 2, std::exp(-0.05)},
        {60, 2, std::exp(-30.0)},
        {2, 4, std::exp(-1.0) * 2},
        {12, 4, std::exp(-6.0) * 7},
        {0, 5, 1},
        {11.070497693516351, 5, 0.05},
    };
    for (const Row &row : rows)
        EXPECT_NEAR(chiSquareUpperTail(row.x, row.degrees) / row.expected, 1, 1e-9) << row.x << " df " << row.degrees;
}

TEST(GoodnessOfFit, mergesSmallCellsFromTheLowEnd)
{
    struct Row {
        const char *name;
        std::vector<long long> observed;
        std::vector<double> expected;
        int groups;
        double chiSquare; // NaN: none
    };
    const Row rows[] = {
        {"lowCellsJoinUntilFive_remainderJoinsTheLast", {2, 1, 4, 10, 6, 0}, {1, 2, 3, 10, 4, 1}, 3,
         (7 - 6.0) * (7 - 6.0) / 6 + 0 + (6 - 5.0) * (6 - 5.0) / 5},
        {"everyCellLargeEnough", {10, 20}, {15, 15}, 2, 25.0 / 15 * 2},
        {"oneGroupOnly_nothingToTest", {1, 2, 1}, {1.5, 1.5, 1}, 1, NAN},
        {"noDraws", {0, 0}, {0, 0}, 0, NAN},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const GoodnessOfFit fit = goodnessOfFit(row.observed, row.expected);
        EXPECT_EQ(fit.groups, row.groups);
        ASSERT_EQ(fit.chiSquare.has_value(), !std::isnan(row.chiSquare));
        if (fit.chiSquare) {
            EXPECT_NEAR(*fit.chiSquare, row.chiSquare, 1e-12);
            EXPECT_EQ(*fit.degrees, row.groups - 1);
        }
    }
}

// The total matches of n random lines, convolved line by line in the plain way.
CountInterval convolvedInterval(int lines)
{
    const double all = 6096454;
    // C(6, m) C(37, 6 - m) lines of C(43, 6) match m main numbers.
    const std::array<double, 7> one{2324784 / all, 2615382 / all, 990675 / all, 155400 / all,
                                    9990 / all,    222 / all,     1 / all};
    std::vector<double> total{1};
    for (int i = 0; i < lines; ++i) {
        std::vector<double> next(total.size() + 6, 0);
        for (std::size_t t = 0; t < total.size(); ++t)
            for (std::size_t m = 0; m < one.size(); ++m)
                next[t + m] += total[t] * one[m];
        total = next;
    }
    CountInterval interval{-1, -1};
    double cumulative = 0;
    for (std::size_t t = 0; t < total.size(); ++t) {
        cumulative += total[t];
        if (interval.low < 0 && cumulative >= 0.025)
            interval.low = static_cast<long long>(t);
        if (cumulative >= 0.975) {
            interval.high = static_cast<long long>(t);
            break;
        }
    }
    return interval;
}

TEST(MatchTotalInterval, sameAsConvolvingTheLines)
{
    for (const int lines : {1, 2, 3, 5, 12, 37, 100, 400}) {
        const CountInterval exact = matchTotalInterval95(lines);
        const CountInterval convolved = convolvedInterval(lines);
        EXPECT_EQ(exact.low, convolved.low) << lines << " lines";
        EXPECT_EQ(exact.high, convolved.high) << lines << " lines";
    }
    // A full backtest: close to the normal curve, never below zero.
    const CountInterval full = matchTotalInterval95(4116);
    const double mean = 4116 * 36.0 / 43;
    const double sigma = std::sqrt(4116 * matchesVariancePerLine());
    EXPECT_NEAR(static_cast<double>(full.low), mean - 1.96 * sigma, 2);
    EXPECT_NEAR(static_cast<double>(full.high), mean + 1.96 * sigma, 2);
    EXPECT_EQ(matchTotalInterval95(1).low, 0);
    EXPECT_EQ(matchTotalInterval95(1).high, 3);
}

} // namespace
} // namespace omvex::analysis
