#pragma once

#include "history/drawhistory.h"
#include "history/historyfields.h"
#include "history/recordsinks.h"

#include <cstdint>

namespace omvex {

// How a reading reaches the grid. Deferred, the one the program uses, only ever raises the row count
// while reading and settles the rows the file cut off once at the end, so that a file whose draw
// numbers jump between 1 and 99999 costs time in proportion to its size. Direct performs every grid
// operation as it reads (row count, active row, active column, write), the plain reading that tests
// and the fuzz target hold Deferred against.
enum class HistoryApply : std::uint8_t { Deferred, Direct };

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history, HistoryApply apply);

// The records of the content handed to any sink, which finish() then brings to its grid.
HistoryReadResult readDrawHistory(std::string_view content, RecordSink &sink);

} // namespace omvex
