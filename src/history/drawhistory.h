#pragma once

#include "grid/cellgrid.h"

#include <QString>

#include <string>
#include <string_view>

namespace omvex {

// Draw numbers above this end the reading like any other bad row: a typo such as 2000000000
// must not make the history grid reserve rows for two billion draws.
inline constexpr int kMaxDrawNumber = 99999;

// What a reading of the history file did. The window ignores it; the command-line tool reports it.
struct HistoryReadResult {
    bool opened = false;   // the file could be opened
    int storedRows = 0;    // rows stored into the grid
    bool complete = false; // ended at the end of the file or at an ending row (draw number 0)
    // Where and why the reading stopped early (only when !complete): 1-based line of the file,
    // 1-based field of the row (1 = draw number), and a short English reason.
    int stopLine = 0;
    int stopField = 0;
    std::string reason;
    // Why, for programs, whenever the reading stopped early or the file could not be read:
    //   draw-not-a-number, draw-negative, draw-not-whole, draw-out-of-range (above 99999),
    //   too-many-records, value-out-of-range (a value outside whole numbers -99..99, however many
    //   digits it has), record-cut-short (the file ends inside a row), read-failed,
    //   file-missing, not-regular-file, no-permission, cannot-open.
    std::string code;
    QString message; // the same for people: one Japanese line; from loadDrawHistory it starts with the path
    QString words;   // the reason alone, in Japanese, without the place or the path
};

// Reads the rows of a history file's content into the history grid (7 columns), setting
// the row count to each row's draw number before writing its row. Never throws.
HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history);

// The same for the file at path, read piece by piece; a file that cannot be opened leaves the grid as
// it was, and its message says why in the words of platform::fileProblemText.
HistoryReadResult loadDrawHistory(const QString &path, CellGrid &history);

} // namespace omvex
