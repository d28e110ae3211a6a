#pragma once

#include "analysis/stats.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace omvex::charts {

using analysis::HistoryStats;
using analysis::NumberStats;

inline constexpr QSize kChartSize{1200, 640};

// A bar chart of the main-number counts with the count expected by chance and its +-2 sigma band;
// bars outside the band stand out in another colour. Drawing text needs a QGuiApplication (the
// offscreen platform is enough).
QImage renderStatsChart(const HistoryStats &stats);

// Renders and writes the chart as PNG, atomically; false and a message for the user on failure.
bool saveStatsChart(const HistoryStats &stats, const QString &path, QString *error);

} // namespace omvex::charts
