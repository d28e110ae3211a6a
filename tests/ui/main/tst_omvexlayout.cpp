#include "omvexharness.h"
#include "support/widgetchecks.h"
#include "ui/common/look.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

using omvex::test::OmvexHarness;
using omvex::test::writeFile;

class TestOmvexLayout : public QObject {
    Q_OBJECT

private slots:
    // The program's fonts, as its main() sets them up.
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }
    void grids_showTheirWidestValuesUncut_data();
    void grids_showTheirWidestValuesUncut();
    void keyboard_tabMovesBetweenControlsInDesignOrder_data();
    void keyboard_tabMovesBetweenControlsInDesignOrder();
    void keyboard_arrowsMoveInsideGrid();
    void keyboard_f10OpensTheMenuBarAndChangesNoCaption();
    void numberBoxes_showWholeNumberRightAligned_data();
    void numberBoxes_showWholeNumberRightAligned();
    void programStyle_drawsTheWindowAsThePlatformStyleDoes();
    void historyGrid_rowNumbersFitAfterTheHistoryLoads();
};

void TestOmvexLayout::grids_showTheirWidestValuesUncut_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<QString>("widest");
    QTest::addRow("lineGrid_twoDigitNumber") << QStringLiteral("vaSpread1(0)") << 0 << QStringLiteral("43");
    // Column 1 of the score grid holds numbers only, column 2 the points.
    QTest::addRow("scoreGrid_pointsOfLevel3WithHistory")
        << QStringLiteral("vaSpread3(0)") << 1 << QStringLiteral("999.5");
    QTest::addRow("historyGrid_twoDigitNumber") << QStringLiteral("vaSpread4") << 0 << QStringLiteral("43");
}

void TestOmvexLayout::grids_showTheirWidestValuesUncut()
{
    QFETCH(QString, grid);
    QFETCH(int, firstColumn);
    QFETCH(QString, widest);
    OmvexHarness harness;
    harness.start();
    QTableView *view = harness.control<QTableView>(grid);
    const QFontMetrics metrics(view->font());
    for (int column = firstColumn; column < view->model()->columnCount(); ++column)
        QVERIFY2(view->columnWidth(column) >= metrics.horizontalAdvance(widest) + 2,
                 qPrintable(QStringLiteral("column %1 is %2 px").arg(column + 1).arg(view->columnWidth(column))));
    // All columns fit beside the row numbers and the scroll bar: no sideways scrolling.
    int total = view->verticalHeader()->isVisible() ? view->verticalHeader()->width() : 0;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        total += view->columnWidth(column);
    QVERIFY2(total + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth() <= view->width(),
             qPrintable(QStringLiteral("%1 px of columns in %2 px").arg(total).arg(view->width())));
}

void TestOmvexLayout::keyboard_tabMovesBetweenControlsInDesignOrder_data()
{
    QTest::addColumn<bool>("switched");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("stops");
    // The design's order with the hidden grids (the other pass's pair, the result grid) left out.
    const QStringList secondPassShown{"vaSpread4",    "Command1(0)", "Command1(1)", "vaSpread3(1)",
                                      "vaSpread1(1)", "Command2",    "vaSpread4"};
    QStringList reversed = secondPassShown;
    std::reverse(reversed.begin(), reversed.end());
    QTest::addRow("secondPassShown_tab") << false << false << secondPassShown;
    QTest::addRow("secondPassShown_shiftTab") << false << true << reversed;
    QTest::addRow("firstPassShown_tab") << true << false
                                        << QStringList{"vaSpread3(0)", "vaSpread1(0)", "vaSpread4",   "Command1(0)",
                                                       "Command1(1)",  "Command2",     "vaSpread3(0)"};
}

// The grids hold rows here: a grid that took Tab for its cells would never let the focus go.
void TestOmvexLayout::keyboard_tabMovesBetweenControlsInDesignOrder()
{
    QFETCH(bool, switched);
    QFETCH(bool, backwards);
    QFETCH(QStringList, stops);
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 30)));
    harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    if (switched)
        QVERIFY(harness.trigger("Y_Kiri"));

    QCOMPARE(omvex::test::tabStops(*harness.window, stops.first(), int(stops.size()), backwards), stops);
}

void TestOmvexLayout::keyboard_f10OpensTheMenuBarAndChangesNoCaption()
{
    OmvexHarness harness;
    harness.start();
    harness.window->show();
    harness.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(harness.window.get()));
    const auto captions = [&harness] {
        QStringList texts;
        for (const QAction *menu : harness.window->menuBar()->actions())
            texts.append(menu->text());
        return texts;
    };
    const QStringList before = captions();
    QTest::keyClick(harness.window.get(), Qt::Key_F10);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("Y_Yoso"));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right); // on to the next menu
    QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("Y_Data"));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QCOMPARE(captions(), before);
}

void TestOmvexLayout::keyboard_arrowsMoveInsideGrid()
{
    OmvexHarness harness;
    harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    QTableView *lines = harness.grid("vaSpread1(1)");
    QCOMPARE(omvex::test::tabStops(*harness.window, QStringLiteral("vaSpread1(1)"), 1), QStringList{"vaSpread1(1)"});
    lines->setCurrentIndex(lines->model()->index(0, 0));

    QTest::keyClick(lines, Qt::Key_Down);
    QTest::keyClick(lines, Qt::Key_Right);

    QCOMPARE(lines->currentIndex(), lines->model()->index(1, 1));
    QCOMPARE(QApplication::focusWidget(), lines);
}

void TestOmvexLayout::numberBoxes_showWholeNumberRightAligned_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addRow("firstPass_twoDigits") << QStringLiteral("Label1(1)") << QStringLiteral("34");
    QTest::addRow("secondPass_sixthBox_widestDigits") << QStringLiteral("Label2(6)") << QStringLiteral("40");
    QTest::addRow("oneDigit") << QStringLiteral("Label1(6)") << QStringLiteral("8");
}

namespace {

// The first and last pixel column with blue ink on the light-yellow box, or {width, -1}.
std::pair<int, int> inkColumns(const QImage &image)
{
    std::pair<int, int> ink{image.width(), -1};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.blue() - pixel.red() > 30) {
                ink.first = std::min(ink.first, x);
                ink.second = std::max(ink.second, x);
            }
        }
    }
    return ink;
}

// How wide the text's ink is when nothing cuts it.
int freeInkWidth(const QString &text, const QFont &font, qreal scale)
{
    QImage image(QSize(200, 60) * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(0xFF, 0xFF, 0xC0));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(0x00, 0x00, 0xFF));
    painter.drawText(QPointF(20, 40), text);
    painter.end();
    const auto [first, last] = inkColumns(image);
    return last - first + 1;
}

} // namespace

// Looks at the pixels: the blue digits must lie whole inside the black border, with only a
// small margin on the right. Also run with QT_SCALE_FACTOR=2.
void TestOmvexLayout::numberBoxes_showWholeNumberRightAligned()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    OmvexHarness harness;
    harness.start();
    QLabel *label = harness.control<QLabel>(box);
    label->setText(text);
    const QImage image = label->grab().toImage();
    const qreal scale = image.devicePixelRatio();

    const auto [firstInk, lastInk] = inkColumns(image);
    const QRect inside = label->contentsRect();
    const int insideLeft = qRound(inside.left() * scale);
    const int insideRight = qRound((inside.right() + 1) * scale) - 1;
    const int wholeWidth = freeInkWidth(text, label->font(), scale);
    const QString where = QStringLiteral("ink %1..%2 (whole text %3 px) in %4..%5")
                              .arg(firstInk)
                              .arg(lastInk)
                              .arg(wholeWidth)
                              .arg(insideLeft)
                              .arg(insideRight);
    QVERIFY2(lastInk - firstInk + 1 >= wholeWidth - 1, qPrintable(where));
    QVERIFY2(firstInk > insideLeft && lastInk <= insideRight, qPrintable(where));
    // Right-aligned: at most two pixels of air before the right border.
    QVERIFY2(insideRight - lastInk <= qRound(2 * scale), qPrintable(where));
}

QTEST_MAIN(TestOmvexLayout)
// The program's style changes how the menu bar's overflow icon is read, nothing that shows.
void TestOmvexLayout::programStyle_drawsTheWindowAsThePlatformStyleDoes()
{
    OmvexHarness harness;
    QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 40)));
    harness.start();
    const QImage platform = harness.window->grab().toImage();
    QApplication::setStyle(omvex::ui::createProgramStyle());
    const QImage program = harness.window->grab().toImage();
    QCOMPARE(program.size(), platform.size());
    QVERIFY(program == platform);
}

// The history's row numbers are measured again when the rows come: the header made over no rows
// widens to the last draw's number.
void TestOmvexLayout::historyGrid_rowNumbersFitAfterTheHistoryLoads()
{
    OmvexHarness harness;
    QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 10000)));
    harness.start();
    QTableView *history = harness.grid("vaSpread4");
    QCOMPARE(history->model()->rowCount(), 10000);
    QHeaderView *rows = history->verticalHeader();
    const int needed = rows->fontMetrics().horizontalAdvance(QStringLiteral("10000"));
    QVERIFY2(rows->width() > needed, qPrintable(QStringLiteral("%1 px for %2 px of digits").arg(rows->width()).arg(needed)));
}

#include "tst_omvexlayout.moc"
