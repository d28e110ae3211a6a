#pragma once

#include <string_view>

namespace omvex::platform {

// A UTF-8 byte-order mark, as editors may put at the start of the files the user keeps.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Blanks around fields and names in the program's text files: spaces and tabs.
constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace omvex::platform
