#include "history/drawhistory.h"
#include "history/historyreader.h"

#include "historytestsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace omvex {
namespace {

using namespace historytest;

struct ReaderCase {
    ReaderCase(std::string name_, std::string content_, std::vector<std::string> rows_, int records_,
               bool complete_ = true, int stopLine_ = 0, int stopField_ = 0, std::string reason_ = {})
        : name(std::move(name_))
        , content(std::move(content_))
        , rows(std::move(rows_))
        , records(records_)
        , complete(complete_)
        , stopLine(stopLine_)
        , stopField(stopField_)
        , reason(std::move(reason_))
    {
    }

    std::string name;
    std::string content;
    std::vector<std::string> rows;
    int records = 0;
    bool complete = true;
    int stopLine = 0;
    int stopField = 0;
    std::string reason; // a part of the reason when the reading stops early
};

void PrintTo(const ReaderCase &c, std::ostream *os)
{
    *os << c.name;
}

class HistoryReader : public testing::TestWithParam<ReaderCase> {};

TEST_P(HistoryReader, fillsTheGridAndSaysWhereItStopped)
{
    const ReaderCase &c = GetParam();
    CellGrid history = startUpHistory();
    const HistoryReadResult result = readDrawHistory(c.content, history);

    EXPECT_EQ(dump(history), c.rows);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.storedRows, c.records);
    EXPECT_EQ(result.complete, c.complete);
    EXPECT_EQ(result.stopLine, c.stopLine);
    EXPECT_EQ(result.stopField, c.stopField);
    if (c.complete) {
        EXPECT_EQ(result.reason, "");
        EXPECT_EQ(result.code, "");
        EXPECT_TRUE(result.message.isEmpty());
        return;
    }
    EXPECT_NE(result.reason.find(c.reason), std::string::npos) << result.reason;
    // Programs go by the code; each English reason has its own.
    static const std::map<std::string, std::string> kCodeOfReason{
        {"not a number", "draw-not-a-number"},     {"negative", "draw-negative"},
        {"not a whole number", "draw-not-whole"},  {"above 99999", "draw-out-of-range"},
        {"does not fit", "value-out-of-range"},    {"ends inside a record", "record-cut-short"},
    };
    EXPECT_EQ(result.code, kCodeOfReason.at(c.reason));
    EXPECT_TRUE(result.message.startsWith(QStringLiteral("%1 行目 %2 番目の項目: ").arg(c.stopLine).arg(c.stopField)))
        << result.message.toStdString();
}

std::vector<ReaderCase> readerCases()
{
    const std::string r1 = record(1, 10);
    const std::string r2 = record(2, 20);
    return {
        {"emptyFile", "", {}, 0},
        {"endRecordFirst_loadsNothing", "0,1,2,3,4,5,6,7\n" + r1, {}, 0},
        {"draws1To120_rowPerDraw", records(1, 120), rowsOf(1, 120), 120},
        {"skippedDraws_leaveEmptyRows", r1 + r2 + record(5, 50), {rowOf(10), rowOf(20), kEmptyRow, kEmptyRow, rowOf(50)},
         3},
        {"smallerDrawNumber_cutsTheTable", records(1, 10) + record(4, 80), joined({rowsOf(1, 3), {rowOf(80)}}), 11},
        {"nineFieldLine_shiftsTheNextRecord", "1,11,12,13,14,15,16,17,3\n21,22,23,24,25,26,27\n",
         {rowOf(10), kEmptyRow, rowOf(20)}, 2},
        {"headerLine_loadsNothing", "draw,n1,n2,n3,n4,n5,n6,bonus\n" + r1, {}, 0, false, 1, 1, "not a number"},
        {"blankLineBetweenRecords_endsTheData", r1 + "\n" + r2, {rowOf(10)}, 1},
        {"trailingBlankLine_endsAfterLastRecord", r1 + r2 + "\n", {rowOf(10), rowOf(20)}, 2},
        {"textAfterEndRecord_ignored", r1 + "0\nnotes, not data\n" + r2, {rowOf(10)}, 1},
        {"byteOrderMark_readsDrawOne", kBom + r1, {rowOf(10)}, 1},
        {"byteOrderMarkOnly", kBom, {}, 0},
        {"crlfLineEnds", "1,11,12,13,14,15,16,17\r\n2,21,22,23,24,25,26,27\r\n", {rowOf(10), rowOf(20)}, 2},
        {"crlfLineEnds_countLinesOnce", "1,11,12,13,14,15,16,17\r\n\"2\",21,22,23,24,25,26,27\r\nx,1\r\n",
         {rowOf(10), rowOf(20)}, 2, false, 3, 1, "not a number"},
        {"loneCarriageReturns", "1,11,12,13,14,15,16,17\r2,21,22,23,24,25,26,27\r", {rowOf(10), rowOf(20)}, 2},
        {"noFinalLineEnd", r1 + "2,21,22,23,24,25,26,27", {rowOf(10), rowOf(20)}, 2},
        {"lastRecordCutShort_notStored", r1 + "2,1,2\n", {rowOf(10)}, 1, false, 2, 4, "ends inside a record"},
        {"recordCutShortAtFieldEight", r1 + "2,1,2,3,4,5,6", {rowOf(10)}, 1, false, 2, 8, "ends inside a record"},
        {"quotedFields_readWithoutQuotes", "\"1\",\"11\", \"12\" ,13,14,15,16,\"17\"\n", {rowOf(10)}, 1},
        {"spacesAndTabsAroundFields", " 1 ,\t11, 12 ,13 ,  14,15,16,17 \n", {rowOf(10)}, 1},
        {"hugeDrawNumber_stops", r1 + "2000000000,1,2,3,4,5,6,7\n", {rowOf(10)}, 1, false, 2, 1, "above 99999"},
        {"negativeDrawNumber_stops", r1 + "-3,1,2,3,4,5,6,7\n", {rowOf(10)}, 1, false, 2, 1, "negative"},
        {"fractionalDrawNumber_stops", "2.5,1,2,3,4,5,6,7\n", {}, 0, false, 1, 1, "not a whole number"},
        {"wholeDecimalDrawNumber_accepted", "2.0,11,12,13,14,15,16,17\n", {kEmptyRow, rowOf(10)}, 1},
        {"plusSignedDrawNumber_accepted", "+2,11,12,13,14,15,16,17\n", {kEmptyRow, rowOf(10)}, 1},
        {"exponentDrawNumber_isText", "1e3,1,2,3,4,5,6,7\n", {}, 0, false, 1, 1, "not a number"},
        {"digitsThenLettersDrawNumber_isText", "12abc,1,2,3,4,5,6,7\n", {}, 0, false, 1, 1, "not a number"},
        {"quotedZero_endsTheData", "\"0\",1,2,3,4,5,6,7\n" + r1, {}, 0},
        {"negativeZero_endsTheData", r1 + "-0\n" + r2, {rowOf(10)}, 1},
        {"valueOutOfRange_stopsInsideTheRecord", r1 + "2,1,2,100,4,5,6,7\n", {rowOf(10), "1|2|||||"}, 1, false, 2, 4,
         "does not fit"},
        {"valueOutOfRangeOnLaterLine_reportsItsLine", r1 + "2,1,2\n3,4,5,-100,7\n", {rowOf(10), "1|2|3|4|5||"}, 1,
         false, 3, 7, "does not fit"},
        {"textValues_keptAsText", "1,a,12abc,1e3,14,15,16,17\n", {"a|12abc|1e3|14|15|16|17"}, 1},
        {"quotedComma_staysInTheField", "1,\"1,2\",12,13,14,15,16,17\n", {"1,2|12|13|14|15|16|17"}, 1},
        {"emptyValue_isEmptyText", "1,,12,13,14,15,16,17\n", {"|12|13|14|15|16|17"}, 1},
        {"trailingCommaField_endsTheData", "1,11,12,13,14,15,16,17,\n" + r2, {rowOf(10)}, 1},
        {"unclosedQuote_endsAtTheLineEnd", "1,\"abc\n2,3,4,5,6,7\n" + record(3, 10), {"abc|2|3|4|5|6|7", kEmptyRow, rowOf(10)},
         2},
        {"textAfterClosingQuote_dropped", "1,\"11\"x,12,13,14,15,16,17\n", {rowOf(10)}, 1},
        {"nulBytes_areText", std::string("1,\0,12,13,14,15,16,17\n", 22), {std::string("\0|12|13|14|15|16|17", 19)}, 1},
        {"binaryJunk_stopsAtTheFirstField", std::string("\xFF\xFE\x00\x01\x02", 5), {}, 0, false, 1, 1,
         "not a number"},
        {"overlongField_cutToMaximumLength", "1," + std::string(1000, 'x') + ",12,13,14,15,16,17\n",
         {std::string(255, 'x') + "|12|13|14|15|16|17"}, 1},
        {"overlongNumeral_readsAsItsNumber", "1," + std::string(300, '0') + "1,12,13,14,15,16,17\n",
         {"1|12|13|14|15|16|17"}, 1},
        {"overlongNumber_outOfRangeLike100", r1 + "2,1,2," + std::string(300, '9') + ".5,4,5,6,7\n",
         {rowOf(10), "1|2|||||"}, 1, false, 2, 4, "does not fit"},
        {"overlongNegativeNumber_outOfRange", "1,-" + std::string(300, '1') + ",1,1,1,1,1,1\n", {kEmptyRow}, 0, false, 1, 2,
         "does not fit"},
        {"overlongDrawNumber_outOfRange", "1" + std::string(300, '0') + ",1,2,3,4,5,6,7\n", {}, 0, false, 1, 1,
         "above 99999"},
        {"overlongZeroDrawNumber_endsTheData", std::string(300, '0') + "\n" + r1, {}, 0},
        {"blanksAroundAField_notCounted", std::string(300, ' ') + "1" + std::string(300, ' ') + ",11,12,13,14,15,16," +
         std::string(300, '\t') + "17" + std::string(300, ' ') + "\n", {rowOf(10)}, 1},
        {"blanksInsideQuotes_keptInTheText", "1,\" a \",12,13,14,15,16,17\n", {" a |12|13|14|15|16|17"}, 1},
        {"overlongTextWithInnerBlanks_cut", "1,a" + std::string(300, ' ') + "b,12,13,14,15,16,17\n",
         {"a" + std::string(254, ' ') + "|12|13|14|15|16|17"}, 1},
        {"millionCommas_finish", "1" + std::string(1000000, ','), {kEmptyRow}, 1},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, HistoryReader, testing::ValuesIn(readerCases()),
                         [](const auto &row) { return row.param.name; });

TEST(HistoryFieldNumber, numeralsAreNumbersAndEverythingElseText)
{
    struct Row {
        const char *text;
        bool isNumber;
        double value;
    };
    const Row rows[] = {
        {"12", true, 12},   {" 7 ", true, 7},    {"3.0", true, 3},    {"3.", true, 3},     {".5", true, 0.5},
        {"+4", true, 4},    {"-2", true, -2},    {"1e3", false, 0},   {"abc", false, 0},   {"12abc", false, 0},
        {"", false, 0},     {"-", false, 0},     {".", false, 0},     {"1 2", false, 0},   {"0x10", false, 0},
        {"--5", false, 0},  {"1.2.3", false, 0}, {"+-1", false, 0},
    };
    for (const Row &row : rows) {
        double value = -1;
        EXPECT_EQ(historyFieldNumber(row.text, value), row.isNumber) << '"' << row.text << '"';
        if (row.isNumber) {
            EXPECT_EQ(value, row.value) << '"' << row.text << '"';
        }
    }
}

TEST(HistoryReload, mirrorsTheFileOnAFilledGrid)
{
    struct Row {
        const char *name;
        std::string content;
        std::vector<std::string> rows;
    };
    // Every reload starts from a grid holding draws 1..10 from an earlier reading.
    const Row rows[] = {
        {"drawSevenDeleted_rowSevenEmpty", records(1, 6) + records(8, 10),
         joined({rowsOf(1, 6), {kEmptyRow}, rowsOf(8, 10)})},
        {"fileShortened_rowCountFollows", records(1, 8), rowsOf(1, 8)},
        {"laterDrawsWipedByTheFirstRecord", records(1, 3) + record(12, 70),
         joined({rowsOf(1, 3), std::vector<std::string>(8, kEmptyRow), {rowOf(70)}})},
        {"firstRecordHigher_keepsLowerRows", record(12, 70),
         joined({rowsOf(1, 10), {kEmptyRow}, {rowOf(70)}})},
        {"headerText_keepsEverything", "draw,1,2,3,4,5,6,7\n", rowsOf(1, 10)},
        {"cutShortFirstRecord_keepsEverything", "1,2,3", rowsOf(1, 10)},
        {"refusedValue_cutsAndKeepsThePartialRow", "3,1,2,300,4,5,6,7\n",
         joined({rowsOf(1, 2), {"1|2|6|7|8|9|10"}})},
    };
    for (const Row &row : rows) {
        CellGrid history = startUpHistory();
        readDrawHistory(records(1, 10), history);
        readDrawHistory(row.content, history);
        EXPECT_EQ(dump(history), row.rows) << row.name;
    }
}

// Deferred must leave the grid exactly as performing every grid operation in file order would.
// Random files over a small alphabet of fields hit lowerings, raisings, refusals and cut records.
TEST(HistoryReload, deferredMatchesDirectOnRandomFiles)
{
    const std::vector<std::string> drawNumbers{"1", "2", "3", "5", "8", "13", "0", "", "x", "2.5", "-1", "100000"};
    const std::vector<std::string> values{"1", "43", "99", "-99", "100", "t", "", "\"7\"", "2.6"};
    std::mt19937 random(20260101);
    for (int run = 0; run < 3000; ++run) {
        std::string content;
        const int recordCount = static_cast<int>(random() % 12);
        for (int r = 0; r < recordCount; ++r) {
            // Mostly valid draw numbers, so that readings go on long enough to lower and raise.
            const std::size_t pick = random() % 10 < 8 ? random() % 6 : random() % drawNumbers.size();
            content += drawNumbers[pick];
            const int fieldCount = random() % 20 == 0 ? static_cast<int>(random() % 9) : 7;
            for (int f = 0; f < fieldCount; ++f) {
                const std::size_t value = random() % 8 == 0 ? random() % values.size() : random() % 2;
                content += "," + values[value];
            }
            content += "\n";
        }
        CellGrid direct = startUpHistory();
        CellGrid deferred = startUpHistory();
        const std::string prefill = records(1, static_cast<int>(random() % 9));
        readDrawHistory(prefill, direct, HistoryApply::Direct);
        readDrawHistory(prefill, deferred, HistoryApply::Deferred);

        const HistoryReadResult a = readDrawHistory(content, direct, HistoryApply::Direct);
        const HistoryReadResult b = readDrawHistory(content, deferred, HistoryApply::Deferred);
        ASSERT_EQ(dump(direct), dump(deferred)) << content;
        ASSERT_EQ(direct.activeRow(), deferred.activeRow()) << content;
        ASSERT_EQ(direct.activeColumn(), deferred.activeColumn()) << content;
        ASSERT_EQ(a.storedRows, b.storedRows) << content;
        ASSERT_EQ(a.complete, b.complete) << content;
        ASSERT_EQ(a.stopLine, b.stopLine) << content;
        ASSERT_EQ(a.stopField, b.stopField) << content;
    }
}

TEST(HistoryReader, alternatingHighAndLowDraws_takeLinearTime)
{
    // Done one grid operation at a time, every pair below would build and wipe 99999 rows: hours.
    std::string content;
    for (int i = 0; i < 50000; ++i)
        content += record(99999, 30) + record(1, i % 80);
    CellGrid history = startUpHistory();
    const auto start = std::chrono::steady_clock::now();
    const HistoryReadResult result = readDrawHistory(content, history);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.storedRows, 100000);
    EXPECT_EQ(dump(history), std::vector<std::string>{rowOf(49999 % 80)});
    EXPECT_LT(elapsed, std::chrono::seconds(20));
}

TEST(HistoryReader, largestDrawNumber_makesThatManyRows)
{
    CellGrid history = startUpHistory();
    const HistoryReadResult result = readDrawHistory(record(kMaxDrawNumber, 0), history);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(history.rowCount(), kMaxDrawNumber);
    EXPECT_EQ(history.text(7, kMaxDrawNumber), "7");
    EXPECT_TRUE(history.isEmpty(7, kMaxDrawNumber - 1));
}

} // namespace
} // namespace omvex
