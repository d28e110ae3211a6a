#pragma once

// The main window as designed: every control at its place with its caption, colours and font,
// the keyboard order, and the menu tree. Nothing here reacts to anything; the window's behaviour
// lives in omvex.cpp.

#include "engine/game.h"
#include "engine/tables.h"

#include <array>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QObject;
class QPushButton;
class QWidget;

namespace omvex::ui {

class GridView;

// The controls of the client area by what they do. Each carries its design name as its
// objectName ("Command1(1)", "Label2(6)", "vaSpread3(0)"), with the design's indexes.
struct OmvexWidgets {
    QPushButton *startButton = nullptr;     // Command1(1) 予想開始
    QPushButton *quitButton = nullptr;      // Command1(0) 終了
    QPushButton *switchButton = nullptr;    // Command2 切換
    QLabel *title = nullptr;                // Label3
    std::array<QLabel *, 2> passCaptions{}; // Label4(pass)
    std::array<QLabel *, 2> passArrows{};   // Label5(pass)
    // Label1(1..6) for the first pass, Label2(1..6) for the second.
    std::array<std::array<QLabel *, kPicks>, 2> numberLabels{};
    std::array<GridView *, 2> lineGrids{};  // vaSpread1(pass)
    std::array<GridView *, 2> scoreGrids{}; // vaSpread3(pass)
    GridView *resultGrid = nullptr;         // vaSpread2
    GridView *historyGrid = nullptr;        // vaSpread4
};

// Gives the client area its designed size and builds every control on it, in the design's
// stacking order and keyboard order. The grid views show the given tables.
OmvexWidgets createOmvexWidgets(QWidget &client, PredictionTables &tables);

// One action per command, captioned and named (objectName) as the design's menu items.
struct OmvexActions {
    QAction *start = nullptr;       // Y_Start 予想開始
    QAction *switchView = nullptr;  // Y_Kiri 切換
    QAction *quit = nullptr;        // Y_End 終了
    QAction *editHistory = nullptr; // Y_Kako データ編集
    QAction *settings = nullptr;    // Y_Shoki 初期設定
    QAction *help = nullptr;        // Y_Setumei 説明
    QAction *version = nullptr;     // Y_Ver バージョン情報
    // Beyond the design: importing published results and the analysis window's tabs.
    QAction *importResults = nullptr; // Y_Torikomi 取込...
    QAction *frequency = nullptr;     // Y_Shutugen 出現回数...
    QAction *backtest = nullptr;      // Y_Kensho 検証...
    QAction *ticket = nullptr;        // Y_Kakunin 当せん確認...
    QAction *patterns = nullptr;      // Y_Keiko 傾向...
};

OmvexActions createOmvexActions(QObject &owner);

// The four menus of the bar, in the design's order, with "分析" between "設定" and "ヘルプ".
struct OmvexMenus {
    QMenu *prediction = nullptr; // Y_Yoso 予想
    QMenu *data = nullptr;       // Y_Data 過去データ
    QMenu *settings = nullptr;   // Y_Setei 設定
    QMenu *analysis = nullptr;   // Y_Bunseki 分析
    QMenu *help = nullptr;       // Y_Hlp ヘルプ
};

OmvexMenus createOmvexMenus(QMenuBar &bar, const OmvexActions &actions);

} // namespace omvex::ui
