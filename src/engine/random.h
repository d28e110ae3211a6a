#pragma once

#include <cstdint>
#include <random>

namespace omvex {

// The run's one source of chance: u uniform on [0, 1), and whole numbers 1..m taken as the
// integer part of u * m + 1, so a draw can never exceed m.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}

    double uniform() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }
    int uniformInt(int m) { return static_cast<int>(uniform() * m + 1.0); }

private:
    std::mt19937_64 m_engine;
};

// A fresh seed from the system clock, for runs that are not meant to be repeated.
std::uint64_t clockSeed();

// One step of the splitmix64 generator: nearby inputs give unrelated outputs.
constexpr std::uint64_t splitMix64(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// The generator seed of one pass (0 or 1) of a run with the given seed. Mixed rather than added, so
// that the two passes of one seed, and the passes of nearby seeds, draw unrelated streams.
constexpr std::uint64_t passSeed(std::uint64_t seed, int pass)
{
    return splitMix64(seed ^ splitMix64(0x5EED0000ULL + static_cast<std::uint64_t>(pass & 1)));
}

} // namespace omvex
