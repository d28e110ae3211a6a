#include "ui/main/gridmodel.h"

#include <QMetaObject>

namespace omvex::ui {

GridModel::GridModel(CellGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
    , m_shownRows(grid.rowCount())
{
    m_grid.setObserver(this);
    // Changes made before the model existed may have left the grid waiting for an
    // acknowledgement, and it reports nothing until it gets one. The model starts from the grid
    // as it is now, so that state counts as taken in.
    m_grid.acknowledge();
}

GridModel::~GridModel()
{
    m_grid.setObserver(nullptr);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // Cells past the grid's live row count (possible only until the queued refresh) read empty.
        return QString::fromStdString(m_grid.text(index.column() + 1, index.row() + 1));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0
        && section < m_grid.columnCount()) {
        const std::string &text = m_grid.columnHeader(section + 1);
        if (!text.empty())
            return QString::fromStdString(text);
    }
    if (role == Qt::TextAlignmentRole && orientation == Qt::Vertical)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void GridModel::gridChanged()
{
    m_refreshPending = true;
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_refreshQueued = false;
        refresh();
    }, Qt::QueuedConnection);
}

void GridModel::refresh()
{
    if (!m_refreshPending)
        return;
    // Acknowledged first: a view slot reacting to the signals below must not be able to leave a
    // change unannounced.
    m_refreshPending = false;
    m_grid.acknowledge();

    const int rows = m_grid.rowCount();
    const bool reset = rows != m_shownRows;
    if (reset) {
        beginResetModel();
        m_shownRows = rows;
        endResetModel();
    } else {
        if (rows > 0)
            emit dataChanged(index(0, 0), index(rows - 1, m_grid.columnCount() - 1), {Qt::DisplayRole});
        emit headerDataChanged(Qt::Horizontal, 0, m_grid.columnCount() - 1);
    }
    emit refreshed(reset);
}

} // namespace omvex::ui
