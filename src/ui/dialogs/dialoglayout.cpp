#include "ui/dialogs/dialoglayout.h"

#include "ui/common/look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QScreen>

namespace omvex::ui {

namespace {

// A fixed dialog frame around the client area, in twips. The design's own numbers give it:
// Shoki's client area of 5805 x 3855 sits inside its outer size of 5900 x 4200. The real frame
// belongs to the window manager and is unknown until the dialog is shown; this is close enough
// for centring and keeps every control of the design inside the client area.
constexpr TwipsSize kDialogFrame{95, 345};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void applyLook(QWidget &widget, const ControlLook &look)
{
    widget.setObjectName(fromUtf8(look.name));
    widget.setGeometry(twipsRect(look.left, look.top, look.width, look.height));
    widget.setFont(designFont(look.pointSize, look.bold));

    const QString text = QString::fromUtf8(look.text);
    if (auto *label = qobject_cast<QLabel *>(&widget))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(&widget))
        button->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(&widget))
        frame->setTitle(text);

    // A palette passes on to the children; a control drawn in the system colours inside a coloured
    // frame must say so itself, or the option buttons would take the frame caption's blue.
    QPalette palette = widget.palette();
    const QPalette system = QApplication::palette(&widget);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, look.foreground == kSystemColour ? system.color(role)
                                                                : QColor::fromRgb(look.foreground));
    }
    if (look.background != kSystemColour) {
        palette.setColor(QPalette::Window, QColor::fromRgb(look.background));
        widget.setAutoFillBackground(true);
    }
    widget.setPalette(palette);
}

TwipsSize clientTwips(TwipsSize outer)
{
    return {outer.width - kDialogFrame.width, outer.height - kDialogFrame.height};
}

void fixDialogFrame(QDialog &dialog, TwipsSize outer)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowIcon(omvexIcon());
    dialog.setSizeGripEnabled(false);

    const TwipsSize client = clientTwips(outer);
    dialog.setFixedSize(twipsToPixels(client.width), twipsToPixels(client.height));

    // Without a screen (a headless start with no outputs) the window manager places the dialog.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const TwipsPoint place =
        centredOnScreen(pixelsToTwips(area.width()), pixelsToTwips(area.height()), outer.width, outer.height);
    dialog.move(area.left() + twipsToPixels(place.left), area.top() + twipsToPixels(place.top));
}

void chainTabOrder(QWidget &root, std::span<const std::string_view> names)
{
    QWidget *previous = nullptr;
    for (std::string_view name : names) {
        auto *next = root.findChild<QWidget *>(fromUtf8(name));
        if (next == nullptr) {
            qWarning("chainTabOrder: no control named %.*s", static_cast<int>(name.size()), name.data());
            continue;
        }
        if (previous != nullptr)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

} // namespace omvex::ui
