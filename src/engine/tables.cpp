#include "engine/tables.h"

namespace omvex {

namespace {

CellGrid makeLineGrid()
{
    return CellGrid(kLineColumns, 500);
}

CellGrid makeScoreGrid()
{
    CellGrid grid(2, kScoreRows);
    grid.setColumnHeader(1, "数字");
    grid.setColumnHeader(2, "ﾎﾟｲﾝﾄ");
    grid.setColumnFormat(1, NumberFormat::whole(1, 43));
    grid.setColumnFormat(2, NumberFormat::decimal(1, -999999, 999999));
    return grid;
}

CellGrid makeResultGrid()
{
    CellGrid grid(kLineColumns, 1);
    for (int column = 1; column <= kLineColumns; ++column)
        grid.setColumnFormat(column, NumberFormat::whole(1, 43));
    grid.setVisible(false);
    return grid;
}

CellGrid makeHistoryGrid()
{
    CellGrid grid(kHistoryColumns, 1000);
    for (int column = 1; column <= kHistoryColumns; ++column)
        grid.setColumnFormat(column, NumberFormat::whole(-99, 99));
    grid.setColumnHeader(7, "ボ");
    return grid;
}

} // namespace

PredictionTables::PredictionTables()
    : vaSpread1{makeLineGrid(), makeLineGrid()}
    , vaSpread2(makeResultGrid())
    , vaSpread3{makeScoreGrid(), makeScoreGrid()}
    , vaSpread4(makeHistoryGrid())
{
}

void resetGridForStartUp(CellGrid &grid, bool keepRows)
{
    grid.setDisplaySetup(kGridDisplaySetup);
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
    resetGridForStartUp(tables.vaSpread1[0], false);
    resetGridForStartUp(tables.vaSpread1[1], false);
    resetGridForStartUp(tables.vaSpread2, true);
    resetGridForStartUp(tables.vaSpread3[0], false);
    resetGridForStartUp(tables.vaSpread3[1], false);
    resetGridForStartUp(tables.vaSpread4, false);
}

} // namespace omvex
