#pragma once

// The window's downloads come from a module beside the program, loaded the first time the user
// fetches results: linked into the program, Qt's network library and the libraries it needs would be
// loaded at every start, and add to the time before the window shows.

#include "fetch/transfer.h"

#include <QString>

namespace omvex::fetch {

inline constexpr char kTransferModuleFileName[] = "omvex-download.so";

struct TransferModule {
    TransferMaker make; // empty when the module could not be loaded
    QString problem;    // why not, in one Japanese line
};

// Loads kTransferModuleFileName from folder. The module stays loaded to the program's end.
TransferModule loadTransferModule(const QString &folder);

} // namespace omvex::fetch
