#include "analysis/chance.h"
#include "analysis/distributions.h"
#include "analysis/numbertext.h"

#include <charconv>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace omvex::analysis {

const char *tierKey(Tier tier)
{
    switch (tier) {
    case Tier::Six:
        return "6";
    case Tier::FivePlusBonus:
        return "5+bonus";
    case Tier::Five:
        return "5";
    case Tier::Four:
        return "4";
    case Tier::Three:
        return "3";
    case Tier::Fewer:
        break;
    }
    return "fewer";
}

std::string tierCaption(Tier tier)
{
    switch (tier) {
    case Tier::Six:
        return "1等（6個一致）";
    case Tier::FivePlusBonus:
        return "2等（5個＋ボーナス）";
    case Tier::Five:
        return "3等（5個一致）";
    case Tier::Four:
        return "4等（4個一致）";
    case Tier::Three:
        return "5等（3個一致）";
    case Tier::Fewer:
        break;
    }
    return "はずれ（2個以下）";
}

std::optional<std::string> prizeName(Tier tier)
{
    switch (tier) {
    case Tier::Six:
        return "1等";
    case Tier::FivePlusBonus:
        return "2等";
    case Tier::Five:
        return "3等";
    case Tier::Four:
        return "4等";
    case Tier::Three:
        return "5等";
    case Tier::Fewer:
        break;
    }
    return std::nullopt;
}

LineScore scoreLine(const std::array<int, kPicks> &line, const Draw &draw)
{
    LineScore score;
    for (const int number : line) {
        if (std::find(draw.main.begin(), draw.main.end(), number) != draw.main.end())
            ++score.matches;
        else if (number == draw.bonus)
            score.bonus = true;
    }
    switch (score.matches) {
    case 6:
        score.tier = Tier::Six;
        break;
    case 5:
        score.tier = score.bonus ? Tier::FivePlusBonus : Tier::Five;
        break;
    case 4:
        score.tier = Tier::Four;
        break;
    case 3:
        score.tier = Tier::Three;
        break;
    default:
        score.tier = Tier::Fewer;
        break;
    }
    return score;
}

std::optional<LineScore> scoreAgainstDraw(const std::array<int, kPicks> &line, const DrawHistory &history, int number)
{
    const Draw *draw = history.usable(number);
    if (!draw)
        return std::nullopt;
    return scoreLine(line, *draw);
}

std::uint64_t binomialCoefficient(int n, int k)
{
    if (k < 0 || n < 0 || k > n)
        return 0;
    k = std::min(k, n - k);
    std::uint64_t result = 1;
    // Each partial product is itself a binomial coefficient, so the division is always exact.
    for (int i = 1; i <= k; ++i)
        result = result * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return result;
}

Fraction tierProbability(Tier tier)
{
    constexpr int kOthers = kHighestNumber - kPicks - 1; // neither a main number nor the bonus
    const std::uint64_t all = binomialCoefficient(kHighestNumber, kPicks);
    // Lines with m main matches, the bonus in or out, the rest from the others.
    auto lines = [&](int m, int withBonus) {
        return binomialCoefficient(kPicks, m) * binomialCoefficient(1, withBonus)
            * binomialCoefficient(kOthers, kPicks - m - withBonus);
    };
    std::uint64_t favourable = 0;
    switch (tier) {
    case Tier::Six:
        favourable = lines(6, 0);
        break;
    case Tier::FivePlusBonus:
        favourable = lines(5, 1);
        break;
    case Tier::Five:
        favourable = lines(5, 0);
        break;
    case Tier::Four:
        favourable = lines(4, 0) + lines(4, 1);
        break;
    case Tier::Three:
        favourable = lines(3, 0) + lines(3, 1);
        break;
    case Tier::Fewer:
        for (int m = 0; m <= 2; ++m)
            favourable += lines(m, 0) + lines(m, 1);
        break;
    }
    return {favourable, all};
}

std::string chanceText(const Fraction &probability)
{
    if (probability.numerator == 0)
        return "0";
    if (probability.value() >= 0.1)
        return fixedText(probability.value() * 100, 1) + "%";
    const double oneIn = static_cast<double>(probability.denominator) / static_cast<double>(probability.numerator);
    return "1/" + groupedText(oneIn, std::fabs(oneIn - std::round(oneIn)) < 0.05 ? 0 : 1);
}

double expectedMatchesPerLine()
{
    return static_cast<double>(kPicks * kPicks) / kHighestNumber;
}

double matchesVariancePerLine()
{
    constexpr double n = kHighestNumber;
    constexpr double k = kPicks;
    return k * (k / n) * ((n - k) / n) * ((n - k) / (n - 1));
}

CountInterval binomialInterval95(long long trials, double p)
{
    if (trials <= 0 || p <= 0)
        return {0, 0};
    if (p >= 1)
        return {trials, trials};
    const double logP = std::log(p);
    const double logQ = std::log1p(-p);
    CountInterval interval{trials, trials};
    bool lowFound = false;
    double cumulative = 0;
    for (long long k = 0; k <= trials; ++k) {
        cumulative += std::exp(logBinomialPmf(trials, k, logP, logQ));
        if (!lowFound && cumulative >= 0.025) {
            interval.low = k;
            lowFound = true;
        }
        if (cumulative >= 0.975) {
            interval.high = k;
            break;
        }
    }
    return interval;
}

void TierTally::add(const LineScore &score)
{
    ++counts[static_cast<std::size_t>(score.tier)];
    ++lines;
    matches += score.matches;
}

ChanceComparison compareWithChance(const TierTally &tally)
{
    ChanceComparison comparison;
    comparison.lines = tally.lines;
    for (const Tier tier : kTiers) {
        TierComparison &row = comparison.tiers[static_cast<std::size_t>(tier)];
        row.tier = tier;
        row.observed = tally.counts[static_cast<std::size_t>(tier)];
        row.probability = tierProbability(tier).value();
        row.expected = static_cast<double>(tally.lines) * row.probability;
        row.interval = binomialInterval95(tally.lines, row.probability);
    }
    comparison.meanMatches = tally.meanMatches();
    comparison.expectedMeanMatches = expectedMatchesPerLine();
    // The range of the mean follows from the exact distribution of the total: a normal curve would
    // give a negative low end for a few lines.
    const CountInterval totals = matchTotalInterval95(tally.lines);
    if (tally.lines > 0) {
        const auto lines = static_cast<double>(tally.lines);
        comparison.meanLow = static_cast<double>(totals.low) / lines;
        comparison.meanHigh = static_cast<double>(totals.high) / lines;
    }

    if (tally.lines == 0) {
        comparison.verdict = "比べられる回がありません。";
        return comparison;
    }
    std::string more;
    std::string fewer;
    for (const TierComparison &row : comparison.tiers) {
        if (!row.outside())
            continue;
        std::string &list = row.observed > row.interval.high ? more : fewer;
        list += (list.empty() ? "" : "・") + tierCaption(row.tier);
    }
    const bool meanOutside = tally.matches < totals.low || tally.matches > totals.high;
    if (more.empty() && fewer.empty() && !meanOutside) {
        comparison.verdict = "どの等級も平均一致数も、でたらめに選んだ数字で起こる範囲（95%）に収まっています。"
                             "偶然と区別できる差はありません。";
        return comparison;
    }
    std::vector<std::string> clauses;
    if (!more.empty())
        clauses.push_back(more + "が偶然の範囲より多く");
    if (!fewer.empty())
        clauses.push_back(fewer + "が偶然の範囲より少なく");
    if (meanOutside)
        clauses.push_back(std::string("平均一致数が偶然の範囲より") + (tally.matches > totals.high ? "多く" : "少なく"));
    std::string verdict;
    for (const std::string &clause : clauses)
        verdict += (verdict.empty() ? "" : "、") + clause;
    verdict += "出ました。ただし七つの値を比べると、偶然でもどれかが範囲を外れることはよくあり、"
               "これだけで予想が効くとは言えません。";
    comparison.verdict = verdict;
    return comparison;
}

} // namespace omvex::analysis
