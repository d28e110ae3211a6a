#include "analysis/stats.h"
#include "engine/tables.h"
#include "history/drawhistory.h"
#include "ui/charts/chart.h"
#include "ui/charts/valueaxis.h"

#include <QtTest>

#include <cmath>

using omvex::charts::ValueAxis;

class ChartTest : public QObject {
    Q_OBJECT

private slots:
    void valueAxis_holdsTheDataAndCutsOnlyWhenItSitsHigh_data();
    void valueAxis_holdsTheDataAndCutsOnlyWhenItSitsHigh();
    void render_bandLiesBehindTheBars();
};

void ChartTest::valueAxis_holdsTheDataAndCutsOnlyWhenItSitsHigh_data()
{
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::addColumn<bool>("cut");
    // The first two are the spreads of the 2058-draw history with their +-2 sigma bands.
    QTest::newRow("mainNumbersOfTheWholeHistory") << 253.0 << 318.6 << true;
    QTest::newRow("bonusNumbersOfTheWholeHistory") << 30.0 << 69.0 << true;
    QTest::newRow("lastHundredDraws_lowReachesDown") << 5.0 << 25.0 << false;
    QTest::newRow("fewDraws_bandBelowZero") << -2.4 << 3.0 << false;
    QTest::newRow("noDraws") << 0.0 << 0.0 << false;
}

void ChartTest::valueAxis_holdsTheDataAndCutsOnlyWhenItSitsHigh()
{
    QFETCH(double, lowest);
    QFETCH(double, highest);
    QFETCH(bool, cut);
    const ValueAxis axis = omvex::charts::valueAxis(lowest, highest);
    QCOMPARE(axis.isCut(), cut);
    QVERIFY(axis.bottom <= std::max(lowest, 0.0));
    QVERIFY(axis.top >= highest);
    const double ticks = (axis.top - axis.bottom) / axis.step;
    QVERIFY2(ticks >= 2 && ticks <= 9 && ticks == std::floor(ticks), qPrintable(QString::number(ticks)));
    QCOMPARE(std::fmod(axis.bottom, axis.step), 0.0);
    const double mantissa = axis.step / std::pow(10.0, std::floor(std::log10(axis.step)));
    QVERIFY(mantissa == 1 || mantissa == 2 || mantissa == 5);
    // Cut, the data must fill most of the height, which is the point of cutting.
    if (cut)
        QVERIFY((highest - lowest) / (axis.top - axis.bottom) > 0.5);
}

// Drawn over the bars, a translucent band tinted every bar top it crossed. Behind them, the bars
// keep their own colour in the rows that show the band.
void ChartTest::render_bandLiesBehindTheBars()
{
    omvex::PredictionTables tables;
    omvex::resetTablesForStartUp(tables);
    omvex::loadDrawHistory(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"), tables.history);
    const QImage image = omvex::charts::renderStatsChart(omvex::analysis::historyStats(tables.history));
    QCOMPARE(image.size(), omvex::charts::kChartSize);

    const QRgb band = qRgb(0xF8, 0xDD, 0xDD); // the chart's band and bar colours
    const QRgb bar = qRgb(0x42, 0x7A, 0xB5);
    int bandRows = 0;
    int barPixelsInBandRows = 0;
    for (int y = 0; y < image.height(); ++y) {
        int bandPixels = 0;
        int barPixels = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            bandPixels += pixel == (band & 0xFFFFFF) ? 1 : 0;
            barPixels += pixel == (bar & 0xFFFFFF) ? 1 : 0;
        }
        if (bandPixels > 20) {
            ++bandRows;
            barPixelsInBandRows += barPixels;
        }
    }
    QVERIFY(bandRows > 50);
    QVERIFY(barPixelsInBandRows > bandRows * 100);
}

QTEST_MAIN(ChartTest)
#include "tst_chart.moc"
