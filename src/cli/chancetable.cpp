#include "cli/chancetable.h"

#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <cmath>
#include <ostream>
#include <string>

namespace omvex::cli {

using namespace analysis;

namespace {

std::string oddsText(const Fraction &probability)
{
    if (probability.numerator == 0)
        return "0";
    // Odds read best for rare tiers; a likely outcome reads best as a share.
    if (probability.value() >= 0.1)
        return fixedText(probability.value() * 100, 1) + "%";
    const double oneIn = static_cast<double>(probability.denominator) / static_cast<double>(probability.numerator);
    return "1/" + grouped(oneIn, std::fabs(oneIn - std::round(oneIn)) < 0.05 ? 0 : 1);
}

} // namespace

void writeComparisonText(std::ostream &out, const ChanceComparison &comparison)
{
    out << padRight("等級", 22) << padLeft("実際", 8) << padLeft("偶然の期待値", 14) << padLeft("95%の範囲", 14)
        << "   " << "1行が当たる確率\n";
    for (const TierComparison &row : comparison.tiers) {
        const std::string range = std::to_string(row.interval.low) + "〜" + std::to_string(row.interval.high);
        out << padRight(tierCaption(row.tier), 22) << padLeft(std::to_string(row.observed), 8)
            << padLeft(fixedText(row.expected, 2), 14) << padLeft(range, 14) << "   "
            << oddsText(tierProbability(row.tier)) << (row.outside() ? "   ← 範囲外" : "") << '\n';
    }
    out << "平均一致数（1行あたりの本数字の一致）: " << fixedText(comparison.meanMatches, 3) << "（偶然なら "
        << fixedText(comparison.expectedMeanMatches, 3) << "、95%の範囲 " << fixedText(comparison.meanLow, 3) << "〜"
        << fixedText(comparison.meanHigh, 3) << "）\n";
    out << "判定: " << comparison.verdict << '\n';
}

void writeComparisonJson(JsonWriter &json, const ChanceComparison &comparison)
{
    json.key("mean_matches").number(comparison.meanMatches);
    json.key("expected_mean_matches").number(comparison.expectedMeanMatches);
    json.key("mean_low").number(comparison.meanLow);
    json.key("mean_high").number(comparison.meanHigh);
    json.key("tiers").beginArray();
    for (const TierComparison &row : comparison.tiers) {
        json.beginObject();
        json.key("tier").string(tierKey(row.tier));
        json.key("observed").integer(row.observed);
        json.key("probability").number(row.probability);
        json.key("expected").number(row.expected);
        json.key("low").integer(row.interval.low);
        json.key("high").integer(row.interval.high);
        json.key("outside").boolean(row.outside());
        json.endObject();
    }
    json.endArray();
    json.key("verdict").string(comparison.verdict);
}

} // namespace omvex::cli
