#pragma once

#include "engine/settings.h"
#include "engine/tables.h"

#include <array>
#include <cstdint>

namespace omvex {

// What a run asks of the window around its grids: the pass switch is disabled while a run owns
// the grids, and the window is repainted once, after the emptied grids of the pass are shown.
class PassView {
public:
    virtual ~PassView() = default;
    virtual void setSwitchEnabled(bool enabled) = 0;
    virtual void repaintNow() = 0;
};

inline constexpr int kLinesPerLevel = 600;
inline constexpr int kSamplesPerLevel = 430;

// Line and sample counts of a Level.
int lineCount(const Settings &settings);
int sampleCount(const Settings &settings);

// One prediction pass for currentPass (0 or 1): generates the lines into lines[currentPass],
// counts them with the history weights into scores[currentPass], ranks the 43 numbers by
// points (ties in random order) and leaves the top six, ascending, in row 1 of the result.
// The history grid is only read. The generator is seeded with seed when the run reaches it.
// Returns the six numbers of the result grid.
std::array<int, kPicks> predictPass(PredictionTables &tables, int currentPass, const Settings &settings,
                               std::uint64_t seed, PassView *view = nullptr);

} // namespace omvex
