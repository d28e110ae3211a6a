#include "ui/charts/valueaxis.h"

#include <algorithm>
#include <cmath>

namespace omvex::charts {

namespace {

constexpr double kTicks = 5;
// Cut only when the lowest value stands above this share of the highest: a cut saves little
// room below that and makes the bars' lengths harder to compare for nothing.
constexpr double kCutAbove = 0.4;
constexpr double kRoom = 0.08; // of the span, above and below the data

// A step of 1, 2 or 5 times a power of ten, at least one count.
double niceStep(double span)
{
    const double rough = std::max(span / kTicks, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

ValueAxis valueAxis(double lowest, double highest)
{
    lowest = std::max(lowest, 0.0);
    highest = std::max({highest, lowest, 1.0});
    const bool cut = lowest > highest * kCutAbove;
    const double from = cut ? lowest : 0.0;
    const double room = (highest - from) * kRoom;
    ValueAxis axis;
    axis.step = niceStep(highest - from + 2 * room);
    axis.bottom = cut ? std::max(0.0, std::floor((lowest - room) / axis.step) * axis.step) : 0.0;
    axis.top = std::max(axis.bottom + axis.step, std::ceil((highest + room) / axis.step) * axis.step);
    return axis;
}

} // namespace omvex::charts
