#pragma once

namespace omvex::charts {

// The scale of a value axis: from bottom to top in steps of step, each a tick with its label.
struct ValueAxis {
    double bottom = 0;
    double top = 1;
    double step = 1;

    // The axis does not start at zero, so bar lengths are not proportional to the counts; the
    // chart says so with a break mark and a note.
    bool isCut() const { return bottom > 0; }
};

// A scale that holds every value from lowest to highest with a little room on both sides. It
// starts at zero unless all values sit high above it: counts of 250 to 320 drawn from zero would
// fill only the top sixth and hide every difference the chart is there to show.
ValueAxis valueAxis(double lowest, double highest);

} // namespace omvex::charts
