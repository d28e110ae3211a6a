#include "omvexharness.h"

#include "analysis/record.h"
#include "platform/filelock.h"
#include "ui/analysis/backtestjob.h"
#include "ui/analysis/backtesttab.h"
#include "ui/common/look.h"

#include <QDir>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;
using omvex::test::AnsweringImportDialogs;
using omvex::test::OmvexHarness;
using omvex::test::historyRecords;
using omvex::test::readFile;
using omvex::test::writeFile;
using Tab = omvex::ui::AnalysisWindow::Tab;
namespace analysis = omvex::analysis;

namespace {

omvex::ui::AnalysisWindow *analysisWindow(const OmvexHarness &harness)
{
    const auto windows = harness.window->findChildren<omvex::ui::AnalysisWindow *>();
    return windows.size() == 1 ? windows.front() : nullptr;
}

} // namespace

class TestOmvexAnalysis : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }
    void statusLine_belowTheDesignSaysWhatEachReadingGave_data();
    void statusLine_belowTheDesignSaysWhatEachReadingGave();
    void import_writesOnlyAfterOk_data();
    void import_writesOnlyAfterOk();
    void record_appendsOnlyCompletedSequences_data();
    void record_appendsOnlyCompletedSequences();
    void record_unwritableSaysSoOncePerRun();
    void analysisMenu_opensTheOneWindowOnItsTab_data();
    void analysisMenu_opensTheOneWindowOnItsTab();
    void quit_duringBacktestEndsItsThreadFirst();
};

void TestOmvexAnalysis::statusLine_belowTheDesignSaysWhatEachReadingGave_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("status");
    QTest::addRow("wholeFile") << historyRecords(1, 5) << QStringLiteral("過去データ: 5回分（第1回〜第5回）");
    QTest::addRow("newestFirst_firstProblemWithItsLine")
        << QByteArray("2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n")
        << QStringLiteral("過去データ: 1回分（第1回〜第1回）。2行目から回号が減っています: "
                          "新しい順のファイルは「取込...」で変換できます");
}

void TestOmvexAnalysis::statusLine_belowTheDesignSaysWhatEachReadingGave()
{
    using omvex::ui::twipsRect;
    QFETCH(QByteArray, content);
    QFETCH(QString, status);
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), content));
    omvex::ui::Omvex &window = harness.start();
    QCOMPARE(harness.label("historyStatus")->text(), status);

    // The designed controls keep their places; the window grows by the bar below them.
    const QWidget *client = window.centralWidget();
    QCOMPARE(client->size(), twipsRect(0, 0, 11745, 7875).size());
    QCOMPARE(harness.button("Command1(1)")->geometry(), twipsRect(2640, 1080, 1935, 615));
    QCOMPARE(harness.grid("vaSpread4")->geometry(), twipsRect(3720, 3120, 3465, 4305));
    const QStatusBar *bar = window.statusBar();
    QCOMPARE(bar->geometry().top(), client->geometry().bottom() + 1);
    QCOMPARE(window.height(), bar->geometry().bottom() + 1);

    // Every "予想開始" reads the file again, and the line follows.
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 7)));
    QVERIFY(harness.trigger("Y_Start"));
    QCOMPARE(harness.label("historyStatus")->text(), QStringLiteral("過去データ: 7回分（第1回〜第7回）"));
    QVERIFY(harness.messages.shown.empty());
}

void TestOmvexAnalysis::import_writesOnlyAfterOk_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("duringSequence");
    QTest::addColumn<int>("confirmations");
    QTest::addColumn<QString>("problem"); // a line the refusal must show; empty: none shown
    QTest::addColumn<int>("draws");       // in kako.txt and on screen afterwards
    QTest::addColumn<bool>("lockHeld");   // by another import, all the while
    const QByteArray newDraws = historyRecords(6, 8);
    QTest::addRow("ok_writesAndReloadsGrid") << newDraws << true << false << 1 << QString() << 8 << false;
    QTest::addRow("cancel_leavesKakoAsItWas") << newDraws << false << false << 1 << QString() << 5 << false;
    QTest::addRow("badNumber_showsErrorsWritesNothing")
        << QByteArray("6,1,2,3,4,5,44,7\n") << true << false << 0 << QStringLiteral("1行目") << 5 << false;
    QTest::addRow("duringSequence_refusedUnasked") << newDraws << true << true << 0 << QString() << 5 << false;
    QTest::addRow("anotherImportRunning_saysSoWritesNothing")
        << newDraws << true << false << 0 << QStringLiteral("ほかの取込が実行中です") << 5 << true;
}

void TestOmvexAnalysis::import_writesOnlyAfterOk()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, answer);
    QFETCH(bool, duringSequence);
    QFETCH(int, confirmations);
    QFETCH(QString, problem);
    QFETCH(int, draws);
    QFETCH(bool, lockHeld);
    OmvexHarness harness;
    omvex::platform::FileLock otherImport(harness.folder.kakoPath() + QStringLiteral(".lock"));
    if (lockHeld)
        QCOMPARE(otherImport.tryLock(), omvex::platform::FileLock::State::Locked);
    AnsweringImportDialogs dialogs;
    dialogs.file = harness.folder.besidePath(QStringLiteral("downloads")) + QStringLiteral("/results.csv");
    dialogs.answer = answer;
    harness.importDialogs = &dialogs;
    const QByteArray before = historyRecords(1, 5);
    QVERIFY(writeFile(harness.folder.kakoPath(), before));
    QVERIFY(writeFile(dialogs.file, source));

    if (duringSequence) {
        bool enabledInPause = true;
        harness.pause = std::chrono::milliseconds(20);
        harness.start();
        QVERIFY(harness.runSequence([&] {
            enabledInPause = harness.action("Y_Torikomi")->isEnabled();
            harness.trigger("Y_Torikomi");
        }));
        QVERIFY(!enabledInPause);
        QVERIFY(harness.action("Y_Torikomi")->isEnabled());
        QCOMPARE(dialogs.choices, 0);
    } else {
        harness.start();
        QVERIFY(harness.trigger("Y_Torikomi"));
        QCOMPARE(dialogs.choices, 1);
    }

    QCOMPARE(dialogs.confirmations, confirmations);
    QCOMPARE(dialogs.problems.isEmpty(), problem.isEmpty());
    if (!problem.isEmpty())
        QVERIFY2(dialogs.problems.front().startsWith(problem), qPrintable(dialogs.problems.join('\n')));
    const bool written = draws != 5;
    if (!written)
        QCOMPARE(readFile(harness.folder.kakoPath()), before);
    QCOMPARE(readFile(harness.folder.kakoPath() + QStringLiteral(".bak")), written ? before : QByteArray());
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), draws);
    QVERIFY(harness.label("historyStatus")->text().contains(QStringLiteral("%1回分").arg(draws)));
    QVERIFY(harness.messages.shown.empty());
}

void TestOmvexAnalysis::record_appendsOnlyCompletedSequences_data()
{
    QTest::addColumn<QByteArray>("recordSection");
    QTest::addColumn<bool>("quitInPause");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("withHistory");
    QTest::addRow("completed_bothProposals") << QByteArray() << false << 2 << true;
    QTest::addRow("quitDuringPause_nothing") << QByteArray() << true << 0 << true;
    QTest::addRow("recordOff_nothing") << QByteArray("[Kiroku]\nRecord=0\n") << false << 0 << true;
    // Proposals meant for "draw 1" would later be scored against the first draw ever held.
    QTest::addRow("noHistory_nothingAndSaidSo") << QByteArray() << false << 0 << false;
}

void TestOmvexAnalysis::record_appendsOnlyCompletedSequences()
{
    QFETCH(QByteArray, recordSection);
    QFETCH(bool, quitInPause);
    QFETCH(int, entries);
    QFETCH(bool, withHistory);
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), withHistory ? historyRecords(1, 5) : QByteArray()));
    QVERIFY(writeFile(harness.folder.iniPath(), "[OmvexINI]\nLevel=1\nKako=3\n" + recordSection));
    std::function<void()> inFirstPause;
    if (quitInPause) {
        harness.pause = std::chrono::milliseconds(20);
        inFirstPause = [&] { harness.trigger("Y_End"); };
    }
    harness.start();
    QVERIFY(harness.runSequence(inFirstPause));
    if (!withHistory)
        QCOMPARE(harness.window->statusBar()->currentMessage(), QString::fromUtf8(analysis::kNoHistoryToRecord));

    const QString path = harness.folder.filePath(QStringLiteral("kiroku.txt"));
    const analysis::RecordRead record = analysis::readRecord(path);
    QCOMPARE(record.exists, entries > 0);
    QCOMPARE(int(record.entries.size()), entries);
    QVERIFY(record.warnings.empty());
    for (int pass = 0; pass < entries; ++pass) {
        const analysis::RecordEntry &entry = record.entries[std::size_t(pass)];
        QCOMPARE(entry.pass, pass + 1);
        QCOMPARE(entry.draw, 6); // the one after the latest in kako.txt
        QCOMPARE(entry.settings, (omvex::Settings{omvex::Level::Ume, omvex::Pattern::Sample, omvex::Kako::None}));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(QString::number(entry.numbers[std::size_t(i)]), harness.numbers(pass).at(i));
    }
}

void TestOmvexAnalysis::record_unwritableSaysSoOncePerRun()
{
    OmvexHarness harness;
    QVERIFY(QDir(harness.folder.path()).mkdir(QStringLiteral("kiroku.txt"))); // unwritable, also for root
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 5)));
    harness.start();
    QStatusBar *bar = harness.window->statusBar();
    QSignalSpy messages(bar, &QStatusBar::messageChanged);

    QVERIFY(harness.trigger("Y_Start"));
    const QString note = bar->currentMessage();
    QVERIFY2(note.startsWith(QStringLiteral("予想を記録できません")), qPrintable(note));
    QVERIFY(note.contains(QStringLiteral("kiroku.txt")));

    // The next sequence's reading renews the line, and the same failure is not said again.
    QVERIFY(harness.trigger("Y_Start"));
    QVERIFY(bar->currentMessage().isEmpty());
    QVERIFY(harness.label("historyStatus")->isVisible());
    QCOMPARE(messages.count(), 2); // the note, then its end at the second reading
    QVERIFY(harness.messages.shown.empty());
}

void TestOmvexAnalysis::analysisMenu_opensTheOneWindowOnItsTab_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("tab");
    QTest::addRow("frequency") << QStringLiteral("Y_Shutugen") << int(Tab::Frequency);
    QTest::addRow("backtest") << QStringLiteral("Y_Kensho") << int(Tab::Backtest);
    QTest::addRow("ticket") << QStringLiteral("Y_Kakunin") << int(Tab::Ticket);
    QTest::addRow("journal") << QStringLiteral("Y_Kiroku") << int(Tab::Journal);
    QTest::addRow("patterns") << QStringLiteral("Y_Keiko") << int(Tab::Patterns);
}

void TestOmvexAnalysis::analysisMenu_opensTheOneWindowOnItsTab()
{
    QFETCH(QString, action);
    QFETCH(int, tab);
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 5)));
    harness.start();
    QVERIFY(!analysisWindow(harness));
    // Another tab first: the second command raises the same window on its own tab.
    QVERIFY(harness.trigger(tab == int(Tab::Ticket) ? "Y_Shutugen" : "Y_Kakunin"));
    QVERIFY(harness.trigger(action.toLatin1().constData()));

    omvex::ui::AnalysisWindow *window = analysisWindow(harness);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->findChild<QTabWidget *>()->currentWidget(), window->tab(Tab(tab)));
    QCOMPARE(window->history().read.storedRows, 5);
}

void TestOmvexAnalysis::quit_duringBacktestEndsItsThreadFirst()
{
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), readFile(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"))));
    QVERIFY(writeFile(harness.folder.iniPath(), "[OmvexINI]\nLevel=3\n")); // long enough to be caught running
    harness.start();
    QVERIFY(harness.trigger("Y_Kensho"));
    omvex::ui::AnalysisWindow *window = analysisWindow(harness);
    QVERIFY(window);
    auto *backtest = static_cast<omvex::ui::BacktestTab *>(window->tab(Tab::Backtest));
    const auto *job = backtest->findChild<omvex::ui::BacktestJob *>();
    QTest::mouseClick(backtest->findChild<QPushButton *>(QStringLiteral("run")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(backtest->findChild<QProgressBar *>(QStringLiteral("progress"))->value() >= 1, 60000);
    QVERIFY(backtest->isRunning());
    QVERIFY(job->hasThread());

    QVERIFY(harness.trigger("Y_End"));
    QCOMPARE(harness.endProgramCalls, 1);
    QVERIFY(!backtest->isRunning());
    QVERIFY(!job->hasThread()); // waited for before the program was told to end
}

QTEST_MAIN(TestOmvexAnalysis)
#include "tst_omvexanalysis.moc"
