#include "engine/random.h"

#include <atomic>
#include <chrono>

namespace omvex {

std::uint64_t clockSeed()
{
    // Two runs within one clock tick must still differ, hence the counter.
    static std::atomic<std::uint64_t> counter{0};
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return ticks ^ (++counter * 0x9E3779B97F4A7C15ULL);
}

} // namespace omvex
