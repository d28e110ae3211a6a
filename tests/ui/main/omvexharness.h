#pragma once

#include "support/fakeservices.h"
#include "support/programfolder.h"
#include "fetch/network/download.h"
#include "ui/main/omvex.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <chrono>
#include <functional>
#include <memory>

namespace omvex::test {

// One main window with its own program folder and recording stand-ins for the outside world.
// Controls are found by their design names, as the user would point at them.
struct OmvexHarness {
    ProgramFolder folder;
    RecordingMessageBox messages;
    RecordingProcessStarter processes;
    RecordingHelpViewer help;
    ui::AppState state;
    int endProgramCalls = 0;
    bool withEditor = true;
    std::chrono::milliseconds pause{0};
    std::chrono::milliseconds now{0}; // the clock the pauses measure; it moves only when the test moves it
    std::function<std::uint64_t()> seedFromClock; // empty: the clock
    ui::ImportDialogs *importDialogs = nullptr;   // empty: the real dialogs
    ui::FetchServices fetch{nullptr, {}, omvex::fetch::makeNetworkTransfer}; // empty dialogs: the real ones
    KakoPreload *kakoPreload = nullptr;           // empty: the window reads kako.txt itself
    std::unique_ptr<ui::Omvex> window;

    ui::Omvex &start();

    template <typename T>
    T *control(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QAction *action(const char *name) const { return control<QAction>(QLatin1String(name)); }
    QPushButton *button(const char *name) const { return control<QPushButton>(QLatin1String(name)); }
    QLabel *label(const char *name) const { return control<QLabel>(QLatin1String(name)); }
    QTableView *grid(const char *name) const { return control<QTableView>(QLatin1String(name)); }
    // Triggers the named command's action; false when there is no such action.
    bool trigger(const char *actionName) const;
    // "予想開始", run to its end; `inFirstPause`, if given, runs once the sequence is in its first
    // pause (false when it had none). Each pause ends as the clock moves on by the pause's length.
    bool runSequence(const std::function<void()> &inFirstPause = {});
    // Moves the clock on until the running sequence, if any, has ended; false when it does not end.
    bool finishSequence();

    // The texts of a pass's six number labels: Label1(1..6) for pass 0, Label2(1..6) for pass 1.
    QStringList numbers(int pass) const;
    // The pass whose arrow is shown; -1 for neither, 2 for both.
    int shownArrow() const;
    // The pass whose line and score grids are shown, or -1 when it is not exactly one pair.
    int shownPass() const;
};

// Answers the import's questions as the test says and keeps the problems the user was shown.
class AnsweringImportDialogs final : public ui::ImportDialogs {
public:
    QString file;
    bool answer = true;
    int choices = 0;
    int confirmations = 0;
    int reports = 0;
    QString startFolder;  // where the last file choice started
    QStringList changes;  // the draws the last confirmation offered to replace
    QStringList problems;

    QString chooseFile(QWidget *, const QString &start) override { return ++choices, startFolder = start, file; }
    bool confirm(QWidget *, const QString &, const QStringList &shown) override
    {
        return ++confirmations, changes = shown, answer;
    }
    void report(QWidget *, const QString &, const QStringList &lines) override { ++reports, problems.append(lines); }
};

bool isEmptyRow(const QStringList &texts);
// Six distinct whole numbers 1..43 in ascending order, as a proposal must be.
bool isProposal(const QStringList &texts);

} // namespace omvex::test
