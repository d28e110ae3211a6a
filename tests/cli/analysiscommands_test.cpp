// --check, --version and the analysis commands (--backtest, --ticket, --stats, --patterns) through the tool.
#include "clitestsupport.h"

#include "omvex/appinfo.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace omvex::cli {
namespace {

using test::readFile;
using test::runTool;
using test::numbersOf;
using test::parseJson;
using test::writeFile;

TEST(CheckCommand, status_tellsWhetherTheWholeFileWasRead)
{
    struct Row {
        const char *name;
        std::optional<QByteArray> history;
        int status;
        int draws;
        const char *says;
        const char *code;    // the stop's stable code; empty when the file was read to its end
        const char *warning; // the code of the first warning; nullptr: none
    };
    const Row rows[] = {
        {"sharedHistory_complete", test::sharedHistory(), kExitOk, 2058, "最後まで読みました", "", nullptr},
        {"endRecord_complete_warnsOfLinesAfter", "1,1,2,3,4,5,6,7\n0,0,0,0,0,0,0,0\ngarbage\n", kExitOk, 1,
         "最後まで読みました", "", "after-end"},
        {"emptyFile_complete", "", kExitOk, 0, "最後まで読みました", "", nullptr},
        {"newestFirst_completeButWarnsOfOrder", "3,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n", kExitOk, 3,
         "警告: 2行目", "", "order"},
        {"textDrawNumber_stopsEarly", "1,1,2,3,4,5,6,7\nx,1,2,3,4,5,6,7\n", kExitHistory, 1,
         "2 行目の 1 番目の項目で止まりました（回号が数字ではありません）", "draw-not-a-number", nullptr},
        {"recordCutShort_stopsEarly", "1,1,2,3,4,5,6,7\n2,1,2,3\n", kExitHistory, 1,
         "記録の途中でファイルが終わっています", "record-cut-short", nullptr},
        {"valueOutOfRange_stopsEarly", "1,1,2,3,4,5,6,100\n", kExitHistory, 0, "-99 から 99", "value-out-of-range",
         "numbers"},
        {"missingFile_stopsEarly", std::nullopt, kExitHistory, 0, "読めません（ファイルがありません）", "file-missing", nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        if (row.history)
            writeFile(dir.filePath("kako.txt"), *row.history);
        const auto text = runTool(dir.path(), {"--check"});
        EXPECT_EQ(text.status, row.status);
        EXPECT_NE(text.out.find(row.says), std::string::npos) << text.out;
        EXPECT_NE(text.out.find("記録数: " + std::to_string(row.draws) + "\n"), std::string::npos) << text.out;

        const auto json = runTool(dir.path(), {"--check", "--json"});
        EXPECT_EQ(json.status, row.status);
        const QJsonObject h = parseJson(json.out)["history"].toObject();
        EXPECT_EQ(h["draws"].toInt(), row.draws);
        EXPECT_EQ(h["complete"].toBool(), row.status == kExitOk);
        EXPECT_EQ(h["stop"].isNull(), row.status == kExitOk);
        EXPECT_EQ(h["sha256"].isNull(), !row.history.has_value());
        EXPECT_EQ(h["stop"]["code"].toString(), QString::fromUtf8(row.code));
        EXPECT_EQ(h["stop"]["message"].toString().isEmpty(), *row.code == '\0');
        const QJsonArray warnings = h["warnings"].toArray();
        ASSERT_EQ(warnings.isEmpty(), row.warning == nullptr) << json.out;
        if (row.warning) {
            EXPECT_EQ(warnings[0]["code"].toString(), QLatin1String(row.warning));
            EXPECT_GT(warnings[0]["line"].toInt(), 0);
            EXPECT_FALSE(warnings[0]["message"].toString().isEmpty());
        }
    }
}

TEST(Tool, version_isOneLineWithTheBuildsVersion)
{
    QTemporaryDir dir;
    const auto run = runTool(dir.filePath("absent"), {"--version"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, std::string("omvex-predict ") + kVersionText + "\n");
    EXPECT_TRUE(run.err.empty());
}

// Tables of zeros would read as a result; without a draw to count there is none to give.
TEST(AnalysisCommands, withoutUsableDraws_refuseInOneLine)
{
    struct Row {
        const char *name;
        std::optional<QByteArray> history;
        QStringList arguments;
    };
    const QByteArray oneDraw = "1,1,2,3,4,5,6,7\n";
    const Row rows[] = {
        {"statsMissingFile", std::nullopt, {"--stats"}},
        {"statsEmptyFile", "", {"--stats", "--json"}},
        {"statsRepeatedMainNumber", "1,1,1,2,3,4,5,6\n2,7,8,9,10,11,44,1\n", {"--stats"}},
        {"patternsEmptyFile", "", {"--patterns", "--json"}},
        {"ticketStoppedBeforeAnyDraw", "x,1,2,3,4,5,6,7\n", {"--ticket", "1,2,3,4,5,6"}},
        {"backtestOneDraw", oneDraw, {"--backtest", "--seed", "1"}},
        {"backtestOneDrawAndABadRow", oneDraw + "2,1,2,3,4,5,5,7\n", {"--backtest", "--json"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        if (row.history)
            writeFile(dir.filePath("kako.txt"), *row.history);
        const auto run = runTool(dir.path(), row.arguments);
        EXPECT_EQ(run.status, kExitHistory);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(run.err.rfind("omvex-predict: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST(AnalysisCommands, jsonCarriesProvenanceAndConsistentCounts)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(test::sharedHistory(), QCryptographicHash::Sha256).toHex());
    const char *tierNames[] = {"6", "5+bonus", "5", "4", "3", "fewer"};

    const auto backtest = runTool(dir.path(), {"--backtest", "--last", "15", "--seed", "77", "--json"});
    ASSERT_EQ(backtest.status, kExitOk) << backtest.err;
    const QJsonObject b = parseJson(backtest.out);
    EXPECT_EQ(b["seed"].toInteger(), 77);
    EXPECT_EQ(b["history"]["sha256"].toString(), sha);
    EXPECT_EQ(b["history"]["rows"].toInt(), 2058) << "rows as read, not as cut by the backtest";
    const QJsonObject bt = b["backtest"].toObject();
    EXPECT_EQ(bt["draws"].toInt(), 15);
    EXPECT_EQ(bt["lines"].toInt(), 30);
    const QJsonArray tiers = bt["tiers"].toArray();
    ASSERT_EQ(tiers.size(), 6);
    int observed = 0;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tiers[i]["tier"].toString(), QLatin1String(tierNames[i]));
        EXPECT_DOUBLE_EQ(tiers[i]["expected"].toDouble(), 30 * tiers[i]["probability"].toDouble());
        observed += tiers[i]["observed"].toInt();
    }
    EXPECT_EQ(observed, 30);
    EXPECT_DOUBLE_EQ(tiers[0]["probability"].toDouble(), 1.0 / 6096454);
    const QJsonArray results = bt["results"].toArray();
    ASSERT_EQ(results.size(), 15);
    EXPECT_EQ(results[0]["draw"].toInt(), 2044);
    EXPECT_EQ(runTool(dir.path(), {"--backtest", "--last", "15", "--seed", "77", "--json"}).out, backtest.out);

    const auto ticket = runTool(dir.path(), {"--ticket", "3,11,17,25,36,42", "--json"});
    ASSERT_EQ(ticket.status, kExitOk) << ticket.err;
    const QJsonObject t = parseJson(ticket.out);
    EXPECT_TRUE(t["seed"].isNull());
    EXPECT_EQ(t["history"]["sha256"].toString(), sha);
    EXPECT_EQ(t["ticket"]["draws"].toInt(), 2058);
    EXPECT_EQ(numbersOf(t["ticket"]["numbers"].toArray()), (std::vector<int>{3, 11, 17, 25, 36, 42}));

    const auto stats = runTool(dir.path(), {"--stats", "--json"});
    ASSERT_EQ(stats.status, kExitOk) << stats.err;
    const QJsonObject s = parseJson(stats.out)["stats"].toObject();
    EXPECT_EQ(s["draws"].toInt(), 2058);
    const QJsonArray numbers = s["numbers"].toArray();
    ASSERT_EQ(numbers.size(), 43);
    int mains = 0;
    int bonuses = 0;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        EXPECT_EQ(numbers[i]["number"].toInt(), i + 1);
        mains += numbers[i]["main"].toInt();
        bonuses += numbers[i]["bonus"].toInt();
        EXPECT_DOUBLE_EQ(numbers[i]["expected_main"].toDouble(), 2058.0 * 6 / 43);
        EXPECT_LT(numbers[i]["low"].toDouble(), numbers[i]["expected_main"].toDouble());
    }
    EXPECT_EQ(mains, 6 * 2058);
    EXPECT_EQ(bonuses, 2058);

    const auto patterns = runTool(dir.path(), {"--patterns", "--last", "100", "--json"});
    ASSERT_EQ(patterns.status, kExitOk) << patterns.err;
    const QJsonObject p = parseJson(patterns.out);
    EXPECT_EQ(p["history"]["sha256"].toString(), sha);
    const QJsonObject pt = p["patterns"].toObject();
    EXPECT_EQ(pt["draws"].toInt(), 100);
    EXPECT_EQ(pt["last"].toInt(), 100);
    EXPECT_EQ(pt["first_draw"].toInt(), 1959);
    EXPECT_EQ(pt["last_draw"].toInt(), 2058);
    for (const char *key : {"odd_even", "low_high", "sum", "consecutive", "repeats"}) {
        SCOPED_TRACE(key);
        const QJsonArray bins = pt[QLatin1String(key)]["bins"].toArray();
        int counted = 0;
        double probability = 0;
        for (const QJsonValue &bin : bins) {
            counted += bin["observed"].toInt();
            probability += bin["probability"].toDouble();
            EXPECT_LE(bin["range"]["low"].toInt(), bin["range"]["high"].toInt());
        }
        EXPECT_EQ(counted, 100) << "every draw's previous draw is held as well";
        EXPECT_NEAR(probability, 1, 1e-12);
        EXPECT_GE(pt[QLatin1String(key)]["df"].toInt(), 1);
        EXPECT_FALSE(pt[QLatin1String(key)]["verdict"].toString().isEmpty());
    }
    EXPECT_EQ(pt["sum"]["bins"][0]["value"].toArray(), QJsonArray({21, 80}));
    EXPECT_EQ(pt["gaps"]["numbers"].toArray().size(), 43);
    EXPECT_EQ(pt["pairs"]["most"].toArray().size(), 10);
    EXPECT_EQ(pt["pairs"]["least"][0]["pair"].toArray().size(), 2);
    const auto patternsText = runTool(dir.path(), {"--patterns"});
    ASSERT_EQ(patternsText.status, kExitOk) << patternsText.err;
    for (const char *caption : {"奇数・偶数", "小・大", "合計", "連続数字", "前回からの引っ張り", "出ていない回数", "組み合わせ"})
        EXPECT_NE(patternsText.out.find(caption), std::string::npos) << caption;
}

TEST(BacktestCommand, progressGoesToStandardErrorOnlyOnATerminal)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    struct Row {
        const char *name;
        bool terminal;
    };
    for (const Row &row : {Row{"terminal", true}, Row{"pipe", false}}) {
        SCOPED_TRACE(row.name);
        Environment environment;
        environment.programFolder = dir.path();
        environment.progressOnTerminal = row.terminal;
        std::ostringstream out;
        std::ostringstream err;
        const ParseResult parsed = parseArguments({"--backtest", "--last", "8", "--seed", "1", "--json"});
        ASSERT_TRUE(parsed.ok());
        EXPECT_EQ(runCommand(parsed.options, environment, out, err), kExitOk);
        parseJson(out.str()); // the bar never mixes into the JSON
        const std::string progress = err.str();
        if (row.terminal) {
            EXPECT_NE(progress.find("100% 8/8"), std::string::npos) << progress;
            EXPECT_EQ(progress.substr(progress.size() - 4), "\r\033[K") << "the bar clears its line at the end";
        } else {
            EXPECT_TRUE(progress.empty()) << progress;
        }
    }
}

} // namespace
} // namespace omvex::cli
