#pragma once

#include "engine/game.h"
#include "engine/settings.h"

#include <array>
#include <iosfwd>
#include <string>

namespace omvex::cli {

// Pads to a column count as a terminal shows it, East Asian wide characters taking two columns.
std::string padRight(const std::string &text, int columns);
std::string padLeft(const std::string &text, int columns);

// "12.50" for (12.5, 2): always the given count of decimals and a point, whatever the system locale.
std::string fixedText(double value, int decimals);

// 1234567.8 -> "1,234,567.8": the odds of the high tiers are only readable with separators.
std::string grouped(double value, int decimals);

std::string settingsText(const Settings &settings);

// "3 11 17 25 36 42"
void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers);

} // namespace omvex::cli
