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

} // namespace omvex
