#include "cli/loadedhistory.h"

#include "analysis/backtest.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"
#include "engine/random.h"
#include "omvex/appinfo.h"


#include <ostream>

namespace omvex::cli {

void writeSettings(JsonWriter &json, const Settings &settings)
{
    json.beginObject();
    json.key("Level").string(std::to_string(digit(settings.level)));
    json.key("Pattern").string(std::to_string(digit(settings.pattern)));
    json.key("Kako").string(std::to_string(digit(settings.kako)));
    json.endObject();
}

void noteHistory(const HistoryLoad &history, std::ostream &err)
{
    if (history.complete())
        return;
    const QString &message = history.read.words;
    if (!history.read.opened) {
        writeErrorLine(err, QStringLiteral("注意: ") + history.path + QStringLiteral(" を読めません（") + message
                                + QStringLiteral("）。過去データなしで続けます。"));
    } else {
        writeErrorLine(err, QStringLiteral("注意: %1 は %2 行目の %3 番目の項目で読み込みが止まりました（%4）。"
                                           "それまでの %5 件で続けます。")
                                .arg(history.path, QString::number(history.read.stopLine),
                                     QString::number(history.read.stopField), message,
                                     QString::number(history.read.storedRows)));
    }
}

bool hasUsableDraws(const HistoryLoad &history, int needed, const char *option,
                    std::ostream &err)
{
    const int draws = history.draws.usableCount();
    if (draws >= needed)
        return true;
    const QString command = QString::fromLatin1(option);
    if (!history.read.opened) {
        writeErrorLine(err, QStringLiteral("%1 には過去の当せん数字が要りますが、%2 を読めません（%3）")
                                .arg(command, history.path, history.read.words));
    } else {
        writeErrorLine(err, QStringLiteral("%1 には使える当せん数字が %2 回分以上要りますが、%3 には %4 回分しかありません")
                                .arg(command, QString::number(needed), history.path, QString::number(draws)));
    }
    return false;
}

std::uint64_t runSeed(std::optional<std::uint64_t> seed)
{
    // Seeds the tool picks itself stay below 2^53, so that any JSON reader gets back the exact value.
    return seed.value_or(analysis::freshSeed());
}

void writeProvenance(JsonWriter &json, const Settings &settings, std::optional<std::uint64_t> seed,
                     const HistoryLoad &history)
{
    json.key("version").string(kVersionText);
    json.key("settings");
    writeSettings(json, settings);
    json.key("seed");
    if (seed)
        json.unsignedInteger(*seed);
    else
        json.null();
    json.key("history").beginObject();
    json.key("path").string(history.path);
    json.key("sha256");
    if (history.sha256.empty())
        json.null();
    else
        json.string(history.sha256);
    json.key("opened").boolean(history.read.opened);
    json.key("draws").integer(history.read.storedRows);
    json.key("rows").integer(history.rows);
    json.key("complete").boolean(history.complete());
    json.key("stop");
    if (history.complete()) {
        json.null();
    } else {
        json.beginObject();
        json.key("line").integer(history.read.stopLine);
        json.key("field").integer(history.read.stopField);
        json.key("reason").string(history.read.reason.empty() ? std::string("the file cannot be opened")
                                                              : history.read.reason);
        json.key("code").string(history.read.code);
        json.key("message").string(history.read.words);
        json.endObject();
    }
    json.key("warnings");
    writeWarningsJson(json, history.warnings);
    json.endObject();
}

} // namespace omvex::cli
