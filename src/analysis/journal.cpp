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

namespace {

JournalEntry scored(const RecordEntry &record, const CellGrid &history, int latest, Journal &journal)
{
    JournalEntry entry{record, EntryStatus::Pending, {}};
    if (const std::optional<Draw> draw = usableDrawAt(history, record.draw)) {
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
    const int latest = DrawHistory::fromGrid(history).latest().value_or(0);
    // Runs from the last one back, each run's lines as written (１回目 before ２回目).
    const std::vector<RecordEntry> &entries = record.entries;
    for (std::size_t end = entries.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && sameRun(entries[begin - 1], entries[begin]))
            --begin;
        for (std::size_t i = begin; i < end; ++i)
            journal.entries.push_back(scored(entries[i], history, latest, journal));
        end = begin;
    }
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

Journal scoreJournalFile(const QString &path, const CellGrid &history,
                         const std::function<void(const JournalEntry &)> &take, RecordRead &reading)
{
    Journal journal;
    journal.path = path;
    const int latest = DrawHistory::fromGrid(history).latest().value_or(0);
    // The file is read from its end, so the lines of one run arrive last first: they are held until
    // the run ends and then given in the order written. A run is two lines, so little is held.
    std::vector<RecordEntry> run;
    const auto flush = [&] {
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            take(scored(*it, history, latest, journal));
        run.clear();
    };
    reading = readRecordNewestFirst(path, [&](const RecordEntry &record) {
        if (!run.empty() && !sameRun(record, run.back()))
            flush();
        run.push_back(record);
    });
    flush();
    journal.warnings = reading.warnings;
    if (journal.scored > 0)
        journal.comparison = compareWithChance(journal.tally);
    return journal;
}

} // namespace omvex::analysis
