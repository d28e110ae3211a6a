#include "history/historywarnings.h"
#include "history/historyreader.h"

#include "engine/tables.h"
#include "platform/textscan.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace omvex {

namespace {

using platform::isBlank;
using platform::kByteOrderMark;

constexpr int kRecordFields = 8;
constexpr int kListedGaps = 5;
// As long as the reader keeps a field: a longer draw number is no number to it, and it stores no
// record with one.
constexpr std::size_t kMaxDrawFieldBytes = 256;

const QString kImportHint = QStringLiteral("「取込」（ツールでは --import）");
const QString kConvertHint = QStringLiteral("「取込...」（ツールでは --convert）で kako.txt を変換できます（元のファイルは kako.txt.orig に残ります）");

// Where a record of kako.txt begins, by the first field's line.
struct RecordStart {
    std::string draw; // the draw number field as the reader sees it (trimmed unless quoted)
    int line = 0;
    int fields = 1; // of the record that the file holds
};

// Splits the content into records at the same places as the history reader (commas and line ends
// alike end a field, a quote opens a field up to the next quote or line end) and gives the first
// field of each record and how many of its fields there are, up to `wanted` records. The reader's own result says how many it stored;
// this only adds where each of them stood.
std::vector<RecordStart> recordStarts(std::string_view content, std::size_t wanted)
{
    enum class State { Start, Bare, Quoted, AfterQuote };
    std::vector<RecordStart> starts;
    State state = State::Start;
    std::string text;
    bool started = false;
    bool afterComma = false;
    bool afterCarriageReturn = false;
    int line = 1;
    int field = 0;
    const auto endField = [&] {
        if (field == 0)
            starts.push_back({state == State::Start || state == State::Bare ? std::string(platform::trimmed(text)) : text, line});
        else
            ++starts.back().fields;
        field = (field + 1) % kRecordFields;
        text.clear();
        state = State::Start;
        started = false;
    };
    for (const char c : content) {
        if (starts.size() == wanted && starts.back().fields == kRecordFields)
            break;
        if (afterCarriageReturn) {
            afterCarriageReturn = false;
            if (c == '\n')
                continue;
        }
        const bool lineEnd = c == '\r' || c == '\n';
        // Inside quotes a comma is text; a line end still ends the field.
        if (lineEnd || (c == ',' && state != State::Quoted)) {
            endField();
            afterComma = c == ',';
            line += lineEnd ? 1 : 0;
            afterCarriageReturn = c == '\r';
        } else if (state == State::Start && isBlank(c)) {
            started = true;
        } else if (state == State::Start && c == '"') {
            state = State::Quoted;
        } else if (state == State::Quoted && c == '"') {
            state = State::AfterQuote;
        } else if (state != State::AfterQuote) {
            if (state == State::Start)
                state = State::Bare;
            if (field == 0 && text.size() < kMaxDrawFieldBytes)
                text.push_back(c);
        }
    }
    const bool fieldLeft = state != State::Start || started || afterComma;
    if (fieldLeft && (starts.size() < wanted || (field != 0 && starts.size() == wanted)))
        endField();
    return starts;
}

// The lines after `line` that hold more than blanks: their count and the first one.
std::pair<int, int> filledLinesAfter(std::string_view content, int line)
{
    int current = 1;
    int count = 0;
    int first = 0;
    bool filled = false;
    const auto endLine = [&] {
        if (filled && current > line) {
            ++count;
            first = first == 0 ? current : first;
        }
        filled = false;
        ++current;
    };
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
            endLine();
        } else if (!isBlank(c)) {
            filled = true;
        }
    }
    endLine();
    return {count, first};
}

// The row a record writes: 0 for a draw number the reader takes for none.
int drawOf(const RecordStart &start)
{
    double number = 0;
    if (!historyFieldNumber(start.draw, number) || number != std::floor(number) || number < 1 || number > kMaxDrawNumber)
        return 0;
    return static_cast<int>(number);
}

void addOrder(const std::vector<RecordStart> &stored, const CellGrid &history, std::vector<HistoryWarning> &warnings)
{
    int count = 0;
    int first = 0;
    for (std::size_t i = 1; i < stored.size(); ++i) {
        if (drawOf(stored[i]) <= drawOf(stored[i - 1]) && count++ == 0)
            first = stored[i].line;
    }
    if (count == 0)
        return;
    const int held = heldDraws(history).count;
    warnings.push_back({first, "order",
                        QStringLiteral("%1行目で回号が前の記録より大きくなくなります（%2か所）。回号が減ると前の行が消されたり"
                                       "上書きされたりするため、%3件の記録のうち%4回分しか残っていません。新しい順の結果ファイルなら、"
                                       "%5")
                            .arg(first).arg(count).arg(stored.size()).arg(held).arg(kConvertHint),
                        QStringLiteral("%1行目から回号が減っています: 新しい順のファイルは「取込...」で変換できます").arg(first)});
}

// written: the stored records, and any record the reader refused a value of, which may have
// written part of its row before.
void addNumbersAndGaps(const std::vector<RecordStart> &written, const CellGrid &history,
                       std::vector<HistoryWarning> &warnings)
{
    // The record that wrote a row last is the one whose values it shows.
    std::vector<int> lineOfRow(static_cast<std::size_t>(history.rowCount()) + 1, 0);
    for (const RecordStart &start : written) {
        const int draw = drawOf(start);
        if (draw >= 1 && draw <= history.rowCount())
            lineOfRow[static_cast<std::size_t>(draw)] = start.line;
    }
    int bad = 0;
    int badLine = 0;
    int badDraw = 0;
    int gaps = 0;
    int gapLine = 0;
    QStringList missing;
    for (int row = 1; row <= history.rowCount(); ++row) {
        const int line = lineOfRow[static_cast<std::size_t>(row)];
        if (!hasDraw(history, row)) {
            if (gaps++ < kListedGaps)
                missing << QStringLiteral("第%1回").arg(row);
            continue;
        }
        if (gaps > 0 && gapLine == 0)
            gapLine = line;
        const std::optional<SourceDraw> draw = rowDraw(history, row);
        // A row this reading did not write is left from an earlier one: not this file's to warn about.
        if (line == 0 || (draw && isValidDraw(*draw)))
            continue;
        if (bad++ == 0 || line < badLine) {
            badLine = line;
            badDraw = row;
        }
    }
    if (bad > 0) {
        warnings.push_back({badLine, "numbers",
                            QStringLiteral("%1回分の数字が正しくありません（最初は%2行目の第%3回）。本数字は1〜43の異なる整数6個、"
                                           "ボーナス数字はそれらと違う1〜43の整数です。正しくない数字は予想で正しく数えられません。"
                                           "kako.txt を直してください")
                                .arg(bad).arg(badLine).arg(badDraw),
                            QStringLiteral("%1行目の第%2回の数字が正しくありません").arg(badLine).arg(badDraw)});
    }
    if (gaps > 0) {
        const QString listed = missing.join(QStringLiteral("、")) + (gaps > kListedGaps ? QStringLiteral("など") : QString());
        warnings.push_back({gapLine, "gaps",
                            QStringLiteral("%1の%2回分のデータがありません（%3行目の前）。抜けた回は予想で数えられません。"
                                           "その回を含む結果ファイルを%4で読み込むと埋められます")
                                .arg(listed, QString::number(gaps), QString::number(gapLine), kImportHint),
                            QStringLiteral("%1行目の前の%2回分が抜けています（%3）").arg(QString::number(gapLine), QString::number(gaps), listed)});
    }
}

void addAfterEnd(std::string_view content, const RecordStart &end, std::vector<HistoryWarning> &warnings)
{
    const auto [count, first] = filledLinesAfter(content, end.line);
    if (count == 0)
        return;
    const QString ending = platform::trimmed(end.draw).empty() ? QStringLiteral("回号が空の行") : QStringLiteral("回号0の行");
    warnings.push_back({first, "after-end",
                        QStringLiteral("%1行目の%2で読み込みが終わるため、その後の%3行は読まれていません。"
                                       "続きも使うには、その行を消してください")
                            .arg(end.line).arg(ending).arg(count),
                        QStringLiteral("%1行目から後が読まれていません: %2行目の%3を消してください").arg(first).arg(end.line).arg(ending)});
}

void addHeader(std::string_view content, const HistoryReadResult &read, std::vector<HistoryWarning> &warnings)
{
    if (read.records != 0 || read.complete || read.stopLine != 1 || read.stopField != 1)
        return;
    const ResultFile file = readResultFile(QByteArray(content.data(), static_cast<qsizetype>(content.size())));
    if (!file.errors.isEmpty() || file.draws.empty())
        return;
    warnings.push_back({1, "header",
                        QStringLiteral("1行目が見出しのため、過去データが1回分も読まれていません。このファイルは結果ファイル"
                                       "（%1回分）として読めます。%2")
                            .arg(file.draws.size()).arg(kConvertHint),
                        QStringLiteral("1行目が見出しです: 結果ファイルの形なので「取込...」で変換できます")});
}

} // namespace

bool hasDraw(const CellGrid &history, int row)
{
    for (int column = 1; column <= history.columnCount(); ++column) {
        if (!history.isEmpty(column, row))
            return true;
    }
    return false;
}

HeldDraws heldDraws(const CellGrid &history)
{
    HeldDraws held;
    for (int row = 1; row <= history.rowCount(); ++row) {
        if (!hasDraw(history, row))
            continue;
        ++held.count;
        held.first = held.first == 0 ? row : held.first;
        held.last = row;
    }
    return held;
}

std::optional<SourceDraw> rowDraw(const CellGrid &history, int row)
{
    SourceDraw draw;
    draw.draw = row;
    for (int column = 1; column <= kHistoryColumns; ++column) {
        double number = 0;
        if (!historyFieldNumber(history.text(column, row), number) || number != std::floor(number)
            || std::fabs(number) > kMaxDrawNumber)
            return std::nullopt;
        if (column <= kMainNumbers)
            draw.main[static_cast<std::size_t>(column - 1)] = static_cast<int>(number);
        else
            draw.bonus = static_cast<int>(number);
    }
    return draw;
}

std::vector<HistoryWarning> historyWarnings(std::string_view content, const CellGrid &history,
                                            const HistoryReadResult &read)
{
    std::vector<HistoryWarning> warnings;
    if (!read.opened)
        return warnings;
    if (content.starts_with(kByteOrderMark))
        content.remove_prefix(kByteOrderMark.size());
    const auto records = static_cast<std::size_t>(read.records);
    const std::vector<RecordStart> starts = recordStarts(content, records + 1);
    // The record after the stored ones is the one that ended the reading: an end record, a blank
    // line, one cut short by the end of the file, or one the reader refused.
    const bool hasEnding = starts.size() > records;
    if (read.complete && hasEnding)
        addAfterEnd(content, starts[records], warnings);
    std::vector<RecordStart> written(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(std::min(starts.size(), records)));
    addOrder(written, history, warnings);
    if (!read.complete && hasEnding && starts[records].fields == kRecordFields)
        written.push_back(starts[records]);
    addNumbersAndGaps(written, history, warnings);
    addHeader(content, read, warnings);
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const HistoryWarning &a, const HistoryWarning &b) { return a.line < b.line; });
    return warnings;
}

} // namespace omvex
