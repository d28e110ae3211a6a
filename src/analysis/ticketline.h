#pragma once

#include "engine/game.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace omvex::analysis {

// A line of six numbers as a person types it, or why it is not one.
struct TicketLine {
    std::optional<std::array<int, kPicks>> numbers; // ascending, when the line is valid
    std::string code;    // stable English reason for scripts and tests; empty when valid
    std::string message; // the same reason in Japanese, naming what is wrong

    bool isValid() const { return numbers.has_value(); }
};

// Reads six different whole numbers 1..43 from UTF-8 text. Digits may be half- or full-width;
// numbers are separated by commas, spaces, tabs or "、" (full-width comma and space included).
// Codes: "empty", "not_a_number", "out_of_range", "repeated", "too_few", "too_many".
TicketLine parseTicketLine(std::string_view text);

} // namespace omvex::analysis
