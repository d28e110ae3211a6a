#include "engine/tables.h"
#include "ui/main/gridview.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using omvex::CellGrid;
using omvex::NumberFormat;
using omvex::ui::GridModel;
using omvex::ui::GridView;

namespace {

// A score grid as the window has it: number column and points with one decimal place.
CellGrid makeScoreGrid(int rows)
{
    CellGrid grid(2, rows);
    grid.setColumnHeader(1, "数字");
    grid.setColumnFormat(1, NumberFormat::whole(1, 43));
    grid.setColumnFormat(2, NumberFormat::decimal(1, -999999, 999999));
    return grid;
}

void fillLines(CellGrid &grid, int rows)
{
    for (int row = 1; row <= rows; ++row) {
        grid.setRowCount(row);
        grid.bringIntoView(row);
        for (int column = 1; column <= 6; ++column)
            grid.setNumber(column, row, (row + column * 7) % 43 + 1);
    }
}

using GridChange = std::function<void(CellGrid &)>;

} // namespace

Q_DECLARE_METATYPE(GridChange)

class TestGridView : public QObject {
    Q_OBJECT

private slots:
    void model_staysConsistentThroughGridChanges();
    void model_announcesEachBurstOnce_data();
    void model_announcesEachBurstOnce();
    void model_reportsRowsOnlyAfterRefresh();
    void model_showsFormattedCellsAndHeaders_data();
    void model_showsFormattedCellsAndHeaders();
    void model_isReadOnly();
    void view_followsVisibilityAndScrollsRequestedRowIntoSight();
    void view_keepsColumnWidthsAcrossReset();
    void view_refusesTypingAndResizing();
};

// The tester is attached before any data arrives and checks every announcement the model makes.
void TestGridView::model_staysConsistentThroughGridChanges()
{
    CellGrid grid(6, 0);
    GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    fillLines(grid, 300);
    model.refresh();
    QCOMPARE(model.rowCount(), 300);
    grid.sortRows(1, CellGrid::SortOrder::Descending);
    model.refresh();
    grid.setActiveColumn(CellGrid::kAll);
    grid.setActiveRow(CellGrid::kAll);
    grid.clear();
    model.refresh();
    QCOMPARE(model.rowCount(), 300);
    QVERIFY(model.index(0, 0).data().toString().isEmpty());
    grid.setRowCount(4);
    model.refresh();
    grid.setRowCount(0);
    model.refresh();
    QCOMPARE(model.rowCount(), 0);
    grid.setColumnHeader(7 - 1, "x");
    model.refresh();
    QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("x"));
}

void TestGridView::model_announcesEachBurstOnce_data()
{
    QTest::addColumn<GridChange>("change");
    QTest::addColumn<int>("resets");
    QTest::addColumn<int>("dataChanges");
    QTest::addRow("growTo2400Lines_oneReset") << GridChange([](CellGrid &grid) { fillLines(grid, 2400); }) << 1 << 0;
    QTest::addRow("rewriteAllCellsKeepingRows_oneDataChange") << GridChange([](CellGrid &grid) {
        grid.setRowCount(43);
        for (int round = 0; round < 100; ++round)
            for (int row = 1; row <= 43; ++row)
                grid.setNumber(2, row, round);
    }) << 0 << 1;
    QTest::addRow("sortAndHide_oneDataChange") << GridChange([](CellGrid &grid) {
        grid.setRowCount(43);
        grid.sortRows(2, CellGrid::SortOrder::Descending);
        grid.setVisible(false);
    }) << 0 << 1;
    QTest::addRow("shrinkToZero_oneReset") << GridChange([](CellGrid &grid) { grid.setRowCount(0); }) << 1 << 0;
    QTest::addRow("readsOnly_nothing") << GridChange([](CellGrid &grid) {
        (void)grid.text(1, 1);
        grid.setActiveRow(3);
    }) << 0 << 0;
}

void TestGridView::model_announcesEachBurstOnce()
{
    QFETCH(GridChange, change);
    QFETCH(int, resets);
    QFETCH(int, dataChanges);
    CellGrid grid = makeScoreGrid(43);
    GridModel model(grid);
    QSignalSpy resetSpy(&model, &QAbstractItemModel::modelReset);
    QSignalSpy dataSpy(&model, &QAbstractItemModel::dataChanged);

    change(grid);
    QCOMPARE(resetSpy.count() + dataSpy.count(), 0); // nothing until the event loop turns
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(resetSpy.count(), resets);
    QCOMPARE(dataSpy.count(), dataChanges);

    // The burst is over: the next change starts a new one.
    grid.setNumber(1, 1, 5);
    QCoreApplication::processEvents();
    QCOMPARE(resetSpy.count() + dataSpy.count(), resets + dataChanges + (grid.rowCount() > 0 ? 1 : 0));
}

void TestGridView::model_reportsRowsOnlyAfterRefresh()
{
    CellGrid grid(6, 0);
    GridModel model(grid);
    grid.setRowCount(5);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.isRefreshPending());
    model.refresh();
    QCOMPARE(model.rowCount(), 5);
    QVERIFY(!model.isRefreshPending());
    // A shrink not yet announced: cells beyond the live grid read empty instead of failing.
    grid.setNumber(1, 5, 9);
    grid.setRowCount(2);
    QCOMPARE(model.rowCount(), 5);
    QVERIFY(model.index(4, 0).data().toString().isEmpty());
}

void TestGridView::model_showsFormattedCellsAndHeaders_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addRow("points_oneDecimal") << 2 << 12.0 << QStringLiteral("12.0");
    QTest::addRow("points_halfKept") << 2 << 7.5 << QStringLiteral("7.5");
    QTest::addRow("number_wholeNumber") << 1 << 43.0 << QStringLiteral("43");
}

void TestGridView::model_showsFormattedCellsAndHeaders()
{
    QFETCH(int, column);
    QFETCH(double, value);
    QFETCH(QString, shown);
    CellGrid grid = makeScoreGrid(43);
    GridModel model(grid);
    QVERIFY(grid.setNumber(column, 3, value));
    model.refresh();
    QCOMPARE(model.index(2, column - 1).data().toString(), shown);
    QCOMPARE(model.index(2, column - 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
             Qt::AlignRight);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("数字"));
    // Without a header text the column and row headers show their numbers, counted from 1.
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("2"));
    QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
}

void TestGridView::model_isReadOnly()
{
    CellGrid grid = makeScoreGrid(2);
    grid.setNumber(1, 1, 4);
    GridModel model(grid);
    const QModelIndex cell = model.index(0, 0);
    QVERIFY(!(model.flags(cell) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(cell, 9));
    QCOMPARE(grid.text(1, 1), std::string("4"));
}

void TestGridView::view_followsVisibilityAndScrollsRequestedRowIntoSight()
{
    QWidget window;
    window.resize(300, 400);
    CellGrid grid(6, 0);
    GridView view(grid, {5.62, {2.87, 2.88, 2.87, 2.87, 2.87, 2.75}}, &window);
    view.setGeometry(0, 0, 205, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    fillLines(grid, 2400);
    QCoreApplication::processEvents();
    QCOMPARE(view.model()->rowCount(), 2400);
    // The newest line stands at the bottom of the visible area.
    QCOMPARE(view.rowAt(view.viewport()->height() - 2), 2399);

    grid.setVisible(false);
    QCoreApplication::processEvents();
    QVERIFY(view.isHidden());
    grid.setVisible(true);
    grid.bringIntoView(1);
    view.refresh();
    QVERIFY(!view.isHidden());
    QCOMPARE(view.rowAt(view.viewport()->height() - 2) < 100, true);

    // A change elsewhere in the grid leaves a scroll made by the user alone.
    view.scrollToBottom();
    const int scrolled = view.verticalScrollBar()->value();
    grid.setNumber(1, 5, 1);
    view.refresh();
    QCOMPARE(view.verticalScrollBar()->value(), scrolled);
}

void TestGridView::view_keepsColumnWidthsAcrossReset()
{
    CellGrid grid(2, 0);
    GridView view(grid, {3.12, {4, 5.37}});
    const int before = view.columnWidth(1);
    QVERIFY(before > view.columnWidth(0));
    grid.setRowCount(43);
    view.refresh();
    QCOMPARE(view.columnWidth(1), before);
    QVERIFY(!view.verticalHeader()->isHidden());

    CellGrid result(6, 1);
    GridView hiddenHeaders(result, {0, {3, 3, 3, 3, 3, 3}});
    QVERIFY(hiddenHeaders.verticalHeader()->isHidden());
}

void TestGridView::view_refusesTypingAndResizing()
{
    CellGrid grid(6, 3);
    grid.setNumber(1, 1, 12);
    GridView view(grid, {5.62, {2.87, 2.88, 2.87, 2.87, 2.87, 2.75}});
    view.resize(205, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(view.model()->index(0, 0));
    QTest::keyClicks(view.viewport(), QStringLiteral("7"));
    QTest::keyClick(view.viewport(), Qt::Key_F2);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(0, 0)).center());
    QVERIFY(view.viewport()->findChildren<QLineEdit *>().isEmpty());
    QVERIFY(view.viewport()->findChildren<QAbstractSpinBox *>().isEmpty());
    QCOMPARE(grid.text(1, 1), std::string("12"));
    QCOMPARE(view.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(!view.horizontalHeader()->sectionsMovable());
}

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
