#include "grid/cellgrid.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <numeric>
#include <system_error>
#include <utility>

namespace omvex {

double leadingNumber(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    // A whole number of up to 15 digits is exact in a double: the general conversion would give the
    // same value, much more slowly, and the history holds tens of thousands of such numbers.
    if (pos - start == digits && digits <= 15) {
        std::uint64_t whole = 0;
        for (std::size_t i = start; i < pos; ++i)
            whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
        const double exact = static_cast<double>(whole);
        return negative ? -exact : exact;
    }

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + start, text.data() + pos, value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range)
        value = DBL_MAX; // a digit string too long for a double; only its size matters then
    (void)end;
    return negative ? -value : value;
}

namespace {

std::string formatNumber(const NumberFormat &format, double value)
{
    if (value == 0.0)
        value = 0.0; // never show "-0"
    char buffer[400];
    const auto result = format.kind == NumberFormat::Kind::Typed
        ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, format.decimals)
        : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

} // namespace

CellGrid::CellGrid(int columnCount, int rowCount)
    : m_columnCount(std::max(columnCount, 1))
    , m_formats(static_cast<std::size_t>(m_columnCount) + 1)
    , m_headers(static_cast<std::size_t>(m_columnCount) + 1)
{
    setRowCount(rowCount);
}

bool CellGrid::setRowCount(int rowCount)
{
    if (rowCount < 0)
        return false;
    if (rowCount == m_rowCount)
        return true;
    // The texts of discarded cells make room for later ones.
    for (std::size_t i = static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(m_columnCount);
         i < m_cells.size(); ++i) {
        if (m_cells[i].kind == Cell::Kind::Text)
            releaseText(m_cells[i]);
    }
    m_rowCount = rowCount;
    m_cells.resize(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(m_columnCount));
    if (m_viewRow > m_rowCount)
        m_viewRow = 0;
    touch();
    return true;
}

void CellGrid::setColumnFormat(int column, NumberFormat format)
{
    if (column >= 1 && column <= m_columnCount)
        m_formats[static_cast<std::size_t>(column)] = format;
}

const NumberFormat &CellGrid::columnFormat(int column) const
{
    return m_formats[static_cast<std::size_t>(std::clamp(column, 0, m_columnCount))];
}

void CellGrid::setColumnHeader(int column, std::string text)
{
    if (column >= 0 && column <= m_columnCount) {
        m_headers[static_cast<std::size_t>(column)] = std::move(text);
        touch();
    }
}

const std::string &CellGrid::columnHeader(int column) const
{
    return m_headers[static_cast<std::size_t>(std::clamp(column, 0, m_columnCount))];
}

std::string CellGrid::text(int column, int row) const
{
    if (!isDataCell(column, row))
        return {};
    const Cell &cell = m_cells[index(column, row)];
    switch (cell.kind) {
    case Cell::Kind::Empty:
        return {};
    case Cell::Kind::Text:
        return m_texts[cell.textIndex];
    case Cell::Kind::Number:
        break;
    }
    return formatNumber(m_formats[static_cast<std::size_t>(column)], cell.number);
}

bool CellGrid::isEmpty(int column, int row) const
{
    return !isDataCell(column, row) || m_cells[index(column, row)].kind == Cell::Kind::Empty;
}

bool CellGrid::fitCellValue(const NumberFormat &format, double &value)
{
    static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = kScale[std::clamp(format.decimals, 0, 9)];
    const double scaled = value * scale;
    // Also false for NaN; within the bound the cast to a whole number is exact and fast.
    if (!(std::fabs(scaled) < 0x1.0p52))
        return false;
    // Rounded (half away from zero) to the places shown, so that the number read back is the
    // number the text shows.
    const auto units = static_cast<long long>(scaled + (scaled < 0 ? -0.5 : 0.5));
    const double rounded = format.decimals == 0 ? static_cast<double>(units) : static_cast<double>(units) / scale;
    if (rounded < format.minimum || rounded > format.maximum)
        return false;
    value = rounded;
    return true;
}

bool CellGrid::setText(int column, int row, std::string text)
{
    if (!isDataCell(column, row))
        return false;
    Cell &cell = m_cells[index(column, row)];
    cell.number = leadingNumber(text);
    if (cell.kind != Cell::Kind::Text) {
        cell.kind = Cell::Kind::Text;
        if (m_freeTexts.empty()) {
            cell.textIndex = static_cast<std::uint32_t>(m_texts.size());
            m_texts.emplace_back();
        } else {
            cell.textIndex = m_freeTexts.back();
            m_freeTexts.pop_back();
        }
    }
    m_texts[cell.textIndex] = std::move(text);
    touch();
    return true;
}

bool CellGrid::clearCell(int column, int row)
{
    if (!isDataCell(column, row))
        return false;
    Cell &cell = m_cells[index(column, row)];
    if (cell.kind == Cell::Kind::Text)
        releaseText(cell);
    cell = Cell{};
    touch();
    return true;
}

void CellGrid::releaseText(Cell &cell)
{
    // Emptied, not only forgotten: a long text must not keep its memory while its entry waits.
    std::string().swap(m_texts[cell.textIndex]);
    m_freeTexts.push_back(cell.textIndex);
}

void CellGrid::clear()
{
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
    m_texts.clear();
    m_freeTexts.clear();
    touch();
}

void CellGrid::sortRows(int keyColumn, SortOrder order)
{
    if (keyColumn < 1 || keyColumn > m_columnCount || m_rowCount < 2)
        return;
    std::vector<int> rows(static_cast<std::size_t>(m_rowCount));
    std::iota(rows.begin(), rows.end(), 1);
    const auto key = [&](int row) { return number(keyColumn, row); };
    if (order == SortOrder::Descending)
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return key(a) > key(b); });
    else
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return key(a) < key(b); });

    std::vector<Cell> sorted;
    sorted.reserve(m_cells.size());
    for (int row : rows)
        sorted.insert(sorted.end(), m_cells.begin() + static_cast<std::ptrdiff_t>(index(1, row)),
                      m_cells.begin() + static_cast<std::ptrdiff_t>(index(1, row) + m_columnCount));
    m_cells = std::move(sorted);
    touch();
}

void CellGrid::sortColumns(int keyRow, SortOrder order)
{
    if (keyRow < 1 || keyRow > m_rowCount || m_columnCount < 2)
        return;
    std::vector<int> columns(static_cast<std::size_t>(m_columnCount));
    std::iota(columns.begin(), columns.end(), 1);
    const auto key = [&](int column) { return number(column, keyRow); };
    if (order == SortOrder::Descending)
        std::stable_sort(columns.begin(), columns.end(), [&](int a, int b) { return key(a) > key(b); });
    else
        std::stable_sort(columns.begin(), columns.end(), [&](int a, int b) { return key(a) < key(b); });

    // Whole columns move: the cells, not the columns' formats, change places.
    std::vector<Cell> sorted(m_cells.size());
    for (int row = 1; row <= m_rowCount; ++row)
        for (int to = 1; to <= m_columnCount; ++to)
            sorted[index(to, row)] = m_cells[index(columns[static_cast<std::size_t>(to - 1)], row)];
    m_cells = std::move(sorted);
    touch();
}

void CellGrid::swapRows(int rowA, int rowB)
{
    if (rowA == rowB || !isDataCell(1, rowA) || !isDataCell(1, rowB))
        return;
    std::swap_ranges(m_cells.begin() + static_cast<std::ptrdiff_t>(index(1, rowA)),
                     m_cells.begin() + static_cast<std::ptrdiff_t>(index(1, rowA) + m_columnCount),
                     m_cells.begin() + static_cast<std::ptrdiff_t>(index(1, rowB)));
    touch();
}

void CellGrid::takeContents(CellGrid &&other)
{
    GridObserver *const observer = m_observer;
    const bool pendingChange = m_pendingChange;
    *this = std::move(other);
    m_observer = observer;
    m_pendingChange = pendingChange;
    touch();
}

void CellGrid::setVisible(bool visible)
{
    if (visible != m_visible) {
        m_visible = visible;
        touch();
    }
}

} // namespace omvex
