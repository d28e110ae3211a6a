#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void start_withoutDisplay_saysSoAndFails_data();
    void start_withoutDisplay_saysSoAndFails();
    void start_withDisplay_keepsRunning();
    void build_placesHelpFileBesideProgram();
};

void TestProgram::start_withoutDisplay_saysSoAndFails_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("named");
    QTest::addRow("noDisplaySet") << QString() << QStringLiteral("DISPLAY も WAYLAND_DISPLAY も空");
    // No X server answers on a display number this high.
    QTest::addRow("displayThatDoesNotExist") << QStringLiteral(":4711") << QStringLiteral("「:4711」を開けない");
}

void TestProgram::start_withoutDisplay_saysSoAndFails()
{
    QFETCH(QString, display);
    QFETCH(QString, named);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OMVEX_PROGRAM), {});
    QVERIFY(program.waitForFinished(10000));

    // One Japanese sentence with the way out, and status 1: no abort, no advice to reinstall.
    const QString said = QString::fromUtf8(program.readAllStandardError()).trimmed();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(said.contains(named), qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("xvfb-run")), qPrintable(said));
    QCOMPARE(said.count(QLatin1Char('\n')), 0);
    QCOMPARE(said.count(QStringLiteral("。")), 1);
}

// The window cannot be looked at here; the program must at least come up and stay up.
void TestProgram::start_withDisplay_keepsRunning()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OMVEX_PROGRAM), {});
    QVERIFY(program.waitForStarted(10000));
    QVERIFY(!program.waitForFinished(1500));
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(5000);
}

void TestProgram::build_placesHelpFileBesideProgram()
{
    const QString beside = QFileInfo(QStringLiteral(OMVEX_PROGRAM)).absolutePath() + QStringLiteral("/omvex.hlp");
    QVERIFY2(QFileInfo::exists(beside), qPrintable(beside));
    QCOMPARE(fileHash(beside), fileHash(QStringLiteral(OMVEX_HELP_FILE)));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
