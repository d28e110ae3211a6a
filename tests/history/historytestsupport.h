#pragma once

#include "engine/tables.h"
#include "grid/cellgrid.h"

#include <initializer_list>
#include <string>
#include <vector>

// Records and grid rows the history tests build and compare.
namespace omvex::historytest {

// Row values base+1 .. base+7, so every record is recognisable in the grid.
inline std::string record(int draw, int base)
{
    std::string line = std::to_string(draw);
    for (int column = 1; column <= 7; ++column)
        line += "," + std::to_string(base + column);
    return line + "\n";
}

inline std::string rowOf(int base)
{
    std::string row;
    for (int column = 1; column <= 7; ++column)
        row += (column > 1 ? "|" : "") + std::to_string(base + column);
    return row;
}

inline const std::string kEmptyRow = "||||||";
inline const std::string kBom = "\xEF\xBB\xBF";

inline std::string records(int from, int to)
{
    std::string content;
    for (int draw = from; draw <= to; ++draw)
        content += record(draw, draw % 40);
    return content;
}

inline std::vector<std::string> rowsOf(int from, int to)
{
    std::vector<std::string> rows;
    for (int draw = from; draw <= to; ++draw)
        rows.push_back(rowOf(draw % 40));
    return rows;
}

inline std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The history grid as start-up leaves it: the real column formats, no rows.
inline CellGrid startUpHistory()
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    return tables.history;
}

inline std::vector<std::string> dump(const CellGrid &grid)
{
    std::vector<std::string> rows;
    for (int row = 1; row <= grid.rowCount(); ++row) {
        std::string line;
        for (int column = 1; column <= grid.columnCount(); ++column)
            line += (column > 1 ? "|" : "") + grid.text(column, row);
        rows.push_back(line);
    }
    return rows;
}

} // namespace omvex::historytest
