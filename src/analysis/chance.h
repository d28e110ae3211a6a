#pragma once

#include "engine/game.h"
#include "history/draws.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace omvex::analysis {

// The prize tiers of a 6-of-43 game with a bonus number, best first. The bonus only matters
// next to five main matches.
enum class Tier { Six, FivePlusBonus, Five, Four, Three, Fewer };
inline constexpr int kTierCount = 6;
inline constexpr std::array<Tier, kTierCount> kTiers{Tier::Six,  Tier::FivePlusBonus, Tier::Five,
                                                     Tier::Four, Tier::Three,         Tier::Fewer};

// "6", "5+bonus", "5", "4", "3", "fewer": the names scripts see in JSON.
const char *tierKey(Tier tier);
// The Japanese caption for people: "1等（6個一致）" and so on.
std::string tierCaption(Tier tier);
// The prize's short name, "1等" to "5等"; nothing below three matches.
std::optional<std::string> prizeName(Tier tier);

using omvex::Draw;

struct LineScore {
    int matches = 0;
    bool bonus = false; // the bonus number is among the line's six
    Tier tier = Tier::Fewer;
};

LineScore scoreLine(const std::array<int, kPicks> &line, const Draw &draw);

// The line scored against usable draw `number`, or nothing when the history does not hold it.
std::optional<LineScore> scoreAgainstDraw(const std::array<int, kPicks> &line, const DrawHistory &history, int number);

// n over k without overflow for the sizes used here (n <= 64).
std::uint64_t binomialCoefficient(int n, int k);

struct Fraction {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
    double value() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
};

// The exact chance that one line of six numbers chosen at random lands in the tier:
// hypergeometric over the 6 main numbers, the bonus and the 36 others, out of C(43, 6) lines.
Fraction tierProbability(Tier tier);

// A chance as people read it: a share for likely outcomes ("97.5%"), odds for rare ones
// ("1/6,096,454").
std::string chanceText(const Fraction &probability);

// Main-number matches of a random line: mean 36/43 and the hypergeometric variance.
double expectedMatchesPerLine();
double matchesVariancePerLine();

struct CountInterval {
    long long low = 0;
    long long high = 0;
};

// The central 95 % range of a binomial count: P(X < low) < 2.5 % and P(X > high) <= 2.5 %.
CountInterval binomialInterval95(long long trials, double p);

// Tier counts of many scored lines.
struct TierTally {
    std::array<long long, kTierCount> counts{};
    long long lines = 0;
    long long matches = 0;

    void add(const LineScore &score);
    double meanMatches() const { return lines ? static_cast<double>(matches) / static_cast<double>(lines) : 0.0; }
};

// Observed counts beside what random lines would give.
struct TierComparison {
    Tier tier = Tier::Fewer;
    long long observed = 0;
    double probability = 0;
    double expected = 0;
    CountInterval interval;
    bool outside() const { return observed < interval.low || observed > interval.high; }
};

struct ChanceComparison {
    long long lines = 0;
    std::array<TierComparison, kTierCount> tiers{};
    double meanMatches = 0;
    double expectedMeanMatches = 0;
    double meanLow = 0;
    double meanHigh = 0;
    std::string verdict; // one line, Japanese
};

ChanceComparison compareWithChance(const TierTally &tally);

} // namespace omvex::analysis
