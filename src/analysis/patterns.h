#pragma once

#include "analysis/chance.h"
#include "analysis/distributions.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The patterns players look at in past draws (odd and even, low and high, sums, consecutive
// numbers, repeats from the draw before, gaps and pairs), each beside its exact chance.
namespace omvex::analysis {

// One value of a pattern (or one bin of sums) over the draws counted.
struct PatternBin {
    int low = 0;  // the value; for a sum bin its lowest sum
    int high = 0; // the same value; for a sum bin its highest sum
    long long observed = 0;
    Fraction chance;        // exact chance of the value in one draw: sets of six out of C(43, 6)
    double probability = 0; // the same as a number
    double expected = 0;
    CountInterval range; // exact binomial 95 % range of the count
    bool outside() const { return observed < range.low || observed > range.high; }
};

struct PatternDistribution {
    int draws = 0; // draws that have a value: for repeats only those whose previous draw is usable
    std::vector<PatternBin> bins;
    GoodnessOfFit fit;
    std::string verdict; // Japanese, one sentence
};

struct NumberGap {
    int number = 0;
    int gap = 0;                   // usable draws since it last came up as a main number
    double probabilityAtLeast = 0; // (37/43)^gap
};

struct PairCount {
    int first = 0;
    int second = 0;
    long long observed = 0;
};

struct PairStats {
    int pairs = 0;          // 903
    double probability = 0; // of one pair in one draw: 15/903
    double expected = 0;
    CountInterval range;
    int outside = 0;
    double expectedOutside = 0; // 903 x the exact chance of one pair's count to fall outside
    std::vector<PairCount> most;  // ten, most frequent first, ties in ascending pair order
    std::vector<PairCount> least; // ten, least frequent first, ties in ascending pair order
};

struct PatternReport {
    int draws = 0; // usable draws counted
    std::optional<int> last;
    int firstDraw = 0; // draw numbers of the first and last draw counted; 0 without draws
    int lastDraw = 0;
    PatternDistribution oddEven;
    PatternDistribution lowHigh;
    PatternDistribution sum;
    PatternDistribution consecutive;
    PatternDistribution repeats;
    std::array<NumberGap, kHighestNumber> gaps{}; // by number; over the whole history
    PairStats pairs;
};

// The five distributions, in the order they are shown, with their JSON key and their words.
struct PatternKind {
    const char *key;     // "odd_even"
    const char *caption; // "奇数・偶数"
    const char *value;   // what the value counts: "奇数の個数"
    PatternDistribution PatternReport::*distribution;
};
extern const std::array<PatternKind, 5> kPatternKinds;

// Said wherever the patterns are shown.
inline constexpr char kPatternCaution[] =
    "これらは過去の抽せんの記述です。同じ抽せんを七つの見方で見れば、偶然でもどれか一つが珍しく見えることは"
    "よくあり、どれも次の回の確率を変えません。";

// "3", or "21〜80" for a bin of sums.
std::string binText(const PatternBin &bin);
// "χ² = 3.21（自由度 5）、p = 0.668", or what stands in its place when too few draws leave nothing to test.
std::string fitText(const GoodnessOfFit &fit);

// The patterns of every usable draw of the history (six different main numbers 1..43 and a bonus
// that is none of them), or of its last `last` usable draws. Gaps always span the whole history.
PatternReport patternReport(const CellGrid &history, std::optional<int> last = std::nullopt);

} // namespace omvex::analysis
