#include "ui/charts/chart.h"
#include "platform/safewrite.h"

#include "ui/charts/valueaxis.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QBuffer>

#include <algorithm>
#include <array>
#include <cmath>

namespace omvex::charts {

namespace {

const QColor kBarColour(0x42, 0x7A, 0xB5);
const QColor kOutsideColour(0xE0, 0x7B, 0x22);
const QColor kExpectedColour(0xC6, 0x28, 0x28);
// Opaque: the band lies behind the bars, so it needs no translucency to let them show.
const QColor kBandColour(0xF8, 0xDD, 0xDD);
const QColor kGridColour(0xDD, 0xDD, 0xDD);
const QColor kNoteColour(0x60, 0x60, 0x60);

// Text sizes in pixels at the tool's image size; a smaller or larger area scales them.
struct TextSizes {
    double title;
    double heading;
    double label;
};

TextSizes textSizes(const QRectF &area)
{
    const double scale = std::clamp(std::min(area.width() / kChartSize.width(), area.height() / kChartSize.height()),
                                    0.55, 1.6);
    return {std::max(22 * scale, 12.0), std::max(16 * scale, 10.0), std::max(13 * scale, 9.0)};
}

QFont sized(QFont font, double pixels, bool bold = false)
{
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

// What one panel shows: the counts of one kind of number beside their chance band.
struct Panel {
    QString heading;
    std::array<int, kHighestNumber> counts{};
    std::array<bool, kHighestNumber> outside{};
    double expected = 0;
    double low = 0;
    double high = 0;
};

// The main numbers' counts or the bonus numbers', with the band chance gives each.
Panel panelOf(const HistoryStats &stats, bool bonus)
{
    Panel panel;
    panel.heading = bonus ? QStringLiteral("ボーナス数字") : QStringLiteral("本数字");
    for (const NumberStats &entry : stats.numbers) {
        const auto i = static_cast<std::size_t>(entry.number - 1);
        panel.counts[i] = bonus ? entry.bonus : entry.main;
        panel.outside[i] = bonus ? entry.bonusOutside() : entry.mainOutside();
    }
    const NumberStats &any = stats.numbers.front();
    panel.expected = bonus ? any.expectedBonus : any.expectedMain;
    panel.low = bonus ? any.bonusLow : any.low;
    panel.high = bonus ? any.bonusHigh : any.high;
    return panel;
}

QString countText(double value)
{
    return QString::number(value, 'f', 0);
}

// A white strip across the axis and every bar, edged by two slanted strokes on the axis: the
// usual sign that a stretch of the scale has been left out, and it cuts the bars as well, so
// nobody reads their lengths as proportional to the counts.
void drawScaleBreak(QPainter &painter, const QRectF &plot, double y, double size)
{
    const double gap = size * 0.3;
    painter.fillRect(QRectF(plot.left() - size, y - gap, plot.width() + size, 2 * gap), Qt::white);
    painter.setPen(QPen(Qt::black, 1.4));
    for (const double at : {y - gap, y + gap})
        painter.drawLine(QPointF(plot.left() - size, at + size * 0.45), QPointF(plot.left() + size, at - size * 0.45));
}

void drawPanel(QPainter &painter, const QRectF &area, const Panel &panel, const TextSizes &sizes)
{
    const QFont base = painter.font();
    const int lowest = *std::min_element(panel.counts.begin(), panel.counts.end());
    const int highest = *std::max_element(panel.counts.begin(), panel.counts.end());
    const ValueAxis axis = valueAxis(std::min<double>(lowest, panel.low), std::max<double>(highest, panel.high));

    const QFont labelFont = sized(base, sizes.label);
    const QFontMetricsF labels(labelFont);
    const double labelWidth = labels.horizontalAdvance(countText(axis.top)) + sizes.label;
    const double headingHeight = sizes.heading * 1.7;
    const QRectF plot(area.left() + labelWidth + sizes.label * 0.6, area.top() + headingHeight,
                      area.width() - labelWidth - sizes.label * 2.0,
                      area.height() - headingHeight - labels.height() * 1.5);
    // A cut axis keeps a short stub for the stretch from zero that is left out; the scale proper
    // starts above it.
    const double stub = axis.isCut() ? sizes.label * 1.6 : 0.0;
    const double scaleBottom = plot.bottom() - stub;
    auto yOf = [&](double count) {
        return scaleBottom - (count - axis.bottom) / (axis.top - axis.bottom) * (plot.height() - stub);
    };

    painter.setFont(sized(base, sizes.heading, true));
    painter.setPen(Qt::black);
    QRectF used;
    painter.drawText(QRectF(plot.left(), area.top(), plot.width(), headingHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     panel.heading, &used);
    painter.setFont(sized(base, sizes.label));
    painter.setPen(kNoteColour);
    const QString note = axis.isCut()
        ? QStringLiteral("期待値 %1 回（95%の範囲: %2〜%3）　縦軸は %4 回から（途中を省略）")
              .arg(panel.expected, 0, 'f', 1).arg(panel.low, 0, 'f', 0).arg(panel.high, 0, 'f', 0)
              .arg(countText(axis.bottom))
        : QStringLiteral("期待値 %1 回（95%の範囲: %2〜%3）").arg(panel.expected, 0, 'f', 1)
              .arg(panel.low, 0, 'f', 0).arg(panel.high, 0, 'f', 0);
    painter.drawText(QRectF(used.right() + sizes.heading, area.top(), plot.right() - used.right(), headingHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, note);

    // Behind everything else, so each bar reads whole against it.
    const double bandTop = yOf(std::min(panel.high, axis.top));
    const double bandBottom = yOf(std::max(panel.low, axis.bottom));
    painter.fillRect(QRectF(plot.left(), bandTop, plot.width(), bandBottom - bandTop), kBandColour);

    for (double value = axis.bottom; value <= axis.top + axis.step / 2; value += axis.step) {
        const double y = yOf(value);
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(plot.left() - sizes.label * 0.4, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(area.left(), y - labels.height() / 2, labelWidth, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, countText(value));
    }

    const double slot = plot.width() / kHighestNumber;
    // Every number when they fit, otherwise 1 and every fifth.
    const bool labelAll = labels.horizontalAdvance(QStringLiteral("43")) + 2 <= slot;
    for (int number = 1; number <= kHighestNumber; ++number) {
        const auto i = static_cast<std::size_t>(number - 1);
        const double x = plot.left() + (number - 1) * slot;
        const double barTop = yOf(panel.counts[i]);
        painter.fillRect(QRectF(x + slot * 0.15, barTop, slot * 0.7, plot.bottom() - barTop),
                         panel.outside[i] ? kOutsideColour : kBarColour);
        if (labelAll || number == 1 || number % 5 == 0) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - slot, plot.bottom() + 2, 3 * slot, labels.height()),
                             Qt::AlignHCenter | Qt::AlignTop, QString::number(number));
        }
    }

    const double expectedY = yOf(panel.expected);
    painter.setPen(QPen(kExpectedColour, 2, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), expectedY), QPointF(plot.right(), expectedY));

    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (axis.isCut()) {
        drawScaleBreak(painter, plot, plot.bottom() - stub / 2, sizes.label * 0.8);
        painter.drawText(QRectF(area.left(), plot.bottom() - labels.height() / 2, labelWidth, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, countText(0));
    }
    painter.setFont(base);
}

void drawLegend(QPainter &painter, const QRectF &line, const TextSizes &sizes)
{
    const QFont base = painter.font();
    painter.setFont(sized(base, sizes.label));
    const double keyWidth = sizes.label * 1.8;
    const double keyHeight = sizes.label;
    double x = line.left();
    auto item = [&](const QString &text, auto drawKey) {
        drawKey(QRectF(x, line.center().y() - keyHeight / 2, keyWidth, keyHeight));
        painter.setPen(Qt::black);
        QRectF used;
        painter.drawText(QRectF(x + keyWidth + sizes.label * 0.4, line.top(), line.right() - x, line.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text, &used);
        x = used.right() + sizes.label * 2;
    };
    item(QStringLiteral("出現回数"), [&](const QRectF &key) { painter.fillRect(key, kBarColour); });
    item(QStringLiteral("範囲外の数字"), [&](const QRectF &key) { painter.fillRect(key, kOutsideColour); });
    item(QStringLiteral("偶然の期待値"), [&](const QRectF &key) {
        painter.setPen(QPen(kExpectedColour, 2, Qt::DashLine));
        painter.drawLine(QPointF(key.left(), key.center().y()), QPointF(key.right(), key.center().y()));
    });
    item(QStringLiteral("95%の範囲"), [&](const QRectF &key) { painter.fillRect(key, kBandColour); });
    painter.setFont(base);
}

} // namespace

void drawStatsChart(QPainter &painter, const QRectF &area, const HistoryStats &stats)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont base = painter.font();
    const TextSizes sizes = textSizes(area);
    const double titleHeight = sizes.title * 1.8;
    painter.setFont(sized(base, sizes.title, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter,
                     QStringLiteral("数字ごとの出現回数（%1 回分）").arg(stats.draws));
    painter.setFont(base);

    const QRectF body = area.adjusted(sizes.label, titleHeight, -sizes.label, -sizes.label * 0.5);
    if (stats.draws == 0) {
        painter.setFont(sized(base, sizes.heading));
        painter.setPen(Qt::darkGray);
        painter.drawText(body, Qt::AlignCenter, QStringLiteral("過去データがありません"));
        painter.restore();
        return;
    }
    const double legendHeight = sizes.label * 2;
    drawLegend(painter, QRectF(body.left(), body.top(), body.width(), legendHeight), sizes);
    // The main numbers carry six times the draws of the bonus, and the eye goes to them first.
    const double panelsTop = body.top() + legendHeight;
    const double mainHeight = (body.bottom() - panelsTop) * 0.56;
    drawPanel(painter, QRectF(body.left(), panelsTop, body.width(), mainHeight), panelOf(stats, false), sizes);
    drawPanel(painter, QRectF(body.left(), panelsTop + mainHeight, body.width(), body.bottom() - panelsTop - mainHeight),
              panelOf(stats, true), sizes);
    painter.restore();
}

QImage renderStatsChart(const HistoryStats &stats)
{
    QImage image(kChartSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("DejaVu Sans")});
    painter.setFont(font);
    drawStatsChart(painter, QRectF(QPointF(0, 0), kChartSize), stats);
    painter.end();
    return image;
}

bool saveStatsChart(const HistoryStats &stats, const QString &path, QString *error)
{
    // Encoded in memory and written like every other file: the image library would report a
    // failed write in its own words on standard error, and a short write as success.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !renderStatsChart(stats).save(&buffer, "PNG")) {
        *error = QStringLiteral("グラフを PNG にできません: %1").arg(path);
        return false;
    }
    const Status written = platform::replaceFile(path, png);
    if (!written.ok) {
        *error = QStringLiteral("グラフを書けません: ") + written.message;
        return false;
    }
    return true;
}

} // namespace omvex::charts
