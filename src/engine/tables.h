#pragma once

#include "grid/cellgrid.h"

#include <array>

namespace omvex {

// Every table a prediction works with, in the roles the main window gives its grids:
// per pass i = 0, 1 the line grid vaSpread1[i] (six numbers per generated line) and the score
// grid vaSpread3[i] (43 rows: number, points); the result grid vaSpread2 (one row of six
// numbers); the history grid vaSpread4 (row r = draw r, columns 1..6 main numbers, 7 the bonus).
struct PredictionTables {
    PredictionTables();

    std::array<CellGrid, 2> vaSpread1;
    CellGrid vaSpread2;
    std::array<CellGrid, 2> vaSpread3;
    CellGrid vaSpread4;
};

inline constexpr int kLineColumns = 6;
inline constexpr int kScoreRows = 43;
inline constexpr int kHistoryColumns = 7;

// The display values every grid gets at start-up (the view makes the grids read-only and keeps
// their rows and columns from being resized).
inline constexpr CellGrid::DisplaySetup kGridDisplaySetup{1, 2, 0, 0, 1, 0, 2, 2};

// Brings one grid to its start-up state: display set-up applied, every data cell cleared, and,
// unless it is the result grid, no rows.
void resetGridForStartUp(CellGrid &grid, bool keepRows);

// All grids in start-up order: line grids, result grid, score grids, history grid.
void resetTablesForStartUp(PredictionTables &tables);

} // namespace omvex
