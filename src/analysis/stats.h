#pragma once

#include "engine/game.h"
#include "grid/cellgrid.h"

#include <array>
#include <optional>

namespace omvex::analysis {

// How often one number came up, beside what chance gives over the same draws.
struct NumberStats {
    int number = 0;
    int main = 0;
    int bonus = 0;
    double expectedMain = 0; // draws x 6/43
    double low = 0;          // the exact binomial 95 % range of the count, whole numbers
    double high = 0;
    double expectedBonus = 0; // draws x 1/43
    double bonusLow = 0;
    double bonusHigh = 0;

    bool mainOutside() const { return main < low || main > high; }
    bool bonusOutside() const { return bonus < bonusLow || bonus > bonusHigh; }
};

struct HistoryStats {
    int draws = 0;       // valid draws counted
    int skippedRows = 0; // rows of the whole history holding something that is not a valid draw
    std::array<NumberStats, kHighestNumber> numbers{};
    // How many of the 43 numbers chance alone puts outside their range, on average, for this many
    // draws: 43 times the exact chance of one count to fall outside.
    double expectedMainOutside = 0;
    double expectedBonusOutside = 0;
};

// Counts over every valid draw of the history, or over its last `last` valid draws only (all of
// them when it holds fewer).
HistoryStats historyStats(const CellGrid &history, std::optional<int> last = std::nullopt);

} // namespace omvex::analysis
