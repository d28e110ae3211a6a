#pragma once

#include "engine/game.h"

#include <array>
#include <cstdint>

// How the C(43, 6) sets of six different numbers spread over the properties players look at. The
// counts come from a dynamic programme over the numbers 1..43, so nothing is enumerated at run time.
namespace omvex::analysis {

inline constexpr int kSmallestSum = 1 + 2 + 3 + 4 + 5 + 6;
inline constexpr int kLargestSum = 38 + 39 + 40 + 41 + 42 + 43;

// Index: the sum of the six numbers, 0..kLargestSum.
std::array<std::uint64_t, kLargestSum + 1> setsBySum();

// Index: how many pairs (n, n + 1) the six numbers hold, 0..5.
std::array<std::uint64_t, kPicks> setsByConsecutivePairs();

} // namespace omvex::analysis
