#include "omvexharness.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace std::chrono_literals;
using omvex::test::OmvexHarness;
using omvex::test::isEmptyRow;
using omvex::test::isProposal;

namespace {

// Records the rows a grid view has each time it is painted.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QTableView *view)
        : m_view(view)
    {
        view->viewport()->installEventFilter(this);
    }
    std::vector<int> rowsAtPaint;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            rowsAtPaint.push_back(m_view->model()->rowCount());
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView *m_view;
};

} // namespace

class TestOmvexSequence : public QObject {
    Q_OBJECT

private slots:
    void sequence_proposesTwoRowsAndEnablesSwitch();
    void sequence_showsProgressDuringPauses_data();
    void sequence_showsProgressDuringPauses();
    void sequence_refusesStartAndSwitchWhileRunning_data();
    void sequence_refusesStartAndSwitchWhileRunning();
    void sequence_readsEditedHistoryAgain();
    void run_drawsEmptiedGridsBeforeGeneratingLines();
    void quit_duringPauseEndsProgramAndSequence_data();
    void quit_duringPauseEndsProgramAndSequence();
    void switchView_flipsPassesAndKeepsNumbers();
    void failure_inCommandIsReportedAndCommandEnds_data();
    void failure_inCommandIsReportedAndCommandEnds();
    void dialogs_duringPauseHoldSequenceUntilClosed_data();
    void dialogs_duringPauseHoldSequenceUntilClosed();
};

void TestOmvexSequence::sequence_proposesTwoRowsAndEnablesSwitch()
{
    OmvexHarness harness;
    QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 50)));
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));

    QVERIFY2(isProposal(harness.numbers(0)), qPrintable(harness.numbers(0).join(',')));
    QVERIFY2(isProposal(harness.numbers(1)), qPrintable(harness.numbers(1).join(',')));
    QCOMPARE(harness.shownArrow(), 1);
    QCOMPARE(harness.shownPass(), 1);
    QCOMPARE(window.currentPass(), 1);
    QVERIFY(harness.button("Command2")->isEnabled());
    QVERIFY(harness.action("Y_Kiri")->isEnabled());
    QVERIFY(!window.isSequenceRunning());
    // Level "0": 600 lines in each pass, on screen as well as in the grid.
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(window.tables().lines[static_cast<std::size_t>(pass)].rowCount(), 600);
        QCOMPARE(harness.control<QTableView>(QStringLiteral("vaSpread1(%1)").arg(pass))->model()->rowCount(), 600);
        QCOMPARE(harness.control<QTableView>(QStringLiteral("vaSpread3(%1)").arg(pass))->model()->rowCount(), 43);
    }
    // The second row's labels are the result grid's cells as the grid gives them.
    for (int column = 1; column <= 6; ++column)
        QCOMPARE(harness.numbers(1).at(column - 1), QString::fromStdString(window.tables().result.text(column, 1)));
}

void TestOmvexSequence::sequence_showsProgressDuringPauses_data()
{
    QTest::addColumn<bool>("laterSequence");
    QTest::addColumn<QList<bool>>("switchInFirstPause");  // button, menu item
    QTest::addColumn<QList<bool>>("switchInSecondPause"); // button, menu item
    // Each run disables the switch button; the menu item stays enabled once a sequence has finished.
    QTest::addRow("firstSequence_switchDisabled") << false << QList<bool>{false, false} << QList<bool>{false, false};
    QTest::addRow("laterSequence_buttonOffFromFirstRunMenuOn")
        << true << QList<bool>{true, true} << QList<bool>{false, true};
}

// The clock the pauses measure moves only when the test moves it, so each look is at a known point
// of a pause: at its start, and just before its end with time for its timer to come back.
void TestOmvexSequence::sequence_showsProgressDuringPauses()
{
    QFETCH(bool, laterSequence);
    QFETCH(QList<bool>, switchInFirstPause);
    QFETCH(QList<bool>, switchInSecondPause);
    OmvexHarness harness;
    harness.pause = 20ms;
    omvex::ui::Omvex &window = harness.start();
    if (laterSequence)
        QVERIFY(harness.runSequence());
    QVERIFY(harness.trigger("Y_Start"));

    // A pass's run starts only after its pause: its line grid still holds what it held before.
    const int linesBeforeRun = laterSequence ? 600 : 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::chrono::milliseconds moved : {0ms, harness.pause - 1ms}) {
            harness.now += moved;
            if (moved > 0ms)
                QTest::qWait(3 * int(harness.pause.count()));
            QVERIFY(window.isSequenceRunning());
            QCOMPARE(window.currentPass(), pass);
            QCOMPARE(harness.shownArrow(), pass);
            QCOMPARE(window.tables().lines[static_cast<std::size_t>(pass)].rowCount(), linesBeforeRun);
            QVERIFY(isEmptyRow(harness.numbers(1)));
            QCOMPARE(isProposal(harness.numbers(0)), pass == 1);
            if (pass == 0)
                QVERIFY(isEmptyRow(harness.numbers(0)));
            QCOMPARE((QList<bool>{harness.button("Command2")->isEnabled(), harness.action("Y_Kiri")->isEnabled()}),
                     pass == 0 ? switchInFirstPause : switchInSecondPause);
        }
        harness.now += 1ms;
        if (pass == 0)
            QTRY_COMPARE(window.currentPass(), 1);
        else
            QTRY_VERIFY(!window.isSequenceRunning());
    }
    QVERIFY(isProposal(harness.numbers(1)));
}

void TestOmvexSequence::sequence_refusesStartAndSwitchWhileRunning_data()
{
    QTest::addColumn<QString>("command");
    QTest::addRow("start") << QStringLiteral("Y_Start");
    QTest::addRow("switch") << QStringLiteral("Y_Kiri");
}

void TestOmvexSequence::sequence_refusesStartAndSwitchWhileRunning()
{
    QFETCH(QString, command);
    OmvexHarness harness;
    harness.pause = 20ms;
    omvex::ui::Omvex &window = harness.start();
    // A finished sequence first, so that the switch is enabled in the next one's first pause.
    QVERIFY(harness.runSequence());
    QVERIFY(harness.action("Y_Kiri")->isEnabled());

    bool given = false;
    int passAfter = -1;
    QStringList firstAfter;
    QVERIFY(harness.runSequence([&] {
        given = harness.control<QAction>(command)->isEnabled();
        harness.control<QAction>(command)->trigger();
        passAfter = window.currentPass();
        firstAfter = harness.numbers(0);
    }));

    QVERIFY(given);
    // Still in the first pause: nothing ran and nothing flipped, and the refusal shows no message
    // box, which the design's sequence does not have.
    QCOMPARE(passAfter, 0);
    QVERIFY(isEmptyRow(firstAfter));
    QVERIFY(harness.messages.shown.isEmpty());
    // The sequence itself finished as usual.
    QVERIFY(isProposal(harness.numbers(0)));
    QVERIFY(isProposal(harness.numbers(1)));
    QCOMPARE(window.currentPass(), 1);
    QCOMPARE(harness.shownPass(), 1);
    QCOMPARE(harness.shownArrow(), 1);
}

void TestOmvexSequence::sequence_readsEditedHistoryAgain()
{
    OmvexHarness harness;
    QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 10)));
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    QCOMPARE(window.tables().history.rowCount(), 10);

    QVERIFY(omvex::test::writeFile(harness.folder.kakoPath(), omvex::test::historyRecords(1, 8)));
    QVERIFY(harness.trigger("Y_Start"));
    QCOMPARE(window.tables().history.rowCount(), 8);
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), 8);
}

// With no pause the sequence never hands the event loop a turn, so any painting inside the
// command comes from the run's own repaint.
void TestOmvexSequence::run_drawsEmptiedGridsBeforeGeneratingLines()
{
    OmvexHarness harness;
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(harness.trigger("Y_Start"));
    QCoreApplication::processEvents();

    PaintRecorder firstPass(harness.grid("vaSpread1(0)"));
    PaintRecorder secondPass(harness.grid("vaSpread1(1)"));
    QVERIFY(harness.trigger("Y_Start"));
    // Each pass's line grid was drawn emptied (its 600 lines from before gone) before its run.
    QCOMPARE(firstPass.rowsAtPaint, std::vector<int>{0});
    QCOMPARE(secondPass.rowsAtPaint, std::vector<int>{0});
}

void TestOmvexSequence::quit_duringPauseEndsProgramAndSequence_data()
{
    QTest::addColumn<bool>("byFrame");
    QTest::addColumn<bool>("inSecondPause");
    QTest::addRow("quit_firstPause") << false << false;
    QTest::addRow("windowFrame_firstPause") << true << false;
    QTest::addRow("quit_secondPause") << false << true;
}

void TestOmvexSequence::quit_duringPauseEndsProgramAndSequence()
{
    QFETCH(bool, byFrame);
    QFETCH(bool, inSecondPause);
    OmvexHarness harness;
    harness.pause = 20ms;
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    if (inSecondPause) {
        harness.now += harness.pause;
        QTRY_COMPARE(window.currentPass(), 1);
    }
    if (byFrame)
        window.close();
    else
        harness.action("Y_End")->trigger();

    QCOMPARE(harness.endProgramCalls, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.isSequenceRunning());
    // The run after the interrupted pause never happens, however long the clock runs on.
    harness.now += 10 * harness.pause;
    QTest::qWait(3 * int(harness.pause.count()));
    QCOMPARE(window.tables().lines[inSecondPause ? 1 : 0].rowCount(), 0);
    QVERIFY(isEmptyRow(harness.numbers(1)));
    QCOMPARE(isProposal(harness.numbers(0)), inSecondPause);
    QVERIFY(!harness.action("Y_Kiri")->isEnabled());
}

void TestOmvexSequence::switchView_flipsPassesAndKeepsNumbers()
{
    OmvexHarness harness;
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    const QStringList first = harness.numbers(0);
    const QStringList second = harness.numbers(1);

    for (int flip = 1; flip <= 4; ++flip) {
        QVERIFY(harness.trigger("Y_Kiri"));
        const int expected = flip % 2 == 1 ? 0 : 1;
        QCOMPARE(window.currentPass(), expected);
        QCOMPARE(harness.shownPass(), expected);
        QCOMPARE(harness.shownArrow(), expected);
        QCOMPARE(harness.numbers(0), first);
        QCOMPARE(harness.numbers(1), second);
        QVERIFY(harness.button("Command2")->isEnabled());
        QVERIFY(harness.action("Y_Kiri")->isEnabled());
    }
}

void TestOmvexSequence::failure_inCommandIsReportedAndCommandEnds_data()
{
    QTest::addColumn<int>("failingRun");
    QTest::addColumn<int>("pauseMs"); // 0: the whole sequence inside the command; else from its timer
    QTest::addRow("clockFailsForFirstRun") << 1 << 0;
    QTest::addRow("clockFailsForSecondRun") << 2 << 0;
    QTest::addRow("clockFailsForSecondRun_afterPause") << 2 << 20;
}

void TestOmvexSequence::failure_inCommandIsReportedAndCommandEnds()
{
    QFETCH(int, failingRun);
    QFETCH(int, pauseMs);
    OmvexHarness harness;
    harness.pause = std::chrono::milliseconds(pauseMs);
    int runs = 0;
    bool clockWorks = false;
    harness.seedFromClock = [&]() -> std::uint64_t {
        if (++runs == failingRun && !clockWorks)
            throw std::runtime_error("clock unreadable");
        return 12345;
    };
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.runSequence());

    QCOMPARE(harness.messages.shown.size(), 1);
    const QString said = harness.messages.shown.front().text;
    QVERIFY2(said.contains(QStringLiteral("操作を中止しました")) && said.contains(QStringLiteral("clock unreadable")),
             qPrintable(said));
    // The window stays as the failing step found it.
    QVERIFY(!window.isSequenceRunning());
    QCOMPARE(window.currentPass(), failingRun - 1);
    QCOMPARE(harness.shownArrow(), failingRun - 1);
    QCOMPARE(isProposal(harness.numbers(0)), failingRun == 2);
    QVERIFY(isEmptyRow(harness.numbers(1)));
    QVERIFY(!harness.action("Y_Kiri")->isEnabled());
    QVERIFY(!harness.button("Command2")->isEnabled());

    // The next command works again.
    clockWorks = true;
    QVERIFY(harness.runSequence());
    QVERIFY(isProposal(harness.numbers(0)));
    QVERIFY(isProposal(harness.numbers(1)));
    QVERIFY(harness.action("Y_Kiri")->isEnabled());
    QCOMPARE(harness.messages.shown.size(), 1);
}

void TestOmvexSequence::dialogs_duringPauseHoldSequenceUntilClosed_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("option"); // clicked before "OK"; none: the dialog is closed
    QTest::addColumn<int>("lines");      // in each pass's line grid
    QTest::addRow("version") << QStringLiteral("Y_Ver") << QString() << 600;
    // "梅" doubles the lines of a run: the runs after the dialog use what it saved.
    QTest::addRow("settingsSaved") << QStringLiteral("Y_Shoki") << QStringLiteral("Option1(1)") << 1200;
}

void TestOmvexSequence::dialogs_duringPauseHoldSequenceUntilClosed()
{
    QFETCH(QString, command);
    QFETCH(QString, option);
    QFETCH(int, lines);
    OmvexHarness harness;
    harness.pause = 20ms;
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));
    bool dialogSeen = false;
    int passAtClose = -1;
    int linesAtClose = -1;
    // Inside the dialog: its pause runs out long before it closes.
    QTimer::singleShot(0, &window, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        dialogSeen = true;
        harness.now += 10 * harness.pause;
        QTest::qWait(3 * int(harness.pause.count()));
        passAtClose = window.currentPass();
        linesAtClose = window.tables().lines[0].rowCount();
        if (option.isEmpty()) {
            dialog->close();
            return;
        }
        QTest::mouseClick(dialog->findChild<QRadioButton *>(option), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QVERIFY(harness.trigger(qPrintable(command)));
    QVERIFY(harness.finishSequence());

    QVERIFY(dialogSeen);
    QCOMPARE(passAtClose, 0);
    QCOMPARE(linesAtClose, 0);
    QCOMPARE(window.tables().lines[0].rowCount(), lines);
    QCOMPARE(window.tables().lines[1].rowCount(), lines);
    QVERIFY(isProposal(harness.numbers(1)));
}

QTEST_MAIN(TestOmvexSequence)
#include "tst_omvexsequence.moc"
