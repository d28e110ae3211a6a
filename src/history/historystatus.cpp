#include "history/historystatus.h"

#include <string_view>

namespace omvex {

namespace {

struct ReasonText {
    std::string_view english; // as the reader gives it, or the start of it
    const char16_t *japanese; // %1: the field of the record
};

// The reader's reasons are short English texts for the tool's JSON; these are what people read.
constexpr ReasonText kReasons[] = {
    {"the draw number is not a number", u"回号が数字ではありません"},
    {"the draw number is negative", u"回号が負の数です"},
    {"the draw number is not a whole number", u"回号が整数ではありません"},
    {"the draw number is above 99999", u"回号が99999を超えています"},
    {"too many records", u"記録が多すぎます"},
    {"the file ends inside a record", u"最後の記録が8項目に足りません"},
    {"the value does not fit the history table", u"%1番目の項目が-99〜99の整数ではありません"},
    {"cannot read the file", u"ファイルを読めません"},
    {"the file does not exist", u"kako.txt がありません"},
    {"not a regular file", u"kako.txt が通常のファイルではありません"},
    {"cannot open the file", u"kako.txt を開けません"},
};

QString reasonText(const HistoryReadResult &read)
{
    for (const ReasonText &reason : kReasons) {
        if (std::string_view(read.reason).starts_with(reason.english)) {
            const QString text = QString::fromUtf16(reason.japanese);
            return text.contains(u"%1") ? text.arg(read.stopField) : text;
        }
    }
    return QStringLiteral("%1番目の項目を読めません").arg(read.stopField);
}

} // namespace

QString readStopReason(const HistoryReadResult &read)
{
    if (read.complete)
        return {};
    return reasonText(read);
}

QString historyStatusText(const CellGrid &history, const HistoryReadResult &read,
                          const std::vector<HistoryWarning> &warnings)
{
    const HeldDraws held = heldDraws(history);
    QString status = held.count == 0
        ? QStringLiteral("過去データ: なし")
        : QStringLiteral("過去データ: %1回分（第%2回〜第%3回）").arg(held.count).arg(held.first).arg(held.last);
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
