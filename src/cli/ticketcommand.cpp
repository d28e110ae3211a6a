#include "cli/commands.h"

#include "analysis/backtest.h"
#include "cli/chancetable.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <ostream>
#include <vector>

namespace omvex::cli {

using namespace analysis;

namespace {

void writeTicket(JsonWriter &json, const TicketResult &result, const ChanceComparison &comparison)
{
    json.beginObject();
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
                     const HistoryLoad &history, std::ostream &out, std::ostream &err)
{
    if (options.draw)
        return runTicketDrawCommand(options, settings, history, out, err);
    if (!hasUsableDraws(history, 1, "--ticket", err))
        return kExitHistory;
    noteHistory(history, err);
    std::vector<TicketResult> results;
    std::vector<ChanceComparison> comparisons;
    for (const std::array<int, kPicks> &ticket : options.tickets) {
        results.push_back(checkTicket(tables.history, ticket));
        comparisons.push_back(compareTicketWithChance(results.back().tally));
    }
    if (options.json) {
        JsonWriter json(out);
        json.beginObject();
        writeProvenance(json, settings, std::nullopt, history);
        // One ticket keeps the shape scripts already read.
        if (results.size() == 1) {
            json.key("ticket");
            writeTicket(json, results.front(), comparisons.front());
        } else {
            json.key("tickets").beginArray();
            for (std::size_t i = 0; i < results.size(); ++i)
                writeTicket(json, results[i], comparisons[i]);
            json.endArray();
        }
        json.endObject();
        json.finish();
    } else {
        for (std::size_t i = 0; i < results.size(); ++i) {
            if (i > 0)
                out << '\n';
            writeText(results[i], comparisons[i], out);
        }
    }
    return kExitOk;
}

} // namespace omvex::cli
