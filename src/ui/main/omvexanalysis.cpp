// The main window's commands beyond the design: "取込" into kako.txt, the "分析" menu with its one
// analysis window, and the record of each completed sequence's proposals.

#include "ui/main/omvex.h"

#include <QAction>
#include <QDateTime>

#include <utility>

namespace omvex::ui {

void Omvex::connectImportAndAnalysis()
{
    connect(m_actions.importResults, &QAction::triggered, this, &Omvex::Y_Torikomi_Click);
    const std::pair<QAction *, AnalysisWindow::Tab> tabs[] = {{m_actions.frequency, AnalysisWindow::Tab::Frequency},
                                                              {m_actions.backtest, AnalysisWindow::Tab::Backtest},
                                                              {m_actions.ticket, AnalysisWindow::Tab::Ticket},
                                                              {m_actions.patterns, AnalysisWindow::Tab::Patterns}};
    for (const auto &[action, tab] : tabs)
        connect(action, &QAction::triggered, this, [this, tab = tab] { showAnalysis(tab); });
}

// Refused while a sequence runs, as a second "予想開始" is: the sequence works from the history
// it read at its start.
void Omvex::Y_Torikomi_Click()
{
    if (m_isSequenceRunning)
        return;
    runGuarded([this] {
        if (!importResultFile(m_kakoFilePath, *m_importDialogs, this))
            return;
        LoadDrawHistory();
        if (m_analysis)
            m_analysis->reloadHistory();
    });
}

void Omvex::showAnalysis(AnalysisWindow::Tab tab)
{
    runGuarded([this, tab] {
        if (!m_analysis) {
            AnalysisProviders providers;
            providers.kakoFilePath = m_kakoFilePath;
            providers.recordFilePath = m_recorder.recordPath();
            providers.settings = [this] { return m_app.settings; };
            providers.proposals = [this] { return shownProposals(); };
            providers.isRecordEnabled = [this] { return m_recorder.isEnabled(); };
            providers.setRecordEnabled = [this](bool enabled) { return m_recorder.setEnabled(enabled); };
            providers.parent = this;
            m_analysis = new AnalysisWindow(std::move(providers));
        }
        m_analysis->showTab(tab);
    });
}

void Omvex::recordProposals()
{
    const std::array<Proposal, 2> shown = shownProposals();
    if (!shown[0] || !shown[1])
        return;
    const std::optional<QString> note =
        m_recorder.record(QDateTime::currentDateTime(), m_draws, m_passSettings, {*shown[0], *shown[1]});
    if (note)
        showStatusNote(m_statusLine, *note);
    if (m_analysis)
        m_analysis->reloadRecord();
}

// What the yellow boxes show: a pass not run yet, or still running, has no proposal.
std::array<Proposal, 2> Omvex::shownProposals() const
{
    return m_proposals;
}

} // namespace omvex::ui
