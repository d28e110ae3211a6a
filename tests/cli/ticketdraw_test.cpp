// --ticket against one draw and --stats over the last draws.
#include "clitestsupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace omvex::cli {
namespace {

using test::jsonOf;
using test::runTool;
using test::writeFile;

// Draw 2 is missing and draw 4's 44 is no valid number.
const QByteArray kHistory = "1,1,2,3,4,5,6,7\n"
                            "3,1,9,17,25,33,41,2\n"
                            "4,1,2,3,4,5,44,7\n"
                            "5,8,9,10,11,12,13,14\n";

TEST(TicketCommand, drawOption_scoresEachLineAgainstThatDrawOnly)
{
    struct Row {
        const char *name;
        QStringList arguments;
        int status;
        const char *expected; // each ticket's matches, bonus, tier and prize, compact; or what a refusal says
    };
    const Row rows[] = {
        {"sixMatches_firstPrize", {"--ticket", "41,33,25,17,9,1", "--draw", "3"}, kExitOk, "6,false,6,1等"},
        {"fiveAndBonus_secondPrize", {"--ticket", "1,2,3,4,5,7", "--draw", "1"}, kExitOk, "5,true,5+bonus,2等"},
        {"twoLines_eachScored", {"--ticket", "9,10,11,40,41,42", "--ticket", "1,2,3,4,5,6", "--draw", "5"}, kExitOk,
         "3,false,3,5等 0,false,fewer,null"},
        {"missingDraw_refused", {"--ticket", "1,2,3,4,5,6", "--draw", "2"}, kExitRefused, "第 1 回〜第 5 回"},
        {"invalidNumbers_refusedForThatRow", {"--ticket", "1,2,3,4,5,6", "--draw", "4"}, kExitRefused,
         "第 4 回の kako.txt の数字が正しくありません"},
        {"beyondTheHistory_refused", {"--ticket", "1,2,3,4,5,6", "--draw", "99999999"}, kExitRefused, "第 1 回〜第 5 回"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        writeFile(dir.filePath("kako.txt"), kHistory);
        const auto text = runTool(dir.path(), row.arguments);
        EXPECT_EQ(text.status, row.status);
        const auto run = runTool(dir.path(), QStringList(row.arguments) << "--json");
        EXPECT_EQ(run.status, row.status);
        if (row.status != kExitOk) {
            EXPECT_TRUE(run.out.empty()) << run.out;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_NE(run.err.find(row.expected), std::string::npos) << run.err;
            continue;
        }
        QStringList got;
        for (const QJsonValue &ticket : jsonOf(run.out)["tickets"].toArray()) {
            EXPECT_EQ(ticket["draw"].toInt(), row.arguments.last().toInt());
            EXPECT_EQ(ticket["numbers"].toArray().size(), 6);
            got << QStringLiteral("%1,%2,%3,%4")
                       .arg(ticket["matches"].toInt())
                       .arg(ticket["bonus"].toBool() ? "true" : "false")
                       .arg(ticket["tier"].toString())
                       .arg(ticket["prize"].isNull() ? QStringLiteral("null") : ticket["prize"].toString());
        }
        EXPECT_EQ(got.join(' ').toStdString(), row.expected);
        EXPECT_NE(text.out.find("第 " + row.arguments.last().toStdString() + " 回: 本数字"), std::string::npos)
            << text.out;
    }
}

TEST(TicketCommand, severalLinesWithoutDraw_eachCheckedOverTheWholeHistory)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), kHistory);
    const auto run = runTool(dir.path(), {"--ticket", "1,2,3,4,5,6", "--ticket", "8,9,10,11,12,13", "--json"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const QJsonObject output = jsonOf(run.out);
    EXPECT_FALSE(output.contains("ticket"));
    const QJsonArray tickets = output["tickets"].toArray();
    ASSERT_EQ(tickets.size(), 2);
    for (const QJsonValue &ticket : tickets) {
        EXPECT_EQ(ticket["draws"].toInt(), 3) << "the valid draws";
        EXPECT_EQ(ticket["skipped_rows"].toInt(), 1);
    }
    EXPECT_EQ(tickets[1]["numbers"][0].toInt(), 8);
    EXPECT_EQ(tickets[1]["best"]["draw"].toInt(), 5);
}

TEST(StatsCommand, lastOption_countsOnlyTheLastValidDraws)
{
    struct Row {
        const char *name;
        QStringList last;
        int draws;
        int skipped;
        int mainsOfOne; // times 1 came up as a main number
        int bonusesOfTwo;
        int high;    // of the exact 95 % range of a main number's count, whose low end is 0 here
        int outside; // main numbers outside it
    };
    const Row rows[] = {
        {"all", {}, 3, 1, 2, 1, 2, 0},
        {"lastOne_nothingOutside", {"--last", "1"}, 1, 0, 0, 0, 1, 0},
        // 9 came up in both draws: P(X = 2) = (6/43)^2 < 2.5 %.
        {"lastTwo_fromDrawThree_countsTheBadRowBetween", {"--last", "2"}, 2, 1, 1, 1, 1, 1},
        {"moreThanHeld_all", {"--last", "50"}, 3, 1, 2, 1, 2, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        writeFile(dir.filePath("kako.txt"), kHistory);
        const auto run = runTool(dir.path(), QStringList{"--stats", "--json"} << row.last);
        ASSERT_EQ(run.status, kExitOk) << run.err;
        const QJsonObject stats = jsonOf(run.out)["stats"].toObject();
        EXPECT_EQ(stats["draws"].toInt(), row.draws);
        EXPECT_EQ(stats["last"].isNull(), row.last.isEmpty());
        EXPECT_EQ(stats["skipped_rows"].toInt(), row.skipped);
        EXPECT_EQ(stats["numbers"][0]["main"].toInt(), row.mainsOfOne);
        EXPECT_EQ(stats["numbers"][1]["bonus"].toInt(), row.bonusesOfTwo);
        EXPECT_DOUBLE_EQ(stats["numbers"][0]["expected_main"].toDouble(), row.draws * 6.0 / 43);
        EXPECT_EQ(stats["numbers"][0]["low"].toInt(), 0);
        EXPECT_EQ(stats["numbers"][0]["high"].toInt(), row.high);
        EXPECT_LT(stats["expected_outside"].toDouble(), 1) << "few draws leave little room outside";
        const QJsonArray numbers = stats["numbers"].toArray();
        EXPECT_EQ(std::count_if(numbers.begin(), numbers.end(), [](const QJsonValue &n) { return n["outside"].toBool(); }),
                  row.outside);
        const auto text = runTool(dir.path(), QStringList{"--stats"} << row.last);
        EXPECT_NE(text.out.find("出やすい数字・出にくい数字とは言えません"), std::string::npos) << text.out;
    }
}

} // namespace
} // namespace omvex::cli
