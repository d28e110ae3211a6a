#pragma once

#include "engine/settings.h"

#include <QRect>
#include <QString>

#include <optional>

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

    // Whether each run's proposals are appended to the record file: key "Record" of section
    // "Kiroku". On unless the value reads as 0, so a file from before the record keeps it on.
    bool readRecordEnabled() const;
    // Writes "Record=1" or "Record=0"; section "OmvexINI" stays byte for byte.
    SaveResult saveRecordEnabled(bool enabled) const;

    // The folder "取込" last took a file from: key "Folder" of section "Torikomi"; empty when none.
    QString readImportFolder() const;
    SaveResult saveImportFolder(const QString &folder) const;

    // Where the analysis window stood when it was last closed: keys "Left" and "Top" (its frame's
    // top-left corner) and "Width" and "Height" (inside its frame) of section "Bunseki". Nothing
    // when a key is missing or the size is not positive.
    std::optional<QRect> readAnalysisPlace() const;
    SaveResult saveAnalysisPlace(const QRect &place) const;

    // The address of the results file that "最新結果の取得" fetches: key "URL" of section "Torikomi";
    // empty when none is set. The text as stored; whether it is a usable address is the caller's to judge.
    QString readFetchAddress() const;
    // Writes "URL=<address>"; section "OmvexINI" stays byte for byte.
    SaveResult saveFetchAddress(const QString &address) const;

private:
    QString m_iniPath;
};

} // namespace omvex
