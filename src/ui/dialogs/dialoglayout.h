#pragma once

#include <QRgb>

#include <cstddef>
#include <span>
#include <string_view>

class QDialog;
class QWidget;

namespace omvex::ui {

// Colours as the design gives them (opaque RGB); kSystemColour keeps the platform's own colour.
inline constexpr QRgb kSystemColour = 0;
inline constexpr QRgb kBlue = 0xFF0000FFu;
inline constexpr QRgb kBlack = 0xFF000000u;

// One control as the design draws it: place and size in twips from its parent's top-left corner,
// its design-time text (UTF-8), font and colours. A background of kSystemColour means the control
// paints none of its own.
struct ControlLook {
    std::string_view name; // the control's design name, also its object name
    const char *text;
    int left;
    int top;
    int width;
    int height;
    double pointSize;
    bool bold;
    QRgb foreground;
    QRgb background;
};

// The row of a layout table with the given name; used in constant expressions, a misspelt name
// fails to compile.
template <std::size_t N>
consteval std::size_t rowOf(const ControlLook (&table)[N], std::string_view name)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i].name == name)
            return i;
    }
    throw "no control of that name in the layout table";
}

// Places the widget and gives it its name, text, font and colours.
void applyLook(QWidget &widget, const ControlLook &look);

// Outer size of a dialog in twips, frame and caption included.
struct TwipsSize {
    int width;
    int height;
};

// A fixed dialog frame: application-modal, no resizing, no minimise or maximise, the program icon,
// the client area that the outer size leaves inside a dialog frame, centred on the primary screen.
void fixDialogFrame(QDialog &dialog, TwipsSize outer);

// The client area that a fixed dialog frame of the given outer size leaves, in twips.
TwipsSize clientTwips(TwipsSize outer);

// Chains keyboard focus through the named descendants of root, in order; a name without a
// control is reported with qWarning and skipped.
void chainTabOrder(QWidget &root, std::span<const std::string_view> names);

} // namespace omvex::ui
