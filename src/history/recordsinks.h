#pragma once

#include "grid/cellgrid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace omvex {

// The grid operations of one reading of the history file, in the order its records ask for them.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Sets the row count to drawNumber (1..kMaxDrawNumber) and makes that row the active one.
    virtual void beginRecord(int drawNumber) = 0;
    // Write into the active row; false when the grid refuses the value.
    virtual bool writeNumber(int column, double value) = 0;
    virtual bool writeText(int column, std::string text) = 0;
    virtual void finish() = 0;
    // True when the sink can take no more records; the reading stops there.
    virtual bool isFull() const { return false; }
};

// Performs every grid operation as it comes (row count, active row, active column, write): the
// plain reading that tests and the fuzz target hold DeferredSink against.
class DirectSink final : public RecordSink {
public:
    explicit DirectSink(CellGrid &grid)
        : m_grid(grid)
    {
    }

    void beginRecord(int drawNumber) override;
    bool writeNumber(int column, double value) override;
    bool writeText(int column, std::string text) override;
    void finish() override {}

private:
    CellGrid &m_grid;
};

// Lowering the row count wipes the rows above it, and raising it again costs the grid one empty
// cell per new cell; done per record, a file alternating draws 1 and 99999 would cost seconds per
// kilobyte. So the records are kept here with the time (record number) of each write and of each
// lowering, and the grid gets the final state in one go: a cell written after the last lowering
// below its row survives, everything above the lowest lowering is wiped once. Only rows that get a
// write take room, and a cell keeps its text's room for later texts, so what this keeps is bounded
// by the largest table the file reaches, not by how often it rewrites a cell.
class DeferredSink final : public RecordSink {
public:
    explicit DeferredSink(CellGrid &grid);

    void beginRecord(int drawNumber) override;
    bool writeNumber(int column, double value) override;
    bool writeText(int column, std::string text) override;
    void finish() override;

    // Record numbers stamp the writes; a reading must stop before they run out.
    bool isFull() const override { return m_stamp == UINT32_MAX; }
    std::size_t textCount() const { return m_texts.size(); }
    std::size_t cellCount() const { return m_cells.size(); }

private:
    struct Pending {
        enum class Kind : std::uint8_t { None, Number, Text };
        double number = 0.0;
        std::uint32_t text = 0; // 1-based entry in m_texts once the cell has had a text, else 0
        std::uint32_t stamp = 0;
        Kind kind = Kind::None;
    };

    Pending &cellAt(int column);

    CellGrid &m_grid;
    CellGrid m_probe;
    int m_columns;
    int m_count;
    int m_row = 0;
    std::optional<int> m_activeColumn;
    std::optional<int> m_lowest;
    bool m_began = false;
    std::uint32_t m_stamp = 0;
    std::vector<std::uint32_t> m_slotOfRow; // by row: 1-based slot, 0 = none
    std::vector<Pending> m_cells;           // m_columns cells per slot
    std::vector<std::string> m_texts;
    std::vector<std::uint32_t> m_lowerings; // by row count n: the last record that lowered it to n
};

} // namespace omvex
