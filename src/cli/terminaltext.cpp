#include "cli/terminaltext.h"

#include <QString>

#include <cstdio>
#include <ostream>

namespace omvex::cli {

namespace {

// Columns a text takes in a terminal: East Asian wide and full-width characters take two.
int displayWidth(const std::string &text)
{
    const QString wide = QString::fromStdString(text);
    int width = 0;
    for (const QChar ch : wide) {
        const char16_t c = ch.unicode();
        if (ch.isLowSurrogate())
            continue;
        const bool isHalfWidthKana = c >= 0xFF61 && c <= 0xFF9F;
        width += (c >= 0x1100 && !isHalfWidthKana && !(c >= 0x2010 && c <= 0x2027)) ? 2 : 1;
    }
    return width;
}

} // namespace

std::string padRight(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : text + std::string(static_cast<std::size_t>(columns - width), ' ');
}

std::string padLeft(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : std::string(static_cast<std::size_t>(columns - width), ' ') + text;
}

std::string fixedText(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string grouped(double value, int decimals)
{
    std::string text = fixedText(value, decimals);
    const std::size_t point = text.find('.');
    std::size_t end = point == std::string::npos ? text.size() : point;
    while (end > 3) {
        end -= 3;
        text.insert(end, ",");
    }
    return text;
}

std::string settingsText(const Settings &settings)
{
    return "Level " + std::to_string(digit(settings.level)) + ", Pattern " + std::to_string(digit(settings.pattern))
        + ", Kako " + std::to_string(digit(settings.kako));
}

void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers)
{
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out << (i ? " " : "") << numbers[i];
}

} // namespace omvex::cli
