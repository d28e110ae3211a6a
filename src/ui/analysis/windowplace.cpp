#include "ui/analysis/windowplace.h"

#include <algorithm>
#include <array>

namespace omvex::ui {

namespace {

// How much of the title bar must lie on a screen for the window to be moved back with the mouse.
constexpr int kTitleHeight = 24;
constexpr int kGrabWidth = 80;

QSize fitted(const QRect &room, QSize preferred, QSize minimum)
{
    return {std::max(minimum.width(), std::min(preferred.width(), room.width())),
            std::max(minimum.height(), std::min(preferred.height(), room.height()))};
}

bool fits(const QRect &room, QSize size)
{
    return size.width() <= room.width() && size.height() <= room.height();
}

int clampInto(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

QRect placeBeside(const QRect &keepVisible, const QRect &available, QSize preferred, QSize minimum)
{
    if (keepVisible.isEmpty()) {
        const QSize size = fitted(available, preferred, minimum);
        QRect frame(QPoint(), size);
        frame.moveCenter(available.center());
        return frame.intersects(available) ? frame : QRect(available.topLeft(), size);
    }
    const QRect below(available.left(), keepVisible.bottom() + 1, available.width(),
                      available.bottom() - keepVisible.bottom());
    const QRect right(keepVisible.right() + 1, available.top(), available.right() - keepVisible.right(),
                      available.height());
    const QRect left(available.left(), available.top(), keepVisible.left() - available.left(), available.height());

    // Below first; beside only where the window gets more of its preferred area there.
    const std::array<QRect, 3> rooms{below, right, left};
    int best = -1;
    long long bestArea = -1;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const QSize size = fitted(rooms[i], preferred, minimum);
        const long long area = static_cast<long long>(size.width()) * size.height();
        if (fits(rooms[i], size) && area > bestArea) {
            best = static_cast<int>(i);
            bestArea = area;
        }
    }
    if (best < 0) // no room anywhere: the smallest window below, whatever it covers of the screen
        return {QPoint(clampInto(keepVisible.left(), minimum.width(), available.left(), available.right()),
                       below.top()),
                minimum};
    const QRect &room = rooms[static_cast<std::size_t>(best)];
    const QSize size = fitted(room, preferred, minimum);
    if (best == 0)
        return {QPoint(clampInto(keepVisible.left(), size.width(), room.left(), room.right()), room.top()), size};
    const int top = clampInto(keepVisible.top(), size.height(), room.top(), room.bottom());
    return {QPoint(best == 1 ? room.left() : room.right() - size.width() + 1, top), size};
}

bool isOnAScreen(const QRect &frame, const QList<QRect> &screens)
{
    const QRect title(frame.topLeft(), QSize(frame.width(), kTitleHeight));
    return std::any_of(screens.begin(), screens.end(), [&title](const QRect &screen) {
        const QRect shared = title.intersected(screen);
        return shared.width() >= std::min(kGrabWidth, title.width()) && shared.height() >= kTitleHeight / 2;
    });
}

} // namespace omvex::ui
