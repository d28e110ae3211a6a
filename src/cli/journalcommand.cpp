#include "cli/commands.h"
#include "settings/settingwords.h"

#include "analysis/journal.h"
#include "cli/chancetable.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <QDir>

#include <ostream>

namespace omvex::cli {

using namespace analysis;

namespace {

const std::array<const char *, 2> kPassCaptions{"１回目", "２回目"};

void writeEntryJson(JsonWriter &json, const JournalEntry &entry)
{
    const RecordEntry &record = entry.record;
    json.beginObject();
    json.key("line").integer(record.line);
    json.key("time").string(recordTimeText(record.time));
    json.key("draw").integer(record.draw);
    json.key("pass").integer(record.pass);
    json.key("numbers").integers(record.numbers);
    json.key("settings");
    writeSettings(json, record.settings);
    json.key("status").string(entryStatusKey(entry.status));
    json.key("pending").boolean(entry.status == EntryStatus::Pending);
    // An entry not scored keeps the keys, null, so that every entry reads the same way.
    if (entry.status != EntryStatus::Scored) {
        json.key("matches").null();
        json.key("bonus").null();
        json.key("tier").null();
        json.key("prize").null();
    } else {
        json.key("matches").integer(entry.score.matches);
        json.key("bonus").boolean(entry.score.bonus);
        json.key("tier").string(tierKey(entry.score.tier));
        json.key("prize");
        if (const std::optional<std::string> prize = prizeName(entry.score.tier))
            json.string(*prize);
        else
            json.null();
    }
    json.endObject();
}

// The entries go out as they are scored: a record near its size cap holds a million of them.
RecordRead writeJson(const QString &recordPath, const CellGrid &grid, const Settings &settings,
                     const HistoryLoad &history, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("journal").beginObject();
    json.key("path").string(QDir::toNativeSeparators(recordPath));
    json.key("entries").beginArray();
    RecordRead record;
    const Journal journal =
        scoreJournalFile(recordPath, grid, [&json](const JournalEntry &entry) { writeEntryJson(json, entry); }, record);
    json.endArray();
    json.key("scored").integer(journal.scored);
    json.key("pending").integer(journal.pending);
    json.key("missing").integer(journal.missing);
    if (journal.comparison) {
        writeComparisonJson(json, *journal.comparison);
    } else {
        // Nothing to compare yet: the tiers still list their chances, with nothing observed.
        const ChanceComparison none = compareWithChance({});
        json.key("mean_matches").null();
        json.key("expected_mean_matches").number(none.expectedMeanMatches);
        json.key("mean_low").null();
        json.key("mean_high").null();
        writeTiersJson(json, none);
        json.key("verdict").null();
    }
    json.key("warnings");
    writeWarningsJson(json, journal.warnings);
    json.endObject();
    json.endObject();
    json.finish();
    return record;
}

void writeText(const Journal &journal, const RecordRead &record, std::ostream &out)
{
    const std::string path = QDir::toNativeSeparators(journal.path).toStdString();
    if (!record.exists) {
        out << "予想の記録はまだありません（" << path << "）。--record を付けて予想すると記録されます。\n";
        return;
    }
    out << "予想の記録: " << path << "（" << journal.entries.size() << " 件、照合済み " << journal.scored
        << " 件、抽せん待ち " << journal.pending << " 件";
    if (journal.missing > 0)
        out << "、結果が kako.txt にない回 " << journal.missing << " 件";
    out << "）\n";
    for (const JournalEntry &entry : journal.entries) {
        const RecordEntry &line = entry.record;
        out << padLeft("第 " + std::to_string(line.draw) + " 回", 11) << "  "
            << kPassCaptions[static_cast<std::size_t>(line.pass - 1)] << "  ";
        writeLine(out, line.numbers);
        out << "  ";
        if (entry.status == EntryStatus::Pending)
            out << "抽せん待ち";
        else if (entry.status == EntryStatus::Missing)
            out << kMissingResult;
        else
            out << "本数字 " << entry.score.matches << " 個一致" << (entry.score.bonus ? "＋ボーナス" : "") << "、"
                << tierCaption(entry.score.tier);
        out << "  （" << recordTimeText(line.time).toStdString() << "、" << settingsText(line.settings) << "）\n";
    }
    if (journal.comparison) {
        out << '\n' << "照合済みの " << journal.scored << " 行を、でたらめに選んだ数字と比べると:\n";
        writeComparisonText(out, *journal.comparison);
        out << kAlikeLinesNote << '\n';
    } else {
        out << "当せん数字と照合できる予想はまだありません。\n";
    }
}

} // namespace

int runJournalCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                      const HistoryLoad &history, const QString &recordPath, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    RecordRead record;
    if (options.json) {
        record = writeJson(recordPath, tables.history, settings, history, out);
    } else {
        record = readRecord(recordPath);
        writeText(scoreJournal(record, tables.history), record, out);
    }
    for (const RecordWarning &warning : record.warnings)
        writeErrorLine(err, QStringLiteral("注意: ") + warning.message);
    return record.readable ? kExitOk : kExitRefused;
}

} // namespace omvex::cli
