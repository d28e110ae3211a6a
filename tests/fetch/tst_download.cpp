#include "fetch/address.h"
#include "fetch/network/download.h"
#include "fetch/transfermodule.h"
#include "support/localhttpserver.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;
using omvex::test::LocalHttpServer;
using Answer = LocalHttpServer::Answer;
namespace fetch = omvex::fetch;

Q_DECLARE_METATYPE(Answer)

namespace {

// Short enough for the stalls to end quickly, long enough for a loaded machine to answer.
constexpr auto kShortTimeout = 1500ms;
constexpr qint64 kSmallLimit = 64 * 1024;

QByteArray results(qint64 size)
{
    QByteArray line = "1,2,8,10,13,27,30,39\n";
    QByteArray body;
    while (body.size() < size)
        body += line;
    return body.left(size);
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

private slots:
    void download_endsAsTheServerAnswers_data();
    void download_endsAsTheServerAnswers();
    void cancel_endsOnceWithNothingKept();
    void tls_certificateNotTrusted_refusedUnasked();
    void parseAddress_takesOnlyWebAddresses_data();
    void parseAddress_takesOnlyWebAddresses();
    void transferModule_downloadsFromItsFolderOnly_data();
    void transferModule_downloadsFromItsFolderOnly();
};

void TestDownload::download_endsAsTheServerAnswers_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("inMessage");

    const QByteArray good = results(2000);
    Answer ok;
    ok.body = good;
    QTest::addRow("ok_bodyKept") << ok << QString() << QString();
    Answer paced = ok;
    paced.pieceBytes = 500;
    paced.pieceDelay = 20ms;
    QTest::addRow("slowButSteady_bodyKept") << paced << QString() << QString();
    Answer atLimit;
    atLimit.body = results(kSmallLimit);
    atLimit.sendsLength = false;
    QTest::addRow("exactlyAtLimit_bodyKept") << atLimit << QString() << QString();

    Answer missing;
    missing.status = "404 Not Found";
    missing.body = "gone";
    QTest::addRow("notFound_httpStatus") << missing << "http-status" << "404";
    Answer serverError = missing;
    serverError.status = "503 Service Unavailable";
    QTest::addRow("serverError_httpStatus") << serverError << "http-status" << "503";
    Answer noContent;
    noContent.status = "204 No Content";
    QTest::addRow("otherSuccess_httpStatus") << noContent << "http-status" << "204";

    Answer silent;
    silent.answers = false;
    QTest::addRow("noAnswer_timeout") << silent << "timeout" << "1.5 秒";
    Answer stalled = ok;
    stalled.stopAfter = 700;
    QTest::addRow("stallsMidBody_timeout") << stalled << "timeout" << QString();

    Answer large;
    large.body = results(kSmallLimit + 1);
    QTest::addRow("declaredOverLimit_tooLarge") << large << "too-large" << "65536 バイト";
    Answer endless = large;
    endless.body = results(4 * kSmallLimit);
    endless.sendsLength = false;
    QTest::addRow("undeclaredOverLimit_tooLarge") << endless << "too-large" << QString();

    Answer cut = ok;
    cut.stopAfter = 700;
    cut.closesAtStop = true;
    QTest::addRow("cutMidBody_network") << cut << "network" << QString();

    Answer loop;
    loop.status = "302 Found";
    loop.headers = "Location: /results.csv\r\n";
    QTest::addRow("redirectLoop_stopsAfterFive") << loop << "redirect" << "5 回";
    Answer toFtp = loop;
    toFtp.headers = "Location: ftp://127.0.0.1/results.csv\r\n";
    QTest::addRow("redirectToOtherScheme_refused") << toFtp << "redirect" << "ftp://";
    Answer toFile = loop;
    toFile.headers = "Location: file:///etc/passwd\r\n";
    QTest::addRow("redirectToFile_refused") << toFile << "redirect" << "file://";
}

void TestDownload::download_endsAsTheServerAnswers()
{
    QFETCH(Answer, answer);
    QFETCH(QString, code);
    QFETCH(QString, inMessage);
    LocalHttpServer server;
    QVERIFY(server.isListening());
    server.serve("/results.csv", answer);

    QElapsedTimer clock;
    clock.start();
    const fetch::DownloadResult result =
        fetch::downloadNow(server.url(QStringLiteral("/results.csv")), {kShortTimeout, kSmallLimit});

    QCOMPARE(result.code, code);
    QCOMPARE(result.ok(), code.isEmpty());
    if (result.ok()) {
        QCOMPARE(result.body, answer.body);
        QCOMPARE(result.httpStatus, 200);
        QVERIFY(result.message.isEmpty());
    } else {
        QVERIFY(result.body.isEmpty());
        QVERIFY2(result.message.startsWith(server.url(QStringLiteral("/results.csv")).toString()), qPrintable(result.message));
        QVERIFY2(result.message.contains(inMessage), qPrintable(result.message));
    }
    // Asked, and not without end (Qt may send a request again on a connection the server closed).
    const int requests = server.requestCount("/results.csv");
    QVERIFY2(requests >= 1 && requests <= 2 * (1 + fetch::kMaxRedirects), qPrintable(QString::number(requests)));
    // A stalled download ends after the timeout, not the limit of the test.
    QVERIFY(clock.elapsed() < 10'000);
}

void TestDownload::cancel_endsOnceWithNothingKept()
{
    LocalHttpServer server;
    Answer slow;
    slow.body = results(4000);
    slow.pieceBytes = 100;
    slow.pieceDelay = 50ms;
    server.serve("/results.csv", slow);
    QNetworkAccessManager manager;
    fetch::Download download(manager, server.url(QStringLiteral("/results.csv")), {kShortTimeout, kSmallLimit});
    QSignalSpy finished(&download, &fetch::Download::finished);
    QSignalSpy progress(&download, &fetch::Download::progress);
    download.start();
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
    QCOMPARE(progress.last().at(1).toLongLong(), 4000); // the size, from the header
    QVERIFY(finished.isEmpty());

    download.cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(download.result().code, QStringLiteral("cancelled"));
    QVERIFY(download.result().body.isEmpty());
    download.cancel();
    QTest::qWait(200); // the rest of the body, had the reply not been let go
    QCOMPARE(finished.size(), 1);
}

void TestDownload::tls_certificateNotTrusted_refusedUnasked()
{
    const auto bytes = [](const char *name) {
        QFile file(QStringLiteral(OMVEX_TEST_DATA_DIR "/tls/") + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // A certificate of its own, which nothing trusts: what a machine in the middle would present.
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(bytes("localhost.crt")));
    tls.setPrivateKey(QSslKey(bytes("localhost.key"), QSsl::Rsa));
    QVERIFY(!tls.localCertificate().isNull() && !tls.privateKey().isNull());
    LocalHttpServer server(&tls);
    QVERIFY(server.isListening());
    Answer ok;
    ok.body = results(100);
    server.serve("/results.csv", ok);

    const fetch::DownloadResult result =
        fetch::downloadNow(server.url(QStringLiteral("/results.csv")), {kShortTimeout * 5, kSmallLimit});
    QCOMPARE(result.code, QStringLiteral("tls"));
    QVERIFY(result.body.isEmpty());
    QVERIFY2(result.message.startsWith(QStringLiteral("https://127.0.0.1:")), qPrintable(result.message));
    QCOMPARE(server.requestCount("/results.csv"), 0);
}

void TestDownload::parseAddress_takesOnlyWebAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addRow("http") << "http://example.test/results.csv" << true;
    QTest::addRow("httpsWithQuery_blanksTrimmed") << "  https://example.test/dl?id=7&all=1 " << true;
    QTest::addRow("upperCaseScheme") << "HTTPS://example.test/x.csv" << true;
    QTest::addRow("empty") << "" << false;
    QTest::addRow("noScheme") << "example.test/results.csv" << false;
    QTest::addRow("ftp") << "ftp://example.test/results.csv" << false;
    QTest::addRow("file") << "file:///home/me/results.csv" << false;
    QTest::addRow("noHost") << "http:///results.csv" << false;
    QTest::addRow("space") << "http://exa mple.test/" << false;
}

void TestDownload::parseAddress_takesOnlyWebAddresses()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QString error;
    const std::optional<QUrl> url = fetch::parseAddress(text, &error);
    QCOMPARE(url.has_value(), accepted);
    QCOMPARE(error.isEmpty(), accepted);
    if (url)
        QCOMPARE(url->toString(), text.trimmed().replace(QLatin1String("HTTPS"), QLatin1String("https")));
}

// The window's downloads come from the module built beside the program.
void TestDownload::transferModule_downloadsFromItsFolderOnly_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("loads");
    const QString binaryDir = qEnvironmentVariable("OMVEX_BINARY_DIR");
    QTest::newRow("programFolder") << binaryDir + QStringLiteral("/src/app") << true;
    QTest::newRow("folderWithoutTheModule") << binaryDir << false;
}

void TestDownload::transferModule_downloadsFromItsFolderOnly()
{
    QFETCH(QString, folder);
    QFETCH(bool, loads);
    const fetch::TransferModule module = fetch::loadTransferModule(folder);
    QCOMPARE(static_cast<bool>(module.make), loads);
    QCOMPARE(module.problem.isEmpty(), loads);
    if (!loads) {
        QVERIFY2(module.problem.contains(QLatin1String(fetch::kTransferModuleFileName)), qPrintable(module.problem));
        return;
    }
    LocalHttpServer server;
    Answer file;
    file.body = results(500);
    server.serve("/results.csv", file);
    const std::unique_ptr<fetch::Transfer> transfer =
        module.make(server.url(QStringLiteral("/results.csv")), {kShortTimeout, kSmallLimit});
    int finished = 0;
    qint64 received = 0;
    transfer->start([&](qint64 bytes, qint64) { received = bytes; }, [&] { ++finished; });
    QTRY_COMPARE(finished, 1);
    QVERIFY2(transfer->result().ok(), qPrintable(transfer->result().message));
    QCOMPARE(transfer->result().body, file.body);
    QCOMPARE(received, 500);
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
