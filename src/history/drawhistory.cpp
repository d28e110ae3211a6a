#include "history/drawhistory.h"
#include "history/historyfields.h"
#include "history/historyreader.h"
#include "history/recordsinks.h"
#include "platform/safewrite.h"
#include "platform/textscan.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <vector>

namespace omvex {

namespace {

constexpr int kRecordFields = 8;

struct StopReason {
    const char *code;
    const char *reason; // English, as scripts already read it
    const char *words;  // Japanese
};

constexpr StopReason kDrawNotANumber{"draw-not-a-number", "the draw number is not a number",
                                     "回号が数字ではありません"};
constexpr StopReason kDrawNegative{"draw-negative", "the draw number is negative", "回号が負の数です"};
constexpr StopReason kDrawNotWhole{"draw-not-whole", "the draw number is not a whole number",
                                   "回号が整数ではありません"};
constexpr StopReason kDrawOutOfRange{"draw-out-of-range", "the draw number is above 99999",
                                     "回号が 99999 を超えています"};
constexpr StopReason kTooManyRecords{"too-many-records", "too many records", "記録が多すぎます"};
constexpr StopReason kValueOutOfRange{"value-out-of-range",
                                      "the value does not fit the history table (whole numbers -99..99)",
                                      "値が履歴表に入りません（-99 から 99 までの整数）"};
constexpr StopReason kRecordCutShort{"record-cut-short", "the file ends inside a record",
                                     "記録の途中でファイルが終わっています"};
constexpr StopReason kReadFailed{"read-failed", "cannot read the file", ""};

// Groups the fields into records of eight (draw number, then the seven values of its row) and hands
// each complete record to the sink; a bad draw number or a refused value ends the reading.
class RecordReader final : public HistoryFieldTaker {
public:
    explicit RecordReader(RecordSink &sink)
        : m_sink(sink)
    {
        m_result.opened = true;
    }

    bool takeField(HistoryField &field) override
    {
        m_lastFieldLine = field.line;
        if (m_fieldIndex == 0) {
            takeDrawNumber(field);
            return !m_done;
        }
        m_fields[static_cast<std::size_t>(m_fieldIndex)] = std::move(field);
        // A record is stored only once all its fields are read, so a record cut short by the end of
        // the file leaves the grid as it was.
        if (++m_fieldIndex == kRecordFields)
            storeRecord();
        return !m_done;
    }

    void stop(int line, int field, const StopReason &why, const QString &words = {})
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

    void stopUnreadable(int line, const QString &words) { stop(line, m_fieldIndex + 1, kReadFailed, words); }

    HistoryReadResult finish()
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

private:
    void takeDrawNumber(const HistoryField &field)
    {
        m_drawBegin = field.begin;
        // An empty draw number, as a blank line gives, ends the data like 0.
        if ((!field.isNumber && field.text.empty()) || (field.isNumber && field.number == 0.0)) {
            m_done = true;
            m_result.complete = true;
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
            m_fieldIndex = 1;
        }
    }

    void storeRecord()
    {
        m_fieldIndex = 0;
        m_sink.beginRecord(m_drawNumber);
        for (int column = 1; column < kRecordFields; ++column) {
            HistoryField &field = m_fields[static_cast<std::size_t>(column)];
            const bool stored = field.isNumber ? m_sink.writeNumber(column, field.number)
                                               : m_sink.writeText(column, std::move(field.text));
            if (!stored) {
                stop(field.line, column + 1, kValueOutOfRange);
                return;
            }
        }
        ++m_result.records;
        m_sink.recordStored({m_drawBegin, m_fields.back().end});
    }

    RecordSink &m_sink;
    HistoryReadResult m_result;
    bool m_done = false;
    int m_lastFieldLine = 1;
    int m_fieldIndex = 0; // 0 = draw number, 1..7 = columns
    int m_drawNumber = 0;
    std::size_t m_drawBegin = 0; // where the record being read starts
    std::array<HistoryField, kRecordFields> m_fields;
};

std::string_view withoutByteOrderMark(std::string_view content)
{
    if (content.starts_with(platform::kByteOrderMark))
        content.remove_prefix(platform::kByteOrderMark.size());
    return content;
}

HistoryReadResult cannotRead(const QString &path, const char *code, const char *reason, QFileDevice::FileError error)
{
    HistoryReadResult result;
    result.code = code;
    result.reason = reason;
    result.words = platform::fileProblemText(path, error);
    result.message = QStringLiteral("%1: %2").arg(path, result.words);
    return result;
}

} // namespace

HistoryReadResult readDrawHistory(std::string_view content, RecordSink &sink)
{
    RecordReader reader(sink);
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

HistoryReadResult loadDrawHistory(const QString &path, CellGrid &history)
{
    const QFileInfo info(path);
    if (!info.exists())
        return cannotRead(path, "file-missing", "the file does not exist", QFileDevice::OpenError);
    // A device or a pipe under the history's name could deliver bytes forever.
    if (!info.isFile())
        return cannotRead(path, "not-regular-file", "not a regular file", QFileDevice::OpenError);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return info.isReadable() ? cannotRead(path, "cannot-open", "cannot open the file", file.error())
                                 : cannotRead(path, "no-permission", "cannot open the file: no permission",
                                              QFileDevice::OpenError);
    }

    DeferredSink sink(history);
    RecordReader reader(sink);
    HistoryFieldSplitter splitter(reader);
    std::vector<char> buffer(64 * 1024);
    bool first = true;
    bool more = true;
    while (more) {
        const qint64 got = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0) {
            reader.stopUnreadable(splitter.line(), platform::fileProblemText(path, QFileDevice::ReadError));
            break;
        }
        if (got == 0) {
            splitter.finish();
            break;
        }
        std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
        if (first)
            chunk = withoutByteOrderMark(chunk);
        first = false;
        more = splitter.feed(chunk);
    }
    HistoryReadResult result = reader.finish();
    if (!result.message.isEmpty())
        result.message = QStringLiteral("%1: %2").arg(path, result.message);
    return result;
}

} // namespace omvex
