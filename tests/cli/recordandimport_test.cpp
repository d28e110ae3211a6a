// The commands that write or read the user's other files: --import into kako.txt, --record into
// kiroku.txt and --journal over it.
#include "clitestsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace omvex::cli {
namespace {

using test::jsonOf;
using test::readFile;
using test::runTool;
using test::writeFile;

const QByteArray kThreeDraws = "1,1,2,3,4,5,6,7\n2,8,9,10,11,12,13,14\n3,1,9,17,25,33,41,2\n";

std::vector<int> numbersOf(const QJsonValue &array)
{
    std::vector<int> numbers;
    for (const QJsonValue &value : array.toArray())
        numbers.push_back(value.toInt());
    return numbers;
}

TEST(ImportCommand, outcome_decidesWhatIsWrittenAndTheStatus)
{
    struct Row {
        const char *name;
        QByteArray source;
        bool replace;
        bool blockBackup; // a folder where kako.txt.bak goes
        int status;
        int added;
        int replaced;
        int lastDraw; // of kako.txt afterwards
        bool changes;
    };
    const Row rows[] = {
        {"newDraws_added", "3,1,9,17,25,33,41,2\n4,5,10,15,20,25,30,35\n5,2,4,6,8,10,12,14\n", false, false, kExitOk,
         2, 0, 5, true},
        {"sameDraws_nothingNew", "2,8,9,10,11,12,13,14\n", false, false, kExitOk, 0, 0, 3, false},
        {"differentNumbers_refused", "3,1,9,17,25,33,42,2\n", false, false, kExitRefused, 0, 0, 3, false},
        {"differentNumbersWithReplace_replaced", "3,1,9,17,25,33,42,2\n", true, false, kExitOk, 0, 1, 3, true},
        {"backupCannotBeWritten_writeFailed", "4,5,10,15,20,25,30,35\n", false, true, kExitWriteFailed, 1, 0, 3, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (const bool json : {true, false}) {
            QTemporaryDir dir;
            writeFile(dir.filePath("kako.txt"), kThreeDraws);
            writeFile(dir.filePath("result.csv"), row.source);
            if (row.blockBackup) {
                ASSERT_TRUE(QDir(dir.path()).mkdir("kako.txt.bak"));
            }
            QStringList arguments{"--import", dir.filePath("result.csv")};
            if (row.replace)
                arguments << "--replace";
            if (json)
                arguments << "--json";
            const auto run = runTool(dir.path(), arguments);
            EXPECT_EQ(run.status, row.status) << run.err;
            EXPECT_EQ(readFile(dir.filePath("kako.txt")) != kThreeDraws, row.changes);
            EXPECT_EQ(QFileInfo(dir.filePath("kako.txt.bak")).isFile(), row.changes);
            if (row.changes) {
                EXPECT_EQ(readFile(dir.filePath("kako.txt.bak")), kThreeDraws);
            }
            EXPECT_EQ(run.err.empty(), row.status != kExitWriteFailed) << run.err;
            if (!json) {
                EXPECT_NE(run.out.find("読み込んだ回"), std::string::npos) << run.out;
                if (row.status == kExitRefused) {
                    EXPECT_NE(run.out.find("1行目: "), std::string::npos) << run.out;
                }
                continue;
            }
            const QJsonObject output = jsonOf(run.out);
            EXPECT_EQ(output["history"]["sha256"].isString(), true);
            const QJsonArray errors = output["errors"].toArray();
            if (row.status == kExitRefused) {
                EXPECT_TRUE(output["import"].isNull());
                ASSERT_FALSE(errors.isEmpty());
                EXPECT_EQ(errors[0]["code"].toString(), QLatin1String("conflict"));
                EXPECT_EQ(errors[0]["line"].toInt(), 1);
                continue;
            }
            EXPECT_EQ(errors.isEmpty(), row.status == kExitOk) << run.out;
            const QJsonObject import = output["import"].toObject();
            EXPECT_EQ(import["file"].toString(), dir.filePath("result.csv"));
            EXPECT_EQ(import["format"].toString(), QLatin1String("kako"));
            EXPECT_EQ(import["encoding"].toString(), QLatin1String("UTF-8"));
            EXPECT_EQ(import["added"].toInt(), row.added);
            EXPECT_EQ(import["replaced"].toInt(), row.replaced);
            EXPECT_EQ(import["read"].toInt(),
                      import["added"].toInt() + import["unchanged"].toInt() + import["replaced"].toInt());
            EXPECT_EQ(import["first"].toInt(), 1);
            EXPECT_EQ(import["last"].toInt(), row.lastDraw);
            EXPECT_EQ(output["history"]["draws"].toInt(), row.lastDraw) << "the history as the import left it";
            EXPECT_EQ(import["backup"].isNull(), !row.changes);
        }
    }
}

TEST(RecordOption, appendsBothProposalsOrFailsAfterShowingThem)
{
    struct Row {
        const char *name;
        QStringList arguments;
        bool blockRecord; // a folder where kiroku.txt goes
        int status;
        bool noHistory = false; // an empty kako.txt
    };
    const Row rows[] = {
        {"json_appended", {"--seed", "5", "--record", "--json"}, false, kExitOk},
        {"withoutRecord_nothingWritten", {"--seed", "5", "--json"}, false, kExitOk},
        {"jsonCannotWrite", {"--seed", "5", "--record", "--json"}, true, kExitWriteFailed},
        {"textCannotWrite", {"--seed", "5", "--record"}, true, kExitWriteFailed},
        {"noHistory_nothingRecorded", {"--seed", "5", "--record", "--json"}, false, kExitOk, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        writeFile(dir.filePath("kako.txt"), row.noHistory ? QByteArray() : kThreeDraws);
        if (row.blockRecord) {
            ASSERT_TRUE(QDir(dir.path()).mkdir("kiroku.txt"));
        }
        const bool recording = row.arguments.contains("--record");
        const bool json = row.arguments.contains("--json");
        const auto run = runTool(dir.path(), row.arguments);
        EXPECT_EQ(run.status, row.status) << run.err;

        std::vector<std::vector<int>> proposals;
        if (json) {
            const QJsonObject output = jsonOf(run.out);
            for (const QJsonValue &pass : output["passes"].toArray())
                proposals.push_back(numbersOf(pass["numbers"]));
            EXPECT_EQ(output["record"].isObject(), recording);
            if (recording) {
                EXPECT_EQ(output["record"]["path"].toString(), dir.filePath("kiroku.txt"));
                EXPECT_EQ(output["record"]["written"].toBool(), !row.blockRecord && !row.noHistory);
                EXPECT_EQ(output["record"]["reason"].toString(), row.noHistory ? "no-history" : "");
            }
        }
        if (json) {
            ASSERT_EQ(proposals.size(), 2u) << run.out;
        } else {
            EXPECT_NE(run.out.find("２回目: "), std::string::npos) << "the proposals come first, whatever happens after";
        }
        if (row.blockRecord) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_NE(run.err.find("kiroku.txt"), std::string::npos) << run.err;
            continue;
        }
        if (row.noHistory) {
            EXPECT_NE(run.err.find("過去データがないため予想を記録しません"), std::string::npos) << run.err;
            EXPECT_FALSE(QFile::exists(dir.filePath("kiroku.txt")));
            continue;
        }
        EXPECT_EQ(QFile::exists(dir.filePath("kiroku.txt")), recording);
        if (!recording)
            continue;
        const QList<QByteArray> lines = readFile(dir.filePath("kiroku.txt")).split('\n');
        ASSERT_EQ(lines.size(), 4) << "header, both passes, the end of the last line";
        EXPECT_TRUE(lines[0].startsWith('#'));
        for (int pass = 1; pass <= 2; ++pass) {
            const QList<QByteArray> fields = lines[pass].split(',');
            ASSERT_EQ(fields.size(), 12);
            EXPECT_EQ(fields[1], "4") << "meant for the draw after the last one held";
            EXPECT_EQ(fields[5].toInt(), pass);
            if (json) {
                std::vector<int> recorded;
                for (qsizetype i = 6; i < fields.size(); ++i)
                    recorded.push_back(fields[i].toInt());
                EXPECT_EQ(recorded, proposals[static_cast<std::size_t>(pass - 1)]);
            }
        }
    }
}

TEST(JournalCommand, scoresTheRecordAgainstTheHistory)
{
    const QByteArray record = "# time,draw,level,pattern,kako,pass,n1,n2,n3,n4,n5,n6\n"
                              "2026-01-05T10:00:00+09:00,3,3,1,0,1,1,9,17,25,33,40\n"
                              "2026-01-05T10:00:00+09:00,3,3,1,0,2,2,8,10,12,14,16\n"
                              "not a proposal\n"
                              "2026-01-06T10:00:00+09:00,4,0,0,0,1,1,2,3,4,5,6\n";
    struct Row {
        const char *name;
        std::optional<QByteArray> record; // nullopt: none; empty: a folder in its place
        int status;
        int scored;
        int pending;
        const char *says;
    };
    const Row rows[] = {
        {"noRecordYet_empty", std::nullopt, kExitOk, 0, 0, "まだありません"},
        {"scoredAndPending", record, kExitOk, 2, 1, "判定:"},
        {"folderInItsPlace_refused", QByteArray(), kExitRefused, 0, 0, "予想の記録"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        writeFile(dir.filePath("kako.txt"), kThreeDraws);
        if (row.record && row.record->isEmpty()) {
            ASSERT_TRUE(QDir(dir.path()).mkdir("kiroku.txt"));
        } else if (row.record) {
            writeFile(dir.filePath("kiroku.txt"), *row.record);
        }

        const auto text = runTool(dir.path(), {"--journal"});
        EXPECT_EQ(text.status, row.status);
        EXPECT_NE(text.out.find(row.says), std::string::npos) << text.out;

        const auto run = runTool(dir.path(), {"--journal", "--json"});
        EXPECT_EQ(run.status, row.status);
        const QJsonObject journal = jsonOf(run.out)["journal"].toObject();
        EXPECT_EQ(journal["path"].toString(), dir.filePath("kiroku.txt"));
        EXPECT_EQ(journal["scored"].toInt(), row.scored);
        EXPECT_EQ(journal["pending"].toInt(), row.pending);
        EXPECT_EQ(journal["entries"].toArray().size(), row.scored + row.pending);
        EXPECT_EQ(journal["tiers"].toArray().size(), 6);
        EXPECT_DOUBLE_EQ(journal["expected_mean_matches"].toDouble(), 36.0 / 43);
        EXPECT_EQ(journal["mean_matches"].isNull(), row.scored == 0);
        EXPECT_EQ(journal["warnings"].toArray().isEmpty(), !row.record.has_value());
    }

    // What each entry says, newest first, in the file above.
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), kThreeDraws);
    writeFile(dir.filePath("kiroku.txt"), record);
    const auto run = runTool(dir.path(), {"--journal", "--json"});
    const QJsonObject journal = jsonOf(run.out)["journal"].toObject();
    const QJsonArray entries = journal["entries"].toArray();
    ASSERT_EQ(entries.size(), 3);
    // Draw 3 is 1 9 17 25 33 41 with bonus 2; draw 4 is not held yet.
    const char *expected[] = {
        R"({"line":5,"status":"pending","pending":true,"matches":null,"bonus":null,"tier":null,"prize":null})",
        R"({"line":3,"status":"scored","pending":false,"matches":0,"bonus":true,"tier":"fewer","prize":null})",
        R"({"line":2,"status":"scored","pending":false,"matches":5,"bonus":false,"tier":"5","prize":"3等"})",
    };
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QJsonObject got;
        for (const char *key : {"line", "status", "pending", "matches", "bonus", "tier", "prize"})
            got.insert(QLatin1String(key), entries[i][QLatin1String(key)]);
        EXPECT_EQ(got, jsonOf(expected[i])) << i;
    }
    EXPECT_EQ(entries[1]["settings"].toObject(), QJsonObject({{"Level", "3"}, {"Pattern", "1"}, {"Kako", "0"}}));
    EXPECT_EQ(entries[1]["time"].toString(), QLatin1String("2026-01-05T10:00:00+09:00"));
    EXPECT_DOUBLE_EQ(journal["mean_matches"].toDouble(), 2.5);
    EXPECT_EQ(journal["warnings"][0]["line"].toInt(), 4);
    EXPECT_NE(run.err.find("4行目"), std::string::npos) << run.err;
}

} // namespace
} // namespace omvex::cli
