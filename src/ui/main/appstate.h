#pragma once

#include "engine/settings.h"

#include <QString>

namespace omvex::ui {

// What lives as long as the program rather than as long as a window: the settings that every
// prediction run reads and the settings dialog changes, and where they are kept.
struct AppState {
    Settings settings;
    QString IniFilePath;
};

} // namespace omvex::ui
