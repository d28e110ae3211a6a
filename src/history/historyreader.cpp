#include "history/historyreader.h"

#include "platform/textscan.h"

#include <cmath>

namespace omvex {

namespace {

constexpr RowReader::StopCause kDrawNotANumber{"draw-not-a-number", "the draw number is not a number",
                                     "回号が数字ではありません"};
constexpr RowReader::StopCause kDrawNegative{"draw-negative", "the draw number is negative", "回号が負の数です"};
constexpr RowReader::StopCause kDrawNotWhole{"draw-not-whole", "the draw number is not a whole number",
                                   "回号が整数ではありません"};
constexpr RowReader::StopCause kDrawOutOfRange{"draw-out-of-range", "the draw number is above 99999",
                                     "回号が 99999 を超えています"};
constexpr RowReader::StopCause kTooManyRecords{"too-many-records", "too many records", "記録が多すぎます"};
constexpr RowReader::StopCause kValueOutOfRange{"value-out-of-range",
                                      "the value does not fit the history table (whole numbers -99..99)",
                                      "値が履歴表に入りません（-99 から 99 までの整数）"};
constexpr RowReader::StopCause kRecordCutShort{"record-cut-short", "the file ends inside a record",
                                     "記録の途中でファイルが終わっています"};
constexpr RowReader::StopCause kReadFailed{"read-failed", "cannot read the file", ""};

std::string_view withoutByteOrderMark(std::string_view content)
{
    if (content.starts_with(platform::kByteOrderMark))
        content.remove_prefix(platform::kByteOrderMark.size());
    return content;
}

} // namespace

RowReader::RowReader(RowSink &sink, RowListener *listener)
    : m_sink(sink)
    , m_listener(listener)
{
    m_result.opened = true;
}

bool RowReader::takeField(HistoryField &field)
{
    m_lastFieldLine = field.line;
    if (m_fieldIndex == 0) {
        takeDrawNumber(field);
        return !m_done;
    }
    m_fields[static_cast<std::size_t>(m_fieldIndex)] = std::move(field);
    // A row is stored only once all its fields are read, so a row cut short by the end of the file
    // leaves the grid as it was.
    if (++m_fieldIndex == kHistoryRowFields)
        storeRow();
    return !m_done;
}

void RowReader::stop(int line, int field, const StopCause &why, const QString &words)
{
    if (m_done)
        return;
    m_done = true;
    m_result.complete = false;
    m_result.stopLine = line;
    m_result.stopField = field;
    m_result.reason = why.reason;
    m_result.code = why.code;
    m_result.words = words.isEmpty() ? QString::fromUtf8(why.words) : words;
    m_result.message = QStringLiteral("%1 行目 %2 番目の項目: %3").arg(line).arg(field).arg(m_result.words);
}

void RowReader::stopUnreadable(int line, const QString &words)
{
    stop(line, m_fieldIndex + 1, kReadFailed, words);
}

HistoryReadResult RowReader::finish()
{
    if (!m_done) {
        if (m_fieldIndex == 0)
            m_result.complete = true;
        else
            stop(m_lastFieldLine, m_fieldIndex + 1, kRecordCutShort);
    }
    m_sink.finish();
    return m_result;
}

void RowReader::takeDrawNumber(const HistoryField &field)
{
    m_drawBegin = field.begin;
    // An empty draw number, as a blank line gives, ends the data like 0.
    const bool blank = !field.isNumber && field.text.empty();
    if (blank || (field.isNumber && field.number == 0.0)) {
        m_done = true;
        m_result.complete = true;
        m_endLine = field.line;
        m_endedBlank = blank;
        return;
    }
    if (!field.isNumber)
        stop(field.line, 1, kDrawNotANumber);
    else if (field.number < 0)
        stop(field.line, 1, kDrawNegative);
    else if (field.number != std::floor(field.number))
        stop(field.line, 1, kDrawNotWhole);
    else if (field.number > kMaxDrawNumber)
        stop(field.line, 1, kDrawOutOfRange);
    else if (m_sink.isFull())
        stop(field.line, 1, kTooManyRecords);
    if (!m_done) {
        m_drawNumber = static_cast<int>(field.number);
        m_drawLine = field.line;
        m_fieldIndex = 1;
    }
}

void RowReader::storeRow()
{
    m_fieldIndex = 0;
    m_sink.beginRow(m_drawNumber);
    for (int column = 1; column < kHistoryRowFields; ++column) {
        HistoryField &field = m_fields[static_cast<std::size_t>(column)];
        const bool stored = field.isNumber ? m_sink.writeNumber(column, field.number)
                                           : m_sink.writeText(column, std::move(field.text));
        if (!stored) {
            if (m_listener)
                m_listener->rowWritten(m_drawNumber, m_drawLine, false, {m_drawBegin, field.end});
            stop(field.line, column + 1, kValueOutOfRange);
            return;
        }
    }
    ++m_result.storedRows;
    if (m_listener)
        m_listener->rowWritten(m_drawNumber, m_drawLine, true, {m_drawBegin, m_fields.back().end});
}

void RowSpans::rowWritten(int drawNumber, int, bool stored, ByteSpan bytes)
{
    const auto row = static_cast<std::size_t>(drawNumber);
    m_spans.resize(row + 1);
    m_spans[row] = stored ? bytes : ByteSpan{};
}

HistoryReadResult readDrawHistory(std::string_view content, RowSink &sink, RowListener *listener)
{
    RowReader reader(sink, listener);
    HistoryFieldSplitter splitter(reader);
    const std::string_view data = withoutByteOrderMark(content);
    splitter.skipBytes(content.size() - data.size());
    if (splitter.feed(data))
        splitter.finish();
    return reader.finish();
}

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history, HistoryApply apply)
{
    if (apply == HistoryApply::Direct) {
        DirectSink sink(history);
        return readDrawHistory(content, sink);
    }
    DeferredSink sink(history);
    return readDrawHistory(content, sink);
}

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history)
{
    return readDrawHistory(content, history, HistoryApply::Deferred);
}

} // namespace omvex
