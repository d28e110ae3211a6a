#include "history/drawhistory.h"
#include "history/historyreader.h"
#include "platform/textscan.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace omvex {

namespace {

using platform::isBlank;
using platform::kByteOrderMark;
using platform::trimmed;

constexpr int kRecordFields = 8;

// A field longer than this is kept as text cut to this length: no history value needs more, and a
// file without a single separator must not turn into one cell of a hundred megabytes.
constexpr std::size_t kMaxFieldBytes = 255;

// The grid operations of one reading, in the order the records ask for them.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Sets the row count to drawNumber (1..kMaxDrawNumber) and makes that row the active one.
    virtual void beginRecord(int drawNumber) = 0;
    // Write into the active row; false when the grid refuses the value.
    virtual bool writeNumber(int column, double value) = 0;
    virtual bool writeText(int column, std::string text) = 0;
    virtual void finish() = 0;
};

class DirectSink final : public RecordSink {
public:
    explicit DirectSink(CellGrid &grid)
        : m_grid(grid)
    {
    }

    void beginRecord(int drawNumber) override
    {
        m_grid.setRowCount(drawNumber);
        m_grid.setActiveRow(drawNumber);
    }
    bool writeNumber(int column, double value) override
    {
        m_grid.setActiveColumn(column);
        return m_grid.setActiveNumber(value);
    }
    bool writeText(int column, std::string text) override
    {
        m_grid.setActiveColumn(column);
        return m_grid.setText(column, m_grid.activeRow(), std::move(text));
    }
    void finish() override {}

private:
    CellGrid &m_grid;
};

// Lowering the row count wipes the rows above it, and raising it again costs the grid one empty
// cell per new cell; done per record, a file alternating draws 1 and 99999 would cost seconds per
// kilobyte. So the records are kept here with the time (record number) of each write and of each
// lowering, and the grid gets the final state in one go: a cell written after the last lowering
// below its row survives, everything above the lowest lowering is wiped once.
class DeferredSink final : public RecordSink {
public:
    explicit DeferredSink(CellGrid &grid)
        : m_grid(grid)
        , m_probe(grid.columnCount(), 1)
        , m_columns(grid.columnCount())
        , m_count(grid.rowCount())
    {
        for (int column = 1; column <= m_columns; ++column)
            m_probe.setColumnFormat(column, grid.columnFormat(column));
    }

    void beginRecord(int drawNumber) override
    {
        ++m_stamp;
        m_began = true;
        if (drawNumber < m_count) {
            const auto index = static_cast<std::size_t>(drawNumber);
            if (m_lowerings.size() <= index)
                m_lowerings.resize(index + 1, 0);
            m_lowerings[index] = m_stamp;
            m_lowest = std::min(m_lowest.value_or(drawNumber), drawNumber);
        }
        m_count = drawNumber;
        m_row = drawNumber;
        if (m_slotOfRow.size() <= static_cast<std::size_t>(drawNumber))
            m_slotOfRow.resize(static_cast<std::size_t>(drawNumber) + 1, 0);
    }

    bool writeNumber(int column, double value) override
    {
        m_activeColumn = column;
        // The probe has the grid's column formats, so it refuses exactly what the grid would.
        if (!m_probe.setNumber(column, 1, value))
            return false;
        Pending &cell = cellAt(column);
        cell.kind = Pending::Kind::Number;
        cell.number = value;
        cell.stamp = m_stamp;
        return true;
    }

    bool writeText(int column, std::string text) override
    {
        m_activeColumn = column;
        if (column < 1 || column > m_columns)
            return false;
        Pending &cell = cellAt(column);
        if (cell.kind == Pending::Kind::Text) {
            m_texts[cell.text] = std::move(text);
        } else {
            cell.text = static_cast<std::uint32_t>(m_texts.size());
            m_texts.push_back(std::move(text));
        }
        cell.kind = Pending::Kind::Text;
        cell.stamp = m_stamp;
        return true;
    }

    void finish() override
    {
        if (!m_began)
            return;
        if (m_lowest)
            m_grid.setRowCount(*m_lowest);
        m_grid.setRowCount(m_count);
        std::uint32_t lastLowering = 0;
        for (int row = 1; row <= m_count; ++row) {
            // A lowering to n wipes rows n + 1 and up.
            const auto below = static_cast<std::size_t>(row - 1);
            if (below < m_lowerings.size())
                lastLowering = std::max(lastLowering, m_lowerings[below]);
            const std::uint32_t slot =
                static_cast<std::size_t>(row) < m_slotOfRow.size() ? m_slotOfRow[static_cast<std::size_t>(row)] : 0;
            if (slot == 0)
                continue;
            for (int column = 1; column <= m_columns; ++column) {
                const Pending &cell = m_slots[index(column, slot)];
                if (cell.kind == Pending::Kind::None || cell.stamp <= lastLowering)
                    continue;
                if (cell.kind == Pending::Kind::Number)
                    m_grid.setNumber(column, row, cell.number);
                else
                    m_grid.setText(column, row, std::move(m_texts[cell.text]));
            }
        }
        m_grid.setActiveRow(m_row);
        if (m_activeColumn)
            m_grid.setActiveColumn(*m_activeColumn);
    }

    // Record numbers stamp the writes; a reading must stop before they run out.
    bool isFull() const { return m_stamp == UINT32_MAX; }

private:
    struct Pending {
        enum class Kind : std::uint8_t { None, Number, Text };
        double number = 0.0;
        std::uint32_t text = 0;
        std::uint32_t stamp = 0;
        Kind kind = Kind::None;
    };

    std::size_t index(int column, std::uint32_t slot) const
    {
        return static_cast<std::size_t>(slot - 1) * static_cast<std::size_t>(m_columns)
            + static_cast<std::size_t>(column - 1);
    }
    Pending &cellAt(int column)
    {
        std::uint32_t &slot = m_slotOfRow[static_cast<std::size_t>(m_row)];
        if (slot == 0) {
            m_slots.resize(m_slots.size() + static_cast<std::size_t>(m_columns));
            slot = static_cast<std::uint32_t>(m_slots.size() / static_cast<std::size_t>(m_columns));
        }
        return m_slots[index(column, slot)];
    }

    CellGrid &m_grid;
    CellGrid m_probe;
    int m_columns;
    int m_count;
    int m_row = 0;
    std::optional<int> m_activeColumn;
    std::optional<int> m_lowest;
    bool m_began = false;
    std::uint32_t m_stamp = 0;
    // Only rows that get a write take a slot: one record with draw 99999 must not allocate cells for
    // all the rows below it.
    std::vector<std::uint32_t> m_slotOfRow; // by row: 1-based slot, 0 = none
    std::vector<Pending> m_slots;           // m_columns cells per slot
    std::vector<std::string> m_texts;
    std::vector<std::uint32_t> m_lowerings; // by row count n: the last record that lowered it to n
};

// Splits the bytes into fields and the fields into records, streaming: it keeps one field at a time,
// so memory stays bounded whatever the size of the file.
class HistoryReader {
public:
    HistoryReader(RecordSink &sink, const DeferredSink *deferred)
        : m_sink(sink)
        , m_deferred(deferred)
    {
        m_result.opened = true;
    }

    // False once the reading has ended; the rest of the file need not be read.
    bool feed(std::string_view bytes)
    {
        for (const char c : bytes) {
            if (m_done)
                return false;
            if (m_afterCarriageReturn) {
                m_afterCarriageReturn = false;
                if (c == '\n')
                    continue; // the second half of CRLF
            }
            const bool lineEnd = c == '\r' || c == '\n';
            switch (m_state) {
            case State::Start:
                if (isBlank(c))
                    m_started = true;
                else if (c == '"')
                    m_state = State::Quoted;
                else if (c == ',' || lineEnd)
                    endField(c);
                else
                    take(c, State::Bare);
                break;
            case State::Bare:
                if (c == ',' || lineEnd)
                    endField(c);
                else
                    take(c, State::Bare);
                break;
            case State::Quoted:
                // A line end closes an unclosed quote, so that one stray quote cannot swallow the
                // rest of the file.
                if (c == '"')
                    m_state = State::AfterQuote;
                else if (lineEnd)
                    endField(c);
                else
                    take(c, State::Quoted);
                break;
            case State::AfterQuote:
                // Whatever follows the closing quote up to the separator is not part of the field.
                if (c == ',' || lineEnd)
                    endField(c);
                break;
            }
        }
        return !m_done;
    }

    void stop(int line, int field, std::string reason)
    {
        if (m_done)
            return;
        m_done = true;
        m_result.complete = false;
        m_result.stopLine = line;
        m_result.stopField = field;
        m_result.reason = std::move(reason);
    }

    void stopUnreadable(std::string reason) { stop(m_line, m_fieldIndex + 1, std::move(reason)); }

    HistoryReadResult finish()
    {
        // A last field without a separator after it still counts, and so does the empty field after a
        // final comma; nothing at all after a final line end is no field.
        if (!m_done && (m_state != State::Start || m_started || m_afterComma))
            emitField();
        if (!m_done) {
            if (m_fieldIndex == 0) {
                m_result.complete = true;
            } else {
                stop(m_lastFieldLine, m_fieldIndex + 1, "the file ends inside a record");
            }
        }
        m_sink.finish();
        return m_result;
    }

private:
    enum class State : std::uint8_t { Start, Bare, Quoted, AfterQuote };

    struct Field {
        std::string text;
        double number = 0.0;
        bool isNumber = false;
        int line = 1;
    };

    void take(char c, State state)
    {
        m_state = state;
        m_started = true;
        if (m_text.size() < kMaxFieldBytes)
            m_text.push_back(c);
        else
            m_truncated = true;
    }

    void endField(char separator)
    {
        emitField();
        m_afterComma = separator == ',';
        if (separator == '\r' || separator == '\n') {
            ++m_line;
            m_afterCarriageReturn = separator == '\r';
        }
    }

    void emitField()
    {
        const bool quoted = m_state == State::Quoted || m_state == State::AfterQuote;
        std::string text = std::move(m_text);
        if (!quoted)
            text.resize(trimmed(text).size()); // leading blanks were never taken
        const bool truncated = m_truncated;
        m_text.clear();
        m_truncated = false;
        m_state = State::Start;
        m_started = false;
        if (!m_done)
            takeField(std::move(text), truncated);
    }

    void takeField(std::string text, bool truncated)
    {
        m_lastFieldLine = m_line;
        Field &field = m_fields[static_cast<std::size_t>(m_fieldIndex)];
        field.isNumber = !truncated && historyFieldNumber(text, field.number);
        field.text = std::move(text);
        field.line = m_line;
        if (m_fieldIndex == 0) {
            takeDrawNumber(field);
            return;
        }
        // A record is stored only once all its fields are read, so a record cut short by the end of
        // the file leaves the grid as it was.
        if (++m_fieldIndex == kRecordFields)
            storeRecord();
    }

    void takeDrawNumber(const Field &field)
    {
        // An empty draw number, as a blank line gives, ends the data like 0.
        if (trimmed(field.text).empty() || (field.isNumber && field.number == 0.0)) {
            m_done = true;
            m_result.complete = true;
            return;
        }
        if (!field.isNumber)
            stop(field.line, 1, "the draw number is not a number");
        else if (field.number < 0)
            stop(field.line, 1, "the draw number is negative");
        else if (field.number != std::floor(field.number))
            stop(field.line, 1, "the draw number is not a whole number");
        else if (field.number > kMaxDrawNumber)
            stop(field.line, 1, "the draw number is above 99999");
        else if (m_deferred && m_deferred->isFull())
            stop(field.line, 1, "too many records");
        if (!m_done)
            m_fieldIndex = 1;
    }

    void storeRecord()
    {
        m_fieldIndex = 0;
        m_sink.beginRecord(static_cast<int>(m_fields[0].number));
        for (int column = 1; column < kRecordFields; ++column) {
            Field &field = m_fields[static_cast<std::size_t>(column)];
            const bool stored = field.isNumber ? m_sink.writeNumber(column, field.number)
                                               : m_sink.writeText(column, std::move(field.text));
            if (!stored) {
                stop(field.line, column + 1, "the value does not fit the history table (whole numbers -99..99)");
                return;
            }
        }
        ++m_result.records;
    }

    RecordSink &m_sink;
    const DeferredSink *m_deferred;
    HistoryReadResult m_result;
    bool m_done = false;

    State m_state = State::Start;
    std::string m_text;
    bool m_truncated = false;
    bool m_started = false; // something (a blank, a quote) seen since the last separator
    bool m_afterComma = false;
    bool m_afterCarriageReturn = false;
    int m_line = 1;
    int m_lastFieldLine = 1;
    int m_fieldIndex = 0; // 0 = draw number, 1..7 = columns
    std::array<Field, kRecordFields> m_fields;
};

std::string_view withoutByteOrderMark(std::string_view content)
{
    if (content.starts_with(kByteOrderMark))
        content.remove_prefix(kByteOrderMark.size());
    return content;
}

} // namespace

bool historyFieldNumber(std::string_view text, double &number)
{
    text = trimmed(text);
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        ++digits;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
            ++digits;
    }
    if (digits == 0 || pos != text.size())
        return false;
    number = leadingNumber(text);
    return true;
}

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history, HistoryApply apply)
{
    content = withoutByteOrderMark(content);
    if (apply == HistoryApply::Direct) {
        DirectSink sink(history);
        HistoryReader reader(sink, nullptr);
        reader.feed(content);
        return reader.finish();
    }
    DeferredSink sink(history);
    HistoryReader reader(sink, &sink);
    reader.feed(content);
    return reader.finish();
}

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history)
{
    return readDrawHistory(content, history, HistoryApply::Deferred);
}

HistoryReadResult loadDrawHistory(const QString &path, CellGrid &history)
{
    HistoryReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.reason = "the file does not exist";
        return result;
    }
    // A device or a pipe under the history's name could deliver bytes forever.
    if (!info.isFile()) {
        result.reason = "not a regular file";
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = "cannot open the file: " + file.errorString().toStdString();
        return result;
    }

    DeferredSink sink(history);
    HistoryReader reader(sink, &sink);
    std::vector<char> buffer(64 * 1024);
    bool first = true;
    for (;;) {
        const qint64 got = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0) {
            reader.stopUnreadable("cannot read the file: " + file.errorString().toStdString());
            break;
        }
        if (got == 0)
            break;
        std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
        if (first)
            chunk = withoutByteOrderMark(chunk);
        first = false;
        if (!reader.feed(chunk))
            break;
    }
    return reader.finish();
}

} // namespace omvex
