#include "ui/main/gridview.h"

#include "ui/common/look.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QProxyStyle>

#include <algorithm>
#include <cmath>

namespace omvex::ui {

namespace {

constexpr double kGridPointSize = 9;

constexpr QRgb kGridLineColour = qRgb(0xC0, 0xC0, 0xC0);

// Cells keep one pixel of air on each side, as a spreadsheet does; the usual item margins of the
// styles would cut off a two-digit number in the narrow columns of the design. The grid lines
// come from here too: a style sheet would route every cell's painting through the style sheet
// engine and make each repaint several times slower.
class GridStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_FocusFrameHMargin)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Table_GridLineColor)
            return static_cast<int>(kGridLineColour);
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Measures its labels only when they, their number, the font or the style change, and only the
// labels that can be the largest: every column's heading across the top, the first and the last
// few row numbers down the side. QHeaderView measures up to two hundred labels each time a view
// lays itself out, and the window's views do that many times while they are built and filled.
class GridHeader final : public QHeaderView {
public:
    GridHeader(Qt::Orientation orientation, QWidget *parent)
        : QHeaderView(orientation, parent)
    {
        connect(this, &QHeaderView::sectionCountChanged, this, &GridHeader::forgetSize);
    }

    void setModel(QAbstractItemModel *model) override
    {
        if (this->model())
            disconnect(this->model(), &QAbstractItemModel::headerDataChanged, this, nullptr);
        QHeaderView::setModel(model);
        if (model)
            connect(model, &QAbstractItemModel::headerDataChanged, this, &GridHeader::forgetSize);
        forgetSize();
    }

    QSize sizeHint() const override
    {
        // A row header of a fixed width needs no measuring: the view takes that width.
        if (orientation() == Qt::Vertical && minimumWidth() == maximumWidth())
            return {maximumWidth(), length()};
        if (!m_size.isValid())
            m_size = measure();
        return orientation() == Qt::Horizontal ? QSize(length(), m_size.height()) : QSize(m_size.width(), length());
    }

protected:
    bool viewportEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            forgetSize();
        return QHeaderView::viewportEvent(event);
    }

private:
    void forgetSize() { m_size = QSize(); }

    QSize measure() const
    {
        QSize size(0, 0);
        const int sections = count();
        // Row numbers grow with the row; the widest is among the last ones.
        constexpr int kLastRows = 10;
        for (int section = 0; section < sections; ++section) {
            if (orientation() == Qt::Vertical && section > 0 && section < sections - kLastRows)
                section = sections - kLastRows;
            if (!isSectionHidden(section))
                size = size.expandedTo(sectionSizeFromContents(section));
        }
        return size;
    }

    mutable QSize m_size;
};

} // namespace

int characterUnit(const QFontMetrics &metrics)
{
    return std::max(metrics.averageCharWidth(), metrics.horizontalAdvance(QLatin1Char('0')));
}

int characterUnitsToPixels(double units, int characterWidth)
{
    if (units <= 0)
        return 0;
    return static_cast<int>(std::lround(units * characterWidth));
}

GridView::GridView(CellGrid &grid, const GridColumnWidths &widths, QWidget *parent)
    : QTableView(parent)
    , m_model(new GridModel(grid, this))
    , m_widths(widths)
{
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));
    auto *style = new GridStyle;
    style->setParent(this);
    setStyle(style);
    const QFont font = designFont(kGridPointSize);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);
    setModel(m_model);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab go from control to control as the window's keyboard order says; the
    // arrow keys move from cell to cell.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);
    setWordWrap(false);
    setGridStyle(Qt::SolidLine);

    const QFontMetrics metrics(font);
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsMovable(false);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    // One line of the grid's font with a little air, as a spreadsheet row; the style's default
    // is tall enough to show only half of the score grid's 43 rows.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    horizontalHeader()->setMinimumSectionSize(1);
    applyColumnWidths();

    connect(m_model, &GridModel::refreshed, this, &GridView::followGrid);
    setVisible(grid.isVisible());
}

void GridView::applyColumnWidths()
{
    const int charWidth = characterUnit(QFontMetrics(font()));
    for (int column = 0; column < static_cast<int>(m_widths.columns.size()); ++column)
        setColumnWidth(column, characterUnitsToPixels(m_widths.columns[static_cast<std::size_t>(column)], charWidth));
    if (m_widths.rowHeader == 0)
        verticalHeader()->hide();
    else if (m_widths.rowHeader > 0)
        verticalHeader()->setFixedWidth(characterUnitsToPixels(m_widths.rowHeader, charWidth));
}

void GridView::followGrid(bool wasReset)
{
    // A model reset rebuilds the header sections at their default size.
    if (wasReset)
        applyColumnWidths();
    const CellGrid &grid = m_model->grid();
    if (grid.isVisible() != !isHidden())
        setVisible(grid.isVisible());
    const int row = grid.viewRow();
    if (row < 1 || row > m_model->rowCount()) {
        m_scrolledToRow = 0;
        return;
    }
    // Only a new request scrolls, so a user who scrolled away is left alone by unrelated changes.
    if (row == m_scrolledToRow && !wasReset)
        return;
    m_scrolledToRow = row;
    // After a reset the scroll range is only updated at the next layout; scrolling before it
    // would stop at the old range.
    updateGeometries();
    scrollTo(m_model->index(row - 1, 0), QAbstractItemView::PositionAtBottom);
}

} // namespace omvex::ui
