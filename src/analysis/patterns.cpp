#include "analysis/patterns.h"

#include "analysis/numbertext.h"
#include "analysis/sixsets.h"

#include <algorithm>
#include <cmath>

namespace omvex::analysis {

namespace {

constexpr int kLowNumbers = 21; // 1..21 low, 22..43 high
constexpr int kOddNumbers = (kHighestNumber + 1) / 2;
constexpr std::array<std::array<int, 2>, 7> kSumBins{
    {{kSmallestSum, 80}, {81, 100}, {101, 120}, {121, 140}, {141, 160}, {161, 180}, {181, kLargestSum}}};

std::uint64_t allSets()
{
    return binomialCoefficient(kHighestNumber, kPicks);
}

// Sets with k numbers from a group of `group` and the rest from the other numbers.
std::vector<Fraction> splitChances(int group)
{
    std::vector<Fraction> chances;
    for (int k = 0; k <= kPicks; ++k)
        chances.push_back({binomialCoefficient(group, k) * binomialCoefficient(kHighestNumber - group, kPicks - k),
                           allSets()});
    return chances;
}

std::string verdictOf(const GoodnessOfFit &fit)
{
    if (!fit.pValue)
        return "回数が少なすぎます";
    if (*fit.pValue < 0.05)
        return "偶然だけでは20回に1回も起こらないほどの偏りです。";
    return "偶然で十分に起こる範囲です。";
}

// values[i]: the bin of the i-th counted draw's value.
PatternDistribution distribution(const std::vector<int> &binOfDraw, const std::vector<Fraction> &chances,
                                 const std::vector<std::array<int, 2>> &bounds)
{
    PatternDistribution result;
    result.draws = static_cast<int>(binOfDraw.size());
    std::vector<long long> observed(chances.size(), 0);
    for (const int bin : binOfDraw)
        ++observed[static_cast<std::size_t>(bin)];
    std::vector<double> expected;
    for (std::size_t i = 0; i < chances.size(); ++i) {
        PatternBin bin;
        bin.low = bounds[i][0];
        bin.high = bounds[i][1];
        bin.observed = observed[i];
        bin.chance = chances[i];
        bin.probability = chances[i].value();
        bin.expected = result.draws * bin.probability;
        bin.range = binomialInterval95(result.draws, bin.probability);
        expected.push_back(bin.expected);
        result.bins.push_back(bin);
    }
    result.fit = goodnessOfFit(observed, expected);
    result.verdict = verdictOf(result.fit);
    return result;
}

std::vector<std::array<int, 2>> valueBounds(int values)
{
    std::vector<std::array<int, 2>> bounds;
    for (int value = 0; value < values; ++value)
        bounds.push_back({value, value});
    return bounds;
}

template <typename Predicate>
int countOf(const Draw &draw, Predicate predicate)
{
    return static_cast<int>(std::count_if(draw.main.begin(), draw.main.end(), predicate));
}

int consecutivePairs(const Draw &draw)
{
    std::array<int, kPicks> sorted = draw.main;
    std::sort(sorted.begin(), sorted.end());
    int pairs = 0;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        pairs += sorted[i] == sorted[i - 1] + 1 ? 1 : 0;
    return pairs;
}

int sumBin(const Draw &draw)
{
    int sum = 0;
    for (const int number : draw.main)
        sum += number;
    for (std::size_t bin = 0; bin < kSumBins.size(); ++bin)
        if (sum <= kSumBins[bin][1])
            return static_cast<int>(bin);
    return static_cast<int>(kSumBins.size()) - 1;
}

void countPairs(const std::vector<Draw> &draws, PairStats &stats)
{
    std::array<std::array<long long, kHighestNumber + 1>, kHighestNumber + 1> counts{};
    for (const Draw &draw : draws)
        for (std::size_t i = 0; i < draw.main.size(); ++i)
            for (std::size_t j = i + 1; j < draw.main.size(); ++j) {
                const auto [a, b] = std::minmax(draw.main[i], draw.main[j]);
                ++counts[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
            }
    std::vector<PairCount> all; // in ascending pair order
    for (int a = 1; a <= kHighestNumber; ++a)
        for (int b = a + 1; b <= kHighestNumber; ++b)
            all.push_back({a, b, counts[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)]});

    const auto n = static_cast<long long>(draws.size());
    stats.pairs = static_cast<int>(all.size());
    // Both numbers of a pair among the six: C(41, 4) of the C(43, 6) sets, which is 30/1806.
    stats.probability =
        static_cast<double>(binomialCoefficient(kHighestNumber - 2, kPicks - 2)) / static_cast<double>(allSets());
    stats.expected = static_cast<double>(n) * stats.probability;
    stats.range = binomialInterval95(n, stats.probability);
    stats.expectedOutside = stats.pairs * binomialOutsideChance(n, stats.probability, stats.range);
    stats.outside = static_cast<int>(std::count_if(all.begin(), all.end(), [&](const PairCount &pair) {
        return pair.observed < stats.range.low || pair.observed > stats.range.high;
    }));
    constexpr std::size_t kShown = 10;
    const std::size_t shown = std::min(kShown, all.size());
    // A stable sort keeps equal counts in ascending pair order.
    std::vector<PairCount> sorted = all;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PairCount &x, const PairCount &y) { return x.observed > y.observed; });
    stats.most.assign(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(shown));
    sorted = all;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PairCount &x, const PairCount &y) { return x.observed < y.observed; });
    stats.least.assign(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(shown));
}

} // namespace

const std::array<PatternKind, 5> kPatternKinds{{
    {"odd_even", "奇数・偶数", "奇数の個数", &PatternReport::oddEven},
    {"low_high", "小・大", "1〜21 の個数", &PatternReport::lowHigh},
    {"sum", "合計", "6 個の合計", &PatternReport::sum},
    {"consecutive", "連続数字", "連続した組の数", &PatternReport::consecutive},
    {"repeats", "前回からの引っ張り", "前回と同じ数字の個数", &PatternReport::repeats},
}};

std::string binText(const PatternBin &bin)
{
    if (bin.low == bin.high)
        return std::to_string(bin.low);
    return std::to_string(bin.low) + "〜" + std::to_string(bin.high);
}

std::string fitText(const GoodnessOfFit &fit)
{
    if (!fit.pValue)
        return "χ² 検定: 回数が少なすぎます";
    return "χ² = " + fixedText(*fit.chiSquare, 2) + "（自由度 " + std::to_string(*fit.degrees) + "）、p = "
        + fixedText(*fit.pValue, 3);
}

PatternReport patternReport(const CellGrid &history, std::optional<int> last)
{
    PatternReport report;
    report.last = last;
    std::vector<Draw> usable;
    std::vector<bool> isUsable(static_cast<std::size_t>(history.rowCount()) + 1, false);
    for (int row = 1; row <= history.rowCount(); ++row) {
        if (std::optional<Draw> draw = usableDrawAt(history, row)) {
            usable.push_back(*draw);
            isUsable[static_cast<std::size_t>(row)] = true;
        }
    }

    // Gaps run to the latest draw, whatever window the rest looks at.
    const auto total = static_cast<int>(usable.size());
    std::array<int, kHighestNumber + 1> lastSeen{};
    lastSeen.fill(-1);
    for (int i = 0; i < total; ++i)
        for (const int number : usable[static_cast<std::size_t>(i)].main)
            lastSeen[static_cast<std::size_t>(number)] = i;
    const double stayAway = static_cast<double>(kHighestNumber - kPicks) / kHighestNumber;
    for (int number = 1; number <= kHighestNumber; ++number) {
        const int seen = lastSeen[static_cast<std::size_t>(number)];
        const int gap = seen < 0 ? total : total - 1 - seen;
        report.gaps[static_cast<std::size_t>(number - 1)] = {number, gap, std::pow(stayAway, gap)};
    }

    std::size_t first = 0;
    if (last && *last >= 0 && static_cast<std::size_t>(*last) < usable.size())
        first = usable.size() - static_cast<std::size_t>(*last);
    const std::vector<Draw> window(usable.begin() + static_cast<std::ptrdiff_t>(first), usable.end());
    report.draws = static_cast<int>(window.size());
    if (!window.empty()) {
        report.firstDraw = window.front().number;
        report.lastDraw = window.back().number;
    }

    std::vector<int> odd;
    std::vector<int> low;
    std::vector<int> sums;
    std::vector<int> pairs;
    std::vector<int> repeats;
    for (const Draw &draw : window) {
        odd.push_back(countOf(draw, [](int n) { return n % 2 == 1; }));
        low.push_back(countOf(draw, [](int n) { return n <= kLowNumbers; }));
        sums.push_back(sumBin(draw));
        pairs.push_back(consecutivePairs(draw));
        // The first draw of the window too is held against the draw before it.
        const int previous = draw.number - 1;
        if (previous >= 1 && isUsable[static_cast<std::size_t>(previous)]) {
            const Draw before = *usableDrawAt(history, previous);
            repeats.push_back(countOf(draw, [&](int n) {
                return std::find(before.main.begin(), before.main.end(), n) != before.main.end();
            }));
        }
    }

    report.oddEven = distribution(odd, splitChances(kOddNumbers), valueBounds(kPicks + 1));
    report.lowHigh = distribution(low, splitChances(kLowNumbers), valueBounds(kPicks + 1));
    report.repeats = distribution(repeats, splitChances(kPicks), valueBounds(kPicks + 1));

    const auto bySum = setsBySum();
    std::vector<Fraction> sumChances;
    std::vector<std::array<int, 2>> sumBounds;
    for (const auto &bin : kSumBins) {
        std::uint64_t sets = 0;
        for (int sum = bin[0]; sum <= bin[1]; ++sum)
            sets += bySum[static_cast<std::size_t>(sum)];
        sumChances.push_back({sets, allSets()});
        sumBounds.push_back(bin);
    }
    report.sum = distribution(sums, sumChances, sumBounds);

    std::vector<Fraction> pairChances;
    for (const std::uint64_t sets : setsByConsecutivePairs())
        pairChances.push_back({sets, allSets()});
    report.consecutive = distribution(pairs, pairChances, valueBounds(kPicks));

    countPairs(window, report.pairs);
    return report;
}

} // namespace omvex::analysis
