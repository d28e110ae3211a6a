#include "omvexharness.h"

#include <QApplication>
#include <QElapsedTimer>
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

// Snapshots taken by a timer can only run while the sequence processes events, in its pauses.
void TestOmvexSequence::sequence_showsProgressDuringPauses()
{
    QFETCH(bool, laterSequence);
    QFETCH(QList<bool>, switchInFirstPause);
    QFETCH(QList<bool>, switchInSecondPause);
    struct Snapshot {
        int pass;
        QStringList first;
        QStringList second;
        int arrow;
        QList<bool> switchEnabled;
        int lineRows;
    };
    OmvexHarness harness;
    harness.pause = 120ms;
    omvex::ui::Omvex &window = harness.start();
    if (laterSequence)
        QVERIFY(harness.trigger("Y_Start"));
    std::vector<Snapshot> snapshots;
    QTimer sampler;
    sampler.setInterval(10);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        snapshots.push_back({window.currentPass(),
                             harness.numbers(0),
                             harness.numbers(1),
                             harness.shownArrow(),
                             {harness.button("Command2")->isEnabled(), harness.action("Y_Kiri")->isEnabled()},
                             window.tables().lines[static_cast<std::size_t>(window.currentPass())].rowCount()});
    });
    sampler.start();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(harness.trigger("Y_Start"));
    const qint64 elapsed = clock.elapsed();
    sampler.stop();

    QVERIFY2(elapsed >= 240, qPrintable(QString::number(elapsed)));
    // A pass's run starts only after its pause: its line grid still holds what it held before.
    const int linesBeforeRun = laterSequence ? 600 : 0;
    int pauses[2] = {0, 0};
    for (const Snapshot &snapshot : snapshots) {
        QCOMPARE(snapshot.arrow, snapshot.pass);
        QCOMPARE(snapshot.lineRows, linesBeforeRun);
        QVERIFY(isEmptyRow(snapshot.second));
        QCOMPARE(snapshot.switchEnabled, snapshot.pass == 0 ? switchInFirstPause : switchInSecondPause);
        QCOMPARE(isProposal(snapshot.first), snapshot.pass == 1);
        if (snapshot.pass == 0)
            QVERIFY(isEmptyRow(snapshot.first));
        ++pauses[snapshot.pass];
    }
    QVERIFY2(pauses[0] > 0 && pauses[1] > 0, qPrintable(QStringLiteral("%1 %2").arg(pauses[0]).arg(pauses[1])));
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
    harness.pause = 80ms;
    omvex::ui::Omvex &window = harness.start();
    // A finished sequence first, so that the switch is enabled in the next one's first pause.
    QVERIFY(harness.trigger("Y_Start"));
    QVERIFY(harness.action("Y_Kiri")->isEnabled());

    bool given = false;
    int passAfter = -1;
    QStringList firstAfter;
    QTimer::singleShot(20, &window, [&] {
        given = harness.control<QAction>(command)->isEnabled();
        harness.control<QAction>(command)->trigger();
        passAfter = window.currentPass();
        firstAfter = harness.numbers(0);
    });
    QVERIFY(harness.trigger("Y_Start"));

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
    // Long pauses: the sequence must come back long before one of them could have ended.
    harness.pause = 3000ms;
    omvex::ui::Omvex &window = harness.start();
    QTimer trigger;
    QElapsedTimer sinceQuit;
    QObject::connect(&trigger, &QTimer::timeout, [&] {
        if (window.currentPass() == (inSecondPause ? 1 : 0)) {
            trigger.stop();
            sinceQuit.start();
            if (byFrame)
                window.close();
            else
                harness.action("Y_End")->trigger();
        }
    });
    trigger.start(10);
    QVERIFY(harness.trigger("Y_Start"));

    QVERIFY(sinceQuit.isValid());
    QVERIFY2(sinceQuit.elapsed() < 2000, qPrintable(QString::number(sinceQuit.elapsed())));
    QCOMPARE(harness.endProgramCalls, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.isSequenceRunning());
    // The run after the interrupted pause never happened.
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
    QTest::addRow("clockFailsForFirstRun") << 1;
    QTest::addRow("clockFailsForSecondRun") << 2;
}

void TestOmvexSequence::failure_inCommandIsReportedAndCommandEnds()
{
    QFETCH(int, failingRun);
    OmvexHarness harness;
    int runs = 0;
    bool clockWorks = false;
    harness.seedFromClock = [&]() -> std::uint64_t {
        if (++runs == failingRun && !clockWorks)
            throw std::runtime_error("clock unreadable");
        return 12345;
    };
    omvex::ui::Omvex &window = harness.start();
    QVERIFY(harness.trigger("Y_Start"));

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
    QVERIFY(harness.trigger("Y_Start"));
    QVERIFY(isProposal(harness.numbers(0)));
    QVERIFY(isProposal(harness.numbers(1)));
    QVERIFY(harness.action("Y_Kiri")->isEnabled());
    QCOMPARE(harness.messages.shown.size(), 1);
}

void TestOmvexSequence::dialogs_duringPauseHoldSequenceUntilClosed()
{
    OmvexHarness harness;
    harness.pause = 50ms;
    omvex::ui::Omvex &window = harness.start();
    bool dialogSeen = false;
    int passAtClose = -1;
    int linesAtClose = -1;
    QTimer::singleShot(10, &window, [&] {
        // Closes the dialog long after the pause under it has run out.
        QTimer::singleShot(300, &window, [&] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                dialogSeen = true;
                passAtClose = window.currentPass();
                linesAtClose = window.tables().lines[0].rowCount();
                dialog->close();
            }
        });
        harness.action("Y_Ver")->trigger();
    });
    QVERIFY(harness.trigger("Y_Start"));

    QVERIFY(dialogSeen);
    QCOMPARE(passAtClose, 0);
    QCOMPARE(linesAtClose, 0);
    QVERIFY(isProposal(harness.numbers(1)));
}

QTEST_MAIN(TestOmvexSequence)
#include "tst_omvexsequence.moc"
