#include "ui/analysis/statschartview.h"

#include "ui/charts/chart.h"

#include <QPainter>

namespace omvex::ui {

StatsChartView::StatsChartView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
    setMinimumSize(420, 300);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

void StatsChartView::setStats(const analysis::HistoryStats &stats)
{
    m_stats = stats;
    update();
}

void StatsChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    charts::drawStatsChart(painter, QRectF(rect()), m_stats);
}

} // namespace omvex::ui
