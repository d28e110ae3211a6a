#pragma once

#include "grid/cellgrid.h"
#include "ui/main/gridmodel.h"

#include <QFontMetrics>
#include <QTableView>

#include <initializer_list>
#include <vector>

namespace omvex::ui {

// Column widths of a grid in character units (see characterUnit), as the window's design gives
// them. A negative row-header width keeps the
// view's own default; 0 hides the row headers.
struct GridColumnWidths {
    double rowHeader = -1;
    std::vector<double> columns;
};

// The character unit of a grid font. The design sized its columns so that one unit holds a digit;
// the average width that Japanese fonts report is narrower than their digits, and columns built
// on it cut two-digit numbers off.
int characterUnit(const QFontMetrics &metrics);
int characterUnitsToPixels(double units, int characterWidth);

// A read-only view of one CellGrid: the user can look and scroll, never type, resize or reorder.
// It follows the grid's visibility and scrolls the row the grid asks for into sight, both at the
// grid's next refresh.
class GridView final : public QTableView {
    Q_OBJECT

public:
    GridView(CellGrid &grid, const GridColumnWidths &widths, QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }
    // Takes in the grid's pending changes now instead of at the next turn of the event loop.
    void refresh() { m_model->refresh(); }

private:
    void applyColumnWidths();
    void followGrid(bool wasReset);

    GridModel *m_model;
    GridColumnWidths m_widths;
    int m_scrolledToRow = 0;
};

} // namespace omvex::ui
