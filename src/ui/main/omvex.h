#pragma once

// The main window. Data flows one way: at start-up the window finds its files, reads
// "omvex.ini" into the program-wide settings and "kako.txt" into the history grid; "予想開始"
// reloads the history and runs the prediction engine twice over the window's PredictionTables,
// copying each run's six numbers from the result grid into a row of number labels. Every grid
// is a CellGrid shown by a read-only GridView that takes in the grid's changes in bursts.

#include "engine/predictpass.h"
#include "engine/tables.h"
#include "platform/services.h"
#include "ui/main/appstate.h"
#include "ui/main/gridview.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QEventLoop;
class QLabel;
class QMenu;
class QPushButton;

namespace omvex::ui {

// The window's controls under the names of its design. Arrays keep the design's indexes, so
// the number labels use elements 1..6 and Line3 elements 1..3; element 0 of those stays null.
struct OmvexControls {
    std::array<QPushButton *, 2> Command1{};
    QPushButton *Command2 = nullptr;
    std::array<QLabel *, 7> Label1{};
    std::array<QLabel *, 7> Label2{};
    QLabel *Label3 = nullptr;
    std::array<QLabel *, 2> Label4{};
    std::array<QLabel *, 2> Label5{};
    std::array<QWidget *, 1> Line1{};
    std::array<QWidget *, 4> Line3{};
    std::array<GridView *, 2> vaSpread1{};
    GridView *vaSpread2 = nullptr;
    std::array<GridView *, 2> vaSpread3{};
    GridView *vaSpread4 = nullptr;

    QMenu *Y_Yoso = nullptr;
    QAction *Y_Start = nullptr;
    QAction *Y_Kiri = nullptr;
    QAction *Y_No1 = nullptr;
    QAction *Y_End = nullptr;
    QMenu *Y_Data = nullptr;
    QAction *Y_Kako = nullptr;
    QMenu *Y_Setei = nullptr;
    QAction *Y_Shoki = nullptr;
    QMenu *Y_Hlp = nullptr;
    QAction *Y_Setumei = nullptr;
    QAction *Y_Ver = nullptr;
};

// What the window uses of the world outside it. Every member left empty gets the real thing:
// a message box on screen, detached processes, the help window, the running program's folder,
// $PATH for the editor search, one second of pause, and ending the application to quit.
struct OmvexServices {
    platform::MessageBox *messages = nullptr;
    platform::ProcessStarter *processes = nullptr;
    platform::HelpViewer *help = nullptr;
    std::optional<QString> programFolder;
    std::optional<QString> editorSearchPath;
    std::chrono::milliseconds pauseLength{1000};
    std::function<void()> endProgram;
};

class Omvex final : public QMainWindow, private PassView {
    Q_OBJECT

public:
    explicit Omvex(AppState &app, OmvexServices services = {}, QWidget *parent = nullptr);
    ~Omvex() override;

    const OmvexControls &controls() const { return m_ui; }
    const PredictionTables &tables() const { return m_tables; }
    int currentPass() const { return CurrentPass; }
    bool isSequenceRunning() const { return m_isSequenceRunning; }
    const QString &helpFilePath() const { return HelpFilePath; }
    const QString &kakoFilePath() const { return KakoFilePath; }
    const QString &notepadPath() const { return NotepadPath; }

    // The commands, one per control or menu item. A command that fails unexpectedly ends there
    // and says why in one message box.
    void Command1_Click(int index);
    void Command2_Click();
    void Y_Start_Click();
    void Y_Kiri_Click();
    void Y_End_Click();
    void Y_Kako_Click();
    void Y_Shoki_Click();
    void Y_Setumei_Click();
    void Y_Ver_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createGrids();
    void createButtons();
    void createLabels();
    void createEdge();
    void createMenus();
    void setKeyboardOrder();

    void Form_Load();
    void LocateFiles();
    void ReadSettings();
    void LoadDrawHistory();
    void RunPredictionSequence();
    void PredictPass();
    void PauseOneSecond();
    void SwitchPassView();

    template <typename Command>
    void runCommand(Command &&command);
    void startSequence();
    void switchView();
    void quit();
    void copyResultInto(const std::array<QLabel *, 7> &labels);
    void refreshGrids();

    void setSwitchEnabled(bool enabled) override;
    void repaintNow() override;

    AppState &m_app;
    PredictionTables m_tables; // before m_ui: the grid views observe these grids
    OmvexControls m_ui;
    int CurrentPass = 0;
    QString HelpFilePath;
    QString KakoFilePath;
    QString NotepadPath;

    std::unique_ptr<platform::MessageBox> m_ownMessages;
    std::unique_ptr<platform::ProcessStarter> m_ownProcesses;
    std::unique_ptr<platform::HelpViewer> m_ownHelp;
    platform::MessageBox *m_messages;
    platform::ProcessStarter *m_processes;
    platform::HelpViewer *m_help;
    QString m_programFolder;
    QString m_editorSearchPath;
    std::chrono::milliseconds m_pauseLength;
    std::function<void()> m_endProgram;

    QEventLoop *m_pauseLoop = nullptr;
    bool m_isSequenceRunning = false;
    bool m_isQuitting = false;
};

} // namespace omvex::ui
