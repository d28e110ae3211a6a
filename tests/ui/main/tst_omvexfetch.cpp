#include "omvexharness.h"

#include "support/localhttpserver.h"
#include "ui/common/look.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;
using omvex::test::AnsweringImportDialogs;
using omvex::test::LocalHttpServer;
using omvex::test::OmvexHarness;
using omvex::test::historyRecords;
using omvex::test::readFile;
using omvex::test::writeFile;

namespace {

class AnsweringFetchDialogs final : public omvex::ui::FetchDialogs {
public:
    QString address;
    int asked = 0;
    QString problem;

    QString askAddress(QWidget *, const QString &, const QString &shown) override
    {
        ++asked;
        problem = shown;
        return address;
    }
};

// The harness with its import and fetch dialogs answered by the test, and a short timeout.
struct FetchHarness {
    OmvexHarness harness;
    AnsweringImportDialogs importDialogs;
    AnsweringFetchDialogs fetchDialogs;
    LocalHttpServer server;

    FetchHarness()
    {
        harness.importDialogs = &importDialogs;
        harness.fetch.dialogs = &fetchDialogs;
        harness.fetch.limits.timeout = 2s;
    }
    QString address() const { return server.url(QStringLiteral("/results.csv")).toString(); }
    QAction *command() const { return harness.action("Y_Shutoku"); }
    // Triggers the command and waits until it has ended: the command is enabled again.
    bool fetchAndWait()
    {
        if (!harness.trigger("Y_Shutoku"))
            return false;
        return QTest::qWaitFor([this] { return command()->isEnabled(); }, 10'000);
    }
};

} // namespace

class TestOmvexFetch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }
    void fetch_writesOnlyAfterOk_data();
    void fetch_writesOnlyAfterOk();
    void fetch_showsProgressAndCancelWritesNothing();
    void addressDialog_acceptsOnlyAWebAddress();
};

void TestOmvexFetch::fetch_writesOnlyAfterOk_data()
{
    QTest::addColumn<QByteArray>("ini");    // "%1": the server's address
    QTest::addColumn<QString>("given");     // what the address dialog answers; "%1" as above
    QTest::addColumn<QByteArray>("status"); // the server's answer
    QTest::addColumn<bool>("answer");       // to the summary
    QTest::addColumn<bool>("duringSequence");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("confirmations");
    QTest::addColumn<QString>("message"); // part of the one message shown; empty: none
    QTest::addColumn<int>("draws");       // in kako.txt and on screen afterwards
    QTest::addColumn<bool>("module");     // false: the program's folder lacks the download module
    const QByteArray kept = "[Torikomi]\nURL=%1\n";
    QTest::addRow("keptAddress_okWritesAndReloads") << kept << "" << QByteArray("200 OK") << true << false << 0 << 1 << "" << 8 << true;
    QTest::addRow("keptAddress_cancelWritesNothing") << kept << "" << QByteArray("200 OK") << false << false << 0 << 1 << "" << 5 << true;
    QTest::addRow("noAddress_askedKeptFetched")
        << QByteArray("[OmvexINI]\r\nLevel=2\r\n") << "%1" << QByteArray("200 OK") << true << false << 1 << 1 << "" << 8 << true;
    QTest::addRow("noAddress_cancelledAsksNothingMore")
        << QByteArray() << "" << QByteArray("200 OK") << true << false << 1 << 0 << "" << 5 << true;
    QTest::addRow("keptAddressNotWeb_askedAgain")
        << QByteArray("[Torikomi]\nURL=ftp://127.0.0.1/r.csv\n") << "%1" << QByteArray("200 OK") << true << false << 1
        << 1 << "" << 8 << true;
    QTest::addRow("notFound_saysSoWritesNothing")
        << kept << "" << QByteArray("404 Not Found") << true << false << 0 << 0 << "HTTP 404" << 5 << true;
    QTest::addRow("duringSequence_refusedUnasked")
        << kept << "" << QByteArray("200 OK") << true << true << 0 << 0 << "" << 5 << true;
    QTest::addRow("moduleMissing_saysSoAsksNothing")
        << kept << "" << QByteArray("200 OK") << true << false << 0 << 0 << "omvex-download.so" << 5 << false;
}

void TestOmvexFetch::fetch_writesOnlyAfterOk()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, given);
    QFETCH(QByteArray, status);
    QFETCH(bool, answer);
    QFETCH(bool, duringSequence);
    QFETCH(int, asked);
    QFETCH(int, confirmations);
    QFETCH(QString, message);
    QFETCH(int, draws);
    QFETCH(bool, module);
    FetchHarness fetch;
    if (!module)
        fetch.harness.fetch.makeTransfer = nullptr; // the window then loads it from the program's folder
    LocalHttpServer::Answer served;
    served.status = status;
    served.body = historyRecords(6, 8);
    fetch.server.serve("/results.csv", served);
    fetch.importDialogs.answer = answer;
    fetch.fetchDialogs.address = QString(given).replace(QLatin1String("%1"), fetch.address());
    OmvexHarness &harness = fetch.harness;
    const QByteArray before = historyRecords(1, 5);
    QVERIFY(writeFile(harness.folder.kakoPath(), before));
    ini.replace("%1", fetch.address().toUtf8());
    if (!ini.isEmpty())
        QVERIFY(writeFile(harness.folder.iniPath(), ini));

    if (duringSequence) {
        bool enabledInPause = true;
        harness.pause = std::chrono::milliseconds(20);
        harness.start();
        QVERIFY(harness.runSequence([&] {
            enabledInPause = fetch.command()->isEnabled();
            harness.trigger("Y_Shutoku");
        }));
        QVERIFY(!enabledInPause);
        QVERIFY(fetch.command()->isEnabled());
        QCOMPARE(fetch.server.requestCount("/results.csv"), 0);
    } else {
        harness.start();
        QVERIFY(fetch.fetchAndWait());
    }

    QCOMPARE(fetch.fetchDialogs.asked, asked);
    // Only a kept address that cannot be used is a problem to show when asking.
    QCOMPARE(fetch.fetchDialogs.problem.isEmpty(), !ini.contains("ftp:"));
    QCOMPARE(fetch.importDialogs.confirmations, confirmations);
    QCOMPARE(fetch.importDialogs.choices, 0);
    if (!module)
        QCOMPARE(fetch.server.requestCount("/results.csv"), 0);
    QCOMPARE(harness.messages.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(harness.messages.shown.front().text.contains(message), qPrintable(harness.messages.shown.front().text));
    if (draws == 5)
        QCOMPARE(readFile(harness.folder.kakoPath()), before);
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), draws);
    QVERIFY(harness.label("historyStatus")->text().contains(QStringLiteral("%1回分").arg(draws)));
    // An address asked for is kept after the settings as they were; one kept is left alone.
    const QByteArray keptAfter = asked == 1 && !fetch.fetchDialogs.address.isEmpty()
        ? (ini.contains("[Torikomi]") ? QByteArray("[Torikomi]\nURL=") + fetch.address().toUtf8() + "\n"
                                      : ini + "[Torikomi]\r\nURL=" + fetch.address().toUtf8() + "\r\n")
        : ini;
    QCOMPARE(readFile(harness.folder.iniPath()), keptAfter.isEmpty() ? QByteArray() : keptAfter);
}

void TestOmvexFetch::fetch_showsProgressAndCancelWritesNothing()
{
    FetchHarness fetch;
    LocalHttpServer::Answer slow;
    slow.body = historyRecords(6, 400);
    slow.pieceBytes = 256;
    slow.pieceDelay = 40ms;
    fetch.server.serve("/results.csv", slow);
    OmvexHarness &harness = fetch.harness;
    const QByteArray before = historyRecords(1, 5);
    QVERIFY(writeFile(harness.folder.kakoPath(), before));
    QVERIFY(writeFile(harness.folder.iniPath(), "[Torikomi]\nURL=" + fetch.address().toUtf8() + "\n"));
    harness.start();

    QVERIFY(harness.trigger("Y_Shutoku"));
    // The command has returned with the download under way: the window's event loop runs it.
    QVERIFY(!fetch.command()->isEnabled());
    QVERIFY(!harness.action("Y_Torikomi")->isEnabled());
    auto *progress = harness.window->findChild<QProgressDialog *>(QStringLiteral("fetchProgress"));
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowModality(), Qt::WindowModal);
    QTRY_VERIFY(progress->value() > 0);
    QCOMPARE(progress->maximum(), int(slow.body.size()));
    QVERIFY(progress->value() < progress->maximum());

    QPushButton *cancel = nullptr;
    for (QPushButton *button : progress->findChildren<QPushButton *>())
        if (button->text() == QStringLiteral("キャンセル"))
            cancel = button;
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY(fetch.command()->isEnabled());
    QVERIFY(!harness.window->findChild<QProgressDialog *>(QStringLiteral("fetchProgress")));
    QCOMPARE(fetch.importDialogs.confirmations, 0);
    QVERIFY(fetch.importDialogs.problems.isEmpty());
    QVERIFY(harness.messages.shown.isEmpty());
    QCOMPARE(readFile(harness.folder.kakoPath()), before);
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), 5);
}

void TestOmvexFetch::addressDialog_acceptsOnlyAWebAddress()
{
    omvex::ui::ScreenFetchDialogs dialogs;
    bool stayedOpen = false;
    QString note;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fetchAddress"));
        QPushButton *ok = nullptr;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("OK"))
                ok = button;
        QVERIFY(edit && ok);
        QCOMPARE(edit->text(), QStringLiteral("ftp://old.test/r.csv"));
        edit->setText(QStringLiteral("example.test/results.csv"));
        QTest::mouseClick(ok, Qt::LeftButton);
        stayedOpen = dialog->isVisible();
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->isVisible() && label->text().contains(QStringLiteral("example.test")))
                note = label->text();
        edit->setText(QStringLiteral("  https://example.test/r.csv?all=1 "));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    const QString answer = dialogs.askAddress(nullptr, QStringLiteral("ftp://old.test/r.csv"), QStringLiteral("使えません"));
    QVERIFY(stayedOpen);
    QVERIFY2(note.startsWith(QStringLiteral("http:// か https://")), qPrintable(note));
    QCOMPARE(answer, QStringLiteral("https://example.test/r.csv?all=1"));
}

QTEST_MAIN(TestOmvexFetch)
#include "tst_omvexfetch.moc"
