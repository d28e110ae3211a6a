#include "cli/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace omvex::cli {
namespace {

// The arguments as the program gets them: bytes, split at blanks.
QList<QByteArray> split(const char *arguments)
{
    QList<QByteArray> bytes = QByteArray(arguments).split(' ');
    bytes.removeAll(QByteArray());
    return bytes;
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
        {"utf8Folder", "--folder /x/café予想", [](const Options &o) { return o.folder == QStringLiteral("/x/café予想"); }},
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
        {"backtestWithJobs", "--backtest --jobs=2", [](const Options &o) { return o.command == Command::Backtest && o.jobs == 2; }},
        {"statsWithLast", "--stats --last 100", [](const Options &o) { return o.command == Command::Stats && o.last == 100; }},
        {"patternsWithLast", "--patterns --last 50", [](const Options &o) { return o.command == Command::Patterns && o.last == 50; }},
        {"importWithReplace", "--replace --import=r.csv",
         [](const Options &o) { return o.command == Command::Import && o.importPath == QLatin1String("r.csv") && o.replace; }},
        {"fetchWithAddressAndReplace", "--fetch https://x.test/r.csv?a=1 --replace",
         [](const Options &o) { return o.command == Command::Fetch && o.fetchAddress == QLatin1String("https://x.test/r.csv?a=1") && o.replace; }},
        {"fetchWithoutAddress_nextOptionIsNoAddress", "--fetch --json",
         [](const Options &o) { return o.command == Command::Fetch && o.fetchAddress.isEmpty() && o.json; }},
        {"journal", "--journal --json", [](const Options &o) { return o.command == Command::Journal && o.json; }},
        {"recordWithPredict", "--record --seed 1", [](const Options &o) { return o.command == Command::Predict && o.record; }},
        {"statsWithChart", "--stats --chart out.png",
         [](const Options &o) { return o.command == Command::Stats && o.chartPath == QLatin1String("out.png"); }},
        {"chartSuffixInCapitals", "--stats --chart OUT.PNG", [](const Options &o) { return o.command == Command::Stats; }},
        {"helpWins_overOtherCommands", "--check --help", [](const Options &o) { return o.command == Command::Help; }},
        {"saveWithPredict", "--save --level 1", [](const Options &o) { return o.save && o.level == Level::Ume; }},
        {"versionWins_overOtherCommands", "--check --version", [](const Options &o) { return o.command == Command::Version; }},
        {"helpWins_overVersion", "--version --help", [](const Options &o) { return o.command == Command::Help; }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult result = parseArgumentBytes(split(row.arguments));
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_TRUE(row.holds(result.options));
    }
}

TEST(ParseArguments, refusedArguments_giveOneLineError)
{
    struct Row {
        const char *name;
        QList<QByteArray> arguments; // as the program gets them
        const char *says = "";       // part of the message, where its wording matters
    };
    const Row rows[] = {
        {"unknownOption", {"--bogus"}},
        {"positionalWord", {"predict"}},
        {"levelTooHigh", {"--level", "4"}, "--level の値 \"4\" は 0 から 3 までの整数ではありません"},
        {"patternTwo", {"--pattern", "2"}},
        {"kakoNegative", {"--kako", "-1"}},
        {"levelWithSign", {"--level", "+1"}},
        {"levelDecimal", {"--level", "1.0"}},
        {"levelFullWidthDigit", {"--level", "３"}},
        {"levelMissingValue", {"--level"}},
        {"levelEmptyEquals", {"--level="}},
        {"seedAbove64Bits", {"--seed", "18446744073709551616"}},
        {"seedNegative", {"--seed", "-5"}},
        {"seedText", {"--seed", "abc"}},
        {"lastZero", {"--backtest", "--last", "0"}},
        {"lastPlaceholder_keptAsGiven", {"--backtest", "--last", "%1"}, "--last の値 \"%1\" は 1 以上の整数ではありません"},
        {"levelPlaceholders_keptAsGiven", {"--level", "%2%1"}, "\"%2%1\" は 0 から 3 まで"},
        {"ticketPlaceholders_keptAsGiven", {"--ticket", "%1,%2"}, "--ticket の \"%1,%2\""},
        {"lastWithoutBacktest", {"--last", "5"}},
        {"chartWithoutStats", {"--chart", "x.png"}},
        {"emptyChart", {"--stats", "--chart", ""}},
        {"chartNotPng", {"--stats", "--chart", "x.jpg"}, ".png"},
        {"chartPngOnlyInTheMiddle", {"--stats", "--chart", "x.png.txt"}, ".png"},
        {"emptyFolder", {"--folder", ""}},
        {"folderNotUtf8", {"--folder", "caf\xe9"}, "--folder のフォルダ名が正しい UTF-8 ではありません: caf\\xe9"},
        {"folderEqualsNotUtf8", {"--folder=\xff/日本"}, "UTF-8 ではありません: \\xff/日本"},
        {"folderOverlongSlash", {"--folder", "a\xc0\xaf" "b"}, "a\\xc0\\xafb"},
        {"chartNotUtf8", {"--stats", "--chart", "\xe9.png"}, "--chart のファイル名が正しい UTF-8 ではありません"},
        {"importNotUtf8", {"--import", "r\xe9sultats.csv"}, "--import のファイル名が正しい UTF-8 ではありません: r\\xe9sultats.csv"},
        {"twoCommands", {"--check", "--stats"}},
        {"saveWithCheck", {"--check", "--save"}},
        {"levelWithStats", {"--stats", "--level", "1"}},
        {"seedWithTicket", {"--ticket", "1,2,3,4,5,6", "--seed", "1"}},
        {"drawWithoutTicket", {"--draw", "5"}},
        {"drawZero", {"--ticket", "1,2,3,4,5,6", "--draw", "0"}},
        {"importTwice", {"--import", "a.csv", "--import", "b.csv"}},
        {"emptyImport", {"--import", ""}},
        {"replaceWithoutImport", {"--replace"}},
        {"fetchTwice", {"--fetch", "--fetch"}, "--fetch は一度だけ"},
        {"emptyFetchAddress", {"--fetch", ""}, "--fetch のアドレスが空です"},
        {"fetchWithImport", {"--fetch", "--import", "a.csv"}},
        {"recordWithJournal", {"--journal", "--record"}},
        {"lastWithTicket", {"--ticket", "1,2,3,4,5,6", "--last", "3"}},
        {"jobsZero", {"--backtest", "--jobs", "0"}, "--jobs の値 \"0\" は 1 以上の整数ではありません"},
        {"jobsWithoutBacktest", {"--stats", "--jobs", "2"}, "--jobs は --backtest と一緒にだけ使えます"},
        {"valueOnAFlag", {"--json=yes"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult result = parseArgumentBytes(row.arguments);
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.error.contains(QLatin1Char('\n')));
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(row.says))) << result.error.toStdString();
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
        {"spaceSeparated", "1 2 3 4 5 6", true},
        {"fullWidthDigits", "３，１１，１７，２５，３６，４２", true},
        {"trailingComma", "1,2,3,4,5,6,", true},
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
