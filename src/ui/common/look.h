#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QStyle;

namespace omvex::ui {

// The design's font family. The Japanese fonts of this system stand in for it by substitution,
// so every widget asks for the design's name.
inline const QString kDesignFontFamily = QStringLiteral("ＭＳ Ｐゴシック");

// Registers IPAPGothic and other Japanese fonts as substitutes for the design's family. Call once
// after the QApplication exists.
void registerFontSubstitutes();

// The program's style: the platform's own, except that the menu bar's overflow button gets its icon
// from Qt's own PNG images read as PNG. Asked for that icon, the styles read image files whose format
// Qt finds out by loading every image-format plugin on the system, at every start, for a button
// the fixed-size main window never shows. For QApplication::setStyle, which takes it over.
QStyle *createProgramStyle();

// The design's font at a point size, optionally bold.
QFont designFont(double pointSize, bool bold = false);

// Twips (1/1440 inch) to device-independent pixels at 96 dpi: 15 twips per pixel.
constexpr int twipsToPixels(double twips)
{
    const double pixels = twips / 15.0;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}
constexpr double pixelsToTwips(int pixels)
{
    return pixels * 15.0;
}
QRect twipsRect(int left, int top, int width, int height);

// Position (twips) that centres a window of the given outer size on a screen: (screen - size) / 2
// for both axes, unrounded.
struct TwipsPoint {
    double left;
    double top;
};
constexpr TwipsPoint centredOnScreen(double screenWidth, double screenHeight, double width, double height)
{
    return {screenWidth / 2 - width / 2, (screenHeight - height) / 2};
}

// The style of a title box (the main window's and the settings dialog's): blue text on light
// orange inside a single black line one pixel wide.
QString titleBoxStyle();

// The program's own icon: six numbered lottery balls.
QIcon omvexIcon();

// The icon drawn at size x size pixels. Without numbers it shows the balls alone: what the
// numbers are drawn on and must stay within.
QImage renderOmvexIcon(int size, bool withNumbers = true);

} // namespace omvex::ui
