#include "ui/main/omvex.h"
#include "omvex/appinfo.h"

#include "engine/random.h"
#include "history/historystatus.h"
#include "import/kakopreload.h"
#include "import/resultimport.h"
#include "platform/filelocations.h"
#include "settings/settingsstore.h"
#include "ui/common/look.h"
#include "ui/common/startuptrace.h"
#include "ui/main/dialogmessagebox.h"
#include "ui/main/gridview.h"
#include "ui/main/helpwindow.h"
#include "ui/main/windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <chrono>
#include <exception>
#include <stdexcept>

namespace omvex::ui {

namespace {

// Without a usable folder no file can be found, and no other folder may stand in for it.
QString requireProgramFolder()
{
    QString error;
    const std::optional<QString> folder = platform::programFolder(&error);
    if (!folder)
        throw std::runtime_error(error.toStdString());
    return *folder;
}

constexpr double kWindowPointSize = 9;

// The pauses' clock is monotonic, so neither midnight nor a change of the system time can stretch
// or cut a pause.
std::chrono::milliseconds steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

// The design's one message of its own, then one line on what is missing and how to get it.
const QString kEditorNotFoundMessage =
    QStringLiteral("エラー\nテキストエディタが見つかりません。xdg-utils またはテキストエディタをインストールするまで、"
                   "「データ編集」は使えません。");
const QString kCommandFailedMessage = QStringLiteral("予期しないエラーが発生したため、操作を中止しました。");

} // namespace

Omvex::Omvex(AppState &app, OmvexServices services, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
    , m_messages(services.messages)
    , m_processes(services.processes)
    , m_help(services.help)
    , m_programFolder(services.programFolder ? *services.programFolder : requireProgramFolder())
    , m_editorSearchPath(services.editorSearchPath.value_or(qEnvironmentVariable("PATH")))
    , m_pauseLength(services.pauseLength)
    , m_seedFromClock(std::move(services.seedFromClock))
    , m_endProgram(std::move(services.endProgram))
    , m_importDialogs(services.importDialogs)
    , m_fetchServices(services.fetch)
    , m_kakoPreload(services.kakoPreload)
    , m_pauseClock(std::move(services.pauseClock))
{
    if (!m_messages) {
        m_ownMessages = std::make_unique<DialogMessageBox>(this);
        m_messages = m_ownMessages.get();
    }
    if (!m_processes) {
        m_ownProcesses = std::make_unique<platform::DetachedProcessStarter>();
        m_processes = m_ownProcesses.get();
    }
    if (!m_help) {
        m_ownHelp = std::make_unique<WindowHelpViewer>(this);
        m_help = m_ownHelp.get();
    }
    if (!m_seedFromClock)
        m_seedFromClock = clockSeed;
    if (!m_pauseClock)
        m_pauseClock = steadyMilliseconds;
    if (!m_endProgram)
        m_endProgram = [] { QCoreApplication::exit(0); };
    if (!m_importDialogs) {
        m_ownImportDialogs = std::make_unique<ScreenImportDialogs>();
        m_importDialogs = m_ownImportDialogs.get();
    }

    setWindowTitle(kAppTitle);
    setFont(designFont(kWindowPointSize));
    auto *client = new QWidget;
    setCentralWidget(client);
    // The views are made over the grids as Form_Load leaves them: over the design's hundreds of
    // empty rows, each view would first lay out and measure rows that Form_Load removes at once.
    resetTablesForStartUp(m_tables);
    m_widgets = createOmvexWidgets(*client, m_tables);
    startupCheckpoint("widgets");
    m_actions = createOmvexActions(*this);
    m_menus = createOmvexMenus(*menuBar(), m_actions);
    m_statusLine = createStatusLine(*statusBar());
    connectCommands();
    connectImportAndAnalysis();
    startupCheckpoint("menus");

    Form_Load();
}

Omvex::~Omvex()
{
    // The analysis window keeps its place through this window's members when it goes, and a fetch
    // reports to them: both go while the members are still here, not with the base class's children.
    delete m_analysis;
    m_analysis = nullptr;
    delete m_fetch;
    m_fetch = nullptr;
    // The views observe m_tables, which is destroyed before the base class deletes the children.
    delete takeCentralWidget();
}

void Omvex::connectCommands()
{
    connect(m_actions.start, &QAction::triggered, this, &Omvex::Y_Start_Click);
    connect(m_actions.switchView, &QAction::triggered, this, &Omvex::Y_Kiri_Click);
    connect(m_actions.quit, &QAction::triggered, this, &Omvex::Y_End_Click);
    connect(m_actions.editHistory, &QAction::triggered, this, &Omvex::Y_Kako_Click);
    connect(m_actions.settings, &QAction::triggered, this, &Omvex::Y_Shoki_Click);
    connect(m_actions.help, &QAction::triggered, this, &Omvex::Y_Setumei_Click);
    connect(m_actions.version, &QAction::triggered, this, &Omvex::Y_Ver_Click);
    m_pauseTimer.setSingleShot(true);
    m_pauseTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pauseTimer, &QTimer::timeout, this, [this] { runSequenceStep(&Omvex::continueSequence); });

    // A button is another view of its command.
    connect(m_widgets.startButton, &QPushButton::clicked, m_actions.start, &QAction::trigger);
    connect(m_widgets.quitButton, &QPushButton::clicked, m_actions.quit, &QAction::trigger);
    connect(m_widgets.switchButton, &QPushButton::clicked, m_actions.switchView, &QAction::trigger);
}

void Omvex::updateActions()
{
    // A start or a switch given during a sequence's pause is refused by the sequence itself, not
    // by disabling: the design keeps the start and quit commands enabled throughout.
    for (QAction *action : {m_actions.start, m_actions.quit, m_actions.editHistory, m_actions.settings, m_actions.help,
                            m_actions.version, m_actions.frequency, m_actions.backtest, m_actions.ticket,
                            m_actions.patterns})
        action->setEnabled(true);
    // An import rewrites the history that a running sequence has just read.
    m_actions.importResults->setEnabled(!isSequenceRunning() && !m_fetch);
    m_actions.enterResult->setEnabled(!isSequenceRunning() && !m_fetch);
    m_actions.fetchResults->setEnabled(!isSequenceRunning() && !m_fetch);

    m_widgets.startButton->setEnabled(m_actions.start->isEnabled());
    m_widgets.quitButton->setEnabled(m_actions.quit->isEnabled());
}

void Omvex::Form_Load()
{
    // The frame's own size is the window system's; the client area holds the designed layout,
    // and the window is placed by its designed outer size.
    const QScreen *screen = this->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const WindowPlacement placement = mainWindowPlacement(pixelsToTwips(area.width()), pixelsToTwips(area.height()));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(area.left() + twipsToPixels(placement.left), area.top() + twipsToPixels(placement.top));

    clearNumbers();
    resetTablesForStartUp(m_tables);
    updateActions();
    // The switch menu item stays enabled once a sequence has finished; the button only while both
    // passes' grids hold that sequence's results, since every run disables it.
    m_widgets.switchButton->setEnabled(false);
    m_actions.switchView->setEnabled(false);
    m_widgets.passArrows[0]->hide();
    m_widgets.passArrows[1]->hide();
    startupCheckpoint("tables");

    LocateFiles();
    ReadSettings();
    startupCheckpoint("settings");
    LoadDrawHistory();
    startupCheckpoint("history");
    refreshGrids();
}

void Omvex::LocateFiles()
{
    const FileLocations locations = locateFiles(m_programFolder);
    m_helpFilePath = locations.HelpFilePath;
    m_app.IniFilePath = locations.IniFilePath;
    m_kakoFilePath = locations.KakoFilePath;
    m_notepadPath = findTextEditor(m_editorSearchPath);
    if (m_notepadPath.isEmpty())
        m_messages->show(kAppTitle, kEditorNotFoundMessage);
}

void Omvex::ReadSettings()
{
    m_app.settings = SettingsStore(m_app.IniFilePath).read();
    m_recorder.start(joinPath(m_programFolder, QLatin1String(analysis::kRecordFileName)), m_app.IniFilePath);
}

void Omvex::LoadDrawHistory()
{
    loadHistory({});
}

void Omvex::loadHistory(const QString &what)
{
    // The history comes from the program folder, the same file "データ編集" opens, wherever the
    // program was started from.
    std::optional<PreloadedKako> preloaded = m_kakoPreload ? m_kakoPreload->take(m_kakoFilePath) : std::nullopt;
    m_kakoPreload = nullptr; // only the first load finds the grid in the start-up state the reading began from
    HistoryLoad load;
    if (preloaded) {
        m_tables.history.takeContents(std::move(preloaded->grid));
        load = std::move(preloaded->load);
    } else {
        load = loadKako(m_kakoFilePath, m_tables.history, HistoryHash::Skip);
    }
    const QString status = historyStatusText(load.draws, load.read, load.warnings);
    showHistoryStatus(m_statusLine, what.isEmpty() ? status : what + QStringLiteral("。") + status);
    m_draws = std::move(load.draws);
}

template <typename Command>
bool Omvex::runCommand(Command &&command)
{
    if (m_sequence == SequenceState::Quit)
        return false;
    bool done = false;
    try {
        command();
        done = true;
    } catch (const std::exception &error) {
        m_messages->show(kAppTitle, kCommandFailedMessage + QLatin1Char('\n') + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        m_messages->show(kAppTitle, kCommandFailedMessage);
    }
    refreshGrids();
    return done;
}

void Omvex::runGuarded(const std::function<void()> &command)
{
    runCommand(command);
}

// A step that fails ends the sequence where it stands, and says why as any command does.
void Omvex::runSequenceStep(void (Omvex::*step)())
{
    if (!runCommand([this, step] { (this->*step)(); }) && m_sequence == SequenceState::Running)
        m_sequence = SequenceState::Idle;
    updateActions();
}

void Omvex::Y_End_Click()
{
    if (m_sequence == SequenceState::Quit)
        return;
    // A sequence waiting in a pause never goes on.
    m_sequence = SequenceState::Quit;
    m_pauseTimer.stop();
    if (m_fetch)
        m_fetch->cancel();
    // A backtest still running in the analysis window ends before the program does.
    if (m_analysis)
        m_analysis->shutdown();
    close();
    m_endProgram();
}

void Omvex::closeEvent(QCloseEvent *event)
{
    // Closing through the frame ends the program as "終了" does, also in the middle of a pause.
    event->accept();
    Y_End_Click();
}

void Omvex::refreshGrids()
{
    for (GridView *view : {m_widgets.lineGrids[0], m_widgets.lineGrids[1], m_widgets.resultGrid,
                           m_widgets.scoreGrids[0], m_widgets.scoreGrids[1], m_widgets.historyGrid})
        view->refresh();
}

void Omvex::setSwitchEnabled(bool enabled)
{
    m_widgets.switchButton->setEnabled(enabled);
}

void Omvex::repaintNow()
{
    refreshGrids();
    // Only what is waiting to be drawn (the emptied grids of this pass, the switch, the labels
    // of the sequence): repainting the whole window would redraw every grid's scroll bars and
    // cells and cost more than the prediction run itself.
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
}

} // namespace omvex::ui
