#include "import/resultdate.h"
#include "import/resultimport.h"
#include "platform/filelock.h"
#include "support/atonce.h"

#include "importtestsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>


namespace omvex {
namespace {

using namespace importtest;

TEST(ResultDate, isResultDate_acceptsThePublishedFormsOnly)
{
    const struct {
        const char *text;
        bool expected;
    } rows[] = {
        {"2024/01/04", true}, {"2024/1/4", true}, {"2024-01-04", true}, {"2024.1.4", true}, {"20240104", true},
        {" R6.1.4 ", true}, {"H12.10.5", true}, {"令和6年1月4日", true}, {"平成12年10月5日", true}, {"令和元年5月1日", true},
        {"2024/1-4", false}, {"2024/02/30", false}, {"2023/2/29", false}, {"20241304", false}, {"24/1/4", false},
        {"R0.1.1", false}, {"R6.1.4.5", false}, {"平成年1月1日", false}, {"令和6年1月4", false}, {"", false},
        {"2024/1/4(木)", true}, {"2024/1/4 木", true}, {"2026年5月4日", true}, {"2026年5月4日（月）", true},
        {"2024/1/4 (Thu)", true}, {"2024/1/4(x)", false}, {"2026年2月30日", false}, {"5", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(isResultDate(QString::fromUtf8(row.text)), row.expected) << row.text;
}

TEST(ResultImport, planImport_readsEveryFormatAndEncodingIntoOldestFirstLines)
{
    const QByteArray twenty = "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,BONUS数字,1等口数,1等賞金,2等口数,"
                              "2等賞金,3等口数,3等賞金,4等口数,4等賞金,5等口数,5等賞金,キャリーオーバー\r\n"
                              "第2回,R6.1.11,\"01\",\"09\",\"16\",\"20\",\"21\",\"43\",\"05\",0,\"0\",3,\"12,345,600\",1,\"1\",2,\"2\","
                              "3,\"3\",\"0\"\r\n"
                              "第1回,令和6年1月4日,02,08,10,13,27,30,39,1,\"123,400\",0,\"0\",1,\"1\",2,\"2\",3,\"3\",\"0\"\r\n";
    const struct {
        const char *name;
        QByteArray source;
        const char *format;
        const char *encoding;
        int read;
        QByteArray kako;
    } rows[] = {
        {"kako style, newest first", "2,1,9,16,20,21,43,5\n1,2,8,10,13,27,30,39\n", "kako", "UTF-8", 2,
         "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n"},
        {"kako style with header, quotes, blanks, CR and trailing empty column",
         "draw,n1,n2,n3,n4,n5,n6,bonus\r \"3\" , 05,1,2,3,4,6,7,\r\r1,1,2,3,4,5,6,7\r", "kako", "UTF-8", 2,
         "1,1,2,3,4,5,6,7\n3,5,1,2,3,4,6,7\n"},
        {"nine columns, BOM, CRLF, every date form",
         "\xEF\xBB\xBF回号,抽選日,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字\r\n"
         "1,2024/01/04,1,2,3,4,5,6,7\r\n2,2024/1/4,1,2,3,4,5,6,7\r\n3,2024-01-04,1,2,3,4,5,6,7\r\n"
         "4,2024.1.4,1,2,3,4,5,6,7\r\n5,20240104,1,2,3,4,5,6,7\r\n6,H12.10.5,1,2,3,4,5,6,7\r\n"
         "7,平成12年10月5日,1,2,3,4,5,6,7\r\n",
         "dated", "UTF-8", 7,
         "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n3,1,2,3,4,5,6,7\n4,1,2,3,4,5,6,7\n5,1,2,3,4,5,6,7\n6,1,2,3,4,5,6,7\n"
         "7,1,2,3,4,5,6,7\n"},
        {"twenty columns in UTF-8", twenty, "dated", "UTF-8", 2, "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n"},
        {"twenty columns in Shift-JIS", sjis(twenty.constData()), "dated", "Shift-JIS", 2,
         "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n"},
        {"one draw twice in another order counts once", "1,1,2,3,4,5,6,7\n1,6,5,4,3,2,1,7\n", "kako", "UTF-8", 1,
         "1,1,2,3,4,5,6,7\n"},
        {"columns by header names in another order, title line above",
         "当せん番号一覧\n曜日,ボーナス数字,本数字6,本数字5,本数字4,本数字3,本数字2,本数字1,抽せん日,回別,1等口数\n"
         "木,(39),30,27,13,10,8,2,2026年5月4日,第1回,3\n",
         "dated", "UTF-8", 1, "1,2,8,10,13,27,30,39\n"},
        {"English header, no date, bonus in brackets", "draw_no,num1,num2,num3,num4,num5,num6,Bonus\n1,2,8,10,13,27,30,[39]\n",
         "kako", "UTF-8", 1, "1,2,8,10,13,27,30,39\n"},
        {"one heading over six columns", "回号,日付,本数字,,,,,,ボーナス\n1,2024/1/4,2,8,10,13,27,30,39\n", "dated", "UTF-8", 1,
         "1,2,8,10,13,27,30,39\n"},
        {"no header, weekday column and full-width digits", "１,２０２６/５/４,(月),２,８,１０,１３,２７,３０,３９\n"
         "2,2026/5/7 木,Thu,1,9,16,20,21,43,（５）\n", "dated", "UTF-8", 2, "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n"},
        {"tab-separated UTF-16LE with amounts in quotes",
         encoded("UTF-16LE", "開催回\t抽選日\t第1数字\t第2数字\t第3数字\t第4数字\t第5数字\t第6数字\tBONUS数字\t1等賞金\r\n"
                             "第1回\t2024/1/4\t2\t8\t10\t13\t27\t30\t39\t\"123,400\"\r\n"),
         "dated", "UTF-16LE", 1, "1,2,8,10,13,27,30,39\n"},
        {"UTF-16BE kako lines", encoded("UTF-16BE", "1,2,8,10,13,27,30,39\n"), "kako", "UTF-16BE", 1,
         "1,2,8,10,13,27,30,39\n"},
    };
    for (const auto &row : rows) {
        Folder folder(row.source, "<missing>");
        const ImportPlan plan = planImport(folder.source, folder.kako, false);
        EXPECT_EQ(codesOf(plan), "") << row.name;
        EXPECT_EQ(plan.format.toStdString(), row.format) << row.name;
        EXPECT_EQ(plan.encoding.toStdString(), row.encoding) << row.name;
        EXPECT_EQ(plan.read, row.read) << row.name;
        EXPECT_EQ(plan.added, row.read) << row.name;
        EXPECT_EQ(writeImport(plan).outcome, ImportOutcome::Written) << row.name;
        EXPECT_EQ(readFile(folder.kako), row.kako) << row.name;
        EXPECT_EQ(readFile(folder.backup), "<missing>") << row.name;
    }
}

TEST(ResultImport, planImport_refusesEveryBadDrawAndWritesNothing)
{
    const QByteArray kako = "1,1,2,3,4,5,6,7\n";
    const struct {
        const char *name;
        QByteArray source;
        const char *errors;
    } rows[] = {
        {"draw number is text below the top", "2,1,2,3,4,5,6,7\nthree,1,2,3,4,5,6,7\n", "draw@2"},
        {"draw number 0", "0,1,2,3,4,5,6,7\n", "draw@1"},
        {"draw number above 99999", "100000,1,2,3,4,5,6,7\n", "draw@1"},
        {"draw number with a fraction", "2.5,1,2,3,4,5,6,7\n", "draw@1"},
        {"main number 44", "2,1,2,3,4,5,44,7\n", "number@1"},
        {"main number 0", "2,0,2,3,4,5,6,7\n", "number@1"},
        {"main number missing in a dated line", "2,2024/1/4,1,2,3,4,5,,7,x\n", "number@1"},
        {"seven fields in a kako line", "2,1,2,3,4,5,6,7\n3,1,2,3,4,5,6\n", "number@2"},
        {"main number repeated", "2,1,2,3,4,5,5,7\n", "repeated@1"},
        {"bonus 44", "2,1,2,3,4,5,6,44\n", "bonus@1"},
        {"bonus is a main number", "2,1,2,3,4,5,6,6\n", "bonus@1"},
        {"bonus missing in a dated line", "2,2024/1/4,1,2,3,4,5,6\n", "bonus@1"},
        {"date in no known form", "2,2024/1/4,1,2,3,4,5,6,7\n3,yesterday,1,2,3,4,5,6,7\n", "date@2"},
        {"date that does not exist", "2,2024/02/30,1,2,3,4,5,6,7\n", "date@1"},
        {"one draw with two sets of numbers", "2,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,8\n", "conflict@2"},
        {"draw of kako.txt with other numbers", "1,1,2,3,4,5,6,8\n", "conflict@1"},
        {"several problems, each on its line", "2,1,2,3,4,5,6,6\n3,1,1,3,4,5,6,7\n", "bonus@1 repeated@2"},
        {"only a header", "回号,本数字1\n", "unreadable@0"},
        {"empty", "", "unreadable@0"},
        {"JSON", "{\"draws\": [[1,2,3,4,5,6,7]]}", "not-results@0"},
        {"PNG picture", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR", "not-results@0"},
        {"spreadsheet workbook", "PK\x03\x04\x14\0\0\0[Content_Types].xml", "not-results@0"},
        {"binary", QByteArray("1,2,3\0\0\x01\x02", 10), "not-results@0"},
        {"web page", "<!DOCTYPE html><html><body>1,2,3</body></html>", "not-results@0"},
        {"header naming a column that holds other numbers", "回号,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字\n"
                                                             "2,2024/1/4,1,2,3,4,5,6\n", "number@2"},
    };
    for (const auto &row : rows) {
        Folder folder(row.source, kako);
        const ImportPlan plan = planImport(folder.source, folder.kako, false);
        EXPECT_EQ(codesOf(plan), row.errors) << row.name;
        EXPECT_EQ(writeImport(plan).outcome, ImportOutcome::Refused) << row.name;
        EXPECT_EQ(readFile(folder.kako), kako) << row.name;
        EXPECT_EQ(readFile(folder.backup), "<missing>") << row.name;
    }
}

TEST(ResultImport, planImport_mergesWithKakoAndKeepsItsBackup)
{
    const struct {
        const char *name;
        QByteArray kako;
        QByteArray source;
        bool replace;
        const char *errors;
        ImportOutcome outcome;
        std::vector<int> replaced;
        QByteArray after;
    } rows[] = {
        {"adds after kako.txt, keeps its order of numbers", "1,6,5,4,3,2,1,7\n2,1,2,3,4,5,6,7\n",
         "3,1,2,3,4,5,6,8\n1,1,2,3,4,5,6,7\n", false, "", ImportOutcome::Written, {},
         "1,6,5,4,3,2,1,7\n2,1,2,3,4,5,6,7\n3,1,2,3,4,5,6,8\n"},
        {"fills a gap and keeps rows it does not name as read", "1,1,2,3,4,5,6,7\n3,x,\"a,b\",\" c\",4,5,6,7\n",
         "2,1,2,3,4,5,6,9\n", false, "", ImportOutcome::Written, {},
         "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,9\n3,x,\"a,b\",\" c\",4,5,6,7\n"},
        // A cell longer than the reader keeps, blanks, quotes and a record over two lines: as they were.
        {"rows it keeps are kept byte for byte",
         "1, 1 ,2,3,4,5,6,\"7\"\r\n2,1,2,3,4,5,6,\"" + QByteArray(300, 'z') + "\"\r\n3,1,2,3\n4,5,6,7\n",
         "4,1,2,3,4,5,6,7\n3,6,5,4,3,2,1,7\n", false, "", ImportOutcome::Written, {},
         "1, 1 ,2,3,4,5,6,\"7\"\n2,1,2,3,4,5,6,\"" + QByteArray(300, 'z') + "\"\n3,1,2,3\n4,5,6,7\n4,1,2,3,4,5,6,7\n"},
        {"replace lets the file win", "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n", "2,1,2,3,4,5,6,8\n1,1,2,3,4,5,6,9\n",
         true, "", ImportOutcome::Written, {1, 2}, "1,1,2,3,4,5,6,9\n2,1,2,3,4,5,6,8\n"},
        {"without replace a different draw is a conflict", "1,1,2,3,4,5,6,7\n", "2,1,2,3,4,5,6,8\n1,1,2,3,4,5,6,9\n",
         false, "conflict@2", ImportOutcome::Refused, {}, "1,1,2,3,4,5,6,7\n"},
        {"nothing new leaves kako.txt alone", "1, 1,2,3,4,5,6,7\n", "1,6,5,4,3,2,1,7\n", false, "",
         ImportOutcome::NothingNew, {}, "1, 1,2,3,4,5,6,7\n"},
        {"newest-first kako.txt", "2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n", "3,1,2,3,4,5,6,7\n", false, "kako@0",
         ImportOutcome::Refused, {}, "2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n"},
        {"kako.txt read only in part", "1,1,2,3,4,5,6,7\nx,1\n", "2,1,2,3,4,5,6,7\n", false, "kako@0",
         ImportOutcome::Refused, {}, "1,1,2,3,4,5,6,7\nx,1\n"},
        {"lines after a blank line in kako.txt", "1,1,2,3,4,5,6,7\n\n2,1,2,3,4,5,6,7\n", "3,1,2,3,4,5,6,7\n", false,
         "kako@0", ImportOutcome::Refused, {}, "1,1,2,3,4,5,6,7\n\n2,1,2,3,4,5,6,7\n"},
    };
    for (const auto &row : rows) {
        Folder folder(row.source, row.kako);
        const ImportPlan plan = planImport(folder.source, folder.kako, row.replace);
        EXPECT_EQ(codesOf(plan), row.errors) << row.name;
        EXPECT_EQ(plan.replaced, row.replaced) << row.name;
        if (!plan.isRefused()) {
            EXPECT_EQ(plan.added + plan.unchanged + static_cast<int>(plan.replaced.size()), plan.read) << row.name;
        }
        const ImportWriteResult written = writeImport(plan);
        EXPECT_EQ(written.outcome, row.outcome) << row.name;
        EXPECT_EQ(readFile(folder.kako), row.after) << row.name;
        const bool backedUp = row.outcome == ImportOutcome::Written;
        EXPECT_EQ(readFile(folder.backup), backedUp ? row.kako : QByteArray("<missing>")) << row.name;
        EXPECT_EQ(written.backupPath, backedUp ? folder.backup : QString()) << row.name;
    }
}

TEST(ResultImport, planImport_keepsTheFirstHundredErrorsAndCountsTheRest)
{
    // Each line gives draw 1 other numbers than the first: problems that are not one column's, so
    // they are not grouped.
    QByteArray source = "1,1,2,3,4,5,6,7\n";
    for (int line = 2; line <= 151; ++line)
        source += "1,1,2,3,4,5,6,8\n";
    Folder folder(source, "<missing>");
    const ImportPlan plan = planImport(folder.source, folder.kako, false);
    ASSERT_EQ(plan.errors.size(), 100u);
    EXPECT_EQ(plan.errors.back().line, 101);
    EXPECT_EQ(plan.moreErrors, 50);
    EXPECT_EQ(importErrorTexts(plan).back(), QStringLiteral("ほかに50件のエラーがあります"));
}

TEST(ResultImport, planImportData_groupsOneProblemOnManyLinesAndKeepsTheFileOnRefusal)
{
    QByteArray source = "回号,抽選日,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字\n";
    for (int draw = 1; draw <= 1197; ++draw)
        source += QByteArray::number(draw) + ",someday,1,2,3,4,5,6,7\n";
    source += "1198,2024/1/4,1,2,3,4,5,6,44\n";
    Folder folder("", "<missing>");
    const ImportPlan plan = planImportData(source, QStringLiteral("-"), folder.kako, false);
    EXPECT_EQ(codesOf(plan), "date@2 bonus@1199");
    ASSERT_EQ(plan.errors.size(), 2u);
    EXPECT_EQ(plan.errors[0].lastLine, 1198);
    EXPECT_EQ(plan.errors[0].count, 1197);
    EXPECT_TRUE(importErrorTexts(plan).front().startsWith(QStringLiteral("2〜1198行目: 抽選日")));
    EXPECT_TRUE(importErrorTexts(plan).front().endsWith(QStringLiteral("（1197件）")));
    EXPECT_EQ(plan.sourcePath, QStringLiteral("-"));
    EXPECT_EQ(plan.format, QStringLiteral("dated"));
    EXPECT_TRUE(importSummaryText(plan).contains(QStringLiteral("読めなかった行: 1198行")));
}

TEST(ResultImport, planImport_refusesFilesItCannotRead)
{
    Folder folder("", "<missing>");
    const QString huge = folder.dir.filePath(QStringLiteral("huge.csv"));
    writeFile(huge, "1,1,2,3,4,5,6,7\n");
    ASSERT_TRUE(QFile::resize(huge, kMaxImportFileBytes + 1));
    const struct {
        const char *name;
        QString source;
        QString kako;
        const char *errors;
    } rows[] = {
        {"missing result file", folder.dir.filePath(QStringLiteral("none.csv")), folder.kako, "unreadable@0"},
        {"folder as result file", folder.dir.path(), folder.kako, "unreadable@0"},
        {"result file above the size bound", huge, folder.kako, "unreadable@0"},
        {"folder as kako.txt", huge, folder.dir.path(), "unreadable@0 kako@0"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(codesOf(planImport(row.source, row.kako, false)), row.errors) << row.name;
}

} // namespace
} // namespace omvex
