#include "engine/tables.h"
#include "history/historystatus.h"
#include "import/kakopreload.h"
#include "import/resultimport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace omvex {
namespace {

std::vector<std::string> cells(const CellGrid &grid)
{
    std::vector<std::string> texts;
    for (int row = 1; row <= grid.rowCount(); ++row) {
        for (int column = 1; column <= grid.columnCount(); ++column)
            texts.push_back(grid.text(column, row));
    }
    return texts;
}

// The reading made on its own thread is the one the window would have made itself, and it is
// handed over once, and only for the file it read.
TEST(KakoPreload, givesTheWindowsOwnReadingOnce)
{
    const struct {
        const char *name;
        QString path;
    } rows[] = {
        {"realHistory", QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt")},
        {"missingFile", QStringLiteral(OMVEX_TEST_DATA_DIR "/no-such-kako.txt")},
    };
    for (const auto &row : rows) {
        PredictionTables tables;
        resetTablesForStartUp(tables);
        const HistoryLoad direct = loadKako(row.path, tables.history, HistoryHash::Skip);

        KakoPreload preload(row.path);
        EXPECT_FALSE(preload.take(row.path + QStringLiteral(".other"))) << row.name;
        std::optional<PreloadedKako> taken = preload.take(row.path);
        ASSERT_TRUE(taken) << row.name;
        EXPECT_EQ(cells(taken->grid), cells(tables.history)) << row.name;
        EXPECT_EQ(taken->grid.rowCount(), tables.history.rowCount()) << row.name;
        EXPECT_EQ(historyStatusText(taken->load.draws, taken->load.read, taken->load.warnings),
                  historyStatusText(direct.draws, direct.read, direct.warnings))
            << row.name;
        EXPECT_FALSE(preload.take(row.path)) << row.name;
    }
}

} // namespace
} // namespace omvex
