#pragma once

#include "history/drawhistory.h"

#include <cstdint>

namespace omvex {

// How a reading reaches the grid. Deferred, the one the program uses, collects the records and
// brings the grid to the same final state with one lowering and one raising of the row count, so
// that a file whose draw numbers jump between 1 and 99999 costs time in proportion to its size.
// Direct performs every grid operation as it reads (row count, active row, active column, write),
// the plain reading that tests and the fuzz target hold Deferred against.
enum class HistoryApply : std::uint8_t { Deferred, Direct };

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history, HistoryApply apply);

// Whether one field of the history file reads as a number, and which: a whole decimal numeral with
// an optional sign and an optional decimal fraction ("12", "+4", "-2", "3.0", "3.", ".5"), blanks
// around it allowed. Anything else is text: "1e3", "12abc", "abc", "0x10", "1 2", "", "-".
bool historyFieldNumber(std::string_view text, double &number);

} // namespace omvex
