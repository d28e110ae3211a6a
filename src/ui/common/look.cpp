#include "ui/common/look.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

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

QPixmap renderIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);

    // Six balls in two rows of three, each with its number, in the colours of a draw machine.
    struct Ball {
        int x, y;
        QColor colour;
        const char *number;
    };
    const Ball balls[] = {
        {2, 4, QColor(0xE5, 0x39, 0x35), "3"},   {17, 4, QColor(0xFB, 0x8C, 0x00), "11"},
        {32, 4, QColor(0xFD, 0xD8, 0x35), "17"}, {2, 27, QColor(0x43, 0xA0, 0x47), "25"},
        {17, 27, QColor(0x1E, 0x88, 0xE5), "36"}, {32, 27, QColor(0x8E, 0x24, 0xAA), "42"},
    };
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(7);
    font.setBold(true);
    painter.setFont(font);
    for (const Ball &ball : balls) {
        const QRectF outer(ball.x, ball.y, 14, 14);
        painter.setPen(QPen(ball.colour.darker(140), 1));
        painter.setBrush(ball.colour);
        painter.drawEllipse(outer);
        const QRectF face = outer.adjusted(3, 3, -3, -3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(face);
        painter.setPen(Qt::black);
        painter.drawText(outer, Qt::AlignCenter, QString::fromLatin1(ball.number));
    }
    painter.setPen(QPen(QColor(0x42, 0x42, 0x42), 2));
    painter.drawLine(QPointF(4, 46), QPointF(44, 46));
    return pixmap;
}

} // namespace

QIcon omvexIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(renderIcon(size));
    return icon;
}

} // namespace omvex::ui
