#pragma once

#include "analysis/numbertext.h"
#include "engine/game.h"
#include "engine/settings.h"

#include <QString>

#include <array>
#include <iosfwd>
#include <string>

namespace omvex::cli {

// Control characters as \n, \t or \xNN, so that a name holding a line break can never turn one
// message into two or move the terminal's cursor.
QString escapeControls(const QString &text);

// One line on standard error, in the form every line there takes: "omvex-predict: " and the text,
// its control characters escaped.
void writeErrorLine(std::ostream &err, const QString &text);

// Pads to a column count as a terminal shows it, East Asian wide characters taking two columns.
std::string padRight(const std::string &text, int columns);
std::string padLeft(const std::string &text, int columns);

using analysis::fixedText;
using analysis::groupedText;

using omvex::settingsText;

// "3 11 17 25 36 42"
void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers);

} // namespace omvex::cli
