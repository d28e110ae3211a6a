#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace omvex::ui {

// Where the analysis window opens (its frame, in screen pixels) so that it leaves keepVisible
// uncovered: below it, or beside it where that gives the window more room, within the screen's
// available area; as large as preferred where there is room, and never smaller than minimum. With
// nothing to keep visible it stands in the middle of the available area.
QRect placeBeside(const QRect &keepVisible, const QRect &available, QSize preferred, QSize minimum);

// Whether a window whose frame is frame could be grabbed by its title bar on one of the screens.
bool isOnAScreen(const QRect &frame, const QList<QRect> &screens);

} // namespace omvex::ui
