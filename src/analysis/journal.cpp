#include "analysis/journal.h"

namespace omvex::analysis {

namespace {

// The lines of one run are written together: the same time and draw, one after the other.
bool sameRun(const RecordEntry &a, const RecordEntry &b)
{
    return a.time == b.time && a.draw == b.draw;
}

} // namespace

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
    const int latest = latestDraw(history).value_or(0);
    const auto score = [&](const RecordEntry &recorded) {
        JournalEntry entry{recorded, EntryStatus::Pending, {}};
        if (const std::optional<Draw> draw = drawAt(history, recorded.draw)) {
            entry.status = EntryStatus::Scored;
            entry.score = scoreLine(recorded.numbers, *draw);
            journal.tally.add(entry.score);
            ++journal.scored;
        } else if (recorded.draw < latest) {
            // A later draw is held, so this one has taken place: its row was skipped or holds nonsense.
            entry.status = EntryStatus::Missing;
            ++journal.missing;
        } else {
            ++journal.pending;
        }
        journal.entries.push_back(entry);
    };
    // Runs from the last one back, each run's lines as written (１回目 before ２回目).
    const std::vector<RecordEntry> &entries = record.entries;
    for (std::size_t end = entries.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && sameRun(entries[begin - 1], entries[begin]))
            --begin;
        for (std::size_t i = begin; i < end; ++i)
            score(entries[i]);
        end = begin;
    }
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

} // namespace omvex::analysis
