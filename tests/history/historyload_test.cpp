#include "history/drawhistory.h"
#include "history/historyload.h"
#include "history/historyreader.h"
#include "historytestsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace omvex {
namespace {

using namespace historytest;

std::string repeated(const std::string &piece, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += piece;
    return all;
}

// However often a file rewrites the same cells, switching them between texts and numbers or cutting
// and regrowing the table, the reading keeps no more than the largest table it reaches.
TEST(HistoryReader, rewritingCells_keepsNoMoreThanTheLargestTable)
{
    const struct {
        const char *name;
        std::string content;
        std::size_t largestRows;
    } rows[] = {
        {"textsAndNumbersAlternate", repeated("1,a,a,a,a,a,a,a\n1,1,1,1,1,1,1,1\n", 5000), 1},
        {"rowsCutAndRegrown", repeated("40,a,b,c,d,e,f,g\n2,x,x,x,x,x,x,x\n3,1,1,1,1,1,1,1\n", 2000), 40},
        {"allTextRewritten", repeated("1,a,b,c,d,e,f,g\n", 5000) + "2,h,i,j,k,l,m,n\n", 2},
    };
    for (const auto &row : rows) {
        CellGrid history = startUpHistory();
        DeferredSink sink(history);
        EXPECT_TRUE(readDrawHistory(row.content, sink).complete) << row.name;
        EXPECT_LE(sink.stampCount(), 7 * row.largestRows) << row.name;
        EXPECT_LE(history.textSlotCount(), 7 * row.largestRows) << row.name;
    }
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const std::string &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content.data(), static_cast<qint64>(content.size())) < 0)
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

TEST(LoadDrawHistory, realHistoryFile_loads2058Draws)
{
    CellGrid history = startUpHistory();
    const HistoryReadResult result =
        loadDrawHistory(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"), history);
    EXPECT_TRUE(result.opened);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.storedRows, 2058);
    ASSERT_EQ(history.rowCount(), 2058);
    EXPECT_EQ(dump(history).front(), "2|8|10|13|27|30|39");
    EXPECT_EQ(dump(history).back(), "9|12|14|16|19|42|18");
}

// The window reads without hashing; everything else about the reading is the same.
TEST(LoadDrawHistory, withoutHash_readsTheSameDraws)
{
    const QString path = QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt");
    CellGrid hashed = startUpHistory();
    CellGrid unhashed = startUpHistory();
    const HistoryLoad withHash = loadHistory(path, hashed);
    const HistoryLoad withoutHash = loadHistory(path, unhashed, {nullptr, nullptr, HistoryHash::Skip});
    EXPECT_EQ(withHash.sha256.size(), 64U);
    EXPECT_TRUE(withoutHash.sha256.empty());
    EXPECT_EQ(dump(unhashed), dump(hashed));
    EXPECT_EQ(withoutHash.draws.usableCount(), withHash.draws.usableCount());
    EXPECT_EQ(withoutHash.warnings.size(), withHash.warnings.size());
}

TEST(LoadDrawHistory, unreadablePaths_leaveTheGridAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char *name;
        QString path;
        const char *reason;
        const char *code;
    } rows[] = {
        {"missingFile", dir.filePath(QStringLiteral("kako.txt")), "does not exist", "file-missing"},
        {"folder", dir.path(), "not a regular file", "not-regular-file"},
        {"device", QStringLiteral("/dev/zero"), "not a regular file", "not-regular-file"},
    };
    for (const auto &row : rows) {
        CellGrid history = startUpHistory();
        readDrawHistory(records(1, 3), history);
        const HistoryReadResult result = loadDrawHistory(row.path, history);
        EXPECT_FALSE(result.opened) << row.name;
        EXPECT_FALSE(result.complete) << row.name;
        EXPECT_NE(result.reason.find(row.reason), std::string::npos) << row.name << ": " << result.reason;
        EXPECT_EQ(result.code, row.code) << row.name;
        // The path, then Japanese words only: never the system's English error text.
        EXPECT_TRUE(result.message.startsWith(row.path + QStringLiteral(": "))) << result.message.toStdString();
        EXPECT_FALSE(result.message.mid(row.path.size()).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            << result.message.toStdString();
        EXPECT_EQ(dump(history), rowsOf(1, 3)) << row.name;
    }
}

TEST(LoadDrawHistory, crlfSplitAcrossReadChunks_isOneLineEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Blanks before the bonus are ignored; they put the CR of line 1 at the last byte of the first
    // 64 KiB read and its LF at the first byte of the second. Taken as two line ends, they would make
    // a blank line that ends the data after one record.
    const std::string head = kBom + "1,11,12,13,14,15,16,";
    const std::size_t pad = 65535 - head.size() - 2;
    const std::string content = head + std::string(pad, ' ') + "17\r\n2,21,22,23,24,25,26,27\r\nx\r\n";
    ASSERT_EQ(content[65535], '\r');
    CellGrid history = startUpHistory();
    const HistoryReadResult result = loadDrawHistory(writeFile(dir, QStringLiteral("kako.txt"), content), history);
    EXPECT_EQ(dump(history), (std::vector<std::string>{rowOf(10), rowOf(20)}));
    EXPECT_EQ(result.stopLine, 3);
}

TEST(LoadDrawHistory, fileWithoutSeparators_endsWithoutStoringAField)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string content = "1," + std::string(8 * 1024 * 1024, '7');
    CellGrid history = startUpHistory();
    const HistoryReadResult result = loadDrawHistory(writeFile(dir, QStringLiteral("kako.txt"), content), history);
    EXPECT_EQ(history.rowCount(), 0);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.stopField, 3);
}

} // namespace
} // namespace omvex
