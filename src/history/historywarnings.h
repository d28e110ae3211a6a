#pragma once

#include "history/draws.h"
#include "history/drawhistory.h"
#include "history/historyreader.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// Something in the way a kako.txt was read that its owner would not expect: the reader itself
// never complains (it keeps what it stored), so the window and the tool say it for it.
struct HistoryWarning {
    int line = 0;          // line of kako.txt where it first occurs
    std::string code;      // order, numbers, after-end, gaps, header
    QString message;       // how often it occurs and what to do
    QString statusText;    // the same in one short line, with its line number
};

// How many draws a results file would give the import, for a kako.txt whose first line stopped the
// reading (0: it is no results file). The import's reader answers; the history itself does not know it.
using ResultFileProbe = int (*)(std::string_view content);

// Gathers what the warnings need while the reader goes through the file once: where each row it
// wrote came from, and which lines after an ending row hold something. Passes each row on to next.
class HistoryWarningScan final : public RowListener {
public:
    explicit HistoryWarningScan(RowListener *next = nullptr, ResultFileProbe probe = nullptr);

    void rowWritten(int drawNumber, int line, bool stored, ByteSpan bytes) override;
    // Every byte of the file after its byte order mark, in order, the bytes after the reader
    // stopped included; called after the reader took the same bytes.
    void feed(std::string_view bytes, const RowReader &reader);
    void finish(const RowReader &reader);

    // At most one warning per code, ordered by line, about the grid the reading left.
    std::vector<HistoryWarning> warnings(const DrawHistory &draws, const HistoryReadResult &read) const;

private:
    void endLine();
    void addOrder(const DrawHistory &draws, const HistoryReadResult &read, std::vector<HistoryWarning> &warnings) const;
    void addNumbersAndGaps(const DrawHistory &draws, std::vector<HistoryWarning> &warnings) const;
    void addAfterEnd(std::vector<HistoryWarning> &warnings) const;
    void addHeader(const HistoryReadResult &read, std::vector<HistoryWarning> &warnings) const;

    RowListener *m_next;
    ResultFileProbe m_probe;

    int m_lastStoredDraw = 0;
    int m_orderCount = 0;
    int m_orderLine = 0;
    std::vector<int> m_lineOfRow; // by row: the line of the file row that wrote it last

    // Lines after the ending row that hold more than blanks.
    int m_endLine = 0; // 0 until the reader met an ending row
    bool m_endedBlank = false;
    int m_line = 1;
    bool m_filled = false;
    bool m_afterCarriageReturn = false;
    int m_filledAfterEnd = 0;
    int m_firstFilledAfterEnd = 0;

    // The file's first bytes, kept only while its first line may be a heading.
    std::string m_head;
    bool m_keepHead = true;
};

} // namespace omvex
