#include "grid/cellgrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace omvex {
namespace {

const std::string kFourHundredNines(400, '9');

struct LeadingNumberCase {
    const char *name;
    const char *text;
    double expected;
};

class LeadingNumber : public testing::TestWithParam<LeadingNumberCase> {};

TEST_P(LeadingNumber, readsTheLeadingDecimalNumber)
{
    EXPECT_EQ(leadingNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumber,
    testing::Values(
        LeadingNumberCase{"whole", "12", 12}, LeadingNumberCase{"trailingLetters", "12abc", 12},
        LeadingNumberCase{"empty", "", 0}, LeadingNumberCase{"letters", "abc", 0},
        LeadingNumberCase{"oneDecimal", "84.5", 84.5}, LeadingNumberCase{"negative", "-3", -3},
        LeadingNumberCase{"plusSign", "+7", 7}, LeadingNumberCase{"leadingBlanks", "  \t9x", 9},
        LeadingNumberCase{"pointFirst", ".5", 0.5}, LeadingNumberCase{"pointLast", "5.", 5},
        LeadingNumberCase{"signAlone", "-", 0}, LeadingNumberCase{"signThenLetter", "-a1", 0},
        LeadingNumberCase{"secondPointIgnored", "1.2.3", 1.2}, LeadingNumberCase{"exponentIgnored", "1e3", 1},
        LeadingNumberCase{"innerBlankEnds", "1 2", 1}, LeadingNumberCase{"negativeZero", "-0", 0},
        LeadingNumberCase{"hugeStaysFinite", kFourHundredNines.c_str(), 1.7976931348623157e308},
        LeadingNumberCase{"leadingZeros", "007", 7}, LeadingNumberCase{"fifteenDigits", "999999999999999", 999999999999999.0},
        LeadingNumberCase{"sixteenDigits", "9007199254740993", 9007199254740992.0}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(CellGrid, rowCount_lowerDiscardsAndRaiseAddsEmptyRows)
{
    CellGrid grid(3);
    ASSERT_TRUE(grid.setRowCount(4));
    grid.setNumber(2, 4, 9);
    grid.setNumber(1, 2, 5);
    ASSERT_TRUE(grid.setRowCount(2));
    ASSERT_TRUE(grid.setRowCount(5));
    EXPECT_EQ(grid.text(1, 2), "5");
    EXPECT_EQ(grid.text(2, 4), "");
    EXPECT_TRUE(grid.isEmpty(2, 4));
    EXPECT_FALSE(grid.setRowCount(-1));
    EXPECT_EQ(grid.rowCount(), 5);
}

TEST(CellGrid, writesOutsideTheDataArea_areRefused)
{
    CellGrid grid(2, 2);
    EXPECT_FALSE(grid.setNumber(0, 1, 1));
    EXPECT_FALSE(grid.setNumber(3, 1, 1));
    EXPECT_FALSE(grid.setNumber(1, 3, 1));
    EXPECT_FALSE(grid.setText(1, 0, "x"));
    EXPECT_FALSE(grid.clearCell(1, 3));
    EXPECT_EQ(grid.text(1, 3), "");
    EXPECT_EQ(grid.number(5, 5), 0);
}

struct FormatCase {
    const char *name;
    NumberFormat format;
    double written;
    bool accepted;
    const char *text;
};

class TypedCells : public testing::TestWithParam<FormatCase> {};

TEST_P(TypedCells, numberReadsBackAsFormattedTextAndTheSameNumber)
{
    const FormatCase &c = GetParam();
    CellGrid grid(1, 1);
    grid.setColumnFormat(1, c.format);
    EXPECT_EQ(grid.setNumber(1, 1, c.written), c.accepted);
    EXPECT_EQ(grid.text(1, 1), c.text);
    EXPECT_EQ(grid.number(1, 1), leadingNumber(grid.text(1, 1)));
}

INSTANTIATE_TEST_SUITE_P(Formats, TypedCells,
    testing::Values(
        FormatCase{"plainWhole", NumberFormat::plain(), 17, true, "17"},
        FormatCase{"plainFraction", NumberFormat::plain(), 2.5, true, "2.5"},
        FormatCase{"plainLargeHasNoExponent", NumberFormat::plain(), 1e20, true, "100000000000000000000"},
        FormatCase{"pointsOneDecimal", NumberFormat::decimal(1, -999999, 999999), 93.5, true, "93.5"},
        FormatCase{"pointsWholeShowsDecimal", NumberFormat::decimal(1, -999999, 999999), 3, true, "3.0"},
        FormatCase{"pointsRoundToTenths", NumberFormat::decimal(1, -999999, 999999), 0.1 + 0.2, true, "0.3"},
        FormatCase{"pointsNegativeZero", NumberFormat::decimal(1, -999999, 999999), -0.0, true, "0.0"},
        FormatCase{"pointsAboveMaximum", NumberFormat::decimal(1, -999999, 999999), 1e6, false, ""},
        FormatCase{"wholeInRange", NumberFormat::whole(1, 43), 43, true, "43"},
        FormatCase{"wholeBelowMinimum", NumberFormat::whole(1, 43), 0, false, ""},
        FormatCase{"wholeRounds", NumberFormat::whole(-99, 99), 2.6, true, "3"},
        FormatCase{"wholeRoundsOutOfRange", NumberFormat::whole(-99, 99), 99.5, false, ""}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(CellGrid, textCells_readBackUnchangedAndAsTheirLeadingNumber)
{
    CellGrid grid(2, 1);
    grid.setColumnFormat(1, NumberFormat::whole(-99, 99));
    ASSERT_TRUE(grid.setText(1, 1, "12abc"));
    EXPECT_EQ(grid.text(1, 1), "12abc");
    EXPECT_EQ(grid.number(1, 1), 12);
    ASSERT_TRUE(grid.setText(1, 1, "x"));
    EXPECT_EQ(grid.text(1, 1), "x");
    EXPECT_EQ(grid.number(1, 1), 0);
    grid.setNumber(1, 1, 4);
    EXPECT_EQ(grid.text(1, 1), "4");
    ASSERT_TRUE(grid.setText(1, 1, "y"));
    ASSERT_TRUE(grid.clearCell(1, 1));
    EXPECT_TRUE(grid.isEmpty(1, 1));
    EXPECT_EQ(grid.number(1, 1), 0);
}

TEST(CellGrid, clear_emptiesDataButKeepsRowCountAndHeaders)
{
    CellGrid grid(2, 3);
    grid.setColumnHeader(2, "ﾎﾟｲﾝﾄ");
    grid.setNumber(1, 1, 5);
    grid.setText(2, 3, "t");
    grid.clear();
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnHeader(2), "ﾎﾟｲﾝﾄ");
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 2; ++column)
            EXPECT_TRUE(grid.isEmpty(column, row)) << column << "," << row;
}

std::vector<std::string> column(const CellGrid &grid, int c)
{
    std::vector<std::string> texts;
    for (int row = 1; row <= grid.rowCount(); ++row)
        texts.push_back(grid.text(c, row));
    return texts;
}

TEST(CellGrid, sortRowsDescending_movesWholeRowsAndKeepsEqualKeysInOrder)
{
    CellGrid grid(2, 5);
    const double points[] = {1.5, 7, 1.5, 0, 7};
    for (int row = 1; row <= 5; ++row) {
        grid.setNumber(1, row, row);
        grid.setNumber(2, row, points[row - 1]);
    }
    grid.setText(2, 4, ""); // an empty-text key reads as 0
    grid.sortRows(2, CellGrid::SortOrder::Descending);
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"2", "5", "1", "3", "4"}));
    EXPECT_EQ(column(grid, 2), (std::vector<std::string>{"7", "7", "1.5", "1.5", ""}));
}

TEST(CellGrid, sortColumnsAscending_movesWholeColumns)
{
    CellGrid grid(6, 2);
    const int numbers[] = {31, 4, 17, 4, 43, 1};
    for (int c = 1; c <= 6; ++c) {
        grid.setNumber(c, 1, numbers[c - 1]);
        grid.setNumber(c, 2, c);
    }
    grid.sortColumns(1, CellGrid::SortOrder::Ascending);
    std::vector<std::string> first, second;
    for (int c = 1; c <= 6; ++c) {
        first.push_back(grid.text(c, 1));
        second.push_back(grid.text(c, 2));
    }
    EXPECT_EQ(first, (std::vector<std::string>{"1", "4", "4", "17", "31", "43"}));
    EXPECT_EQ(second, (std::vector<std::string>{"6", "2", "4", "3", "1", "5"}));
}

class CountingObserver : public GridObserver {
public:
    void gridChanged() override { ++calls; }
    int calls = 0;
};

TEST(CellGrid, observer_hearsOncePerBurstUntilItAcknowledges)
{
    CellGrid grid(6);
    CountingObserver observer;
    grid.setObserver(&observer);
    for (int row = 1; row <= 1000; ++row) {
        grid.setRowCount(row);
        for (int c = 1; c <= 6; ++c)
            grid.setNumber(c, row, c);
    }
    EXPECT_EQ(observer.calls, 1);
    grid.acknowledge();
    grid.setVisible(false);
    grid.clear();
    EXPECT_EQ(observer.calls, 2);
}

// A grid filled elsewhere replaces the contents of one that a view observes; the view hears of it.
TEST(CellGrid, takeContents_keepsTheObserverAndTellsIt)
{
    CellGrid shown(7);
    CountingObserver observer;
    shown.setObserver(&observer);
    CellGrid filled(7, 2);
    filled.setText(2, 2, "x");
    filled.setNumber(1, 1, 5);
    shown.takeContents(std::move(filled));
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(shown.rowCount(), 2);
    EXPECT_EQ(shown.text(2, 2), "x");
    EXPECT_EQ(shown.number(1, 1), 5);
    shown.acknowledge();
    shown.setNumber(1, 2, 1);
    EXPECT_EQ(observer.calls, 2);
}

TEST(CellGrid, textPool_survivesShrinkingWithManyTexts)
{
    CellGrid grid(1);
    for (int round = 0; round < 3; ++round) {
        grid.setRowCount(0);
        grid.setRowCount(2000);
        for (int row = 1; row <= 2000; ++row)
            grid.setText(1, row, "t" + std::to_string(row + round));
    }
    grid.setRowCount(10);
    EXPECT_EQ(grid.text(1, 10), "t12");
    grid.sortRows(1, CellGrid::SortOrder::Ascending);
    EXPECT_EQ(grid.text(1, 1), "t3");
}

// However often cells switch between texts and numbers, or rows go and come back, the grid keeps
// room for no more texts than the largest table had cells; a text written last still reads back.
TEST(CellGrid, textRoom_neverExceedsTheLargestTable)
{
    const struct {
        const char *name;
        int largestCells;
        void (*run)(CellGrid &grid);
    } rows[] = {
        {"oneCellSwitching", 1,
         [](CellGrid &grid) {
             grid.setRowCount(1);
             for (int i = 0; i < 10000; ++i) {
                 grid.setText(1, 1, "a" + std::to_string(i));
                 grid.setNumber(1, 1, i);
             }
             grid.setText(1, 1, "last");
         }},
        {"rowsCutAndRegrown", 2 * 300,
         [](CellGrid &grid) {
             for (int round = 0; round < 50; ++round) {
                 grid.setRowCount(300);
                 for (int row = 1; row <= 300; ++row)
                     grid.setText(1 + row % 2, row, "r" + std::to_string(round));
                 grid.setRowCount(round % 3 * 10);
             }
             grid.setRowCount(300);
             grid.setText(1, 300, "last");
         }},
        {"sortedThenSwitched", 2 * 50,
         [](CellGrid &grid) {
             grid.setRowCount(50);
             for (int round = 0; round < 100; ++round) {
                 for (int row = 1; row <= 50; ++row) {
                     grid.setText(1, row, std::to_string((row * 7 + round) % 50));
                     grid.setText(2, row, "t");
                 }
                 grid.sortRows(1, CellGrid::SortOrder::Descending);
                 for (int row = 1; row <= 50; row += 2)
                     grid.setNumber(2, row, row);
             }
             grid.setText(1, 50, "last");
         }},
    };
    for (const auto &row : rows) {
        CellGrid grid(2);
        row.run(grid);
        EXPECT_LE(grid.textSlotCount(), static_cast<std::size_t>(row.largestCells)) << row.name;
        EXPECT_EQ(grid.text(1, grid.rowCount()), "last") << row.name;
    }
}

} // namespace
} // namespace omvex
