#pragma once

#include <QString>

namespace omvex::cli {

// What --help prints: every option and every exit status, in Japanese.
QString helpText();

} // namespace omvex::cli
