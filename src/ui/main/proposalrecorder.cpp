#include "ui/main/proposalrecorder.h"

namespace omvex::ui {

void ProposalRecorder::start(const QString &recordPath, const QString &iniPath)
{
    m_recordPath = recordPath;
    m_iniPath = iniPath;
    m_isEnabled = SettingsStore(m_iniPath).readRecordEnabled();
}

Status ProposalRecorder::setEnabled(bool enabled)
{
    m_isEnabled = enabled;
    return SettingsStore(m_iniPath).saveRecordEnabled(enabled);
}

std::optional<QString> ProposalRecorder::record(const QDateTime &now, const DrawHistory &history,
                                                const std::array<Settings, 2> &passSettings,
                                                const std::array<analysis::Proposal, 2> &proposals)
{
    if (!m_isEnabled)
        return std::nullopt;
    // Settings changed in the dialog during the pause between the passes: a run's lines carry one
    // set of settings, and a line that named the wrong ones would skew every total kept by them.
    if (passSettings[0] != passSettings[1])
        return QStringLiteral("１回目と２回目で設定が違うため、この予想は記録しませんでした");
    const std::optional<int> draw = analysis::nextDrawFor(history);
    if (!draw) {
        if (m_hasToldNoHistory)
            return std::nullopt;
        m_hasToldNoHistory = true;
        return QString::fromUtf8(analysis::kNoHistoryToRecord);
    }
    const Status written =
        analysis::appendRecord(m_recordPath, now, *draw, passSettings[1], proposals);
    if (written.ok || m_hasToldFailure)
        return std::nullopt;
    m_hasToldFailure = true;
    return QStringLiteral("予想を記録できません: %1").arg(written.message);
}

} // namespace omvex::ui
