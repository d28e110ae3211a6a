#include "cli/commands.h"

#include "analysis/backtest.h"
#include "cli/chancetable.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <ostream>

namespace omvex::cli {

using namespace analysis;

namespace {

void writeJson(const TicketResult &result, const ChanceComparison &comparison, const Settings &settings,
               const LoadedHistory &history, std::ostream &out)
{
    JsonWriter json;
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("ticket").beginObject();
    json.key("numbers").integers(result.ticket);
    json.key("draws").integer(result.tally.lines);
    json.key("lines").integer(result.tally.lines);
    json.key("skipped_rows").integer(result.skippedRows);
    json.key("best");
    if (result.best) {
        json.beginObject();
        json.key("draw").integer(result.bestDraw);
        json.key("tier").string(tierKey(result.best->tier));
        json.key("matches").integer(result.best->matches);
        json.key("bonus").boolean(result.best->bonus);
        json.key("count").integer(result.bestCount);
        json.endObject();
    } else {
        json.null();
    }
    writeComparisonJson(json, comparison);
    json.endObject();
    json.endObject();
    out << json.text() << '\n';
}

void writeText(const TicketResult &result, const ChanceComparison &comparison, std::ostream &out)
{
    out << "数字 ";
    writeLine(out, result.ticket);
    out << " を過去 " << result.tally.lines << " 回と照合しました。\n";
    if (result.skippedRows > 0)
        out << "正しい当せん数字でない行 " << result.skippedRows << " 行は数えていません。\n";
    if (result.best) {
        out << "最高: 第 " << result.bestDraw << " 回 " << tierCaption(result.best->tier) << "、本数字 "
            << result.best->matches << " 個一致" << (result.best->bonus ? "＋ボーナス" : "");
        if (result.bestCount > 1)
            out << "（同じ結果がほかに " << result.bestCount - 1 << " 回）";
        out << '\n';
    }
    writeComparisonText(out, comparison);
}

} // namespace

int runTicketCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                     const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    if (!hasUsableDraws(history, tables.history, 1, "--ticket", err))
        return kExitHistory;
    noteHistory(history, err);
    const TicketResult result = checkTicket(tables.history, options.ticket);
    const ChanceComparison comparison = compareWithChance(result.tally);
    if (options.json)
        writeJson(result, comparison, settings, history, out);
    else
        writeText(result, comparison, out);
    return kExitOk;
}

} // namespace omvex::cli
