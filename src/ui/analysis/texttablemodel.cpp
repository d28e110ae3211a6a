#include "ui/analysis/texttablemodel.h"

#include <utility>

namespace omvex::ui {

TextTableModel::TextTableModel(QStringList headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(std::move(headers))
{
}

void TextTableModel::setRows(QList<QList<TextCell>> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TextTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QList<TextCell> &row = m_rows[index.row()];
    if (index.column() >= row.size())
        return {};
    const TextCell &cell = row[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case SortRole:
        return cell.value.isValid() ? cell.value : QVariant(cell.text);
    case Qt::TextAlignmentRole:
        // Numbers line up on the right, words on the left.
        return static_cast<int>(cell.value.isValid() ? Qt::AlignRight | Qt::AlignVCenter
                                                     : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_headers.value(section);
}

Qt::ItemFlags TextTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace omvex::ui
