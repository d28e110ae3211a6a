#pragma once

#include "analysis/stats.h"

#include <QWidget>

namespace omvex::ui {

// The frequency chart drawn live at the widget's size.
class StatsChartView final : public QWidget {
public:
    explicit StatsChartView(QWidget *parent = nullptr);

    void setStats(const analysis::HistoryStats &stats);
    const analysis::HistoryStats &stats() const { return m_stats; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    analysis::HistoryStats m_stats;
};

} // namespace omvex::ui
