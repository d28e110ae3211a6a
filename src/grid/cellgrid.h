#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// The leading decimal number of a text: optional blanks, an optional sign, digits with at most
// one decimal point. Anything after it is ignored; text without such a number reads as 0.
// "12abc" -> 12, "84.5" -> 84.5, "-3" -> -3, "" and "abc" -> 0.
double leadingNumber(std::string_view text);

// How a column shows the numbers written into it. Plain cells show a number in the shortest
// decimal form; typed cells round to their decimal places and refuse values outside their range.
struct NumberFormat {
    enum class Kind : std::uint8_t { Plain, Typed };
    Kind kind = Kind::Plain;
    int decimals = 0;
    double minimum = 0;
    double maximum = 0;

    static NumberFormat plain() { return {}; }
    static NumberFormat whole(double minimum, double maximum) { return {Kind::Typed, 0, minimum, maximum}; }
    static NumberFormat decimal(int decimals, double minimum, double maximum)
    {
        return {Kind::Typed, decimals, minimum, maximum};
    }
};

// Told once per burst of changes: the first change after the observer last acknowledged the
// grid's state calls gridChanged(); further changes cost one flag test until acknowledge().
class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void gridChanged() = 0;
};

// A table of cells addressed by column and row, both counted from 1. Row 0 holds the column
// headers and column 0 the row headers; neither holds data. Each cell is empty, a number
// (shown through its column's format) or a text as read from a file. Reading a cell as a number
// always means the same as parsing its text with leadingNumber(), without building the text.
class CellGrid {
public:
    enum class SortOrder : std::uint8_t { Ascending = 1, Descending = 2 };
    static constexpr int kAll = -1;

    explicit CellGrid(int columnCount = 1, int rowCount = 0);

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return m_rowCount; }
    // Lowering the count discards the rows beyond it; raising it adds empty rows.
    // A negative count is refused (returns false) and changes nothing.
    bool setRowCount(int rowCount);

    void setColumnFormat(int column, NumberFormat format);
    const NumberFormat &columnFormat(int column) const;

    void setColumnHeader(int column, std::string text);
    const std::string &columnHeader(int column) const;

    // The cell that activeText()/setActiveNumber() address; kAll in both selects every cell.
    void setActiveColumn(int column) { m_activeColumn = column; }
    void setActiveRow(int row) { m_activeRow = row; }
    int activeColumn() const { return m_activeColumn; }
    int activeRow() const { return m_activeRow; }

    std::string activeText() const { return text(m_activeColumn, m_activeRow); }
    bool setActiveNumber(double value) { return setNumber(m_activeColumn, m_activeRow, value); }

    // Reads of cells outside the data area give empty text and 0.
    std::string text(int column, int row) const;
    double number(int column, int row) const
    {
        return isDataCell(column, row) ? m_cells[index(column, row)].number : 0.0;
    }
    bool isEmpty(int column, int row) const;

    // A write outside the data area, or of a value a typed column refuses, returns false and
    // changes nothing.
    bool setNumber(int column, int row, double value)
    {
        if (!isDataCell(column, row))
            return false;
        const NumberFormat &format = m_formats[static_cast<std::size_t>(column)];
        if (format.kind == NumberFormat::Kind::Typed && !fitCellValue(format, value))
            return false;
        Cell &cell = m_cells[index(column, row)];
        if (cell.kind == Cell::Kind::Text)
            releaseText(cell);
        cell.number = value;
        cell.kind = Cell::Kind::Number;
        touch();
        return true;
    }
    bool setText(int column, int row, std::string text);
    // Makes one data cell empty; false outside the data area.
    bool clearCell(int column, int row);

    // Every data cell becomes empty; row count and headers stay.
    void clear();

    // How many texts the grid keeps room for: never more than the cells of the largest table it has
    // had, however often cells switch between numbers and texts.
    std::size_t textSlotCount() const { return m_texts.size(); }

    // Whole rows move by the numbers in keyColumn; whole columns move by the numbers in keyRow.
    // Both sorts are stable: cells with equal keys keep their order.
    void sortRows(int keyColumn, SortOrder order);
    void sortColumns(int keyRow, SortOrder order);
    void swapRows(int rowA, int rowB);

    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }

    // The row the view should scroll into sight, or 0 for none.
    void bringIntoView(int row)
    {
        m_viewRow = row;
        touch();
    }
    int viewRow() const { return m_viewRow; }

    // Takes over other's rows, cells, formats, headers and settings; this grid's observer stays and
    // hears of the change.
    void takeContents(CellGrid &&other);

    // A new observer takes in the grid's state as it is; from then on it hears of the next burst.
    void setObserver(GridObserver *observer)
    {
        m_observer = observer;
        m_pendingChange = false;
    }
    // Called by the observer once it has taken in the grid's state.
    void acknowledge() { m_pendingChange = false; }

private:
    struct Cell {
        enum class Kind : std::uint8_t { Empty, Number, Text };
        double number = 0.0;
        std::uint32_t textIndex = 0;
        Kind kind = Kind::Empty;
    };

    bool isDataCell(int column, int row) const
    {
        return column >= 1 && column <= m_columnCount && row >= 1 && row <= m_rowCount;
    }
    std::size_t index(int column, int row) const
    {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(m_columnCount)
            + static_cast<std::size_t>(column - 1);
    }
    static bool fitCellValue(const NumberFormat &format, double &value);
    void releaseText(Cell &cell);
    void touch()
    {
        if (!m_pendingChange) {
            m_pendingChange = true;
            if (m_observer)
                m_observer->gridChanged();
        }
    }

    int m_columnCount;
    int m_rowCount = 0;
    std::vector<Cell> m_cells;
    std::vector<std::string> m_texts;      // texts of text cells; Cell::textIndex points here
    std::vector<std::uint32_t> m_freeTexts; // entries of m_texts no cell uses, emptied, for reuse
    std::vector<NumberFormat> m_formats;
    std::vector<std::string> m_headers;
    int m_activeColumn = kAll;
    int m_activeRow = kAll;
    int m_viewRow = 0;
    bool m_visible = true;
    GridObserver *m_observer = nullptr;
    bool m_pendingChange = false;
};

} // namespace omvex
