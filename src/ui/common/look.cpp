#include "ui/common/look.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace omvex::ui {

void registerFontSubstitutes()
{
    // IPAPGothic has the metrics of the design's font; the others are fallbacks of the same kind.
    QFont::insertSubstitutions(kDesignFontFamily, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                                   QStringLiteral("Noto Sans CJK JP"),
                                                   QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")});
}

QFont designFont(double pointSize, bool bold)
{
    QFont font(kDesignFontFamily);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QString titleBoxStyle()
{
    return QStringLiteral("QLabel { color: #0000FF; background-color: #FFE0C0; border: 1px solid #000000; }");
}

namespace {

// Six balls in two rows of three, each a coloured disc with a white face, in the colours of a draw
// machine; places in a 48-unit square.
struct Ball {
    qreal x;
    qreal y;
    QRgb colour;
    const char *number;
};
constexpr Ball kBalls[] = {
    {1, 4, 0xE53935, "3"},   {16.5, 4, 0xFB8C00, "11"},  {32, 4, 0xFDD835, "17"},
    {1, 24, 0x43A047, "25"}, {16.5, 24, 0x1E88E5, "36"}, {32, 24, 0x8E24AA, "42"},
};
constexpr qreal kBallDiameter = 15;
constexpr qreal kFaceInset = 2;
// The share of the face's radius that a number's corners may reach, so that their edge pixels
// stay on the white face too.
constexpr qreal kNumberReach = 0.85;

QRectF faceOf(const Ball &ball)
{
    return QRectF(ball.x, ball.y, kBallDiameter, kBallDiameter)
        .adjusted(kFaceInset, kFaceInset, -kFaceInset, -kFaceInset);
}

QPainterPath numberOutline(const Ball &ball)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, QString::fromLatin1(ball.number));
    return path;
}

// One size for every number: the one at which the widest number's corners reach kNumberReach of
// the face's radius. Outlines rather than text, so the size does not depend on font hinting.
qreal numberScale()
{
    const qreal reach = kNumberReach * (kBallDiameter / 2 - kFaceInset);
    qreal scale = 1;
    for (const Ball &ball : kBalls) {
        const QRectF bounds = numberOutline(ball).boundingRect();
        const qreal halfDiagonal = std::hypot(bounds.width() / 2, bounds.height() / 2);
        scale = std::min(scale, reach / halfDiagonal);
    }
    return scale;
}

} // namespace

QImage renderOmvexIcon(int size, bool withNumbers)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);

    const qreal scale = numberScale();
    for (const Ball &ball : kBalls) {
        const QColor colour = QColor::fromRgb(ball.colour);
        painter.setPen(QPen(colour.darker(140), 1));
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(ball.x, ball.y, kBallDiameter, kBallDiameter));
        const QRectF face = faceOf(ball);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(face);
        if (!withNumbers)
            continue;
        const QPainterPath outline = numberOutline(ball);
        QTransform placement;
        placement.translate(face.center().x(), face.center().y());
        placement.scale(scale, scale);
        placement.translate(-outline.boundingRect().center().x(), -outline.boundingRect().center().y());
        painter.fillPath(placement.map(outline), Qt::black);
    }
    painter.setPen(QPen(QColor(0x42, 0x42, 0x42), 2));
    painter.drawLine(QPointF(4, 45), QPointF(44, 45));
    return image;
}

QIcon omvexIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(renderOmvexIcon(size)));
    return icon;
}

} // namespace omvex::ui
