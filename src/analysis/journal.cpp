#include "analysis/journal.h"

namespace omvex::analysis {

const char *entryStatusKey(EntryStatus status)
{
    switch (status) {
    case EntryStatus::Scored:
        return "scored";
    case EntryStatus::Missing:
        return "missing";
    case EntryStatus::Pending:
        break;
    }
    return "pending";
}

namespace {

JournalEntry scored(const RecordEntry &record, const CellGrid &history, int latest, Journal &journal)
{
    JournalEntry entry{record, EntryStatus::Pending, {}};
    if (const std::optional<Draw> draw = drawAt(history, record.draw)) {
        entry.status = EntryStatus::Scored;
        entry.score = scoreLine(record.numbers, *draw);
        journal.tally.add(entry.score);
        ++journal.scored;
    } else if (record.draw < latest) {
        // A later draw is held, so this one has taken place: its row was skipped or holds nonsense.
        entry.status = EntryStatus::Missing;
        ++journal.missing;
    } else {
        ++journal.pending;
    }
    return entry;
}

} // namespace

Journal scoreJournal(const RecordRead &record, const CellGrid &history)
{
    Journal journal;
    journal.path = record.path;
    journal.warnings = record.warnings;
    journal.entries.reserve(record.entries.size());
    const int latest = latestDraw(history).value_or(0);
    for (auto it = record.entries.rbegin(); it != record.entries.rend(); ++it)
        journal.entries.push_back(scored(*it, history, latest, journal));
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

Journal scoreJournalFile(const QString &path, const CellGrid &history,
                         const std::function<void(const JournalEntry &)> &take, RecordRead &reading)
{
    Journal journal;
    journal.path = path;
    const int latest = latestDraw(history).value_or(0);
    reading = readRecordNewestFirst(path, [&](const RecordEntry &record) { take(scored(record, history, latest, journal)); });
    journal.warnings = reading.warnings;
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

} // namespace omvex::analysis
