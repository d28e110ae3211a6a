#include "analysis/journal.h"

namespace omvex::analysis {

namespace {

JournalEntry scored(const RecordEntry &record, const CellGrid &history, Journal &journal)
{
    JournalEntry entry{record, true, {}};
    // A row outside the grid, skipped in the file or edited into nonsense is no draw yet.
    if (const std::optional<Draw> draw = drawAt(history, record.draw)) {
        entry.pending = false;
        entry.score = scoreLine(record.numbers, *draw);
        journal.tally.add(entry.score);
        ++journal.scored;
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
    for (auto it = record.entries.rbegin(); it != record.entries.rend(); ++it)
        journal.entries.push_back(scored(*it, history, journal));
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

Journal scoreJournalFile(const QString &path, const CellGrid &history,
                         const std::function<void(const JournalEntry &)> &take, RecordRead &reading)
{
    Journal journal;
    journal.path = path;
    reading = readRecordNewestFirst(path, [&](const RecordEntry &record) { take(scored(record, history, journal)); });
    journal.warnings = reading.warnings;
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

} // namespace omvex::analysis
