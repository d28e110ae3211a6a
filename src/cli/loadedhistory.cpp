#include "cli/loadedhistory.h"

#include "cli/jsonwriter.h"
#include "engine/random.h"
#include "history/resultimport.h"
#include "omvex/appinfo.h"

#include <QCryptographicHash>
#include <QFile>

#include <ostream>

namespace omvex::cli {

namespace {

// Seeds the tool picks itself stay below 2^53, so that any JSON reader gets back the exact
// value and can regenerate the run with --seed.
constexpr std::uint64_t kJsonSafeSeedMask = (std::uint64_t{1} << 53) - 1;

} // namespace

void writeSettings(JsonWriter &json, const Settings &settings)
{
    json.beginObject();
    json.key("Level").string(std::to_string(digit(settings.level)));
    json.key("Pattern").string(std::to_string(digit(settings.pattern)));
    json.key("Kako").string(std::to_string(digit(settings.kako)));
    json.endObject();
}

LoadedHistory loadHistory(const QString &path, CellGrid &grid)
{
    LoadedHistory history;
    history.path = path;
    history.read = loadDrawHistory(path, grid);
    history.rows = grid.rowCount();
    QFile file(path);
    if (!history.read.opened || !file.open(QIODevice::ReadOnly))
        return history;
    // The warnings need the bytes at once; a file far beyond any real history is only hashed, as
    // it streams by, and gets none.
    if (file.size() <= kMaxImportFileBytes) {
        const QByteArray content = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            history.sha256 = QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex().toStdString();
            history.warnings = historyWarnings(
                std::string_view(content.constData(), static_cast<std::size_t>(content.size())), grid, history.read);
        }
    } else {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file))
            history.sha256 = hash.result().toHex().toStdString();
    }
    return history;
}

void noteHistory(const LoadedHistory &history, std::ostream &err)
{
    if (!history.read.opened) {
        err << "注意: " << history.path.toStdString() << " を開けません。過去データなしで続けます。\n";
    } else if (!history.read.complete) {
        err << "注意: " << history.path.toStdString() << " は " << history.read.stopLine << " 行目の "
            << history.read.stopField << " 番目の項目で読み込みが止まりました（" << history.read.reason
            << "）。それまでの " << history.read.records << " 件で続けます。\n";
    }
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
        json.endObject();
    }
    json.key("warnings").beginArray();
    for (const HistoryWarning &warning : history.warnings) {
        json.beginObject();
        json.key("line").lineNumber(warning.line);
        json.key("code").string(warning.code);
        json.key("message").string(warning.message);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

} // namespace omvex::cli
