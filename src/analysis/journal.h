#pragma once

#include "analysis/chance.h"
#include "analysis/record.h"

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
    // Runs newest first (the file is appended, so the last run first); within a run its lines in the
    // order written, １回目 before ２回目.
    std::vector<JournalEntry> entries;
    int scored = 0;
    int pending = 0;
    TierTally tally; // over the scored entries
    // Observed against chance over the scored entries; nothing while none is scored.
    std::optional<ChanceComparison> comparison;
    std::vector<RecordWarning> warnings; // those of the reading
};

Journal scoreJournal(const RecordRead &record, const CellGrid &history);

} // namespace omvex::analysis
