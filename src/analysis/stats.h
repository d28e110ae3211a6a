#pragma once

#include "analysis/chance.h"

#include <array>

namespace omvex::analysis {

// How often one number came up, beside what chance gives over the same draws.
struct NumberStats {
    int number = 0;
    int main = 0;
    int bonus = 0;
    double expectedMain = 0; // draws x 6/43
    double low = 0;          // expected -/+ two binomial standard deviations
    double high = 0;
    double expectedBonus = 0; // draws x 1/43
    double bonusLow = 0;
    double bonusHigh = 0;

    bool mainOutside() const { return main < low || main > high; }
    bool bonusOutside() const { return bonus < bonusLow || bonus > bonusHigh; }
};

struct HistoryStats {
    int draws = 0;       // valid draws counted
    int skippedRows = 0; // rows holding something that is not a valid draw
    std::array<NumberStats, kHighestNumber> numbers{};
};

HistoryStats historyStats(const CellGrid &history);

} // namespace omvex::analysis
