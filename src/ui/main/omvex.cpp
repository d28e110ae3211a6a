#include "ui/main/omvex.h"
#include "omvex/appinfo.h"

#include "engine/random.h"
#include "history/historystatus.h"
#include "import/resultimport.h"
#include "platform/filelocations.h"
#include "platform/outsideprograms.h"
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
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>

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
    m_actions.importResults->setEnabled(!m_isSequenceRunning && !m_fetch);
    m_actions.enterResult->setEnabled(!m_isSequenceRunning && !m_fetch);
    m_actions.fetchResults->setEnabled(!m_isSequenceRunning && !m_fetch);
    m_actions.switchView->setEnabled(m_hasFinishedSequence);

    m_widgets.startButton->setEnabled(m_actions.start->isEnabled());
    m_widgets.quitButton->setEnabled(m_actions.quit->isEnabled());
    m_widgets.switchButton->setEnabled(m_arePassesComplete);
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
    HistoryLoad load = loadKako(m_kakoFilePath, m_tables.history);
    const QString status = historyStatusText(load.draws, load.read, load.warnings);
    showHistoryStatus(m_statusLine, what.isEmpty() ? status : what + QStringLiteral("。") + status);
    m_draws = std::move(load.draws);
}

void Omvex::RunPredictionSequence()
{
    const QScopedValueRollback running(m_isSequenceRunning, true);
    updateActions();

    LoadDrawHistory();
    clearNumbers();
    for (int pass = 0; pass < 2; ++pass) {
        m_currentPass = pass;
        showArrow(pass);
        PauseOneSecond();
        if (m_isQuitting)
            return;
        PredictPass();
        copyResultInto(pass);
    }

    m_hasFinishedSequence = true;
    m_arePassesComplete = true;
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

void Omvex::PauseOneSecond()
{
    if (m_pauseLength.count() <= 0)
        return;
    // The window keeps answering while the timer runs; the elapsed time comes from a monotonic
    // clock, so neither midnight nor a change of the system time can stretch or cut the pause.
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QScopedValueRollback pauseLoop(m_pauseLoop, &loop);
    for (qint64 left = m_pauseLength.count(); left > 0 && !m_isQuitting;
         left = m_pauseLength.count() - clock.elapsed()) {
        timer.start(static_cast<int>(left));
        loop.exec();
    }
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

template <typename Command>
void Omvex::runCommand(Command &&command)
{
    if (m_isQuitting)
        return;
    try {
        command();
    } catch (const std::exception &error) {
        m_messages->show(kAppTitle, kCommandFailedMessage + QLatin1Char('\n') + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        m_messages->show(kAppTitle, kCommandFailedMessage);
    }
    refreshGrids();
}

void Omvex::runGuarded(const std::function<void()> &command)
{
    runCommand(command);
}

// A second sequence inside a pause, or a switch of the current pass under a running sequence,
// would let the running sequence fill one pass's labels from a run made for the other pass's
// grids; both are refused while a sequence runs.
void Omvex::Y_Start_Click()
{
    if (m_isSequenceRunning)
        return;
    runCommand([this] { RunPredictionSequence(); });
    updateActions();
}

void Omvex::Y_Kiri_Click()
{
    if (m_isSequenceRunning)
        return;
    runCommand([this] { SwitchPassView(); });
}

void Omvex::Y_End_Click()
{
    if (m_isQuitting)
        return;
    m_isQuitting = true;
    if (m_pauseLoop)
        m_pauseLoop->quit();
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
    m_arePassesComplete = enabled;
    updateActions();
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
