#include "ui/main/omvex.h"
#include "omvex/appinfo.h"

#include "engine/random.h"
#include "history/drawhistory.h"
#include "history/filelocations.h"
#include "history/outsideprograms.h"
#include "history/settingsstore.h"
#include "ui/common/look.h"
#include "ui/dialogs/shoki.h"
#include "ui/dialogs/verj.h"
#include "ui/main/dialogmessagebox.h"
#include "ui/main/helpwindow.h"
#include "ui/main/windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <exception>

namespace omvex::ui {

namespace {

// Places and sizes in twips from the top-left corner of the client area, as designed.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

constexpr int kClientWidth = 11745;
constexpr int kClientHeight = 7875;

constexpr Place kScoreGridPlace{480, 1080, 1800, 6540};
constexpr Place kLineGridPlace{8160, 480, 3075, 7005};
constexpr Place kResultGridPlace{4560, 3000, 2265, 465};
constexpr Place kHistoryGridPlace{3720, 3120, 3465, 4305};
constexpr Place kSwitchPlace{4800, 1080, 1455, 615};
constexpr Place kStartPlace{2640, 1080, 1935, 615};
constexpr Place kQuitPlace{6480, 1080, 1335, 615};
constexpr Place kTitlePlace{1080, 360, 6375, 495};
constexpr std::array<Place, 2> kArrowPlaces{{{2520, 1980, 375, 255}, {2520, 2580, 375, 255}}};
constexpr std::array<Place, 2> kPassCaptionPlaces{{{2880, 1980, 735, 255}, {2880, 2580, 735, 255}}};
// The sixth number box stands 705 after the fifth, the others 720 apart.
constexpr std::array<int, 7> kNumberLefts{0, 3720, 4440, 5160, 5880, 6600, 7305};
constexpr int kNumberRow1Top = 1920;
constexpr int kNumberRow2Top = 2520;
constexpr int kNumberSize = 375;

// The sunken edge just inside the client area: grey along the top and the left, white along
// the right and the bottom.
struct EdgeLine {
    int x1;
    int y1;
    int x2;
    int y2;
    QRgb colour;
};
constexpr EdgeLine kLine1_0{0, 7800, 11640, 7800, 0xFFFFFF};
constexpr std::array<EdgeLine, 4> kLine3{{{0, 0, 0, 0, 0},
                                          {0, 0, 11640, 0, 0x808080},
                                          {11640, 0, 11640, 7800, 0xFFFFFF},
                                          {0, 0, 0, 7800, 0x808080}}};

// Column widths in character units (column 0 is the row-header column).
const GridColumnWidths kLineGridWidths{5.62, {2.87, 2.88, 2.87, 2.87, 2.87, 2.75}};
const GridColumnWidths kResultGridWidths{0, {3, 3, 3, 3, 3, 3}};
const GridColumnWidths kScoreGridWidths{3.12, {4, 5.37}};
const GridColumnWidths kHistoryGridWidths{-1, {3.12, 3.12, 3.12, 3.12, 3.12, 3.12, 3.12}};

const QString kTitleCaption = QStringLiteral("OMVEX 数字予想システム");
const QString kStartCaption = QStringLiteral("予想開始");
const QString kSwitchCaption = QStringLiteral("切換");
const QString kQuitCaption = QStringLiteral("終了");
const std::array<QString, 2> kPassCaptions{QStringLiteral("１回目"), QStringLiteral("２回目")};
const QString kArrowCaption = QStringLiteral("⇒");
const QString kEditorNotFoundMessage = QStringLiteral("エラー");

constexpr double kButtonPointSize = 12;
constexpr double kLabelPointSize = 12;
constexpr double kTitlePointSize = 18;
constexpr double kWindowPointSize = 9;

const QString kNumberLabelStyle =
    QStringLiteral("QLabel { color: #0000FF; background-color: #FFFFC0; border: 1px solid #000000; }");
const QString kTitleStyle =
    QStringLiteral("QLabel { color: #0000FF; background-color: #FFE0C0; border: 1px solid #000000; }");
const QString kArrowStyle = QStringLiteral("QLabel { color: #FF0000; background: transparent; }");
const QString kPassCaptionStyle = QStringLiteral("QLabel { background: transparent; }");

void placeWidget(QWidget *widget, const Place &place)
{
    widget->setGeometry(twipsRect(place.left, place.top, place.width, place.height));
}

QWidget *makeLine(QWidget *parent, const EdgeLine &line)
{
    auto *widget = new QWidget(parent);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(line.colour));
    widget->setPalette(palette);
    const int x = twipsToPixels(line.x1);
    const int y = twipsToPixels(line.y1);
    widget->setGeometry(x, y, std::max(1, twipsToPixels(line.x2) - x), std::max(1, twipsToPixels(line.y2) - y));
    return widget;
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QString &style, double pointSize,
                  Qt::Alignment alignment, const Place &place)
{
    auto *label = new QLabel(text, parent);
    label->setFont(designFont(pointSize, true));
    label->setStyleSheet(style);
    label->setAlignment(alignment | Qt::AlignVCenter);
    placeWidget(label, place);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &caption, const Place &place)
{
    auto *button = new QPushButton(caption, parent);
    button->setFont(designFont(kButtonPointSize, true));
    button->setAutoDefault(false);
    placeWidget(button, place);
    return button;
}

// Marks a flag for as long as the scope lasts, however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
};

} // namespace

Omvex::Omvex(AppState &app, OmvexServices services, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
    , m_messages(services.messages)
    , m_processes(services.processes)
    , m_help(services.help)
    , m_programFolder(services.programFolder.value_or(platform::programFolder()))
    , m_editorSearchPath(services.editorSearchPath.value_or(qEnvironmentVariable("PATH")))
    , m_pauseLength(services.pauseLength)
    , m_endProgram(std::move(services.endProgram))
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
    if (!m_endProgram)
        m_endProgram = [] { QCoreApplication::exit(0); };

    setWindowTitle(kAppTitle);
    setWindowIcon(omvexIcon());
    setFont(designFont(kWindowPointSize));
    auto *client = new QWidget;
    client->setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    setCentralWidget(client);

    // Lines first: they are drawn on the client area, beneath every control.
    createEdge();
    createGrids();
    createButtons();
    createLabels();
    createMenus();
    setKeyboardOrder();

    Form_Load();
}

Omvex::~Omvex()
{
    // The views observe m_tables, which is destroyed before the base class deletes the children.
    delete takeCentralWidget();
}

void Omvex::createEdge()
{
    QWidget *client = centralWidget();
    m_ui.Line1[0] = makeLine(client, kLine1_0);
    for (int i = 1; i <= 3; ++i)
        m_ui.Line3[static_cast<std::size_t>(i)] = makeLine(client, kLine3[static_cast<std::size_t>(i)]);
}

void Omvex::createGrids()
{
    // In the order of the design, so the second element of each pair lies on top of the first.
    QWidget *client = centralWidget();
    m_ui.vaSpread3[0] = new GridView(m_tables.scores[0], kScoreGridWidths, client);
    m_ui.vaSpread1[0] = new GridView(m_tables.lines[0], kLineGridWidths, client);
    m_ui.vaSpread2 = new GridView(m_tables.result, kResultGridWidths, client);
    m_ui.vaSpread4 = new GridView(m_tables.history, kHistoryGridWidths, client);
    m_ui.vaSpread3[1] = new GridView(m_tables.scores[1], kScoreGridWidths, client);
    m_ui.vaSpread1[1] = new GridView(m_tables.lines[1], kLineGridWidths, client);
    for (GridView *view : m_ui.vaSpread3)
        placeWidget(view, kScoreGridPlace);
    for (GridView *view : m_ui.vaSpread1)
        placeWidget(view, kLineGridPlace);
    placeWidget(m_ui.vaSpread2, kResultGridPlace);
    placeWidget(m_ui.vaSpread4, kHistoryGridPlace);
}

void Omvex::createButtons()
{
    QWidget *client = centralWidget();
    m_ui.Command2 = makeButton(client, kSwitchCaption, kSwitchPlace);
    m_ui.Command1[1] = makeButton(client, kStartCaption, kStartPlace);
    m_ui.Command1[0] = makeButton(client, kQuitCaption, kQuitPlace);
    for (int index = 0; index < 2; ++index)
        connect(m_ui.Command1[static_cast<std::size_t>(index)], &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    connect(m_ui.Command2, &QPushButton::clicked, this, &Omvex::Command2_Click);
}

void Omvex::createLabels()
{
    QWidget *client = centralWidget();
    for (std::size_t pass = 0; pass < 2; ++pass) {
        m_ui.Label5[pass] = makeLabel(client, kArrowCaption, kArrowStyle, kLabelPointSize, Qt::AlignRight,
                                      kArrowPlaces[pass]);
        m_ui.Label4[pass] = makeLabel(client, kPassCaptions[pass], kPassCaptionStyle, kLabelPointSize,
                                      Qt::AlignRight, kPassCaptionPlaces[pass]);
    }
    for (std::size_t i = 1; i <= 6; ++i) {
        const int left = kNumberLefts[i];
        m_ui.Label1[i] = makeLabel(client, QStringLiteral("Label1"), kNumberLabelStyle, kLabelPointSize,
                                   Qt::AlignRight, {left, kNumberRow1Top, kNumberSize, kNumberSize});
        m_ui.Label2[i] = makeLabel(client, QStringLiteral("Label2"), kNumberLabelStyle, kLabelPointSize,
                                   Qt::AlignRight, {left, kNumberRow2Top, kNumberSize, kNumberSize});
    }
    m_ui.Label3 = makeLabel(client, kTitleCaption, kTitleStyle, kTitlePointSize, Qt::AlignHCenter, kTitlePlace);
}

void Omvex::createMenus()
{
    const QFont menuFont = designFont(kWindowPointSize);
    menuBar()->setFont(menuFont);
    auto addMenu = [&](const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setFont(menuFont);
        return menu;
    };

    m_ui.Y_Yoso = addMenu(QStringLiteral("予想"));
    m_ui.Y_Start = m_ui.Y_Yoso->addAction(kStartCaption);
    m_ui.Y_Kiri = m_ui.Y_Yoso->addAction(kSwitchCaption);
    m_ui.Y_No1 = m_ui.Y_Yoso->addSeparator();
    m_ui.Y_End = m_ui.Y_Yoso->addAction(kQuitCaption);
    m_ui.Y_Data = addMenu(QStringLiteral("過去データ"));
    m_ui.Y_Kako = m_ui.Y_Data->addAction(QStringLiteral("データ編集"));
    m_ui.Y_Setei = addMenu(QStringLiteral("設定"));
    m_ui.Y_Shoki = m_ui.Y_Setei->addAction(QStringLiteral("初期設定"));
    m_ui.Y_Hlp = addMenu(QStringLiteral("ヘルプ"));
    m_ui.Y_Setumei = m_ui.Y_Hlp->addAction(QStringLiteral("説明"));
    m_ui.Y_Ver = m_ui.Y_Hlp->addAction(QStringLiteral("バージョン情報"));

    connect(m_ui.Y_Start, &QAction::triggered, this, &Omvex::Y_Start_Click);
    connect(m_ui.Y_Kiri, &QAction::triggered, this, &Omvex::Y_Kiri_Click);
    connect(m_ui.Y_End, &QAction::triggered, this, &Omvex::Y_End_Click);
    connect(m_ui.Y_Kako, &QAction::triggered, this, &Omvex::Y_Kako_Click);
    connect(m_ui.Y_Shoki, &QAction::triggered, this, &Omvex::Y_Shoki_Click);
    connect(m_ui.Y_Setumei, &QAction::triggered, this, &Omvex::Y_Setumei_Click);
    connect(m_ui.Y_Ver, &QAction::triggered, this, &Omvex::Y_Ver_Click);
}

void Omvex::setKeyboardOrder()
{
    const std::array<QWidget *, 9> order{m_ui.vaSpread3[0], m_ui.vaSpread1[0], m_ui.vaSpread2,
                                         m_ui.vaSpread4,    m_ui.Command1[0], m_ui.Command1[1],
                                         m_ui.vaSpread3[1], m_ui.vaSpread1[1], m_ui.Command2};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
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

    for (std::size_t i = 1; i <= 6; ++i)
        m_ui.Label1[i]->clear();
    for (std::size_t i = 1; i <= 6; ++i)
        m_ui.Label2[i]->clear();

    resetTablesForStartUp(m_tables);

    m_ui.Command2->setEnabled(false);
    m_ui.Y_Kiri->setEnabled(false);
    m_ui.Label5[0]->hide();
    m_ui.Label5[1]->hide();

    LocateFiles();
    ReadSettings();
    LoadDrawHistory();
    refreshGrids();
}

void Omvex::LocateFiles()
{
    const FileLocations locations = locateFiles(m_programFolder);
    HelpFilePath = locations.HelpFilePath;
    m_app.IniFilePath = locations.IniFilePath;
    KakoFilePath = locations.KakoFilePath;
    NotepadPath = findTextEditor(m_editorSearchPath);
    if (NotepadPath.isEmpty())
        m_messages->show(kAppTitle, kEditorNotFoundMessage);
}

void Omvex::ReadSettings()
{
    m_app.settings = SettingsStore(m_app.IniFilePath).read();
}

void Omvex::LoadDrawHistory()
{
    // The history comes from the program folder, the same file "データ編集" opens, wherever the
    // program was started from.
    loadDrawHistory(KakoFilePath, m_tables.history);
}

void Omvex::RunPredictionSequence()
{
    const FlagScope running(m_isSequenceRunning);

    LoadDrawHistory();
    for (std::size_t i = 1; i <= 6; ++i)
        m_ui.Label1[i]->clear();
    for (std::size_t i = 1; i <= 6; ++i)
        m_ui.Label2[i]->clear();

    CurrentPass = 0;
    m_ui.Label5[0]->show();
    m_ui.Label5[1]->hide();
    PauseOneSecond();
    if (m_isQuitting)
        return;
    PredictPass();
    copyResultInto(m_ui.Label1);

    CurrentPass = 1;
    m_ui.Label5[0]->hide();
    m_ui.Label5[1]->show();
    PauseOneSecond();
    if (m_isQuitting)
        return;
    PredictPass();
    copyResultInto(m_ui.Label2);

    m_ui.Command2->setEnabled(true);
    m_ui.Y_Kiri->setEnabled(true);
}

void Omvex::copyResultInto(const std::array<QLabel *, 7> &labels)
{
    CellGrid &result = m_tables.result;
    result.setActiveRow(1);
    for (int column = 1; column <= kLineColumns; ++column) {
        result.setActiveColumn(column);
        labels[static_cast<std::size_t>(column)]->setText(QString::fromStdString(result.activeText()));
    }
}

void Omvex::PredictPass()
{
    predictPass(m_tables, CurrentPass, m_app.settings, clockSeed(), this);
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
    m_pauseLoop = &loop;
    for (qint64 left = m_pauseLength.count(); left > 0 && !m_isQuitting;
         left = m_pauseLength.count() - clock.elapsed()) {
        timer.start(static_cast<int>(left));
        loop.exec();
    }
    m_pauseLoop = nullptr;
}

void Omvex::SwitchPassView()
{
    for (std::size_t i = 0; i < 2; ++i) {
        m_tables.lines[i].setVisible(false);
        m_tables.scores[i].setVisible(false);
        m_ui.Label5[i]->hide();
    }
    const std::size_t shown = CurrentPass == 0 ? 1 : 0;
    m_tables.lines[shown].setVisible(true);
    m_tables.scores[shown].setVisible(true);
    m_ui.Label5[shown]->show();
    CurrentPass = static_cast<int>(shown);
}

template <typename Command>
void Omvex::runCommand(Command &&command)
{
    if (m_isQuitting)
        return;
    try {
        command();
    } catch (const std::exception &error) {
        m_messages->show(kAppTitle, QStringLiteral("予期しないエラーが発生したため、操作を中止しました。\n%1")
                                        .arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        m_messages->show(kAppTitle, QStringLiteral("予期しないエラーが発生したため、操作を中止しました。"));
    }
    refreshGrids();
}

// A second sequence inside a pause, or a switch of CurrentPass under a running sequence, would
// let the running sequence fill one pass's labels from a run made for the other pass's grids.
void Omvex::startSequence()
{
    if (m_isSequenceRunning)
        return;
    runCommand([this] { RunPredictionSequence(); });
}

void Omvex::switchView()
{
    if (m_isSequenceRunning)
        return;
    runCommand([this] { SwitchPassView(); });
}

void Omvex::quit()
{
    if (m_isQuitting)
        return;
    m_isQuitting = true;
    if (m_pauseLoop)
        m_pauseLoop->quit();
    close();
    m_endProgram();
}

void Omvex::Command1_Click(int index)
{
    if (index == 0)
        quit();
    else if (index == 1)
        startSequence();
}

void Omvex::Command2_Click()
{
    switchView();
}

void Omvex::Y_Start_Click()
{
    startSequence();
}

void Omvex::Y_Kiri_Click()
{
    switchView();
}

void Omvex::Y_End_Click()
{
    quit();
}

void Omvex::Y_Kako_Click()
{
    runCommand([this] {
        const EditorStartResult started = openHistoryInEditor(NotepadPath, KakoFilePath, *m_processes);
        if (!started.ok)
            m_messages->show(kAppTitle, started.error);
    });
}

void Omvex::Y_Shoki_Click()
{
    runCommand([this] {
        const SettingsStore store(m_app.IniFilePath);
        Shoki dialog(m_app.settings, store, *m_messages);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.exec();
    });
}

void Omvex::Y_Setumei_Click()
{
    runCommand([this] { m_help->open(HelpFilePath); });
}

void Omvex::Y_Ver_Click()
{
    runCommand([] {
        Verj dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.exec();
    });
}

void Omvex::closeEvent(QCloseEvent *event)
{
    // Closing through the frame ends the program as "終了" does, also in the middle of a pause.
    event->accept();
    quit();
}

void Omvex::refreshGrids()
{
    for (GridView *view : {m_ui.vaSpread1[0], m_ui.vaSpread1[1], m_ui.vaSpread2, m_ui.vaSpread3[0],
                           m_ui.vaSpread3[1], m_ui.vaSpread4})
        view->refresh();
}

void Omvex::setSwitchEnabled(bool enabled)
{
    m_ui.Command2->setEnabled(enabled);
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
