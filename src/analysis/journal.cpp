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

Journal scoreJournal(const RecordRead &record, const CellGrid &history)
{
    Journal journal;
    journal.path = record.path;
    journal.warnings = record.warnings;
    journal.entries.reserve(record.entries.size());
    const int latest = DrawHistory::fromGrid(history).latest().value_or(0);
    for (auto it = record.entries.rbegin(); it != record.entries.rend(); ++it) {
        JournalEntry entry{*it, EntryStatus::Pending, {}};
        if (const std::optional<Draw> draw = usableDrawAt(history, it->draw)) {
            entry.status = EntryStatus::Scored;
            entry.score = scoreLine(it->numbers, *draw);
            journal.tally.add(entry.score);
            ++journal.scored;
        } else if (it->draw < latest) {
            // A later draw is held, so this one has taken place: its row was skipped or holds nonsense.
            entry.status = EntryStatus::Missing;
            ++journal.missing;
        } else {
            ++journal.pending;
        }
        journal.entries.push_back(entry);
    }
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

} // namespace omvex::analysis
