#pragma once

#include "engine/tables.h"

#include <array>
#include <cstdio>
#include <vector>

namespace omvex::analysis {

using Line = std::array<int, 6>;

inline void addDraw(CellGrid &history, int draw, const std::vector<int> &numbers)
{
    if (history.rowCount() < draw)
        history.setRowCount(draw);
    for (int column = 1; column <= 7; ++column)
        history.setNumber(column, draw, numbers[static_cast<std::size_t>(column - 1)]);
}

inline CellGrid emptyHistory()
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    return tables.history;
}

// The first `count` draws of the shared 2058-draw file, read plainly (one record per line).
inline std::vector<std::vector<int>> sharedDraws(int count)
{
    std::vector<std::vector<int>> draws;
    std::FILE *file = std::fopen(OMVEX_TEST_DATA_DIR "/history-2058.txt", "r");
    if (!file)
        return draws;
    int fields[8];
    while (static_cast<int>(draws.size()) < count
           && std::fscanf(file, "%d,%d,%d,%d,%d,%d,%d,%d", &fields[0], &fields[1], &fields[2], &fields[3], &fields[4],
                          &fields[5], &fields[6], &fields[7])
               == 8)
        draws.emplace_back(fields + 1, fields + 8);
    std::fclose(file);
    return draws;
}

} // namespace omvex::analysis
