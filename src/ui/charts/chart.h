#pragma once

#include "analysis/stats.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace omvex::charts {

using analysis::HistoryStats;
using analysis::NumberStats;

inline constexpr QSize kChartSize{1200, 640};

// Two bar charts, the main numbers above and the bonus numbers below, each with the count expected
// by chance and its +-2 sigma band behind the bars; bars outside the band stand out in another
// colour. The value axes start near the data and mark where they are cut. Text takes the
// painter's font family; sizes follow the area, so a window can draw it at any size. Drawing text
// needs a QGuiApplication (the offscreen platform is enough).
void drawStatsChart(QPainter &painter, const QRectF &area, const HistoryStats &stats);

// The chart at kChartSize on white, as the tool writes it.
QImage renderStatsChart(const HistoryStats &stats);

// Renders and writes the chart as PNG, atomically; false and a message for the user on failure.
bool saveStatsChart(const HistoryStats &stats, const QString &path, QString *error);

} // namespace omvex::charts
