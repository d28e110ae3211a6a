#pragma once

// The main window. Data flows one way: at start-up the window finds its files, reads
// "omvex.ini" into the program-wide settings and "kako.txt" into the history grid; "予想開始"
// reloads the history and runs the prediction engine twice over the window's PredictionTables,
// copying each run's six numbers from the result grid into a row of number labels. Every grid
// is a CellGrid shown by a read-only GridView that takes in the grid's changes in bursts.
// Each command is one QAction; the menu item is the action and a button triggers it.
// Beyond the design, a status line under the controls says what each reading of "kako.txt" gave,
// "取込" merges a published result file into it ("最新結果の取得" one fetched from the address the
// user set), every completed sequence appends its proposals
// to "kiroku.txt", and the "分析" menu opens the one analysis window (omvexanalysis.cpp).

#include "engine/predictpass.h"
#include "engine/tables.h"
#include "history/draws.h"
#include "platform/services.h"
#include "ui/analysis/analysiswindow.h"
#include "ui/main/appstate.h"
#include "ui/main/historyintake.h"
#include "ui/main/omvexlayout.h"
#include "ui/main/proposalrecorder.h"
#include "ui/main/resultfetch.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace omvex {
class KakoPreload;
}

namespace omvex::ui {

// What the window uses of the world outside it. Every member left empty gets the real thing:
// a message box on screen, detached processes, the help window, the running program's folder,
// $PATH for the editor search, one second of pause measured by the system's monotonic clock, a
// seed from the clock for each run, ending the application to quit, and the file, confirmation and
// report dialogs of "取込".
struct OmvexServices {
    platform::MessageBox *messages = nullptr;
    platform::ProcessStarter *processes = nullptr;
    platform::HelpViewer *help = nullptr;
    std::optional<QString> programFolder;
    std::optional<QString> editorSearchPath;
    std::chrono::milliseconds pauseLength{1000};
    std::function<std::chrono::milliseconds()> pauseClock; // a monotonic clock: only its differences count
    std::function<std::uint64_t()> seedFromClock;
    std::function<void()> endProgram;
    ImportDialogs *importDialogs = nullptr;
    FetchServices fetch; // "最新結果の取得": its address dialog and the download's limits
    KakoPreload *kakoPreload = nullptr; // kako.txt already being read for the first load, if any
};

class Omvex final : public QMainWindow, private PassView {
    Q_OBJECT

public:
    explicit Omvex(AppState &app, OmvexServices services = {}, QWidget *parent = nullptr);
    ~Omvex() override;

    const PredictionTables &tables() const { return m_tables; }
    int currentPass() const { return m_currentPass; }
    bool isSequenceRunning() const { return m_sequence == SequenceState::Running; }
    const QString &helpFilePath() const { return m_helpFilePath; }
    const QString &kakoFilePath() const { return m_kakoFilePath; }
    const QString &notepadPath() const { return m_notepadPath; }

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    // The commands, behind their actions. A command that fails unexpectedly ends there and says
    // why in one message box.
    void Y_Start_Click();
    void Y_Kiri_Click();
    void Y_End_Click();
    void Y_Kako_Click();
    void Y_Shoki_Click();
    void Y_Setumei_Click();
    void Y_Ver_Click();
    void Y_Torikomi_Click();
    void Y_Nyuryoku_Click();
    void Y_Shutoku_Click();
    void showAnalysis(AnalysisWindow::Tab tab);

private:
    void connectCommands();
    void updateActions();

    void Form_Load();
    void LocateFiles();
    void ReadSettings();
    void LoadDrawHistory();
    // Reads kako.txt into the grid and the typed draws; the status line says what the reading gave,
    // after `what` when that is given.
    void loadHistory(const QString &what);
    // The sequence runs as steps on the window's event loop: each pause is a timer, and the rest of
    // the sequence goes on from its timeout (omvexsequence.cpp).
    void RunPredictionSequence();
    void startPass(int pass);
    void PauseOneSecond();
    void continueSequence();
    void PredictPass();
    void finishSequence();
    void SwitchPassView();

    // Runs a command; false when it failed (and said so) or the window has quit.
    template <typename Command>
    bool runCommand(Command &&command);
    void runSequenceStep(void (Omvex::*step)());
    void runGuarded(const std::function<void()> &command);
    void clearNumbers();
    void showArrow(int pass);
    void copyResultInto(int pass);
    void refreshGrids();

    void connectImportAndAnalysis();
    // After kako.txt was written: the grid and the status line from the new file, the newest draw in view.
    void showWrittenHistory(const QString &what);
    void recordProposals();
    std::array<Proposal, 2> shownProposals() const;

    void setSwitchEnabled(bool enabled) override;
    void repaintNow() override;

    AppState &m_app;
    PredictionTables m_tables; // before the views that observe these grids
    OmvexWidgets m_widgets;
    OmvexActions m_actions;
    OmvexMenus m_menus;
    int m_currentPass = 0;
    QString m_helpFilePath;
    QString m_kakoFilePath;
    QString m_notepadPath;

    std::unique_ptr<platform::MessageBox> m_ownMessages;
    std::unique_ptr<platform::ProcessStarter> m_ownProcesses;
    std::unique_ptr<platform::HelpViewer> m_ownHelp;
    platform::MessageBox *m_messages;
    platform::ProcessStarter *m_processes;
    platform::HelpViewer *m_help;
    QString m_programFolder;
    QString m_editorSearchPath;
    std::chrono::milliseconds m_pauseLength;
    std::function<std::uint64_t()> m_seedFromClock;
    std::function<void()> m_endProgram;
    std::unique_ptr<ImportDialogs> m_ownImportDialogs;
    ImportDialogs *m_importDialogs;
    FetchServices m_fetchServices;
    KakoPreload *m_kakoPreload; // until the first load has taken its reading
    std::unique_ptr<FetchDialogs> m_ownFetchDialogs;
    ResultFetch *m_fetch = nullptr; // while "最新結果の取得" runs

    StatusLine m_statusLine;
    ProposalRecorder m_recorder;
    std::array<Settings, 2> m_passSettings{}; // each pass's settings when it ran
    std::array<Proposal, 2> m_proposals;      // each pass's six numbers as it returned them; none before
    DrawHistory m_draws;                      // the history grid after the last reading, as draws
    AnalysisWindow *m_analysis = nullptr;     // made when first asked for; a child of this window

    // All the state of the sequence: whether one runs, with CurrentPass (m_currentPass) the pass it
    // works on, and while it pauses, when the pause began and the timer that ends it. Running spans
    // the pauses and the steps between them; after Quit no command and no step runs any more.
    enum class SequenceState { Idle, Running, Quit };
    SequenceState m_sequence = SequenceState::Idle;
    std::function<std::chrono::milliseconds()> m_pauseClock;
    std::chrono::milliseconds m_pauseStart{};
    int m_sequenceLoopLevel = 0; // the depth of nested event loops the sequence started at
    QTimer m_pauseTimer;
};

} // namespace omvex::ui
