#pragma once

#include "engine/settings.h"

#include <QString>

namespace omvex {

// The outcome of a settings save; error names the file and the reason when ok is false.
struct SaveResult {
    bool ok = true;
    QString error;
};

// The three settings in section "OmvexINI" of "omvex.ini", read and written with the
// private-profile rules (other sections, keys, comments and blank lines are kept).
class SettingsStore {
public:
    explicit SettingsStore(QString iniPath);

    const QString &path() const { return m_iniPath; }

    // Level, Pattern and Kako; a missing file, section or key, or a value outside its range
    // (0..3, 0..1, 0..3), reads as 0.
    Settings read() const;

    // Writes "Level", "Pattern" and "Kako" as their digits, atomically.
    SaveResult save(const Settings &settings) const;

private:
    QString m_iniPath;
};

} // namespace omvex
