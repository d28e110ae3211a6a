#pragma once

#include "analysis/chance.h"
#include "analysis/stats.h"
#include "grid/cellgrid.h"

#include <array>
#include <optional>

// Analyses over part of the history: the statistics of the most recent draws and one line held
// against one draw.
namespace omvex::cli {

// historyStats over the last `last` valid draws only (all of them without a limit). Rows between
// those draws that hold something else count as skipped; rows before them are not looked at.
analysis::HistoryStats historyStatsOfLast(const CellGrid &history, std::optional<int> last);

// The line scored against draw `draw`, or nothing when the history holds no valid draw of that number.
std::optional<analysis::LineScore> ticketAtDraw(const CellGrid &history, const std::array<int, kPicks> &ticket,
                                                int draw);

} // namespace omvex::cli
