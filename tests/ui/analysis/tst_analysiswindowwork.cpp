// The analysis window as a working tool: what it allows when, the keyboard, its place, sorting.
#include "analysiswindowharness.h"

class AnalysisWindowWorkTest : public QObject {
    Q_OBJECT

private slots:
    void backtest_runNeedsTwoUsableDrawsAndSaysWhy_data();
    void backtest_runNeedsTwoUsableDrawsAndSaysWhy();
    void lastDraws_appliesOnEnterNotOnEachKeystroke();
    void frequency_headerClickSortsCountsAsNumbers();
    void keyboard_tabFollowsTheLayoutAndLeavesTablesInOnePress_data();
    void keyboard_tabFollowsTheLayoutAndLeavesTablesInOnePress();
    void place_clearOfTheMainWindowsControls_data();
    void place_clearOfTheMainWindowsControls();
    void place_rememberedWhenOnAScreen();
};

void AnalysisWindowWorkTest::backtest_runNeedsTwoUsableDrawsAndSaysWhy_data()
{
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<bool>("canRun");
    QTest::newRow("noDraws") << QByteArray() << false;
    QTest::newRow("oneDrawAndABadRow") << QByteArray("1,1,2,3,4,5,6,7\n2,1,2,3,4,5,5,7\n") << false;
    QTest::newRow("twoDraws") << QByteArray("1,1,2,3,4,5,6,7\n2,10,11,12,13,14,15,16\n") << true;
}

void AnalysisWindowWorkTest::backtest_runNeedsTwoUsableDrawsAndSaysWhy()
{
    QFETCH(QByteArray, history);
    QFETCH(bool, canRun);
    Harness h(history);
    h.open(Tab::Backtest);
    QCOMPARE(h.in<QPushButton>(Tab::Backtest, "run")->isEnabled(), canRun);
    auto *why = h.in<QLabel>(Tab::Backtest, "unusable");
    QCOMPARE(why->isVisible(), !canRun);
    if (!canRun)
        QVERIFY(why->text().contains(QStringLiteral("使える当せん数字が 2 回分以上要りますが")));
}

void AnalysisWindowWorkTest::lastDraws_appliesOnEnterNotOnEachKeystroke()
{
    Harness h(sharedHistory());
    h.open(Tab::Frequency);
    auto *last = h.in<QSpinBox>(Tab::Frequency, "last");
    last->setFocus();
    last->selectAll();
    QTest::keyClicks(last, QStringLiteral("100"));
    const auto *chart = h.in<omvex::ui::StatsChartView>(Tab::Frequency, "chart");
    QCOMPARE(chart->stats().draws, 2058); // still every draw while typing
    QTest::keyClick(last, Qt::Key_Return);
    QCOMPARE(chart->stats().draws, 100);
}

void AnalysisWindowWorkTest::frequency_headerClickSortsCountsAsNumbers()
{
    Harness h(sharedHistory());
    h.open(Tab::Frequency);
    using Column = omvex::ui::FrequencyTab::Column;
    // As text "9" would come first.
    h.in<QTableView>(Tab::Frequency, "numbers")->sortByColumn(Column::NumberColumn, Qt::DescendingOrder);
    QCOMPARE(h.text(Tab::Frequency, "numbers", 0, Column::NumberColumn), QStringLiteral("43"));
    QCOMPARE(h.text(Tab::Frequency, "numbers", 42, Column::NumberColumn), QStringLiteral("1"));
    // The counts travel with their numbers.
    const analysis::HistoryStats stats = libraryStats(h.kakoPath(), std::nullopt);
    QCOMPARE(h.text(Tab::Frequency, "numbers", 0, Column::MainColumn), QString::number(stats.numbers.back().main));
}

void AnalysisWindowWorkTest::keyboard_tabFollowsTheLayoutAndLeavesTablesInOnePress_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("frequency") << int(Tab::Frequency)
                               << QStringList{"last", "reload", "saveChart", "numbers", "qt_tabwidget_tabbar", "last"};
    // "中止" rests while nothing runs.
    QTest::newRow("backtest") << int(Tab::Backtest)
                              << QStringList{"level",  "pattern", "kako",  "last", "seed", "run",
                                             "reload", "tiers",   "qt_tabwidget_tabbar", "level"};
    QTest::newRow("ticket") << int(Tab::Ticket)
                            << QStringList{"lines",    "takeProposals", "reload", "draw", "perDraw",
                                           "allDraws", "tiers",         "qt_tabwidget_tabbar", "lines"};
    QTest::newRow("journal") << int(Tab::Journal)
                             << QStringList{"record", "reload", "entries", "tiers", "qt_tabwidget_tabbar", "record"};
}

void AnalysisWindowWorkTest::keyboard_tabFollowsTheLayoutAndLeavesTablesInOnePress()
{
    QFETCH(int, tab);
    QFETCH(QStringList, stops);
    Harness h("1,1,2,3,4,5,6,7\n2,10,11,12,13,14,15,16\n");
    h.proposals[0] = std::array<int, 6>{1, 2, 3, 4, 5, 6};
    h.open(Tab(tab));
    if (Tab(tab) == Tab::Ticket) // rows in both tables
        h.in<QPushButton>(Tab::Ticket, "takeProposals")->click();
    QCOMPARE(h.tabStops(Tab(tab), stops.first(), int(stops.size()), false), stops);
    QStringList backwards = stops;
    std::reverse(backwards.begin(), backwards.end());
    QCOMPARE(h.tabStops(Tab(tab), backwards.first(), int(backwards.size()), true), backwards);
}

void AnalysisWindowWorkTest::place_clearOfTheMainWindowsControls_data()
{
    QTest::addColumn<QRect>("keep");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("place");
    // The main window centred on 1280x1024, with its number boxes 250 px below its top.
    QTest::newRow("1280x1024_belowTheNumberBoxes_shrunk")
        << QRect(248, 212, 786, 250) << QRect(0, 0, 1280, 984) << QRect(248, 462, 1000, 522);
    QTest::newRow("wideScreen_besideWhereThereIsMoreRoom")
        << QRect(100, 200, 786, 250) << QRect(0, 0, 2560, 1040) << QRect(886, 200, 1000, 700);
    QTest::newRow("noRoom_theSmallestBelow") << QRect(0, 0, 800, 500) << QRect(0, 0, 800, 600) << QRect(0, 500, 640, 360);
    QTest::newRow("nothingToKeep_centred") << QRect() << QRect(0, 0, 1280, 1024) << QRect(140, 162, 1000, 700);
}

void AnalysisWindowWorkTest::place_clearOfTheMainWindowsControls()
{
    QFETCH(QRect, keep);
    QFETCH(QRect, available);
    QFETCH(QRect, place);
    QCOMPARE(omvex::ui::placeBeside(keep, available, QSize(1000, 700), QSize(640, 360)), place);
}

void AnalysisWindowWorkTest::place_rememberedWhenOnAScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Harness h("1,1,2,3,4,5,6,7\n");
    h.savedPlace = QRect(screen.right() + 500, 40, 700, 400); // on a screen no longer there
    h.open(Tab::Frequency);
    QVERIFY(h.window->frameGeometry().intersects(screen));
    const QRect moved(screen.left() + 30, screen.top() + 20, 720, 410);
    h.window->move(moved.topLeft());
    h.window->resize(moved.size());
    h.window->close();
    QCOMPARE(h.keptPlaces.size(), std::size_t{1});
    QCOMPARE(h.keptPlaces.back(), moved);

    Harness again("1,1,2,3,4,5,6,7\n");
    again.savedPlace = moved;
    again.open(Tab::Frequency);
    QCOMPARE(again.window->pos(), moved.topLeft());
    QCOMPARE(again.window->size(), moved.size());
}

QTEST_MAIN(AnalysisWindowWorkTest)
#include "tst_analysiswindowwork.moc"
