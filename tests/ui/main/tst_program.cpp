#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void start_fromFolderNotUtf8_saysSo();
    void start_withStartUpTrace_marksItAndEndsAfterFirstPaint();
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

// A folder name whose bytes are not UTF-8 cannot be made with QString paths, so the folder and the
// copy of the program are made with the raw bytes, and the program is started through a link
// with a plain name (the running program still sees its real folder).
void TestProgram::start_fromFolderNotUtf8_saysSo()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path()) + "/bad\xff\xfe name";
    QVERIFY(::mkdir(folder.constData(), 0700) == 0);
    const QByteArray copy = folder + "/omvex";
    {
        QFile from(QStringLiteral(OMVEX_PROGRAM));
        QVERIFY(from.open(QIODevice::ReadOnly));
        const QByteArray bytes = from.readAll();
        const int out = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL, 0700);
        QVERIFY(out >= 0);
        const bool written = ::write(out, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
        ::close(out);
        QVERIFY(written);
    }
    const QString link = dir.filePath(QStringLiteral("start-omvex"));
    QVERIFY(::symlink(copy.constData(), QFile::encodeName(link).constData()) == 0);

    // The raw names cannot be removed through QTemporaryDir's QString paths.
    const auto removeRaw = qScopeGuard([&] {
        ::unlink(copy.constData());
        ::rmdir(folder.constData());
    });

    QProcess program;
    const auto stop = qScopeGuard([&] {
        program.kill();
        program.waitForFinished(5000);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setReadChannel(QProcess::StandardError);
    program.start(link, {});
    QVERIFY(program.waitForStarted(10000));
    QString said;
    while (!said.contains(QStringLiteral("omvex:")) && program.waitForReadyRead(10000))
        said += QString::fromUtf8(program.readAllStandardError());

    // The message box that follows waits for its OK, which nobody can press here.
    QVERIFY2(said.contains(QStringLiteral("omvex: プログラムのフォルダ名に UTF-8 でない文字")), qPrintable(said));
    QCOMPARE(program.state(), QProcess::Running);
}

// What the start-up benchmark reads: checkpoints in the order they are reached, from the start of
// main() to the first paint, after which the program ends by itself. Started from a folder holding
// files named as the libraries it uses: the program never looks for libraries in the working folder.
void TestProgram::start_withStartUpTrace_marksItAndEndsAfterFirstPaint()
{
    QTemporaryDir working;
    QVERIFY(working.isValid());
    for (const char *name : {"libQt6Core.so.6", "libQt6Gui.so.6", "libQt6Widgets.so.6", "libstdc++.so.6", "libc.so.6"}) {
        QFile decoy(working.filePath(QLatin1String(name)));
        QVERIFY(decoy.open(QIODevice::WriteOnly) && decoy.write("not a library") > 0);
    }
    QProcess program;
    program.setWorkingDirectory(working.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("OMVEX_STARTUP_TRACE"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OMVEX_PROGRAM), {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    QStringList names;
    qint64 previousWall = 0;
    qint64 previousCpu = 0;
    for (const QByteArray &line : program.readAllStandardError().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.first() != "omvex-startup-trace")
            continue;
        QCOMPARE(fields.size(), 4);
        names.append(QString::fromLatin1(fields[1]));
        QVERIFY2(fields[2].toLongLong() >= previousWall && fields[3].toLongLong() >= previousCpu, line.constData());
        previousWall = fields[2].toLongLong();
        previousCpu = fields[3].toLongLong();
    }
    QVERIFY2(names.size() > 4, qPrintable(names.join(u' ')));
    QCOMPARE(names.first(), QStringLiteral("main"));
    QVERIFY2(names.indexOf(QStringLiteral("history")) < names.indexOf(QStringLiteral("window")),
             qPrintable(names.join(u' ')));
    QCOMPARE(names.mid(names.size() - 3), QStringList({"shown", "exposed", "painted"}));
}

void TestProgram::build_placesHelpFileBesideProgram()
{
    const QString beside = QFileInfo(QStringLiteral(OMVEX_PROGRAM)).absolutePath() + QStringLiteral("/omvex.hlp");
    QVERIFY2(QFileInfo::exists(beside), qPrintable(beside));
    QCOMPARE(fileHash(beside), fileHash(QStringLiteral(OMVEX_HELP_FILE)));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
