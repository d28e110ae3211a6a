#pragma once

#include "analysis/chance.h"
#include "analysis/record.h"

#include <optional>
#include <string>
#include <vector>

// The recorded proposals held against the draws they were meant for, and their totals beside
// what lines chosen at random would have won.
namespace omvex::analysis {

// Scored: the draw is in the history. Pending: the draw comes after the latest one the history
// holds. Missing: later draws are held but this one is not, or not with valid numbers.
enum class EntryStatus { Scored, Pending, Missing };

// What an entry of a missing draw says.
inline constexpr char kMissingResult[] = "結果が kako.txt にありません";
// Said under the totals: the range treats every line as drawn at random on its own.
inline constexpr char kAlikeLinesNote[] =
    "同じ回のために過去データの重みを使って作った予想は互いに似るため、1回に多くの予想を記録すると、"
    "95%の範囲はいくらか狭すぎます。";

// "scored", "pending", "missing"
const char *entryStatusKey(EntryStatus status);

struct JournalEntry {
    RecordEntry record;
    EntryStatus status = EntryStatus::Pending;
    LineScore score; // when scored
};

struct Journal {
    QString path;
    std::vector<JournalEntry> entries; // newest first: the file is appended, so the last line first
    int scored = 0;
    int pending = 0;
    int missing = 0;
    TierTally tally; // over the scored entries
    // Observed against chance over the scored entries; nothing while none is scored.
    std::optional<ChanceComparison> comparison;
    std::vector<RecordWarning> warnings; // those of the reading
};

Journal scoreJournal(const RecordRead &record, const CellGrid &history);

} // namespace omvex::analysis
