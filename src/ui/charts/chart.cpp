#include "ui/charts/chart.h"

#include <QFont>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace omvex::charts {

namespace {

constexpr int kLeft = 80;
constexpr int kRight = 30;
constexpr int kTop = 84;
constexpr int kBottom = 70;

const QColor kBarColour(0x42, 0x7A, 0xB5);
const QColor kOutsideColour(0xE0, 0x7B, 0x22);
const QColor kExpectedColour(0xC6, 0x28, 0x28);
const QColor kBandColour(0xC6, 0x28, 0x28, 0x2A);

QFont chartFont(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A step of 1, 2 or 5 times a power of ten that gives about six grid lines.
double niceStep(double top)
{
    const double rough = std::max(top / 6.0, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

QImage renderStatsChart(const HistoryStats &stats)
{
    QImage image(kChartSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF plot(kLeft, kTop, kChartSize.width() - kLeft - kRight, kChartSize.height() - kTop - kBottom);
    int highestCount = 0;
    double highestBand = 0;
    for (const NumberStats &entry : stats.numbers) {
        highestCount = std::max(highestCount, entry.main);
        highestBand = std::max(highestBand, entry.high);
    }
    const double step = niceStep(std::max<double>(highestCount, highestBand) * 1.08);
    const double top = std::max(step, std::ceil(std::max<double>(highestCount, highestBand) * 1.08 / step) * step);
    auto yOf = [&](double count) { return plot.bottom() - count / top * plot.height(); };

    painter.setFont(chartFont(22, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 8, kChartSize.width(), 34), Qt::AlignCenter,
                     QStringLiteral("本数字の出現回数（%1 回分）").arg(stats.draws));

    // Grid lines and the count scale.
    painter.setFont(chartFont(13));
    for (double value = 0; value <= top + step / 2; value += step) {
        const double y = yOf(value);
        painter.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - 10, kLeft - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(value, 'f', 0));
    }

    const double slot = plot.width() / kHighestNumber;
    for (const NumberStats &entry : stats.numbers) {
        const double x = plot.left() + (entry.number - 1) * slot;
        const double barTop = yOf(entry.main);
        painter.fillRect(QRectF(x + slot * 0.15, barTop, slot * 0.7, plot.bottom() - barTop),
                         entry.mainOutside() && stats.draws > 0 ? kOutsideColour : kBarColour);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x, plot.bottom() + 4, slot, 18), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(entry.number));
    }

    if (stats.draws > 0) {
        // Over the bars, translucent, so the band reads across every bar it touches.
        const NumberStats &any = stats.numbers.front();
        painter.fillRect(QRectF(plot.left(), yOf(any.high), plot.width(), yOf(any.low) - yOf(any.high)), kBandColour);
        const double y = yOf(any.expectedMain);
        painter.setPen(QPen(kExpectedColour, 2, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    } else {
        painter.setFont(chartFont(20));
        painter.setPen(Qt::darkGray);
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("過去データがありません"));
    }

    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    painter.setFont(chartFont(14));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 26, plot.width(), 20), Qt::AlignHCenter, QStringLiteral("数字"));
    painter.save();
    painter.translate(18, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-60, -10, 120, 20), Qt::AlignCenter, QStringLiteral("回数"));
    painter.restore();

    // Legend under the title, clear of the number labels.
    const double legendY = 58.0;
    double legendX = plot.left();
    auto legendItem = [&](const QString &text, auto drawKey) {
        drawKey(QRectF(legendX, legendY - 8, 24, 14));
        painter.setPen(Qt::black);
        const QRectF textRect(legendX + 30, legendY - 11, 360, 20);
        QRectF used;
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text, &used);
        legendX = used.right() + 28;
    };
    legendItem(QStringLiteral("出現回数"), [&](const QRectF &key) { painter.fillRect(key, kBarColour); });
    legendItem(QStringLiteral("範囲外の数字"), [&](const QRectF &key) { painter.fillRect(key, kOutsideColour); });
    legendItem(QStringLiteral("偶然の期待値（回数×6/43）"), [&](const QRectF &key) {
        painter.setPen(QPen(kExpectedColour, 2, Qt::DashLine));
        painter.drawLine(QPointF(key.left(), key.center().y()), QPointF(key.right(), key.center().y()));
    });
    legendItem(QStringLiteral("期待値±2σ の範囲"), [&](const QRectF &key) { painter.fillRect(key, kBandColour); });
    painter.end();
    return image;
}

bool saveStatsChart(const HistoryStats &stats, const QString &path, QString *error)
{
    const QImage image = renderStatsChart(stats);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("グラフを書けません: %1（%2）").arg(path, file.errorString());
        return false;
    }
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        *error = QStringLiteral("グラフを PNG にできません: %1").arg(path);
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("グラフを書けません: %1（%2）").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace omvex::charts
