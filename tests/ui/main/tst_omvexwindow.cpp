#include "omvexharness.h"

#include "import/kakopreload.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using omvex::test::OmvexHarness;
using omvex::test::isEmptyRow;
using omvex::test::writeFile;

class TestOmvexWindow : public QObject {
    Q_OBJECT

private slots:
    void startUp_leavesCommandsLabelsAndGridsEmpty();
    void startUp_loadsHistoryOfProgramFolder_data();
    void startUp_loadsHistoryOfProgramFolder();
    void startUp_reportsMissingEditorOnce_data();
    void startUp_reportsMissingEditorOnce();
    void startUp_readsSettingsFile();
    void buttons_triggerTheirCommands_data();
    void buttons_triggerTheirCommands();
    void dataEdit_startsEditorOnHistoryFile_data();
    void dataEdit_startsEditorOnHistoryFile();
    void explanation_opensHelpFileOfProgramFolder();
    void dialogs_openModalWithoutOwner_data();
    void dialogs_openModalWithoutOwner();
};

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
    QTest::addColumn<bool>("preloaded"); // read on a thread of its own as the program starts, as main() does
    QTest::addRow("noFile_noRows") << QByteArray() << false << 0 << false;
    QTest::addRow("draws1to12_twelveRows") << omvex::test::historyRecords(1, 12) << true << 12 << false;
    QTest::addRow("endRecordFirst_noRows")
        << QByteArray("0,1,2,3,4,5,6,7\n") + omvex::test::historyRecords(1, 3) << true << 0 << false;
    QTest::addRow("skippedDraws_rowsUpToLastDraw")
        << omvex::test::historyRecords(1, 2) + omvex::test::historyRecords(5, 5) << true << 5 << false;
    QTest::addRow("preloaded_noFile_noRows") << QByteArray() << false << 0 << true;
    QTest::addRow("preloaded_skippedDraws_rowsUpToLastDraw")
        << omvex::test::historyRecords(1, 2) + omvex::test::historyRecords(5, 5) << true << 5 << true;
}

void TestOmvexWindow::startUp_loadsHistoryOfProgramFolder()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, writeFile);
    QFETCH(int, rows);
    QFETCH(bool, preloaded);
    OmvexHarness harness;
    if (writeFile)
        QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), content));
    std::optional<omvex::KakoPreload> preload;
    if (preloaded) {
        preload.emplace(harness.folder.kakoPath());
        harness.kakoPreload = &*preload;
    }
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
    QCOMPARE(static_cast<bool>(preload && preload->take(harness.folder.kakoPath())), false); // taken by the window
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
