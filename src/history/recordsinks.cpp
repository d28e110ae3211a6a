#include "history/recordsinks.h"

#include <algorithm>

namespace omvex {

void DirectSink::beginRecord(int drawNumber)
{
    m_grid.setRowCount(drawNumber);
    m_grid.setActiveRow(drawNumber);
}

bool DirectSink::writeNumber(int column, double value)
{
    m_grid.setActiveColumn(column);
    return m_grid.setActiveNumber(value);
}

bool DirectSink::writeText(int column, std::string text)
{
    m_grid.setActiveColumn(column);
    return m_grid.setText(column, m_grid.activeRow(), std::move(text));
}

DeferredSink::DeferredSink(CellGrid &grid)
    : m_grid(grid)
    , m_probe(grid.columnCount(), 1)
    , m_columns(grid.columnCount())
    , m_count(grid.rowCount())
{
    for (int column = 1; column <= m_columns; ++column)
        m_probe.setColumnFormat(column, grid.columnFormat(column));
}

void DeferredSink::beginRecord(int drawNumber)
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

bool DeferredSink::writeNumber(int column, double value)
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

bool DeferredSink::writeText(int column, std::string text)
{
    m_activeColumn = column;
    if (column < 1 || column > m_columns)
        return false;
    Pending &cell = cellAt(column);
    if (cell.text == 0) {
        m_texts.emplace_back();
        cell.text = static_cast<std::uint32_t>(m_texts.size());
    }
    m_texts[cell.text - 1] = std::move(text);
    cell.kind = Pending::Kind::Text;
    cell.stamp = m_stamp;
    return true;
}

void DeferredSink::finish()
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
            Pending &cell = m_cells[static_cast<std::size_t>(slot - 1) * static_cast<std::size_t>(m_columns)
                                    + static_cast<std::size_t>(column - 1)];
            if (cell.kind == Pending::Kind::None || cell.stamp <= lastLowering)
                continue;
            if (cell.kind == Pending::Kind::Number)
                m_grid.setNumber(column, row, cell.number);
            else
                m_grid.setText(column, row, std::move(m_texts[cell.text - 1]));
        }
    }
    m_grid.setActiveRow(m_row);
    if (m_activeColumn)
        m_grid.setActiveColumn(*m_activeColumn);
}

DeferredSink::Pending &DeferredSink::cellAt(int column)
{
    std::uint32_t &slot = m_slotOfRow[static_cast<std::size_t>(m_row)];
    if (slot == 0) {
        m_cells.resize(m_cells.size() + static_cast<std::size_t>(m_columns));
        slot = static_cast<std::uint32_t>(m_cells.size() / static_cast<std::size_t>(m_columns));
    }
    return m_cells[static_cast<std::size_t>(slot - 1) * static_cast<std::size_t>(m_columns)
                   + static_cast<std::size_t>(column - 1)];
}

} // namespace omvex
