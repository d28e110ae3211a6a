#include "ui/analysis/celltablemodel.h"

#include <utility>

namespace omvex::ui {

TableCell numberCell(double value, const QString &text)
{
    TableCell cell;
    cell.text = text;
    cell.sortKey = value;
    return cell;
}

TableCell numberCell(long long value)
{
    TableCell cell;
    cell.text = QString::number(value);
    cell.sortKey = value;
    return cell;
}

TableCell textCell(const QString &text, const QVariant &sortKey)
{
    TableCell cell;
    cell.text = text;
    cell.sortKey = sortKey;
    cell.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    return cell;
}

CellTableModel::CellTableModel(QStringList headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(std::move(headers))
{
}

void CellTableModel::setRows(std::vector<TableRow> rows, QStringList rowNames)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (TableRow &row : m_rows)
        row.resize(static_cast<std::size_t>(m_headers.size()));
    m_rowNames = std::move(rowNames);
    endResetModel();
}

const TableCell &CellTableModel::cell(int row, int column) const
{
    return m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

int CellTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CellTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TableCell &shown = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return shown.text;
    case kSortRole:
        return shown.sortKey.isValid() ? shown.sortKey : QVariant(shown.text);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(shown.alignment);
    case Qt::ForegroundRole:
        return shown.foreground.style() == Qt::NoBrush ? QVariant() : QVariant(shown.foreground);
    case Qt::BackgroundRole:
        return shown.background.style() == Qt::NoBrush ? QVariant() : QVariant(shown.background);
    case Qt::ToolTipRole:
        return shown.toolTip.isEmpty() ? QVariant() : QVariant(shown.toolTip);
    default:
        return {};
    }
}

QVariant CellTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal)
        return m_headers.value(section);
    return section < m_rowNames.size() ? QVariant(m_rowNames.at(section)) : QVariant(section + 1);
}

Qt::ItemFlags CellTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace omvex::ui
