#pragma once

namespace omvex::ui {

// Outer size of the main window in twips, and the height its top is centred for. The top uses
// 9000 rather than the real 8500, so the window stands 250 twips above the exact centre.
inline constexpr double kMainWindowWidth = 11770;
inline constexpr double kMainWindowHeight = 8500;
inline constexpr double kMainWindowCentringHeight = 9000;

struct WindowPlacement {
    double left;
    double top;
    double width;
    double height;
};

// Where the main window opens on a screen of the given size (all twips). Nothing is rounded or
// clamped: on a screen lower than 9000 twips the top is negative.
constexpr WindowPlacement mainWindowPlacement(double screenWidth, double screenHeight)
{
    return {screenWidth / 2 - kMainWindowWidth / 2, (screenHeight - kMainWindowCentringHeight) / 2,
            kMainWindowWidth, kMainWindowHeight};
}

} // namespace omvex::ui
