#include "cli/commands.h"

#include "analysis/chance.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <ostream>
#include <vector>

namespace omvex::cli {

using namespace analysis;

namespace {

std::string heldRangeText(const DrawHistory &history)
{
    const HeldDraws &held = history.held();
    if (held.count == 0)
        return "kako.txt には回がありません";
    return "kako.txt にあるのは第 " + std::to_string(held.first) + " 回〜第 " + std::to_string(held.last) + " 回です";
}

void writeJson(const Options &options, const std::vector<LineScore> &scores, const Settings &settings,
               const HistoryLoad &history, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("tickets").beginArray();
    for (std::size_t i = 0; i < scores.size(); ++i) {
        json.beginObject();
        json.key("numbers").integers(options.tickets[i]);
        json.key("draw").integer(*options.draw);
        json.key("matches").integer(scores[i].matches);
        json.key("bonus").boolean(scores[i].bonus);
        json.key("tier").string(tierKey(scores[i].tier));
        json.key("prize");
        if (const std::optional<std::string> prize = prizeName(scores[i].tier))
            json.string(*prize);
        else
            json.null();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.finish();
}

void writeText(const Options &options, const Draw &draw, const std::vector<LineScore> &scores, std::ostream &out)
{
    out << "第 " << draw.number << " 回: 本数字 ";
    writeLine(out, draw.main);
    out << "、ボーナス " << draw.bonus << '\n';
    for (std::size_t i = 0; i < scores.size(); ++i) {
        writeLine(out, options.tickets[i]);
        out << ": 本数字 " << scores[i].matches << " 個一致" << (scores[i].bonus ? "＋ボーナス" : "") << "、"
            << tierCaption(scores[i].tier) << '\n';
    }
}

} // namespace

int runTicketDrawCommand(const Options &options, const Settings &settings,
                         const HistoryLoad &history, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const Draw *draw = history.draws.usable(*options.draw);
    if (!draw) {
        if (history.draws.isHeld(*options.draw))
            writeErrorLine(err, QStringLiteral("第 %1 回の kako.txt の数字が正しくありません（本数字が 1〜43 の異なる 6 個で、"
                                               "ボーナスがそのどれでもない回だけと照合できます）")
                                    .arg(*options.draw));
        else
            writeErrorLine(err, QStringLiteral("第 %1 回の当せん数字がありません（%2）")
                                    .arg(*options.draw)
                                    .arg(QString::fromStdString(heldRangeText(history.draws))));
        return kExitRefused;
    }
    std::vector<LineScore> scores;
    for (const std::array<int, kPicks> &ticket : options.tickets)
        scores.push_back(scoreLine(ticket, *draw));
    if (options.json)
        writeJson(options, scores, settings, history, out);
    else
        writeText(options, *draw, scores, out);
    return kExitOk;
}

} // namespace omvex::cli
