#pragma once

#include "grid/cellgrid.h"
#include "history/drawhistory.h"
#include "history/resultfile.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// Something in the way a kako.txt was read that its owner would not expect: the reader itself
// never complains (it keeps what it stored), so the window and the tool say it for it.
struct HistoryWarning {
    int line = 0;          // line of kako.txt where it first occurs
    std::string code;      // order, numbers, after-end, gaps, header
    QString message;       // how often it occurs and what to do
    QString statusText;    // the same in one short line, with its line number
};

// At most one warning per code, ordered by line. content is the file's bytes and history the grid
// the reader filled from them, read what the reader said.
std::vector<HistoryWarning> historyWarnings(std::string_view content, const CellGrid &history,
                                            const HistoryReadResult &read);

// A row holds a draw when any of its cells holds something; the reader leaves the rows of missing
// draws empty.
bool hasDraw(const CellGrid &history, int row);

struct HeldDraws {
    int count = 0;
    int first = 0;
    int last = 0;
};
HeldDraws heldDraws(const CellGrid &history);

// The numbers of a row when all seven cells are whole numbers, as a prediction would count them
// (main numbers in the row's order); text cells and fractions give none.
std::optional<SourceDraw> rowDraw(const CellGrid &history, int row);

} // namespace omvex
