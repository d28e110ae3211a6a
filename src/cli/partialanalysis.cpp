#include "cli/partialanalysis.h"

namespace omvex::cli {

using namespace analysis;

HistoryStats historyStatsOfLast(const CellGrid &history, std::optional<int> last)
{
    if (!last)
        return historyStats(history);
    int first = history.rowCount() + 1; // the row of the earliest draw taken
    for (int row = history.rowCount(), found = 0; row >= 1 && found < *last; --row) {
        if (drawAt(history, row)) {
            first = row;
            ++found;
        }
    }
    // historyStats counts the rows of a grid without looking at their numbers, so the rows from
    // `first` on, moved to the top of a copy and the rest cut away, count exactly as themselves.
    CellGrid recent = history;
    const int kept = history.rowCount() - first + 1;
    for (int row = 1; row <= kept; ++row)
        recent.swapRows(row, first + row - 1);
    recent.setRowCount(kept);
    return historyStats(recent);
}

std::optional<LineScore> ticketAtDraw(const CellGrid &history, const std::array<int, kPicks> &ticket, int draw)
{
    // Row r of the history holds draw r.
    const std::optional<Draw> held = drawAt(history, draw);
    if (!held)
        return std::nullopt;
    return scoreLine(ticket, *held);
}

} // namespace omvex::cli
