#include "ui/main/omvexlayout.h"

#include "ui/common/look.h"
#include "ui/main/gridview.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>

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
constexpr std::array<int, kPicks> kNumberLefts{3720, 4440, 5160, 5880, 6600, 7305};
constexpr std::array<int, 2> kNumberTops{1920, 2520};
constexpr int kNumberSize = 375;

// The sunken edge just inside the client area: grey along the top and the left, white along
// the right and the bottom.
struct EdgeLine {
    const char *name;
    int x1;
    int y1;
    int x2;
    int y2;
    QRgb colour;
};
constexpr std::array<EdgeLine, 4> kEdge{{{"Line1(0)", 0, 7800, 11640, 7800, 0xFFFFFF},
                                         {"Line3(1)", 0, 0, 11640, 0, 0x808080},
                                         {"Line3(2)", 11640, 0, 11640, 7800, 0xFFFFFF},
                                         {"Line3(3)", 0, 0, 0, 7800, 0x808080}}};

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

constexpr double kButtonPointSize = 12;
constexpr double kLabelPointSize = 12;
constexpr double kTitlePointSize = 18;
constexpr double kMenuPointSize = 9;

const QString kNumberLabelStyle =
    QStringLiteral("QLabel { color: #0000FF; background-color: #FFFFC0; border: 1px solid #000000; }");
const QString kArrowStyle = QStringLiteral("QLabel { color: #FF0000; background: transparent; }");
const QString kPassCaptionStyle = QStringLiteral("QLabel { background: transparent; }");

QString indexed(const char *name, std::size_t index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void placeWidget(QWidget *widget, const Place &place)
{
    widget->setGeometry(twipsRect(place.left, place.top, place.width, place.height));
}

QWidget *makeLine(QWidget &parent, const EdgeLine &line)
{
    auto *widget = new QWidget(&parent);
    widget->setObjectName(QLatin1String(line.name));
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

QLabel *makeLabel(QWidget &parent, const QString &name, const QString &text, const QString &style, double pointSize,
                  Qt::Alignment alignment, const Place &place)
{
    auto *label = new QLabel(text, &parent);
    label->setObjectName(name);
    label->setFont(designFont(pointSize, true));
    label->setStyleSheet(style);
    label->setAlignment(alignment | Qt::AlignVCenter);
    placeWidget(label, place);
    return label;
}

QPushButton *makeButton(QWidget &parent, const QString &name, const QString &caption, const Place &place)
{
    auto *button = new QPushButton(caption, &parent);
    button->setObjectName(name);
    button->setFont(designFont(kButtonPointSize, true));
    button->setAutoDefault(false);
    placeWidget(button, place);
    return button;
}

GridView *makeGrid(QWidget &parent, const QString &name, CellGrid &grid, const GridColumnWidths &widths,
                   const Place &place)
{
    auto *view = new GridView(grid, widths, &parent);
    view->setObjectName(name);
    placeWidget(view, place);
    return view;
}

QAction *makeAction(QObject &owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, &owner);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu *makeMenu(QMenuBar &bar, const char *name, const QString &caption)
{
    QMenu *menu = bar.addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->setFont(designFont(kMenuPointSize));
    return menu;
}

void setKeyboardOrder(const OmvexWidgets &w)
{
    const std::array<QWidget *, 9> order{w.scoreGrids[0], w.lineGrids[0],  w.resultGrid,   w.historyGrid, w.quitButton,
                                         w.startButton,   w.scoreGrids[1], w.lineGrids[1], w.switchButton};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

OmvexWidgets createOmvexWidgets(QWidget &client, PredictionTables &tables)
{
    client.setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    OmvexWidgets w;

    // Lines first: they are drawn on the client area, beneath every control.
    for (const EdgeLine &line : kEdge)
        makeLine(client, line);

    // The grids in the order of the design, so the second element of each pair lies on top.
    w.scoreGrids[0] = makeGrid(client, indexed("vaSpread3", 0), tables.scores[0], kScoreGridWidths, kScoreGridPlace);
    w.lineGrids[0] = makeGrid(client, indexed("vaSpread1", 0), tables.lines[0], kLineGridWidths, kLineGridPlace);
    w.resultGrid = makeGrid(client, QStringLiteral("vaSpread2"), tables.result, kResultGridWidths, kResultGridPlace);
    w.historyGrid =
        makeGrid(client, QStringLiteral("vaSpread4"), tables.history, kHistoryGridWidths, kHistoryGridPlace);
    w.scoreGrids[1] = makeGrid(client, indexed("vaSpread3", 1), tables.scores[1], kScoreGridWidths, kScoreGridPlace);
    w.lineGrids[1] = makeGrid(client, indexed("vaSpread1", 1), tables.lines[1], kLineGridWidths, kLineGridPlace);

    w.switchButton = makeButton(client, QStringLiteral("Command2"), kSwitchCaption, kSwitchPlace);
    w.startButton = makeButton(client, indexed("Command1", 1), kStartCaption, kStartPlace);
    w.quitButton = makeButton(client, indexed("Command1", 0), kQuitCaption, kQuitPlace);

    for (std::size_t pass = 0; pass < 2; ++pass) {
        w.passArrows[pass] = makeLabel(client, indexed("Label5", pass), kArrowCaption, kArrowStyle, kLabelPointSize,
                                       Qt::AlignRight, kArrowPlaces[pass]);
        w.passCaptions[pass] = makeLabel(client, indexed("Label4", pass), kPassCaptions[pass], kPassCaptionStyle,
                                         kLabelPointSize, Qt::AlignRight, kPassCaptionPlaces[pass]);
    }
    for (std::size_t pass = 0; pass < 2; ++pass) {
        const char *name = pass == 0 ? "Label1" : "Label2";
        for (std::size_t i = 0; i < kPicks; ++i) {
            QLabel *number =
                makeLabel(client, indexed(name, i + 1), QLatin1String(name), kNumberLabelStyle, kLabelPointSize,
                          Qt::AlignRight, {kNumberLefts[i], kNumberTops[pass], kNumberSize, kNumberSize});
            // A bordered label indents its text by half an "x" on the aligned side, which cuts a
            // two-digit number on the left in a box this narrow.
            number->setIndent(0);
            w.numberLabels[pass][i] = number;
        }
    }
    w.title = makeLabel(client, QStringLiteral("Label3"), kTitleCaption, titleBoxStyle(), kTitlePointSize,
                        Qt::AlignHCenter, kTitlePlace);

    setKeyboardOrder(w);
    return w;
}

OmvexActions createOmvexActions(QObject &owner)
{
    OmvexActions a;
    a.start = makeAction(owner, "Y_Start", kStartCaption);
    a.switchView = makeAction(owner, "Y_Kiri", kSwitchCaption);
    a.quit = makeAction(owner, "Y_End", kQuitCaption);
    a.editHistory = makeAction(owner, "Y_Kako", QStringLiteral("データ編集"));
    a.settings = makeAction(owner, "Y_Shoki", QStringLiteral("初期設定"));
    a.help = makeAction(owner, "Y_Setumei", QStringLiteral("説明"));
    a.version = makeAction(owner, "Y_Ver", QStringLiteral("バージョン情報"));
    a.importResults = makeAction(owner, "Y_Torikomi", QStringLiteral("取込..."));
    a.frequency = makeAction(owner, "Y_Shutugen", QStringLiteral("出現回数..."));
    a.backtest = makeAction(owner, "Y_Kensho", QStringLiteral("検証..."));
    a.ticket = makeAction(owner, "Y_Kakunin", QStringLiteral("当せん確認..."));
    a.patterns = makeAction(owner, "Y_Keiko", QStringLiteral("傾向..."));
    return a;
}

OmvexMenus createOmvexMenus(QMenuBar &bar, const OmvexActions &actions)
{
    bar.setFont(designFont(kMenuPointSize));
    OmvexMenus m;
    m.prediction = makeMenu(bar, "Y_Yoso", QStringLiteral("予想"));
    m.prediction->addAction(actions.start);
    m.prediction->addAction(actions.switchView);
    m.prediction->addSeparator()->setObjectName(QStringLiteral("Y_No1"));
    m.prediction->addAction(actions.quit);
    m.data = makeMenu(bar, "Y_Data", QStringLiteral("過去データ"));
    m.data->addAction(actions.editHistory);
    m.data->addAction(actions.importResults);
    m.settings = makeMenu(bar, "Y_Setei", QStringLiteral("設定"));
    m.settings->addAction(actions.settings);
    m.analysis = makeMenu(bar, "Y_Bunseki", QStringLiteral("分析"));
    m.analysis->addActions({actions.frequency, actions.backtest, actions.ticket, actions.patterns});
    m.help = makeMenu(bar, "Y_Hlp", QStringLiteral("ヘルプ"));
    m.help->addAction(actions.help);
    m.help->addAction(actions.version);
    return m;
}

} // namespace omvex::ui
