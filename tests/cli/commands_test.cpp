#include "clitestsupport.h"

#include "engine/random.h"
#include "engine/predictpass.h"
#include "history/drawhistory.h"
#include "omvex/appinfo.h"

#include <QCryptographicHash>
#include <QDir>
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

TEST(PredictCommand, textOutput_isTwoCaptionedLinesOfSixAscendingNumbers)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    const auto run = runTool(dir.path(), {"--seed", "42"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const char *captions[] = {"１回目", "２回目"};
    for (int pass = 0; pass < 2; ++pass) {
        const QRegularExpression shape(QStringLiteral("^%1: (\\d+) (\\d+) (\\d+) (\\d+) (\\d+) (\\d+)$")
                                           .arg(QString::fromUtf8(captions[pass])));
        const auto match = shape.match(lines[pass]);
        ASSERT_TRUE(match.hasMatch()) << lines[pass].toStdString();
        int previous = 0;
        for (int i = 1; i <= 6; ++i) {
            const int n = match.captured(i).toInt();
            EXPECT_GT(n, previous);
            EXPECT_LE(n, 43);
            previous = n;
        }
    }
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(PredictCommand, sameSeed_repeatsAndOtherSeedDiffers)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    const auto first = runTool(dir.path(), {"--seed", "12345", "--level", "1", "--json"});
    const auto again = runTool(dir.path(), {"--seed", "12345", "--level", "1", "--json"});
    const auto other = runTool(dir.path(), {"--seed", "12346", "--level", "1", "--json"});
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(parseJson(first.out)["passes"], parseJson(other.out)["passes"]);
}

// The tool must give what the window gives: history loaded once, pass 0 with the seed, then
// pass 1 with the next seed, on the same grids.
TEST(PredictCommand, numbers_matchTheEngineRunOnTheSameFiles)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    writeFile(dir.filePath("omvex.ini"), "[OmvexINI]\nLevel=2\nPattern=1\nKako=1\n");
    const auto run = runTool(dir.path(), {"--seed", "987654321", "--json"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const QJsonArray passes = parseJson(run.out)["passes"].toArray();

    PredictionTables tables;
    resetTablesForStartUp(tables);
    loadDrawHistory(dir.filePath("kako.txt"), tables.history);
    const Settings settings{Level::Take, Pattern::All, Kako::Random};
    const auto pass0 = predictPass(tables, 0, settings, passSeed(987654321, 0));
    const auto pass1 = predictPass(tables, 1, settings, passSeed(987654321, 1));
    EXPECT_EQ(numbersOf(passes[0]["numbers"].toArray()), std::vector<int>(pass0.begin(), pass0.end()));
    EXPECT_EQ(numbersOf(passes[1]["numbers"].toArray()), std::vector<int>(pass1.begin(), pass1.end()));
}

TEST(PredictCommand, json_hasTheAgreedShapeAndProvenance)
{
    QTemporaryDir dir;
    const QByteArray history = test::sharedHistory();
    writeFile(dir.filePath("kako.txt"), history);
    const auto run = runTool(dir.path(), {"--seed", "7", "--json", "--kako", "2"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const QJsonObject json = parseJson(run.out);

    // Scripts and people read the keys in this order.
    const QString raw = QString::fromStdString(run.out);
    qsizetype at = -1;
    for (const char *key : {"\"version\"", "\"settings\"", "\"seed\"", "\"history\"", "\"passes\""}) {
        const qsizetype next = raw.indexOf(QLatin1String(key));
        EXPECT_GT(next, at) << key;
        at = next;
    }

    EXPECT_EQ(json["version"].toString().toStdString(), kVersionText);
    EXPECT_EQ(json["settings"].toObject(),
              QJsonObject({{"Level", "0"}, {"Pattern", "0"}, {"Kako", "2"}}));
    EXPECT_EQ(json["seed"].toInteger(), 7);
    const QJsonObject h = json["history"].toObject();
    EXPECT_EQ(h["path"].toString(), dir.filePath("kako.txt"));
    EXPECT_EQ(h["sha256"].toString(), QString::fromLatin1(QCryptographicHash::hash(history, QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(h["draws"].toInt(), 2058);
    EXPECT_EQ(h["rows"].toInt(), 2058);
    EXPECT_TRUE(h["complete"].toBool());
    EXPECT_TRUE(h["stop"].isNull());

    const QJsonArray passes = json["passes"].toArray();
    ASSERT_EQ(passes.size(), 2);
    EXPECT_EQ(passes[0]["caption"].toString(), QStringLiteral("１回目"));
    EXPECT_EQ(passes[1]["caption"].toString(), QStringLiteral("２回目"));
    for (const QJsonValue &pass : passes) {
        const std::vector<int> numbers = numbersOf(pass["numbers"].toArray());
        ASSERT_EQ(numbers.size(), 6u);
        EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
        const QJsonArray scores = pass["scores"].toArray();
        ASSERT_EQ(scores.size(), 43);
        std::set<int> seen;
        std::set<int> topSix;
        double previous = INFINITY;
        for (qsizetype row = 0; row < scores.size(); ++row) {
            const int number = scores[row]["number"].toInt();
            const double points = scores[row]["points"].toDouble();
            seen.insert(number);
            if (row < 6)
                topSix.insert(number);
            EXPECT_LE(points, previous) << "ranking breaks at row " << row;
            EXPECT_DOUBLE_EQ(points * 10, std::round(points * 10)) << "points are whole tenths";
            previous = points;
        }
        EXPECT_EQ(seen.size(), 43u);
        EXPECT_EQ(topSix, std::set<int>(numbers.begin(), numbers.end()));
    }
    // One decimal on every score, also on whole points, as the score grid shows them.
    EXPECT_FALSE(raw.contains(QRegularExpression(QStringLiteral("\"points\":-?\\d+[,}]"))));
}

TEST(PredictCommand, jsonOfATruncatedHistory_saysWhereReadingStopped)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), "1,1,2,3,4,5,6,7\n2,8,9,10,11,12,13,14\nabc,1,2,3,4,5,6,7\n4,1,2,3,4,5,6,7\n");
    const auto run = runTool(dir.path(), {"--seed", "1", "--json"});
    ASSERT_EQ(run.status, kExitOk);
    const QJsonObject h = parseJson(run.out)["history"].toObject();
    EXPECT_EQ(h["draws"].toInt(), 2);
    EXPECT_EQ(h["rows"].toInt(), 2);
    EXPECT_FALSE(h["complete"].toBool());
    EXPECT_EQ(h["stop"]["line"].toInt(), 3);
    EXPECT_EQ(h["stop"]["field"].toInt(), 1);
    EXPECT_EQ(h["stop"]["reason"].toString(), QStringLiteral("the draw number is not a number"));
    EXPECT_EQ(h["stop"]["code"].toString(), QStringLiteral("draw-not-a-number"));
    EXPECT_EQ(h["stop"]["message"].toString(), QStringLiteral("回号が数字ではありません"));
    EXPECT_EQ(run.err, "omvex-predict: 注意: " + dir.filePath("kako.txt").toStdString()
                           + " は 3 行目の 1 番目の項目で読み込みが止まりました（回号が数字ではありません）。"
                             "それまでの 2 件で続けます。\n");
}

TEST(PredictCommand, overrides_applyToTheRunAndWriteNothing)
{
    QTemporaryDir dir;
    const QByteArray ini = "[OmvexINI]\r\nLevel=1\r\nPattern=0\r\nKako=3\r\n";
    writeFile(dir.filePath("omvex.ini"), ini);
    const auto run = runTool(dir.path(), {"--level", "3", "--pattern", "1", "--seed", "1", "--json"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(parseJson(run.out)["settings"].toObject(), QJsonObject({{"Level", "3"}, {"Pattern", "1"}, {"Kako", "3"}}));
    EXPECT_EQ(readFile(dir.filePath("omvex.ini")), ini);
    EXPECT_FALSE(QFile::exists(dir.filePath("kako.txt"))) << "a missing history is not created";
}

TEST(PredictCommand, save_writesTheDialogsThreeKeysAndKeepsOtherLines)
{
    struct Row {
        const char *name;
        std::optional<QByteArray> before;
        QStringList arguments;
        QByteArray after;
        const char *shown; // the settings as the dialog names them
    };
    const Row rows[] = {
        {"noFile_createdInKeyOrder", std::nullopt, {"--level", "3", "--pattern", "1", "--kako", "0"},
         "[OmvexINI]\nLevel=3\nPattern=1\nKako=0\n", "レベル 松・抽出パターン すべて・過去利用法 並"},
        {"otherSectionsAndComments_kept",
         ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=1\n; keep me\n\n[Tail]\n",
         {"--level", "3", "--pattern", "1", "--kako", "0"},
         ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=0\nLevel=3\nPattern=1\n; keep me\n\n[Tail]\n",
         "レベル 松・抽出パターン すべて・過去利用法 並"},
        {"storedValuesWithoutOverrides_rewritten", "[omvexini]\nlevel = 2abc\nPATTERN=1\nKako=9\n", {},
         "[omvexini]\nlevel =2\nPATTERN=1\nKako=0\n", "レベル 竹・抽出パターン すべて・過去利用法 並"},
        {"windowsLineEnds_kept", "[OmvexINI]\r\nLevel=0\r\n", {"--kako", "2"},
         "[OmvexINI]\r\nLevel=0\r\nPattern=0\r\nKako=2\r\n", "レベル 標準・抽出パターン 選択・過去利用法 特上"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        if (row.before)
            writeFile(dir.filePath("omvex.ini"), *row.before);
        QStringList arguments = row.arguments;
        arguments << "--save" << "--seed" << "3";
        const auto run = runTool(dir.path(), arguments);
        EXPECT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(readFile(dir.filePath("omvex.ini")), row.after);
        EXPECT_NE(run.out.find(std::string("設定を保存しました: ") + dir.filePath("omvex.ini").toStdString() + "（"
                               + row.shown + "）\n"),
                  std::string::npos)
            << run.out;
    }
}

TEST(PredictCommand, saveThatCannotWrite_failsAndSaysWhere)
{
    QTemporaryDir dir;
    // A folder in the settings file's place cannot be replaced by a file, even by root.
    ASSERT_TRUE(QDir(dir.path()).mkdir("omvex.ini"));
    const auto run = runTool(dir.path(), {"--save", "--seed", "3", "--level", "1"});
    EXPECT_EQ(run.status, kExitWriteFailed);
    EXPECT_NE(run.err.find(dir.filePath("omvex.ini").toStdString()), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("設定を保存しました"), std::string::npos);
    EXPECT_TRUE(QFileInfo(dir.filePath("omvex.ini")).isDir());
}

TEST(PredictCommand, missingFolder_isAUsageError)
{
    QTemporaryDir dir;
    const auto run = runTool(dir.path(), {"--folder", dir.filePath("nowhere")});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("nowhere"), std::string::npos);
}

} // namespace
} // namespace omvex::cli
