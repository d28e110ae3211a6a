#include "ui/common/look.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QDir>
#include <QImageReader>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace omvex::ui {

void registerFontSubstitutes()
{
    // IPAPGothic has the metrics of the design's font; the others are fallbacks of the same kind.
    QFont::insertSubstitutions(kDesignFontFamily, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                                   QStringLiteral("Noto Sans CJK JP"),
                                                   QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")});
}

namespace {

class ProgramStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap pixmap, const QStyleOption *option, const QWidget *widget) const override
    {
        if (pixmap == SP_ToolBarHorizontalExtensionButton && QGuiApplication::layoutDirection() == Qt::LeftToRight) {
            if (m_extensionIcon.isNull())
                m_extensionIcon = pngIcon(QStringLiteral(":/qt-project.org/styles/commonstyle/images"),
                                          QStringLiteral("toolbar-ext-h-[0-9]*.png"));
            if (!m_extensionIcon.isNull())
                return m_extensionIcon;
        }
        return QProxyStyle::standardIcon(pixmap, option, widget);
    }

private:
    // Every image in folder whose name matches pattern, each size of one icon; null when there is none.
    static QIcon pngIcon(const QString &folder, const QString &pattern)
    {
        QIcon icon;
        const QDir images(folder);
        for (const QString &name : images.entryList({pattern}, QDir::Files)) {
            QImageReader reader(images.filePath(name), "png");
            reader.setAutoDetectImageFormat(false); // the PNG reader only: no plugin is asked
            const QImage image = reader.read();
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image));
        }
        return icon;
    }

    mutable QIcon m_extensionIcon;
};

} // namespace

QStyle *createProgramStyle()
{
    return new ProgramStyle;
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
// The same for every size of the icon, so the numbers are shaped and placed once per process.
const std::array<QPainterPath, std::size(kBalls)> &placedNumbers()
{
    static const std::array<QPainterPath, std::size(kBalls)> placed = [] {
        std::array<QPainterPath, std::size(kBalls)> outlines;
        const qreal reach = kNumberReach * (kBallDiameter / 2 - kFaceInset);
        qreal scale = 1;
        for (std::size_t i = 0; i < outlines.size(); ++i) {
            outlines[i] = numberOutline(kBalls[i]);
            const QRectF bounds = outlines[i].boundingRect();
            scale = std::min(scale, reach / std::hypot(bounds.width() / 2, bounds.height() / 2));
        }
        for (std::size_t i = 0; i < outlines.size(); ++i) {
            const QPointF centre = faceOf(kBalls[i]).center();
            const QPointF middle = outlines[i].boundingRect().center();
            QTransform placement;
            placement.translate(centre.x(), centre.y());
            placement.scale(scale, scale);
            placement.translate(-middle.x(), -middle.y());
            outlines[i] = placement.map(outlines[i]);
        }
        return outlines;
    }();
    return placed;
}

} // namespace

QImage renderOmvexIcon(int size, bool withNumbers)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);

    for (std::size_t i = 0; i < std::size(kBalls); ++i) {
        const Ball &ball = kBalls[i];
        const QColor colour = QColor::fromRgb(ball.colour);
        painter.setPen(QPen(colour.darker(140), 1));
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(ball.x, ball.y, kBallDiameter, kBallDiameter));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(faceOf(ball));
        if (withNumbers)
            painter.fillPath(placedNumbers()[i], Qt::black);
    }
    painter.setPen(QPen(QColor(0x42, 0x42, 0x42), 2));
    painter.drawLine(QPointF(4, 45), QPointF(44, 45));
    return image;
}

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Draws each size of the icon the first time it is asked for, at exactly that size. The window
// system asks for every size in kIconSizes when a window with this icon appears; most dialogs
// and the offscreen platform ask for one or none.
class OmvexIconEngine final : public QIconEngine {
public:
    QIconEngine *clone() const override { return new OmvexIconEngine(*this); }
    QString key() const override { return QStringLiteral("omvex"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kIconSizes)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return side > 0 ? QSize(side, side) : QSize();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize square = actualSize(size, mode, state);
        if (square.isEmpty())
            return {};
        QPixmap &drawn = m_drawn[square.width()];
        if (drawn.isNull())
            drawn = QPixmap::fromImage(renderOmvexIcon(square.width()));
        // A disabled or selected icon looks as the style makes any other one look in that mode.
        if (mode == QIcon::Normal || mode == QIcon::Active
            || !qobject_cast<QApplication *>(QCoreApplication::instance()))
            return drawn;
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, drawn, &option);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPixmap drawn = pixmap(rect.size(), mode, state);
        QRect target(QPoint(), drawn.size());
        target.moveCenter(rect.center());
        painter->drawPixmap(target, drawn);
    }

private:
    std::map<int, QPixmap> m_drawn;
};

} // namespace

QIcon omvexIcon()
{
    // One icon for every window and dialog of the application, so that each size is drawn once.
    // Dropped with the application, before the toolkit it needs.
    static QIcon *shared = nullptr;
    if (shared == nullptr) {
        shared = new QIcon(new OmvexIconEngine);
        qAddPostRoutine([] {
            delete shared;
            shared = nullptr;
        });
    }
    return *shared;
}

} // namespace omvex::ui
