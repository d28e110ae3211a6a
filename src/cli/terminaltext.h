#pragma once

#include "settings/settingwords.h"
#include "analysis/numbertext.h"
#include "engine/game.h"
#include "engine/settings.h"

#include <QString>

#include <array>
#include <streambuf>
#include <string>

namespace omvex::cli {

// Control characters as \n, \t or \xNN, so that a name holding a line break can never turn one
// message into two or move the terminal's cursor.
QString escapeControls(const QString &text);

// Passes what is written on to another stream buffer with control characters shown as
// escapeControls shows them, the line end aside: standard output echoes names and cells of the
// user's files, and none of them may clear, retitle or move the user's terminal.
class EscapingBuffer final : public std::streambuf {
public:
    explicit EscapingBuffer(std::streambuf *target)
        : m_target(target)
    {
    }
    ~EscapingBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    int sync() override;

private:
    void put(unsigned char c);
    void putEscaped(unsigned int code);

    std::streambuf *m_target;
    bool m_afterC2 = false; // a 0xC2 byte held back: with 0x80..0x9F after it, it is a C1 control
};

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
