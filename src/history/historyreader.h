#pragma once

#include "engine/game.h"
#include "history/drawhistory.h"
#include "history/historyfields.h"
#include "history/rowsinks.h"

#include <QString>

#include <array>
#include <cstdint>

namespace omvex {

// How a reading reaches the grid. Deferred, the one the program uses, only ever raises the row count
// while reading and settles the rows the file cut off once at the end, so that a file whose draw
// numbers jump between 1 and 99999 costs time in proportion to its size. Direct performs every grid
// operation as it reads (row count, active row, active column, write), the plain reading that tests
// and the fuzz target hold Deferred against.
enum class HistoryApply : std::uint8_t { Deferred, Direct };

class RowListener;

HistoryReadResult readDrawHistory(std::string_view content, CellGrid &history, HistoryApply apply);

// The rows of the content handed to any sink, which finish() then brings to its grid.
HistoryReadResult readDrawHistory(std::string_view content, RowSink &sink, RowListener *listener = nullptr);

// Told where each row the reader writes came from, as it reads: the warnings about a reading are
// worked out from this in the same pass, and a caller may follow the rows of the file the same way.
class RowListener {
public:
    virtual ~RowListener() = default;
    // The reader began to write row drawNumber from the row of the file whose draw number is on
    // `line`; stored is false when it refused one of the values and stops there. bytes: where the
    // row lies in the content, from its draw number's first byte to the end of its last field.
    virtual void rowWritten(int drawNumber, int line, bool stored, ByteSpan bytes) = 0;
};

// Notes, by draw number, where the row of the file that last filled each grid row lies: rewriting
// the file can then keep a row's own bytes. Lowering the row count wipes the rows above, and so
// their spans.
class RowSpans final : public RowListener {
public:
    void rowWritten(int drawNumber, int line, bool stored, ByteSpan bytes) override;
    std::vector<ByteSpan> take() { return std::move(m_spans); }

private:
    std::vector<ByteSpan> m_spans;
};

// Groups the fields into rows of eight (draw number, then the seven values of its grid row) and hands
// each complete row to the sink; a bad draw number or a refused value ends the reading.
class RowReader final : public HistoryFieldTaker {
public:
    explicit RowReader(RowSink &sink, RowListener *listener = nullptr);

    bool takeField(HistoryField &field) override;
    // Reading failed part way: the stop names the line the splitter had reached.
    void stopUnreadable(int line, const QString &words);
    HistoryReadResult finish();

    bool isDone() const { return m_done; }
    // After an ending row (draw number 0 or a blank line): its line, and whether its draw number was blank.
    int endLine() const { return m_endLine; }
    bool endedBlank() const { return m_endedBlank; }
    const HistoryReadResult &result() const { return m_result; }

    struct StopCause {
        const char *code;
        const char *reason; // English, as scripts already read it
        const char *words;  // Japanese
    };

private:
    void stop(int line, int field, const StopCause &why, const QString &words = {});
    void takeDrawNumber(const HistoryField &field);
    void storeRow();

    RowSink &m_sink;
    RowListener *m_listener;
    HistoryReadResult m_result;
    bool m_done = false;
    int m_lastFieldLine = 1;
    int m_fieldIndex = 0; // 0 = draw number, 1..7 = columns
    int m_drawNumber = 0;
    int m_drawLine = 0;
    std::size_t m_drawBegin = 0; // where the row being read starts
    int m_endLine = 0;
    bool m_endedBlank = false;
    std::array<HistoryField, kHistoryRowFields> m_fields;
};

} // namespace omvex
