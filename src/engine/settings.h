#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace omvex {

// The three program-wide settings. The settings file and the settings dialog know them as one
// digit each; that digit is the enumerator's value.
enum class Level : std::uint8_t { Standard = 0, Ume = 1, Take = 2, Matsu = 3 };   // 標準, 梅, 竹, 松
enum class Pattern : std::uint8_t { Sample = 0, All = 1 };                         // 選択, すべて
enum class Kako : std::uint8_t { Half = 0, Random = 1, RandomLowBonus = 2, None = 3 }; // 並, 上, 特上, 無し

inline constexpr int kLevelChoices = 4;
inline constexpr int kPatternChoices = 2;
inline constexpr int kKakoChoices = 4;

struct Settings {
    Level level = Level::Standard;
    Pattern pattern = Pattern::Sample;
    Kako kako = Kako::Half;

    friend bool operator==(const Settings &, const Settings &) = default;
};

constexpr int digit(Level level) { return static_cast<int>(level); }
constexpr int digit(Pattern pattern) { return static_cast<int>(pattern); }
constexpr int digit(Kako kako) { return static_cast<int>(kako); }

// A stored digit as a setting; a value outside the setting's range reads as its first choice,
// as the program has always read a damaged settings file.
constexpr Level levelFromDigit(long long value)
{
    return value >= 0 && value < kLevelChoices ? static_cast<Level>(value) : Level::Standard;
}
constexpr Pattern patternFromDigit(long long value)
{
    return value >= 0 && value < kPatternChoices ? static_cast<Pattern>(value) : Pattern::Sample;
}
constexpr Kako kakoFromDigit(long long value)
{
    return value >= 0 && value < kKakoChoices ? static_cast<Kako>(value) : Kako::Half;
}

} // namespace omvex
