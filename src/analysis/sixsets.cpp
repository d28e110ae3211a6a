#include "analysis/sixsets.h"

namespace omvex::analysis {

std::array<std::uint64_t, kLargestSum + 1> setsBySum()
{
    // ways[k][s]: sets of k numbers among those seen so far with sum s. Going down in k lets each
    // number join a set at most once.
    std::array<std::array<std::uint64_t, kLargestSum + 1>, kPicks + 1> ways{};
    ways[0][0] = 1;
    for (int number = 1; number <= kHighestNumber; ++number)
        for (int k = kPicks; k >= 1; --k)
            for (int sum = kLargestSum; sum >= number; --sum)
                ways[static_cast<std::size_t>(k)][static_cast<std::size_t>(sum)] +=
                    ways[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(sum - number)];
    return ways[kPicks];
}

std::array<std::uint64_t, kPicks> setsByConsecutivePairs()
{
    // ways[taken][last][pairs] over the numbers seen so far; `last` says whether the latest
    // number was taken, which is what decides whether taking the next one makes a pair.
    using Layer = std::array<std::array<std::array<std::uint64_t, kPicks>, 2>, kPicks + 1>;
    Layer ways{};
    ways[0][0][0] = 1;
    for (int number = 1; number <= kHighestNumber; ++number) {
        Layer next{};
        for (std::size_t taken = 0; taken <= kPicks; ++taken)
            for (std::size_t last = 0; last < 2; ++last)
                for (std::size_t pairs = 0; pairs < kPicks; ++pairs) {
                    const std::uint64_t count = ways[taken][last][pairs];
                    if (count == 0)
                        continue;
                    next[taken][0][pairs] += count;
                    const std::size_t made = pairs + last;
                    if (taken < kPicks && made < kPicks)
                        next[taken + 1][1][made] += count;
                }
        ways = next;
    }
    std::array<std::uint64_t, kPicks> sets{};
    for (std::size_t pairs = 0; pairs < kPicks; ++pairs)
        sets[pairs] = ways[kPicks][0][pairs] + ways[kPicks][1][pairs];
    return sets;
}

} // namespace omvex::analysis
