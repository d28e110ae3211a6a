#pragma once

#include "grid/cellgrid.h"

#include <QAbstractTableModel>

namespace omvex::ui {

// Shows a CellGrid to a view. A prediction run changes a hundred thousand cells without giving
// the event loop a turn, so the model never signals per cell: the grid reports the first change
// of a burst, the model queues one refresh, and the refresh announces the whole burst at once
// (one reset when the row count moved, else one dataChanged over every cell).
//
// rowCount() answers from the last refresh, not from the live grid, so what the model reports
// always matches what it has announced to its views.
class GridModel final : public QAbstractTableModel, private GridObserver {
    Q_OBJECT

public:
    explicit GridModel(CellGrid &grid, QObject *parent = nullptr);
    ~GridModel() override;

    const CellGrid &grid() const { return m_grid; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    bool isRefreshPending() const { return m_refreshPending; }
    // Takes in every change since the last refresh; does nothing when there was none.
    void refresh();

signals:
    // After each refresh, with whether the model was reset (the view's rows were rebuilt).
    void refreshed(bool wasReset);

private:
    void gridChanged() override;

    CellGrid &m_grid;
    int m_shownRows = 0;
    bool m_refreshPending = false;
    bool m_refreshQueued = false;
};

} // namespace omvex::ui
