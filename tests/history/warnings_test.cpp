#include "history/historystatus.h"
#include "import/resultimport.h"

#include "engine/tables.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace omvex {
namespace {

// kako.txt read as at start-up: the history grid's own formats, no rows before the reading.
HistoryLoad load(const char *content, const char *before = nullptr)
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    if (before)
        readDrawHistory(before, tables.history);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kako.txt"));
    if (content) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }
    return loadKako(path, tables.history);
}

std::string codesOf(const std::vector<HistoryWarning> &warnings)
{
    std::string codes;
    for (const HistoryWarning &warning : warnings)
        codes += (codes.empty() ? "" : " ") + warning.code + "@" + std::to_string(warning.line);
    return codes;
}

std::string draws(int from, int to)
{
    std::string lines;
    for (int draw = from; draw <= to; ++draw)
        lines += std::to_string(draw) + ",1,2,3,4,5,6,7\n";
    return lines;
}

TEST(HistoryWarnings, historyWarnings_namesEachSurpriseOnceAtItsFirstLine)
{
    const std::string oneToTen = draws(1, 10);
    const struct {
        const char *name;
        std::string content;
        const char *warnings;
        const char *inFirstMessage; // a fact the first message must give
    } rows[] = {
        {"clean file", draws(1, 3), "", ""},
        {"newest first", "3,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n", "order@2", "3件の記録のうち1回分"},
        {"a smaller draw after ten", oneToTen + "4,1,2,3,4,5,6,7\n4,1,2,3,4,5,6,7\n", "order@11", "2か所"},
        {"skipped draws", "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n5,1,2,3,4,5,6,7\n9,1,2,3,4,5,6,7\n", "gaps@3",
         "第3回、第4回、第6回、第7回、第8回の5回分"},
        {"bad numbers", "1,1,2,3,4,5,6,7\n2,1,1,3,4,5,6,7\n3,1,2,3,4,5,6,44\n", "numbers@2", "2回分"},
        {"a bad row cut by a smaller draw", "1,1,2,3,4,5,6,7\n3,1,1,3,4,5,6,7\n2,1,2,3,4,5,6,44\n",
         "order@3 numbers@3", "3件の記録のうち2回分"},
        {"a row cut by a refused value", "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,150\n", "numbers@2", "1回分"},
        {"a record cut short by the end of the file", "1,1,1,3,4,5,6,7\n2,1,2,3,4,5,6,7\n1,2,3\n", "numbers@1", "1回分"},
        {"bonus among the main numbers and a text cell", "1,1,2,3,4,5,6,6\n2,a,2,3,4,5,6,7\n", "numbers@1", "2回分"},
        {"lines after a blank line", "1,1,2,3,4,5,6,7\n\n \n2,1,2,3,4,5,6,7\nmore\n", "after-end@4", "その後の2行"},
        {"notes after an end record", draws(1, 2) + "0,0,0,0,0,0,0,0\nnotes\n", "after-end@4", "3行目の回号0の行"},
        {"blank lines at the end only", draws(1, 2) + "\n\n  \n", "", ""},
        {"a result file with its header", "回号,抽選日,1,2,3,4,5,6,B\n2,2024/1/4,1,2,3,4,5,6,7\n", "header@1",
         "（1回分）"},
        {"text that is no result file", "notes\n1,2,3\n", "", ""},
        // More than one piece of the file as it is read: what a row tells counts wherever it lies.
        {"notes after an end record far into the file", draws(1, 5000) + "0\n" + draws(1, 2), "after-end@5002", "その後の2行"},
        {"a smaller draw far into the file", draws(1, 5000) + "3,1,2,3,4,5,6,7\n", "order@5001", "1か所"},
    };
    for (const auto &row : rows) {
        const HistoryLoad loaded = load(row.content.c_str());
        EXPECT_EQ(codesOf(loaded.warnings), row.warnings) << row.name;
        if (!loaded.warnings.empty()) {
            EXPECT_TRUE(loaded.warnings.front().message.contains(QString::fromUtf8(row.inFirstMessage)))
                << row.name << ": " << loaded.warnings.front().message.toStdString();
        }
    }
}

TEST(HistoryStatus, historyStatusText_givesTheDrawsAndTheFirstProblem)
{
    const struct {
        const char *name;
        const char *content; // nullptr: no file
        const char *status;
        const char *before = nullptr; // an earlier reading's file
    } rows[] = {
        {"whole file", "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n", "過去データ: 2回分（第1回〜第2回）"},
        {"no file", nullptr, "過去データ: なし。「過去データ」→「取込...」で結果ファイルを読み込めます（ファイルがありません）"},
        {"empty file", "", "過去データ: なし。「過去データ」→「取込...」で結果ファイルを読み込めます"},
        {"a header over rows of an earlier reading, one of them wrong",
         "回号,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字\n3,1,2,3,4,5,6,7\n",
         "過去データ: kako.txt から0回分を読みました（表には前に読んだ2回分が残っています）。1行目が見出しです: 結果ファイルの形なので「取込...」で変換できます",
         "1,1,2,3,4,5,6,7\n2,1,1,1,1,1,1,1\n"},
        {"newest first", "2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n",
         "過去データ: 1回分（第1回〜第1回）。2行目から回号が減っています: 新しい順のファイルは「取込...」で変換できます"},
        {"stops at a text draw number", "1,1,2,3,4,5,6,7\nx,1,2,3,4,5,6,7\n",
         "過去データ: 1回分（第1回〜第1回）。2行目で読み込みが止まりました: 回号が数字ではありません"},
        {"stops at a value the table refuses", "1,1,2,3,4,5,6,150\n",
         "過去データ: 1回分（第1回〜第1回）。1行目で読み込みが止まりました: 8番目の項目: 値が履歴表に入りません（-99 から 99 までの整数）"},
        {"a warning before a later stop", "1,1,2,3,4,5,6,7\n3,1,2,3,4,5,6,7\n4,1,2,3,4,5\n",
         "過去データ: 2回分（第1回〜第3回）。2行目の前の1回分が抜けています（第2回）"},
        {"result file with its header", "開催回,日付,1,2,3,4,5,6,B\n2,2024/1/4,1,2,3,4,5,6,7\n",
         "過去データ: なし。1行目が見出しです: 結果ファイルの形なので「取込...」で変換できます"},
    };
    for (const auto &row : rows) {
        const HistoryLoad loaded = load(row.content, row.before);
        EXPECT_EQ(historyStatusText(loaded.draws, loaded.read, loaded.warnings).toStdString(), row.status) << row.name;
    }
}

} // namespace
} // namespace omvex
