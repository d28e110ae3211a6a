#include "analysis/journal.h"

namespace omvex::analysis {

Journal scoreJournal(const RecordRead &record, const CellGrid &history)
{
    Journal journal;
    journal.path = record.path;
    journal.warnings = record.warnings;
    journal.entries.reserve(record.entries.size());
    for (auto it = record.entries.rbegin(); it != record.entries.rend(); ++it) {
        JournalEntry entry{*it, true, {}};
        // A row outside the grid, skipped in the file or edited into nonsense is no draw yet.
        if (const std::optional<Draw> draw = usableDrawAt(history, it->draw)) {
            entry.pending = false;
            entry.score = scoreLine(it->numbers, *draw);
            journal.tally.add(entry.score);
            ++journal.scored;
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
