#include "history/historystatus.h"

#include <algorithm>


namespace omvex {

namespace {

QString reasonText(const HistoryReadResult &read)
{
    if (!read.words.isEmpty())
        return read.stopField > 1 ? QStringLiteral("%1番目の項目: %2").arg(QString::number(read.stopField), read.words)
                                  : read.words;
    return QStringLiteral("%1番目の項目を読めません").arg(read.stopField);
}

} // namespace

QString readStopReason(const HistoryReadResult &read)
{
    if (read.complete)
        return {};
    return reasonText(read);
}

QString historyStatusText(const DrawHistory &draws, const HistoryReadResult &read,
                          const std::vector<HistoryWarning> &warnings)
{
    const HeldDraws &held = draws.held();
    QString status = held.count == 0
        ? QStringLiteral("過去データ: なし")
        : QStringLiteral("過去データ: %1回分（第%2回〜第%3回）").arg(held.count).arg(held.first).arg(held.last);
    // A reading keeps the rows it did not reach; those are not in the file as it is now. (A row
    // whose value the table refused has written part of its row.)
    const int partial = !read.complete && read.code == "value-out-of-range" ? 1 : 0;
    if (read.opened && held.count > read.storedRows + partial)
        status = QStringLiteral("過去データ: kako.txt から%1回分を読みました（表には前に読んだ%2回分が残っています）")
                     .arg(read.storedRows)
                     .arg(held.count - read.storedRows - partial);
    // A kako.txt that is a results file gets its own advice below.
    const bool isResultsFile = std::any_of(warnings.begin(), warnings.end(), [](const HistoryWarning &warning) {
        return warning.code == "header" || warning.code == "order";
    });
    if ((held.count == 0 || read.storedRows + partial == 0) && !isResultsFile)
        status += QStringLiteral("。「過去データ」→「取込...」で結果ファイルを読み込めます");
    if (!read.opened)
        return status + QStringLiteral("（%1）").arg(reasonText(read));

    // On its line the stop is the cause of anything else found there, except for a header, which
    // explains the stop.
    const HistoryWarning *first = warnings.empty() ? nullptr : &warnings.front();
    if (!read.complete
        && (!first || read.stopLine < first->line || (read.stopLine == first->line && first->code != "header")))
        return status + QStringLiteral("。%1行目で読み込みが止まりました: %2").arg(read.stopLine).arg(reasonText(read));
    if (first)
        return status + QStringLiteral("。") + first->statusText;
    return status;
}

} // namespace omvex
