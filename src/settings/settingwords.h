#pragma once

#include "engine/settings.h"

#include <array>
#include <cstddef>
#include <string>

// The one table of the settings' words: the settings dialog, the tool's text, the analysis window
// and the backtest line all take them from here.
namespace omvex {

// Each choice in the settings dialog's words (UTF-8), by its digit: the window and the tool show the
// settings in these words.
inline constexpr std::array<const char *, kLevelChoices> kLevelWords{"標準", "梅", "竹", "松"};
inline constexpr std::array<const char *, kPatternChoices> kPatternWords{"選択", "すべて"};
inline constexpr std::array<const char *, kKakoChoices> kKakoWords{"並", "上", "特上", "無し"};

// The names of the settings, as the settings dialog's frames caption them.
inline constexpr const char *kLevelName = "レベル";
inline constexpr const char *kPatternName = "抽出パターン";
inline constexpr const char *kKakoName = "過去利用法";

constexpr const char *word(Level level) { return kLevelWords[static_cast<std::size_t>(digit(level))]; }
constexpr const char *word(Pattern pattern) { return kPatternWords[static_cast<std::size_t>(digit(pattern))]; }
constexpr const char *word(Kako kako) { return kKakoWords[static_cast<std::size_t>(digit(kako))]; }

// The settings as the dialog shows them, each frame's caption and then its ticked choice:
// "レベル 松・抽出パターン すべて・過去利用法 並".
inline std::string settingsText(const Settings &settings)
{
    return std::string(kLevelName) + " " + word(settings.level) + "・" + kPatternName + " "
        + word(settings.pattern) + "・" + kKakoName + " " + word(settings.kako);
}

} // namespace omvex
