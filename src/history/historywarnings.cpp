#include "history/historywarnings.h"

#include "platform/textscan.h"

#include <QStringList>

#include <algorithm>

namespace omvex {

namespace {

constexpr int kListedGaps = 5;
// A first line that long is no heading; the bytes kept to look at it stay bounded.
constexpr std::size_t kMaxHeadBytes = 64 * 1024 * 1024;

const QString kImportHint = QStringLiteral("「取込」（ツールでは --import）");
const QString kConvertHint = QStringLiteral("「取込...」（ツールでは --convert）で kako.txt を変換できます（元のファイルは kako.txt.orig に残ります）");

} // namespace

HistoryWarningScan::HistoryWarningScan(RowListener *next, ResultFileProbe probe)
    : m_next(next)
    , m_probe(probe)
{
}

void HistoryWarningScan::rowWritten(int drawNumber, int line, bool stored, ByteSpan bytes)
{
    if (static_cast<std::size_t>(drawNumber) >= m_lineOfRow.size())
        m_lineOfRow.resize(static_cast<std::size_t>(drawNumber) + 1, 0);
    m_lineOfRow[static_cast<std::size_t>(drawNumber)] = line;
    if (stored) {
        if (drawNumber <= m_lastStoredDraw && m_orderCount++ == 0)
            m_orderLine = line;
        m_lastStoredDraw = drawNumber;
    }
    if (m_next)
        m_next->rowWritten(drawNumber, line, stored, bytes);
}

void HistoryWarningScan::endLine()
{
    if (m_filled && m_endLine > 0 && m_line > m_endLine) {
        ++m_filledAfterEnd;
        m_firstFilledAfterEnd = m_firstFilledAfterEnd == 0 ? m_line : m_firstFilledAfterEnd;
    }
    m_filled = false;
    ++m_line;
}

void HistoryWarningScan::feed(std::string_view bytes, const RowReader &reader)
{
    // The reader ends a field at a line end at the latest, so it has met an ending row before any
    // line after it ends here.
    if (m_endLine == 0 && reader.endLine() > 0) {
        m_endLine = reader.endLine();
        m_endedBlank = reader.endedBlank();
    }
    if (m_keepHead) {
        const HistoryReadResult &read = reader.result();
        const bool headingStop = reader.isDone() && !read.complete && read.storedRows == 0 && read.stopLine == 1
            && read.stopField == 1;
        m_keepHead = m_probe != nullptr && (!reader.isDone() || headingStop) && read.storedRows == 0;
        if (m_keepHead && m_head.size() + bytes.size() <= kMaxHeadBytes)
            m_head.append(bytes);
        else
            m_head = std::string();
        m_keepHead = m_keepHead && !m_head.empty();
    }
    // Lines after the end are counted only once the reader stopped there; before that no line after
    // the ending row has ended.
    if (m_endLine == 0 && reader.isDone())
        return;
    for (const char c : bytes) {
        if (m_afterCarriageReturn) {
            m_afterCarriageReturn = false;
            if (c == '\n')
                continue;
        }
        if (c == '\r' || c == '\n') {
            m_afterCarriageReturn = c == '\r';
            endLine();
        } else if (!platform::isBlank(c)) {
            m_filled = true;
        }
    }
}

void HistoryWarningScan::finish(const RowReader &reader)
{
    if (m_endLine == 0 && reader.endLine() > 0) {
        m_endLine = reader.endLine();
        m_endedBlank = reader.endedBlank();
    }
    endLine();
}

std::vector<HistoryWarning> HistoryWarningScan::warnings(const DrawHistory &draws, const HistoryReadResult &read) const
{
    std::vector<HistoryWarning> warnings;
    if (!read.opened)
        return warnings;
    if (read.complete)
        addAfterEnd(warnings);
    addOrder(draws, read, warnings);
    addNumbersAndGaps(draws, warnings);
    addHeader(read, warnings);
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const HistoryWarning &a, const HistoryWarning &b) { return a.line < b.line; });
    return warnings;
}

void HistoryWarningScan::addOrder(const DrawHistory &draws, const HistoryReadResult &read,
                                  std::vector<HistoryWarning> &warnings) const
{
    if (m_orderCount == 0)
        return;
    const int first = m_orderLine;
    warnings.push_back({{first, "order",
                        QStringLiteral("%1行目で回号が前の記録より大きくなくなります（%2か所）。回号が減ると前の行が消されたり"
                                       "上書きされたりするため、%3件の記録のうち%4回分しか残っていません。新しい順の結果ファイルなら、"
                                       "%5")
                            .arg(first).arg(m_orderCount).arg(read.storedRows).arg(draws.held().count).arg(kConvertHint)},
                        QStringLiteral("%1行目から回号が減っています: 新しい順のファイルは「取込...」で変換できます").arg(first)});
}

void HistoryWarningScan::addNumbersAndGaps(const DrawHistory &draws, std::vector<HistoryWarning> &warnings) const
{
    int bad = 0;
    int badLine = 0;
    int badDraw = 0;
    int gaps = 0;
    int gapLine = 0;
    QStringList missing;
    for (int row = 1; row <= draws.rowCount(); ++row) {
        const int line = static_cast<std::size_t>(row) < m_lineOfRow.size() ? m_lineOfRow[static_cast<std::size_t>(row)] : 0;
        if (!draws.isHeld(row)) {
            if (gaps++ < kListedGaps)
                missing << QStringLiteral("第%1回").arg(row);
            continue;
        }
        if (gaps > 0 && gapLine == 0)
            gapLine = line;
        // A row this reading did not write is left from an earlier one: not this file's to warn about.
        if (line == 0 || draws.usable(row))
            continue;
        if (bad++ == 0 || line < badLine) {
            badLine = line;
            badDraw = row;
        }
    }
    if (bad > 0) {
        warnings.push_back({{badLine, "numbers",
                            QStringLiteral("%1回分の数字が正しくありません（最初は%2行目の第%3回）。本数字は1〜43の異なる整数6個、"
                                           "ボーナス数字はそれらと違う1〜43の整数です。正しくない数字は予想で正しく数えられません。"
                                           "kako.txt を直してください")
                                .arg(bad).arg(badLine).arg(badDraw)},
                            QStringLiteral("%1行目の第%2回の数字が正しくありません").arg(badLine).arg(badDraw)});
    }
    if (gaps > 0) {
        const QString listed = missing.join(QStringLiteral("、")) + (gaps > kListedGaps ? QStringLiteral("など") : QString());
        warnings.push_back({{gapLine, "gaps",
                            QStringLiteral("%1の%2回分のデータがありません（%3行目の前）。抜けた回は予想で数えられません。"
                                           "その回を含む結果ファイルを%4で読み込むと埋められます")
                                .arg(listed, QString::number(gaps), QString::number(gapLine), kImportHint)},
                            QStringLiteral("%1行目の前の%2回分が抜けています（%3）").arg(QString::number(gapLine), QString::number(gaps), listed)});
    }
}

void HistoryWarningScan::addAfterEnd(std::vector<HistoryWarning> &warnings) const
{
    if (m_endLine == 0 || m_filledAfterEnd == 0)
        return;
    const QString ending = m_endedBlank ? QStringLiteral("回号が空の行") : QStringLiteral("回号0の行");
    const int first = m_firstFilledAfterEnd;
    warnings.push_back({{first, "after-end",
                        QStringLiteral("%1行目の%2で読み込みが終わるため、その後の%3行は読まれていません。"
                                       "続きも使うには、その行を消してください")
                            .arg(m_endLine).arg(ending).arg(m_filledAfterEnd)},
                        QStringLiteral("%1行目から後が読まれていません: %2行目の%3を消してください").arg(first).arg(m_endLine).arg(ending)});
}

void HistoryWarningScan::addHeader(const HistoryReadResult &read, std::vector<HistoryWarning> &warnings) const
{
    if (!m_keepHead || read.storedRows != 0 || read.complete || read.stopLine != 1 || read.stopField != 1)
        return;
    const int draws = m_probe(m_head);
    if (draws <= 0)
        return;
    warnings.push_back({{1, "header",
                        QStringLiteral("1行目が見出しのため、過去データが1回分も読まれていません。このファイルは結果ファイル"
                                       "（%1回分）として読めます。%2")
                            .arg(draws).arg(kConvertHint)},
                        QStringLiteral("1行目が見出しです: 結果ファイルの形なので「取込...」で変換できます")});
}

} // namespace omvex
