// The main window's commands beyond the design: "取込" and "最新結果の取得" into kako.txt, the "分析"
// menu with its one analysis window, and the record of each completed sequence's proposals.

#include "ui/main/omvex.h"

#include "fetch/transfermodule.h"
#include "import/drawentry.h"
#include "ui/dialogs/resultentry.h"
#include "ui/main/gridview.h"

#include <QAction>
#include <QDateTime>

#include <utility>

namespace omvex::ui {

void Omvex::connectImportAndAnalysis()
{
    connect(m_actions.importResults, &QAction::triggered, this, &Omvex::Y_Torikomi_Click);
    connect(m_actions.enterResult, &QAction::triggered, this, &Omvex::Y_Nyuryoku_Click);
    connect(m_actions.fetchResults, &QAction::triggered, this, &Omvex::Y_Shutoku_Click);
    const std::pair<QAction *, AnalysisWindow::Tab> tabs[] = {{m_actions.frequency, AnalysisWindow::Tab::Frequency},
                                                              {m_actions.backtest, AnalysisWindow::Tab::Backtest},
                                                              {m_actions.ticket, AnalysisWindow::Tab::Ticket},
                                                              {m_actions.journal, AnalysisWindow::Tab::Journal},
                                                              {m_actions.patterns, AnalysisWindow::Tab::Patterns}};
    for (const auto &[action, tab] : tabs)
        connect(action, &QAction::triggered, this, [this, tab = tab] { showAnalysis(tab); });
}

// Refused while a sequence runs, as a second "予想開始" is: the sequence works from the history
// it read at its start.
void Omvex::Y_Torikomi_Click()
{
    if (isSequenceRunning())
        return;
    runGuarded([this] {
        if (const std::optional<QString> done = importResultFile(m_kakoFilePath, m_app.IniFilePath, *m_importDialogs, this))
            showWrittenHistory(*done);
    });
}

// Refused while a sequence runs, like "取込": it writes kako.txt the same way.
void Omvex::Y_Nyuryoku_Click()
{
    if (isSequenceRunning())
        return;
    runGuarded([this] {
        const QString kakoPath = m_kakoFilePath;
        ResultEntryDialog dialog(latestUsableDraw(m_tables.history) + 1,
                                 [kakoPath](const EnteredDraw &draw, bool replace) { return addEnteredDraw(kakoPath, draw, replace, LockWait::Once); },
                                 this);
        dialog.setWindowModality(Qt::ApplicationModal);
        if (dialog.exec() == QDialog::Accepted)
            showWrittenHistory(dialog.result().message);
    });
}

void Omvex::showWrittenHistory(const QString &what)
{
    loadHistory(what);
    refreshGrids();
    m_widgets.historyGrid->scrollToBottom();
    if (m_analysis)
        m_analysis->reloadHistory();
}

// Refused while a sequence runs, as "取込" is. The download runs on the window's event loop; the
// command returns at once and the rest follows when it ends.
void Omvex::Y_Shutoku_Click()
{
    if (isSequenceRunning() || m_fetch)
        return;
    runGuarded([this] {
        if (!m_fetchServices.dialogs) {
            m_ownFetchDialogs = std::make_unique<ScreenFetchDialogs>();
            m_fetchServices.dialogs = m_ownFetchDialogs.get();
        }
        if (!m_fetchServices.makeTransfer) {
            fetch::TransferModule module = fetch::loadTransferModule(m_programFolder);
            if (!module.make) {
                m_messages->show(kFetchTitle, module.problem);
                return;
            }
            m_fetchServices.makeTransfer = std::move(module.make);
        }
        m_fetch = new ResultFetch(m_app.IniFilePath, m_kakoFilePath, *m_importDialogs, *m_fetchServices.dialogs,
                                  *m_messages, m_fetchServices.makeTransfer, m_fetchServices.limits, this);
        connect(m_fetch, &ResultFetch::finished, this, [this](bool written, const QString &what) {
            m_fetch->deleteLater();
            m_fetch = nullptr;
            updateActions();
            if (written && m_sequence != SequenceState::Quit)
                showWrittenHistory(what);
        });
        updateActions();
        m_fetch->start();
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
            // The menu bar, the buttons and both rows of number boxes stay in sight.
            providers.keepVisible = [this] {
                const QLabel *lowest = m_widgets.numberLabels[1][0];
                const int bottom = lowest->mapToGlobal(QPoint(0, lowest->height())).y();
                const QRect frame = frameGeometry();
                return QRect(frame.topLeft(), QPoint(frame.right(), bottom));
            };
            providers.savedPlace = [this] { return SettingsStore(m_app.IniFilePath).readAnalysisPlace(); };
            // A place that cannot be kept costs nothing but the place.
            providers.keepPlace = [this](const QRect &place) { (void)SettingsStore(m_app.IniFilePath).saveAnalysisPlace(place); };
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
