#pragma once

#include <string>

namespace omvex {

// The three program-wide settings, each one decimal digit held as text, as the settings file and
// the settings dialog hand them over. Level "0".."3", Pattern "0".."1", Kako "0".."3".
struct Settings {
    std::string Level = "0";
    std::string Pattern = "0";
    std::string Kako = "0";

    friend bool operator==(const Settings &, const Settings &) = default;
};

} // namespace omvex
