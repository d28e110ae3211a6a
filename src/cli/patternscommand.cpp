#include "cli/commands.h"

#include "analysis/patterns.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <ostream>

namespace omvex::cli {

using namespace analysis;

namespace {

void writeRange(JsonWriter &json, const CountInterval &range)
{
    json.beginObject();
    json.key("low").integer(range.low);
    json.key("high").integer(range.high);
    json.endObject();
}

void writeDistributionJson(JsonWriter &json, const PatternDistribution &distribution)
{
    json.beginObject();
    json.key("draws").integer(distribution.draws);
    json.key("bins").beginArray();
    for (const PatternBin &bin : distribution.bins) {
        json.beginObject();
        json.key("value");
        if (bin.low == bin.high) {
            json.integer(bin.low);
        } else {
            const std::array<int, 2> bounds{bin.low, bin.high};
            json.integers(bounds);
        }
        json.key("observed").integer(bin.observed);
        json.key("expected").number(bin.expected);
        json.key("probability").number(bin.probability);
        json.key("range");
        writeRange(json, bin.range);
        json.endObject();
    }
    json.endArray();
    const GoodnessOfFit &fit = distribution.fit;
    json.key("chi_square");
    fit.chiSquare ? json.number(*fit.chiSquare) : json.null();
    json.key("df");
    fit.degrees ? json.integer(*fit.degrees) : json.null();
    json.key("p_value");
    fit.pValue ? json.number(*fit.pValue) : json.null();
    json.key("verdict").string(distribution.verdict);
    json.endObject();
}

void writePairsJson(JsonWriter &json, const std::vector<PairCount> &pairs)
{
    json.beginArray();
    for (const PairCount &pair : pairs) {
        json.beginObject();
        const std::array<int, 2> numbers{pair.first, pair.second};
        json.key("pair").integers(numbers);
        json.key("observed").integer(pair.observed);
        json.endObject();
    }
    json.endArray();
}

void writeJson(const PatternReport &report, const Settings &settings, const HistoryLoad &history, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("patterns").beginObject();
    json.key("draws").integer(report.draws);
    json.key("last");
    report.last ? json.integer(*report.last) : json.null();
    json.key("first_draw").integer(report.firstDraw);
    json.key("last_draw").integer(report.lastDraw);
    for (const PatternKind &kind : kPatternKinds) {
        json.key(kind.key);
        writeDistributionJson(json, report.*kind.distribution);
    }
    json.key("gaps").beginObject();
    json.key("numbers").beginArray();
    for (const NumberGap &gap : report.gaps) {
        json.beginObject();
        json.key("number").integer(gap.number);
        json.key("gap").integer(gap.gap);
        json.key("probability_at_least").number(gap.probabilityAtLeast);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    const PairStats &pairs = report.pairs;
    json.key("pairs").beginObject();
    json.key("expected").number(pairs.expected);
    json.key("range");
    writeRange(json, pairs.range);
    json.key("outside").integer(pairs.outside);
    json.key("expected_outside").number(pairs.expectedOutside);
    json.key("most");
    writePairsJson(json, pairs.most);
    json.key("least");
    writePairsJson(json, pairs.least);
    json.endObject();
    json.endObject();
    json.endObject();
    json.finish();
}

std::string rangeText(const CountInterval &range)
{
    return std::to_string(range.low) + "〜" + std::to_string(range.high);
}

void writeDistributionText(const PatternKind &kind, const PatternDistribution &distribution, std::ostream &out)
{
    out << "\n■ " << kind.caption << "（" << kind.value << "、" << distribution.draws << " 回）\n";
    out << padLeft("値", 10) << padLeft("実際", 8) << padLeft("偶然の期待値", 14) << padLeft("95%の範囲", 12)
        << "   1回の確率\n";
    for (const PatternBin &bin : distribution.bins)
        out << padLeft(binText(bin), 10) << padLeft(std::to_string(bin.observed), 8)
            << padLeft(fixedText(bin.expected, 1), 14) << padLeft(rangeText(bin.range), 12) << "   "
            << (bin.outside() ? padRight(chanceText(bin.chance), 12) + "← 範囲外" : chanceText(bin.chance)) << '\n';
    out << fitText(distribution.fit) << '\n' << "判定: " << distribution.verdict << '\n';
}

void writePairList(const char *caption, const std::vector<PairCount> &pairs, std::ostream &out)
{
    out << caption;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        out << (i ? "、" : "") << pairs[i].first << "-" << pairs[i].second << "（" << pairs[i].observed << "）";
    out << '\n';
}

void writeText(const PatternReport &report, std::ostream &out)
{
    out << "傾向: 過去 " << report.draws << " 回（第 " << report.firstDraw << " 回〜第 " << report.lastDraw
        << " 回）\n"
        << kPatternCaution << '\n';
    for (const PatternKind &kind : kPatternKinds)
        writeDistributionText(kind, report.*kind.distribution, out);

    out << "\n■ 出ていない回数（本数字として最後に出てから、最新の回までの回数）\n"
        << padLeft("数字", 6) << padLeft("回数", 8) << "   その回数以上続く確率\n";
    for (const NumberGap &gap : report.gaps)
        out << padLeft(std::to_string(gap.number), 6) << padLeft(std::to_string(gap.gap), 8) << "   "
            << fixedText(gap.probabilityAtLeast * 100, 2) << "%\n";

    const PairStats &pairs = report.pairs;
    out << "\n■ 組み合わせ（" << pairs.pairs << " 組）\n"
        << "偶然なら各組 " << fixedText(pairs.expected, 1) << " 回（95%の範囲 " << rangeText(pairs.range)
        << "）。範囲外は " << pairs.outside << " 組（偶然でも平均 " << fixedText(pairs.expectedOutside, 1)
        << " 組）。\n";
    writePairList("多い組: ", pairs.most, out);
    writePairList("少ない組: ", pairs.least, out);
}

} // namespace

int runPatternsCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                       const HistoryLoad &history, std::ostream &out, std::ostream &err)
{
    if (!hasUsableDraws(history, 1, "--patterns", err))
        return kExitHistory;
    noteHistory(history, err);
    const PatternReport report = patternReport(tables.history, options.last);
    if (options.json)
        writeJson(report, settings, history, out);
    else
        writeText(report, out);
    return kExitOk;
}

} // namespace omvex::cli
