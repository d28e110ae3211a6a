#include "omvexharness.h"
#include "support/widgetchecks.h"
#include "ui/common/look.h"

#include "ui/main/windowplacement.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>

using omvex::test::OmvexHarness;
using omvex::test::isEmptyRow;
using omvex::test::writeFile;

class TestOmvexWindow : public QObject {
    Q_OBJECT

private slots:
    // The program's fonts, as its main() sets them up.
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }
    void mainWindowPlacement_centresWithFixedHeight_data();
    void mainWindowPlacement_centresWithFixedHeight();
    void startUp_leavesCommandsLabelsAndGridsEmpty();
    void startUp_loadsHistoryOfProgramFolder_data();
    void startUp_loadsHistoryOfProgramFolder();
    void startUp_reportsMissingEditorOnce_data();
    void startUp_reportsMissingEditorOnce();
    void startUp_readsSettingsFile();
    void grids_showTheirWidestValuesUncut_data();
    void grids_showTheirWidestValuesUncut();
    void keyboard_tabMovesBetweenControlsInDesignOrder_data();
    void keyboard_tabMovesBetweenControlsInDesignOrder();
    void keyboard_arrowsMoveInsideGrid();
    void numberBoxes_showWholeNumberRightAligned_data();
    void numberBoxes_showWholeNumberRightAligned();
    void buttons_triggerTheirCommands_data();
    void buttons_triggerTheirCommands();
    void dataEdit_startsEditorOnHistoryFile_data();
    void dataEdit_startsEditorOnHistoryFile();
    void explanation_opensHelpFileOfProgramFolder();
    void dialogs_openModalWithoutOwner_data();
    void dialogs_openModalWithoutOwner();
};

void TestOmvexWindow::mainWindowPlacement_centresWithFixedHeight_data()
{
    QTest::addColumn<double>("screenWidth");
    QTest::addColumn<double>("screenHeight");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addRow("screen15360x11520") << 15360.0 << 11520.0 << 1795.0 << 1260.0;
    QTest::addRow("screenLowerThan9000_topAboveScreen") << 15360.0 << 7200.0 << 1795.0 << -900.0;
}

void TestOmvexWindow::mainWindowPlacement_centresWithFixedHeight()
{
    QFETCH(double, screenWidth);
    QFETCH(double, screenHeight);
    QFETCH(double, left);
    QFETCH(double, top);
    const auto placement = omvex::ui::mainWindowPlacement(screenWidth, screenHeight);
    QCOMPARE(placement.left, left);
    QCOMPARE(placement.top, top);
}

void TestOmvexWindow::startUp_leavesCommandsLabelsAndGridsEmpty()
{
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 5)));
    omvex::ui::Omvex &window = harness.start();

    QCOMPARE(window.windowTitle(), QStringLiteral("Omvex予想"));
    QVERIFY(isEmptyRow(harness.numbers(0)));
    QVERIFY(isEmptyRow(harness.numbers(1)));
    QCOMPARE(harness.shownArrow(), -1);
    QVERIFY(!harness.button("Command2")->isEnabled());
    QVERIFY(!harness.action("Y_Kiri")->isEnabled());
    QVERIFY(harness.button("Command1(1)")->isEnabled());
    QVERIFY(harness.button("Command1(0)")->isEnabled());
    for (const char *name : {"Y_Start", "Y_End", "Y_Kako", "Y_Shoki", "Y_Setumei", "Y_Ver"})
        QVERIFY2(harness.action(name)->isEnabled(), name);
    QCOMPARE(window.currentPass(), 0);

    for (const char *name : {"vaSpread1(0)", "vaSpread1(1)", "vaSpread3(0)", "vaSpread3(1)"})
        QCOMPARE(harness.grid(name)->model()->rowCount(), 0);
    for (const char *name : {"vaSpread3(0)", "vaSpread3(1)"}) {
        QCOMPARE(harness.grid(name)->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("数字"));
        QCOMPARE(harness.grid(name)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("ﾎﾟｲﾝﾄ"));
    }
    // The result grid keeps its one row, emptied, and is never shown.
    QTableView *result = harness.grid("vaSpread2");
    QCOMPARE(result->model()->rowCount(), 1);
    for (int column = 0; column < 6; ++column)
        QVERIFY(result->model()->index(0, column).data().toString().isEmpty());
    QVERIFY(!result->isVisible());
    // Before any run one line grid and one score grid stand, each pair on one place.
    QCOMPARE(harness.grid("vaSpread1(0)")->geometry(), harness.grid("vaSpread1(1)")->geometry());
    QCOMPARE(harness.grid("vaSpread3(0)")->geometry(), harness.grid("vaSpread3(1)")->geometry());
    QVERIFY(harness.grid("vaSpread1(1)")->isVisible());
    QVERIFY(harness.grid("vaSpread3(1)")->isVisible());
    QVERIFY(harness.grid("vaSpread4")->isVisible());
    QCOMPARE(harness.grid("vaSpread4")->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("ボ"));
}

void TestOmvexWindow::startUp_loadsHistoryOfProgramFolder_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("writeFile");
    QTest::addColumn<int>("rows");
    QTest::addRow("noFile_noRows") << QByteArray() << false << 0;
    QTest::addRow("draws1to12_twelveRows") << omvex::test::historyRecords(1, 12) << true << 12;
    QTest::addRow("endRecordFirst_noRows")
        << QByteArray("0,1,2,3,4,5,6,7\n") + omvex::test::historyRecords(1, 3) << true << 0;
    QTest::addRow("skippedDraws_rowsUpToLastDraw")
        << omvex::test::historyRecords(1, 2) + omvex::test::historyRecords(5, 5) << true << 5;
}

void TestOmvexWindow::startUp_loadsHistoryOfProgramFolder()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, writeFile);
    QFETCH(int, rows);
    OmvexHarness harness;
    if (writeFile)
        QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), content));
    // A "kako.txt" in the working directory is not the history the editor opens and must not count.
    const QString workingFolder = harness.folder.besidePath(QStringLiteral("elsewhere"));
    QVERIFY(omvex::test::writeFile(workingFolder + QStringLiteral("/kako.txt"), omvex::test::historyRecords(1, 30)));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingFolder);
    harness.start();
    QDir::setCurrent(previous);

    QCOMPARE(harness.window->tables().history.rowCount(), rows);
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), rows);
    QCOMPARE(harness.window->kakoFilePath(), harness.folder.kakoPath());
}

void TestOmvexWindow::startUp_reportsMissingEditorOnce_data()
{
    QTest::addColumn<bool>("withEditor");
    QTest::addColumn<int>("messages");
    QTest::addRow("editorOnSearchPath_silent") << true << 0;
    QTest::addRow("noEditor_oneErrorMessage") << false << 1;
}

void TestOmvexWindow::startUp_reportsMissingEditorOnce()
{
    QFETCH(bool, withEditor);
    QFETCH(int, messages);
    OmvexHarness harness;
    harness.withEditor = withEditor;
    QVERIFY(writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 3)));
    harness.start();

    QCOMPARE(harness.messages.shown.size(), messages);
    if (messages > 0) {
        QCOMPARE(harness.messages.shown.front().title, QStringLiteral("Omvex予想"));
        // The design's "エラー", then one line on what is missing, what does not work, and the remedy.
        const QStringList lines = harness.messages.shown.front().text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("エラー"));
        for (const QString &part : {QStringLiteral("テキストエディタが見つかりません"),
                                    QStringLiteral("「データ編集」"), QStringLiteral("xdg-utils")})
            QVERIFY2(lines[1].contains(part), qPrintable(lines[1]));
    }
    QCOMPARE(harness.window->notepadPath().isEmpty(), !withEditor);
    // Start-up goes on after the message: the history is loaded all the same.
    QCOMPARE(harness.window->tables().history.rowCount(), 3);
}

void TestOmvexWindow::startUp_readsSettingsFile()
{
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.iniPath(), "[OmvexINI]\nLevel=2\nPattern=1\nKako=3\n"));
    harness.start();
    QCOMPARE(harness.state.IniFilePath, harness.folder.iniPath());
    QCOMPARE(harness.state.settings, (omvex::Settings{omvex::Level::Take, omvex::Pattern::All, omvex::Kako::None}));
    QCOMPARE(harness.window->helpFilePath(), harness.folder.helpPath());
}

void TestOmvexWindow::grids_showTheirWidestValuesUncut_data()
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

void TestOmvexWindow::grids_showTheirWidestValuesUncut()
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

void TestOmvexWindow::keyboard_tabMovesBetweenControlsInDesignOrder_data()
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
void TestOmvexWindow::keyboard_tabMovesBetweenControlsInDesignOrder()
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

void TestOmvexWindow::keyboard_arrowsMoveInsideGrid()
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

void TestOmvexWindow::numberBoxes_showWholeNumberRightAligned_data()
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
void TestOmvexWindow::numberBoxes_showWholeNumberRightAligned()
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

void TestOmvexWindow::buttons_triggerTheirCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("action");
    QTest::addRow("start") << QStringLiteral("Command1(1)") << QStringLiteral("Y_Start");
    QTest::addRow("switch") << QStringLiteral("Command2") << QStringLiteral("Y_Kiri");
    QTest::addRow("quit") << QStringLiteral("Command1(0)") << QStringLiteral("Y_End");
}

void TestOmvexWindow::buttons_triggerTheirCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, action);
    OmvexHarness harness;
    harness.start();
    // After a sequence every button is enabled.
    QVERIFY(harness.trigger("Y_Start"));
    QVERIFY(harness.button("Command2")->isEnabled());
    QSignalSpy triggered(harness.control<QAction>(action), &QAction::triggered);
    QVERIFY(triggered.isValid());

    QTest::mouseClick(harness.control<QPushButton>(button), Qt::LeftButton);

    QCOMPARE(triggered.count(), 1);
    QCOMPARE(harness.control<QPushButton>(button)->text(), harness.control<QAction>(action)->text());
}

void TestOmvexWindow::dataEdit_startsEditorOnHistoryFile_data()
{
    QTest::addColumn<bool>("withEditor");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("message");
    QTest::addRow("editorStarts_noMessage") << true << QString() << 1 << QString();
    QTest::addRow("editorFailsToStart_namesEditorAndReason")
        << true << QStringLiteral("no such program") << 1 << QStringLiteral("起動できませんでした");
    QTest::addRow("noEditorFound_saysSoWithoutStarting") << false << QString() << 0 << QStringLiteral("見つかりません");
}

void TestOmvexWindow::dataEdit_startsEditorOnHistoryFile()
{
    QFETCH(bool, withEditor);
    QFETCH(QString, failure);
    QFETCH(int, starts);
    QFETCH(QString, message);
    OmvexHarness harness;
    harness.withEditor = withEditor;
    harness.processes.failure = failure;
    omvex::ui::Omvex &window = harness.start();
    const auto startUpMessages = harness.messages.shown.size();
    QVERIFY(harness.trigger("Y_Kako"));

    QCOMPARE(harness.processes.started.size(), starts);
    if (starts > 0) {
        QCOMPARE(harness.processes.started.front().program, window.notepadPath());
        QCOMPARE(harness.processes.started.front().arguments, QStringList{harness.folder.kakoPath()});
    }
    const auto shown = harness.messages.shown.mid(startUpMessages);
    QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QVERIFY2(shown.front().text.contains(message), qPrintable(shown.front().text));
        QVERIFY2(shown.front().text.contains(failure), qPrintable(shown.front().text));
    }
    QVERIFY(window.isVisible());
}

void TestOmvexWindow::explanation_opensHelpFileOfProgramFolder()
{
    OmvexHarness harness;
    harness.start();
    QVERIFY(harness.trigger("Y_Setumei"));
    QCOMPARE(harness.help.opened, QStringList{harness.folder.helpPath()});
}

void TestOmvexWindow::dialogs_openModalWithoutOwner_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("className");
    QTest::addRow("initialSettings") << QStringLiteral("Y_Shoki") << QStringLiteral("omvex::ui::Shoki");
    QTest::addRow("versionInformation") << QStringLiteral("Y_Ver") << QStringLiteral("omvex::ui::Verj");
}

void TestOmvexWindow::dialogs_openModalWithoutOwner()
{
    QFETCH(QString, action);
    QFETCH(QString, className);
    OmvexHarness harness;
    harness.start();
    QString seenClass;
    Qt::WindowModality modality = Qt::NonModal;
    bool hasParent = true;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        seenClass = QString::fromLatin1(dialog->metaObject()->className());
        modality = dialog->windowModality();
        hasParent = dialog->parentWidget() != nullptr;
        dialog->close();
    });
    harness.control<QAction>(action)->trigger();

    QCOMPARE(seenClass, className);
    QCOMPARE(modality, Qt::ApplicationModal);
    QVERIFY(!hasParent);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(harness.messages.shown.empty());
}

QTEST_MAIN(TestOmvexWindow)
#include "tst_omvexwindow.moc"
