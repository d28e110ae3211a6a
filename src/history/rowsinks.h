#pragma once

#include "grid/cellgrid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace omvex {

// Bytes [begin, end) of the content read.
struct ByteSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The grid operations of one reading of the history file, in the order its rows ask for them.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Sets the row count to drawNumber (1..kMaxDrawNumber) and makes that row the active one.
    virtual void beginRow(int drawNumber) = 0;
    // Write into the active row; false when the grid refuses the value.
    virtual bool writeNumber(int column, double value) = 0;
    virtual bool writeText(int column, std::string text) = 0;
    virtual void finish() = 0;
    // True when the sink can take no more rows; the reading stops there.
    virtual bool isFull() const { return false; }
};

// Performs every grid operation as it comes (row count, active row, active column, write): the
// plain reading that tests and the fuzz target hold DeferredSink against.
class DirectSink final : public RowSink {
public:
    explicit DirectSink(CellGrid &grid)
        : m_grid(grid)
    {
    }

    void beginRow(int drawNumber) override;
    bool writeNumber(int column, double value) override;
    bool writeText(int column, std::string text) override;
    void finish() override {}

private:
    CellGrid &m_grid;
};

// Lowering the row count wipes the rows above it, and raising it again costs the grid one empty
// cell per new cell; done per row, a file alternating draws 1 and 99999 would cost seconds per
// kilobyte. So the grid only ever grows while reading, values go straight into their cells, and each
// cell's write and each lowering get the time (row number) they happened at. At the end a cell
// written after the last lowering below its row stays, every other cell above the lowest lowering is
// wiped, and the row count is set once. The grid holds each value once and reuses a cell's text
// room, so what a reading keeps is bounded by the largest table the file reaches, not by how often
// it rewrites a cell.
class DeferredSink final : public RowSink {
public:
    explicit DeferredSink(CellGrid &grid);

    void beginRow(int drawNumber) override;
    bool writeNumber(int column, double value) override;
    bool writeText(int column, std::string text) override;
    void finish() override;

    // Row numbers stamp the writes; a reading must stop before they run out.
    bool isFull() const override { return m_stamp == UINT32_MAX; }
    // How many cells the sink keeps a time for: the cells of the largest table reached.
    std::size_t stampCount() const { return m_written.size(); }

private:
    std::uint32_t &writtenAt(int column);
    std::uint32_t writtenAt(int column, int row) const;

    CellGrid &m_grid;
    int m_columns;
    int m_count;
    int m_row = 0;
    std::optional<int> m_activeColumn;
    std::optional<int> m_lowest;
    bool m_began = false;
    std::uint32_t m_stamp = 0;
    std::vector<std::uint32_t> m_written;   // by cell of the grid: the row that last wrote it, 0 = none
    std::vector<std::uint32_t> m_lowerings; // by row count n: the last row that lowered it to n
};

} // namespace omvex
