#include "cli/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace omvex::cli {
namespace {

QStringList split(const char *arguments)
{
    return QString::fromUtf8(arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(ParseArguments, acceptedArguments_setTheirOptions)
{
    struct Row {
        const char *name;
        const char *arguments;
        std::function<bool(const Options &)> holds;
    };
    const Row rows[] = {
        {"nothing_predicts", "", [](const Options &o) { return o.command == Command::Predict && !o.json && !o.save; }},
        {"levelPatternKako_override", "--level 3 --pattern 1 --kako 2",
         [](const Options &o) { return o.level == Level::Matsu && o.pattern == Pattern::All && o.kako == Kako::RandomLowBonus; }},
        {"equalsForm_isTheSame", "--level=0 --kako=3 --folder=/x/y",
         [](const Options &o) { return o.level == Level::Standard && o.kako == Kako::None && o.folder == QLatin1String("/x/y"); }},
        {"largestSeed_isExact", "--seed 18446744073709551615",
         [](const Options &o) { return o.seed == 18446744073709551615ULL; }},
        {"zeroSeed_isASeed", "--seed 0", [](const Options &o) { return o.seed == 0ULL; }},
        {"check", "--check --json", [](const Options &o) { return o.command == Command::Check && o.json; }},
        {"backtestWithLastAndSettings", "--backtest --last 50 --level 3 --seed 7",
         [](const Options &o) { return o.command == Command::Backtest && o.last == 50 && o.level == Level::Matsu && o.seed == 7ULL; }},
        {"ticket_isSortedAndTrimmed", "--ticket 42,3,17,11,36,25",
         [](const Options &o) { return o.command == Command::Ticket && o.tickets == std::vector<std::array<int, 6>>{{3, 11, 17, 25, 36, 42}}; }},
        {"severalTickets_inOrderWithOneDraw", "--ticket 1,2,3,4,5,6 --draw 12 --ticket 7,8,9,10,11,12",
         [](const Options &o) { return o.tickets.size() == 2 && o.tickets[1][0] == 7 && o.draw == 12; }},
        {"statsWithLast", "--stats --last 100", [](const Options &o) { return o.command == Command::Stats && o.last == 100; }},
        {"importWithReplace", "--replace --import=r.csv",
         [](const Options &o) { return o.command == Command::Import && o.importPath == QLatin1String("r.csv") && o.replace; }},
        {"journal", "--journal --json", [](const Options &o) { return o.command == Command::Journal && o.json; }},
        {"recordWithPredict", "--record --seed 1", [](const Options &o) { return o.command == Command::Predict && o.record; }},
        {"statsWithChart", "--stats --chart out.png",
         [](const Options &o) { return o.command == Command::Stats && o.chartPath == QLatin1String("out.png"); }},
        {"helpWins_overOtherCommands", "--check --help", [](const Options &o) { return o.command == Command::Help; }},
        {"saveWithPredict", "--save --level 1", [](const Options &o) { return o.save && o.level == Level::Ume; }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult result = parseArguments(split(row.arguments));
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_TRUE(row.holds(result.options));
    }
}

TEST(ParseArguments, refusedArguments_giveOneLineError)
{
    struct Row {
        const char *name;
        QStringList arguments;
    };
    const Row rows[] = {
        {"unknownOption", {"--bogus"}},
        {"positionalWord", {"predict"}},
        {"levelTooHigh", {"--level", "4"}},
        {"patternTwo", {"--pattern", "2"}},
        {"kakoNegative", {"--kako", "-1"}},
        {"levelWithSign", {"--level", "+1"}},
        {"levelDecimal", {"--level", "1.0"}},
        {"levelMissingValue", {"--level"}},
        {"levelEmptyEquals", {"--level="}},
        {"seedAbove64Bits", {"--seed", "18446744073709551616"}},
        {"seedNegative", {"--seed", "-5"}},
        {"seedText", {"--seed", "abc"}},
        {"lastZero", {"--backtest", "--last", "0"}},
        {"lastWithoutBacktest", {"--last", "5"}},
        {"chartWithoutStats", {"--chart", "x.png"}},
        {"emptyChart", {"--stats", "--chart", ""}},
        {"emptyFolder", {"--folder", ""}},
        {"twoCommands", {"--check", "--stats"}},
        {"saveWithCheck", {"--check", "--save"}},
        {"levelWithStats", {"--stats", "--level", "1"}},
        {"seedWithTicket", {"--ticket", "1,2,3,4,5,6", "--seed", "1"}},
        {"drawWithoutTicket", {"--draw", "5"}},
        {"drawZero", {"--ticket", "1,2,3,4,5,6", "--draw", "0"}},
        {"importTwice", {"--import", "a.csv", "--import", "b.csv"}},
        {"emptyImport", {"--import", ""}},
        {"replaceWithoutImport", {"--replace"}},
        {"recordWithJournal", {"--journal", "--record"}},
        {"lastWithTicket", {"--ticket", "1,2,3,4,5,6", "--last", "3"}},
        {"valueOnAFlag", {"--json=yes"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult result = parseArguments(row.arguments);
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.error.contains(QLatin1Char('\n')));
    }
}

TEST(ParseTicket, badLines_areRefusedWithAReason)
{
    struct Row {
        const char *name;
        const char *text;
        bool ok;
    };
    const Row rows[] = {
        {"sixDistinct", "3,11,17,25,36,42", true},
        {"blanksAroundNumbers", " 1, 2 ,3,4,5, 43", true},
        {"fiveNumbers", "1,2,3,4,5", false},
        {"sevenNumbers", "1,2,3,4,5,6,7", false},
        {"repeatedNumber", "1,2,3,4,5,5", false},
        {"zero", "0,2,3,4,5,6", false},
        {"fortyFour", "1,2,3,4,5,44", false},
        {"emptyField", "1,2,,4,5,6", false},
        {"decimal", "1,2,3,4,5,6.5", false},
        {"spaceSeparated", "1 2 3 4 5 6", false},
        {"trailingComma", "1,2,3,4,5,6,", false},
        {"hugeNumber", "1,2,3,4,5,99999999999999999999999", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QString error;
        parseTicket(QString::fromUtf8(row.text), &error);
        EXPECT_EQ(error.isEmpty(), row.ok) << error.toStdString();
    }
}

} // namespace
} // namespace omvex::cli
