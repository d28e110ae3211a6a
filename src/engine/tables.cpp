#include "engine/tables.h"

namespace omvex {

namespace {

CellGrid makeLineGrid()
{
    return CellGrid(kLineColumns, 500);
}

CellGrid makeScoreGrid()
{
    CellGrid grid(kScorePointsColumn, kScoreRows);
    grid.setColumnHeader(kScoreNumberColumn, "数字");
    grid.setColumnHeader(kScorePointsColumn, "ﾎﾟｲﾝﾄ");
    grid.setColumnFormat(kScoreNumberColumn, NumberFormat::whole(1, kHighestNumber));
    grid.setColumnFormat(kScorePointsColumn, NumberFormat::decimal(1, -999999, 999999));
    return grid;
}

CellGrid makeResultGrid()
{
    CellGrid grid(kLineColumns, 1);
    for (int column = 1; column <= kLineColumns; ++column)
        grid.setColumnFormat(column, NumberFormat::whole(1, kHighestNumber));
    grid.setVisible(false);
    return grid;
}

CellGrid makeHistoryGrid()
{
    CellGrid grid(kHistoryColumns, 1000);
    for (int column = 1; column <= kHistoryColumns; ++column)
        grid.setColumnFormat(column, NumberFormat::whole(-99, 99));
    grid.setColumnHeader(kBonusColumn, "ボ");
    return grid;
}

} // namespace

PredictionTables::PredictionTables()
    : lines{makeLineGrid(), makeLineGrid()}
    , result(makeResultGrid())
    , scores{makeScoreGrid(), makeScoreGrid()}
    , history(makeHistoryGrid())
{
}

void resetGridForStartUp(CellGrid &grid, bool keepRows)
{
    grid.setActiveColumn(CellGrid::kAll);
    grid.setActiveRow(CellGrid::kAll);
    grid.clear();
    if (!keepRows) {
        grid.setActiveRow(0);
        grid.setRowCount(0);
    }
}

void resetTablesForStartUp(PredictionTables &tables)
{
    resetGridForStartUp(tables.lines[0], false);
    resetGridForStartUp(tables.lines[1], false);
    resetGridForStartUp(tables.result, true);
    resetGridForStartUp(tables.scores[0], false);
    resetGridForStartUp(tables.scores[1], false);
    resetGridForStartUp(tables.history, false);
}

} // namespace omvex
