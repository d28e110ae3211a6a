#include "history/rowsinks.h"

#include <algorithm>

namespace omvex {

void DirectSink::beginRow(int drawNumber)
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
    , m_columns(grid.columnCount())
    , m_count(grid.rowCount())
{
}

void DeferredSink::beginRow(int drawNumber)
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
    if (drawNumber > m_grid.rowCount())
        m_grid.setRowCount(drawNumber);
}

bool DeferredSink::writeNumber(int column, double value)
{
    m_activeColumn = column;
    if (!m_grid.setNumber(column, m_row, value))
        return false;
    writtenAt(column) = m_stamp;
    return true;
}

bool DeferredSink::writeText(int column, std::string text)
{
    m_activeColumn = column;
    if (!m_grid.setText(column, m_row, std::move(text)))
        return false;
    writtenAt(column) = m_stamp;
    return true;
}

void DeferredSink::finish()
{
    if (!m_began)
        return;
    // Rows up to the lowest lowering keep what they had; above it, a cell stays only if it was
    // written after the last lowering below its row (a lowering to n wipes rows n + 1 and up).
    std::uint32_t lastLowering = 0;
    for (int row = 1; row <= m_count; ++row) {
        const auto below = static_cast<std::size_t>(row - 1);
        if (below < m_lowerings.size())
            lastLowering = std::max(lastLowering, m_lowerings[below]);
        if (lastLowering == 0)
            continue;
        for (int column = 1; column <= m_columns; ++column) {
            if (writtenAt(column, row) <= lastLowering)
                m_grid.clearCell(column, row);
        }
    }
    m_grid.setRowCount(m_count);
    m_grid.setActiveRow(m_row);
    if (m_activeColumn)
        m_grid.setActiveColumn(*m_activeColumn);
}

std::uint32_t DeferredSink::writtenAt(int column, int row) const
{
    const std::size_t index = static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(m_columns)
        + static_cast<std::size_t>(column - 1);
    return index < m_written.size() ? m_written[index] : 0;
}

std::uint32_t &DeferredSink::writtenAt(int column)
{
    const std::size_t index = static_cast<std::size_t>(m_row - 1) * static_cast<std::size_t>(m_columns)
        + static_cast<std::size_t>(column - 1);
    if (m_written.size() <= index)
        m_written.resize(static_cast<std::size_t>(m_grid.rowCount()) * static_cast<std::size_t>(m_columns), 0);
    return m_written[index];
}

} // namespace omvex
