#pragma once

#include "engine/game.h"
#include "grid/cellgrid.h"

#include <array>

namespace omvex {

// Every table a prediction works with: per pass i = 0, 1 the generated lines (six numbers a row)
// and the scores (43 rows: number, points); the result (one row of six numbers); the history
// (row r = draw r, columns 1..6 the main numbers, 7 the bonus).
struct PredictionTables {
    PredictionTables();

    std::array<CellGrid, 2> lines;
    CellGrid result;
    std::array<CellGrid, 2> scores;
    CellGrid history;
};

inline constexpr int kLineColumns = kPicks;
inline constexpr int kScoreRows = kHighestNumber;
inline constexpr int kScoreNumberColumn = 1;
inline constexpr int kScorePointsColumn = 2;

// Brings one grid to its start-up state: every data cell cleared, every cell active, and,
// unless it is the result grid, no rows.
void resetGridForStartUp(CellGrid &grid, bool keepRows);

// All grids in start-up order: line grids, result grid, score grids, history grid.
void resetTablesForStartUp(PredictionTables &tables);

} // namespace omvex
