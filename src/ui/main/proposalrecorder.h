#pragma once

#include "analysis/record.h"
#include "engine/game.h"
#include "engine/settings.h"
#include "history/draws.h"
#include "settings/settingsstore.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace omvex::ui {

// Appends the proposals of every completed prediction sequence to "kiroku.txt", unless the user
// chose not to keep them ("Record" in section "Kiroku" of omvex.ini).
class ProposalRecorder {
public:
    // Where the record goes and where the choice is kept; reads the choice.
    void start(const QString &recordPath, const QString &iniPath);

    const QString &recordPath() const { return m_recordPath; }
    bool isEnabled() const { return m_isEnabled; }
    // Takes the choice for the rest of the run and keeps it in omvex.ini.
    SaveResult setEnabled(bool enabled);

    // Appends one sequence's two proposals, made with the settings of each pass. What comes back
    // is for the user's eyes: the first failure to write in this run of the program and nothing
    // after it, so that a lasting problem is said once and not at every sequence. With no usable
    // draw in the history nothing is recorded, and that too is said once.
    std::optional<QString> record(const QDateTime &now, const DrawHistory &history,
                                  const std::array<Settings, 2> &passSettings,
                                  const std::array<analysis::Proposal, 2> &proposals);

private:
    QString m_recordPath;
    QString m_iniPath;
    bool m_isEnabled = true;
    bool m_hasToldFailure = false;
    bool m_hasToldNoHistory = false;
};

} // namespace omvex::ui
