// The prediction sequence ("予想開始") and the view switch ("切換"). The sequence never waits in
// place: each pause is the window's timer, and the sequence goes on from its timeout, so the window
// keeps answering the user throughout.

#include "ui/main/omvex.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QThread>

namespace omvex::ui {

namespace {

// How often a pause that has run out looks again whether the dialog opened in it has closed.
constexpr std::chrono::milliseconds kNestedLoopCheck{20};

int eventLoopLevel()
{
    return QThread::currentThread()->loopLevel();
}

} // namespace

// A second sequence inside a pause, or a switch of the current pass under a running sequence,
// would let the running sequence fill one pass's labels from a run made for the other pass's
// grids; both are refused while a sequence runs.
void Omvex::Y_Start_Click()
{
    if (m_sequence != SequenceState::Idle)
        return;
    runSequenceStep(&Omvex::RunPredictionSequence);
}

void Omvex::Y_Kiri_Click()
{
    if (m_sequence != SequenceState::Idle)
        return;
    runGuarded([this] { SwitchPassView(); });
}

// Steps 1 to 4; the timer takes the sequence on from there.
void Omvex::RunPredictionSequence()
{
    m_sequence = SequenceState::Running;
    m_sequenceLoopLevel = eventLoopLevel();
    updateActions();

    LoadDrawHistory();
    clearNumbers();
    startPass(0);
}

// The pass's CurrentPass and arrow, then its pause.
void Omvex::startPass(int pass)
{
    m_currentPass = pass;
    showArrow(pass);
    PauseOneSecond();
}

void Omvex::PauseOneSecond()
{
    m_pauseStart = m_pauseClock();
    continueSequence();
}

// Once the pause is over, the pass's run and its labels, then the next pass or the end; until
// then the timer comes back when the pause's time is up.
void Omvex::continueSequence()
{
    const std::chrono::milliseconds left = m_pauseLength - (m_pauseClock() - m_pauseStart);
    if (left.count() > 0) {
        m_pauseTimer.start(left);
        return;
    }
    // A pause that ran out while a dialog opened in it is still up (its exec(), or any other event
    // loop started since) lasts until that loop has returned: the sequence goes on only from the
    // loop it started in, so after the dialog has closed and with what the dialog saved.
    if (eventLoopLevel() > m_sequenceLoopLevel) {
        m_pauseTimer.start(kNestedLoopCheck);
        return;
    }
    PredictPass();
    copyResultInto(m_currentPass);
    if (m_currentPass == 0)
        startPass(1);
    else
        finishSequence();
}

void Omvex::finishSequence()
{
    m_sequence = SequenceState::Idle;
    m_widgets.switchButton->setEnabled(true);
    m_actions.switchView->setEnabled(true);
    updateActions();
    recordProposals();
}

void Omvex::clearNumbers()
{
    m_proposals = {};
    for (const auto &row : m_widgets.numberLabels) {
        for (QLabel *label : row)
            label->clear();
    }
}

void Omvex::showArrow(int pass)
{
    m_widgets.passArrows[static_cast<std::size_t>(pass)]->show();
    m_widgets.passArrows[static_cast<std::size_t>(1 - pass)]->hide();
}

void Omvex::copyResultInto(int pass)
{
    CellGrid &result = m_tables.result;
    const auto &labels = m_widgets.numberLabels[static_cast<std::size_t>(pass)];
    result.setActiveRow(1);
    for (int column = 1; column <= kLineColumns; ++column) {
        result.setActiveColumn(column);
        labels[static_cast<std::size_t>(column - 1)]->setText(QString::fromStdString(result.activeText()));
    }
}

void Omvex::PredictPass()
{
    m_passSettings[static_cast<std::size_t>(m_currentPass)] = m_app.settings;
    m_proposals[static_cast<std::size_t>(m_currentPass)] =
        predictPass(m_tables, m_currentPass, m_app.settings, m_seedFromClock(), this);
    refreshGrids();
}

void Omvex::SwitchPassView()
{
    for (std::size_t i = 0; i < 2; ++i) {
        m_tables.lines[i].setVisible(false);
        m_tables.scores[i].setVisible(false);
        m_widgets.passArrows[i]->hide();
    }
    const std::size_t shown = m_currentPass == 0 ? 1 : 0;
    m_tables.lines[shown].setVisible(true);
    m_tables.scores[shown].setVisible(true);
    m_widgets.passArrows[shown]->show();
    m_currentPass = static_cast<int>(shown);
}

} // namespace omvex::ui
