#pragma once

#include <string>

namespace omvex::analysis {

// value with exactly `decimals` decimals and a decimal point, whatever the C library's locale
// (the toolkit sets it to the user's, which may write "12,35").
std::string fixedText(double value, int decimals);

// The same, grouped by thousands the Japanese way ("1,234,567.8"), on every machine alike: the odds
// of the high tiers are only readable with separators.
std::string groupedText(double value, int decimals);

} // namespace omvex::analysis
