#pragma once

#include "history/draws.h"
#include "history/drawhistory.h"
#include "history/historywarnings.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// One reading of kako.txt, and everything the window, the tool and the analysis window say about it.
struct HistoryLoad {
    QString path;
    HistoryReadResult read;
    int rows = 0;       // the grid's row count after the reading
    DrawHistory draws;  // the grid after the reading, as draws
    std::vector<HistoryWarning> warnings;
    std::string sha256; // hex of the file's bytes; empty when the file could not be read whole or was not hashed

    bool complete() const { return read.opened && read.complete; }
};

// Whether a reading hashes the file's bytes: the tool reports the hash, the window has no use for it.
enum class HistoryHash : bool { Skip, Compute };

struct HistoryLoadOptions {
    RowListener *listener = nullptr; // told of each row as the reader writes it
    ResultFileProbe probe = nullptr; // for the warning about a heading; none without it
    HistoryHash hash = HistoryHash::Compute;
};

// Reads kako.txt once, piece by piece: fills the grid as a prediction reads it, and in the same pass
// types its draws, works out the warnings and hashes the bytes. Memory stays bounded by the largest
// grid the file reaches, whatever its size. A file that cannot be opened leaves the grid as it was,
// and its message says why in the words of platform::fileProblemText.
HistoryLoad loadHistory(const QString &path, CellGrid &grid, const HistoryLoadOptions &options = {});

// The same for bytes already read (path only names them).
HistoryLoad loadHistory(const QString &path, std::string_view content, CellGrid &grid,
                        const HistoryLoadOptions &options = {});

} // namespace omvex
