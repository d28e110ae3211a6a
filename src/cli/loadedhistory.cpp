#include "cli/loadedhistory.h"

#include "analysis/chance.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"
#include "engine/random.h"
#include "omvex/appinfo.h"

#include <QCryptographicHash>
#include <QFile>

#include <ostream>
#include <string_view>

namespace omvex::cli {

namespace {

// Seeds the tool picks itself stay below 2^53, so that any JSON reader gets back the exact
// value and can regenerate the run with --seed.
constexpr std::uint64_t kJsonSafeSeedMask = (std::uint64_t{1} << 53) - 1;

// The reader's English reasons, by how they start (some end in the system's own words), with the
// code and the Japanese the tool shows for them.
struct KnownReason {
    std::string_view start;
    const char *code;
    const char *message;
};
constexpr KnownReason kKnownReasons[] = {
    {"the file does not exist", "missing", "ファイルがありません"},
    {"not a regular file", "not-regular", "通常のファイルではありません"},
    {"cannot open the file", "cannot-open", "ファイルを開けません"},
    {"cannot read the file", "cannot-read", "ファイルを読めません"},
    {"the file ends inside a record", "cut-short", "記録の途中でファイルが終わっています"},
    {"the draw number is not a number", "draw-not-a-number", "回号が数字ではありません"},
    {"the draw number is negative", "draw-negative", "回号が負の数です"},
    {"the draw number is not a whole number", "draw-not-whole", "回号が整数ではありません"},
    {"the draw number is above", "draw-too-large", "回号が 99999 を超えています"},
    {"too many records", "too-many-records", "記録が多すぎます"},
    {"the value does not fit", "value-out-of-range", "値が -99〜99 の整数ではありません"},
};

void writeSettings(JsonWriter &json, const Settings &settings)
{
    json.beginObject();
    json.key("Level").string(std::to_string(digit(settings.level)));
    json.key("Pattern").string(std::to_string(digit(settings.pattern)));
    json.key("Kako").string(std::to_string(digit(settings.kako)));
    json.endObject();
}

int usableDraws(const CellGrid &history)
{
    int draws = 0;
    for (int row = 1; row <= history.rowCount(); ++row)
        draws += analysis::drawAt(history, row) ? 1 : 0;
    return draws;
}

} // namespace

LoadedHistory loadHistory(const QString &path, CellGrid &grid)
{
    LoadedHistory history;
    history.path = path;
    history.read = loadDrawHistory(path, grid);
    history.rows = grid.rowCount();
    QFile file(path);
    if (history.read.opened && file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file))
            history.sha256 = hash.result().toHex().toStdString();
    }
    return history;
}

StopReason stopReason(const HistoryReadResult &read)
{
    for (const KnownReason &known : kKnownReasons) {
        if (std::string_view(read.reason).starts_with(known.start))
            return {known.code, QString::fromUtf8(known.message)};
    }
    if (!read.opened)
        return {"cannot-open", QStringLiteral("ファイルを開けません")};
    return {"unknown", QStringLiteral("読めない記録があります")};
}

void noteHistory(const LoadedHistory &history, std::ostream &err)
{
    if (history.complete())
        return;
    const QString message = stopReason(history.read).message;
    if (!history.read.opened) {
        writeErrorLine(err, QStringLiteral("注意: ") + history.path + QStringLiteral(" を読めません（") + message
                                + QStringLiteral("）。過去データなしで続けます。"));
    } else {
        writeErrorLine(err, QStringLiteral("注意: %1 は %2 行目の %3 番目の項目で読み込みが止まりました（%4）。"
                                           "それまでの %5 件で続けます。")
                                .arg(history.path, QString::number(history.read.stopLine),
                                     QString::number(history.read.stopField), message,
                                     QString::number(history.read.records)));
    }
}

bool hasUsableDraws(const LoadedHistory &history, const CellGrid &grid, int needed, const char *option,
                    std::ostream &err)
{
    const int draws = usableDraws(grid);
    if (draws >= needed)
        return true;
    const QString command = QString::fromLatin1(option);
    if (!history.read.opened) {
        writeErrorLine(err, QStringLiteral("%1 には過去の当せん数字が要りますが、%2 を読めません（%3）")
                                .arg(command, history.path, stopReason(history.read).message));
    } else {
        writeErrorLine(err, QStringLiteral("%1 には使える当せん数字が %2 回分以上要りますが、%3 には %4 回分しかありません")
                                .arg(command, QString::number(needed), history.path, QString::number(draws)));
    }
    return false;
}

std::uint64_t runSeed(std::optional<std::uint64_t> seed)
{
    return seed.value_or(clockSeed() & kJsonSafeSeedMask);
}

void writeProvenance(JsonWriter &json, const Settings &settings, std::optional<std::uint64_t> seed,
                     const LoadedHistory &history)
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
    json.key("draws").integer(history.read.records);
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
        const StopReason reason = stopReason(history.read);
        json.key("code").string(reason.code);
        json.key("message").string(reason.message);
        json.endObject();
    }
    json.endObject();
}

} // namespace omvex::cli
