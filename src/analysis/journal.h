#pragma once

#include "analysis/chance.h"
#include "analysis/record.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The recorded proposals held against the draws they were meant for, and their totals beside
// what lines chosen at random would have won.
namespace omvex::analysis {

struct JournalEntry {
    RecordEntry record;
    bool pending = true; // the draw is not in the history yet
    LineScore score;     // when not pending
};

struct Journal {
    QString path;
    std::vector<JournalEntry> entries; // newest first: the file is appended, so the last line first
    int scored = 0;
    int pending = 0;
    TierTally tally; // over the scored entries
    // Observed against chance over the scored entries; nothing while none is scored.
    std::optional<ChanceComparison> comparison;
    std::vector<RecordWarning> warnings; // those of the reading
};

Journal scoreJournal(const RecordRead &record, const CellGrid &history);

// scoreJournal straight from the record file at path, for records of any size: each entry goes to
// take as it is scored, newest first, and the journal keeps only the totals (no entries). reading
// gets what readRecord says about the file.
Journal scoreJournalFile(const QString &path, const CellGrid &history,
                         const std::function<void(const JournalEntry &)> &take, RecordRead &reading);

} // namespace omvex::analysis
