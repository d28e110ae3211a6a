#pragma once

#include "grid/cellgrid.h"
#include "history/draws.h"
#include "history/rowsinks.h"
#include "import/resultfile.h"

#include <string_view>

#include <QByteArray>

#include <vector>

namespace omvex {

struct ImportMerge {
    int added = 0;
    int unchanged = 0;
    std::vector<int> replaced; // draw numbers, ascending
    HeldDraws held;            // after the merge
    QByteArray content;        // the new kako.txt: every draw once, oldest first, LF line ends
};

// kako.txt's bytes and where the reader found each stored row's record in them.
struct KakoRows {
    std::string_view content;
    std::vector<ByteSpan> spans; // by draw number; an empty span where no record was stored
};

// Merges a result file's draws (ascending, each once) into the history read from kako.txt (rows:
// the same grid as draws). A row that holds the same draw stays as it is, main numbers in its own
// order; a row that holds other numbers is a conflict, added to errors at the source line, unless
// replace lets the file win. Rows that are neither added nor replaced are written with the bytes of
// their record in kept (line end aside), or, without kept, as the reader stored them.
ImportMerge mergeDraws(const CellGrid &history, const DrawHistory &rows, const std::vector<SourceDraw> &draws,
                       bool replace, ImportErrorList &errors, const KakoRows *kept = nullptr);

} // namespace omvex
