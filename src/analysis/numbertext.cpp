#include "analysis/numbertext.h"

#include <QLocale>

#include <charconv>

namespace omvex::analysis {

std::string fixedText(double value, int decimals)
{
    char buffer[400]; // room for the largest double written out in full with a few decimals
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string groupedText(double value, int decimals)
{
    return QLocale(QLocale::Japanese).toString(value, 'f', decimals).toStdString();
}

} // namespace omvex::analysis
