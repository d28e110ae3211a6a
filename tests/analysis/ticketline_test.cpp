#include "analysistestdata.h"

#include "analysis/chance.h"
#include "analysis/ticketline.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace omvex::analysis {
namespace {

TEST(ScoreAgainstDraw, oneDrawByNumberWithItsPrize)
{
    CellGrid history = emptyHistory();
    addDraw(history, 1, {3, 11, 17, 25, 36, 42, 8});
    addDraw(history, 2, {1, 2, 3, 4, 5, 6, 6}); // not a valid draw
    addDraw(history, 4, {10, 11, 12, 13, 14, 15, 16});
    struct Row {
        const char *name;
        Line line;
        int draw;
        std::optional<int> matches; // nothing: the history does not hold the draw
        bool bonus;
        std::optional<std::string> prize;
    };
    const Row rows[] = {
        {"first", {3, 11, 17, 25, 36, 42}, 1, 6, false, "1等"},
        {"second", {3, 11, 17, 25, 36, 8}, 1, 5, true, "2等"},
        {"third", {3, 11, 17, 25, 36, 9}, 1, 5, false, "3等"},
        {"fourth", {3, 11, 17, 25, 1, 8}, 1, 4, true, "4等"},
        {"fifth", {10, 11, 12, 1, 2, 3}, 4, 3, false, "5等"},
        {"twoAndBonus_noPrize", {10, 11, 16, 1, 2, 3}, 4, 2, true, std::nullopt},
        {"invalidRow", {1, 2, 3, 4, 5, 6}, 2, std::nullopt, false, std::nullopt},
        {"emptyRow", {1, 2, 3, 4, 5, 6}, 3, std::nullopt, false, std::nullopt},
        {"pastTheEnd", {1, 2, 3, 4, 5, 6}, 5, std::nullopt, false, std::nullopt},
        {"zero", {1, 2, 3, 4, 5, 6}, 0, std::nullopt, false, std::nullopt},
    };
    const DrawHistory draws = DrawHistory::fromGrid(history);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<LineScore> score = scoreAgainstDraw(row.line, draws, row.draw);
        ASSERT_EQ(score.has_value(), row.matches.has_value());
        if (!score)
            continue;
        EXPECT_EQ(score->matches, *row.matches);
        EXPECT_EQ(score->bonus, row.bonus);
        EXPECT_EQ(prizeName(score->tier), row.prize);
    }
    EXPECT_EQ(draws.latest(), 4);
    history.setText(3, 4, "");
    EXPECT_EQ(DrawHistory::fromGrid(history).latest(), 1) << "the latest row no longer holds a valid draw";
    EXPECT_EQ(DrawHistory::fromGrid(emptyHistory()).latest(), std::nullopt);
}

TEST(ChanceText, shareForLikelyOddsForRare)
{
    struct Row {
        const char *name;
        Fraction probability;
        const char *text;
    };
    const Row rows[] = {
        {"never", {0, 10}, "0"},
        {"likely_asAShare", {1, 8}, "12.5%"},
        {"rare_wholeOdds_grouped", tierProbability(Tier::Six), "1/6,096,454"},
        {"rare_fractionalOdds", tierProbability(Tier::Four), "1/610.3"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(chanceText(row.probability), row.text) << row.name;
}

TEST(ParseTicketLine, sixDifferentWholeNumbersOrAReason)
{
    struct Row {
        const char *name;
        const char *text;
        std::optional<Line> numbers;
        const char *code;
        const char *mentions; // what the message must name
    };
    const Row rows[] = {
        {"spaces_sorted", "43 1 7 22 3 19", Line{1, 3, 7, 19, 22, 43}, "", ""},
        {"commasAndBlanks", " 1,2, 3 ,4,,5,6 ", Line{1, 2, 3, 4, 5, 6}, "", ""},
        {"fullWidthDigitsAndIdeographicComma", "１、２、３、４０、４１、４３", Line{1, 2, 3, 40, 41, 43}, "", ""},
        {"fullWidthCommaSpaceAndTab", "1，2　3\t4 5 06", Line{1, 2, 3, 4, 5, 6}, "", ""},
        {"empty", "  、 ", std::nullopt, "empty", "6個"},
        {"letters", "1 2 3 4 5 x6", std::nullopt, "not_a_number", "「x6」"},
        {"decimal", "1 2 3 4 5 6.5", std::nullopt, "not_a_number", "「6.5」"},
        {"negative", "-1 2 3 4 5 6", std::nullopt, "not_a_number", "「-1」"},
        {"zero", "0 2 3 4 5 6", std::nullopt, "out_of_range", "「0」"},
        {"fortyFour", "1 2 3 4 5 44", std::nullopt, "out_of_range", "「44」"},
        {"hugeNumber", "1 2 3 4 5 99999999999999999999", std::nullopt, "out_of_range", "99999999999999999999"},
        {"repeated", "1 2 3 3 5 6", std::nullopt, "repeated", "3 が2回"},
        {"repeatedAcrossWidths", "7 2 3 ７ 5 6", std::nullopt, "repeated", "7 が2回"},
        {"five", "1 2 3 4 5", std::nullopt, "too_few", "5 個"},
        {"seven", "1 2 3 4 5 6 7", std::nullopt, "too_many", "7 個"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const TicketLine line = parseTicketLine(row.text);
        EXPECT_EQ(line.numbers, row.numbers);
        EXPECT_EQ(line.code, row.code);
        EXPECT_NE(line.message.find(row.mentions), std::string::npos) << line.message;
        EXPECT_EQ(line.message.empty(), line.isValid());
    }
}

} // namespace
} // namespace omvex::analysis
