// Runs the built omvex-predict for what only a real process shows: exit statuses, the one-line
// usage errors, and the chart written without any display.
#include "ui/charts/chart.h"
#include "cli/tool.h"
#include "clitestsupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace omvex::cli {
namespace {

using test::writeFile;

struct ProcessOutput {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// fileSizeLimit, when not 0, bounds the size of any file the program writes, as a full disk does.
ProcessOutput runProcess(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                      rlim_t fileSizeLimit = 0)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (fileSizeLimit != 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN); // kept across exec: writes fail with EFBIG instead
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(program, arguments);
    ProcessOutput output;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return output;
    }
    output.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    output.out = process.readAllStandardOutput();
    output.err = process.readAllStandardError();
    return output;
}

ProcessOutput runProgram(const QStringList &arguments, const QProcessEnvironment &environment, rlim_t fileSizeLimit = 0)
{
    return runProcess(QStringLiteral(OMVEX_PREDICT_PATH), arguments, environment, fileSizeLimit);
}

// Bytes that would move a terminal's cursor, clear it or retitle it: every control byte but the
// line end, and the one-byte forms of the longer sequences (C1 as UTF-8).
bool hasControlBytes(const QByteArray &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F)
            return true;
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
            && static_cast<unsigned char>(text[i + 1]) <= 0x9F)
            return true;
    }
    return false;
}

// No display, and none of what a desktop session sets (Qt warns when its runtime folder is unset).
QProcessEnvironment headless()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

TEST(Program, exitStatus_followsTheOutcome)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), "1,1,2,3,4,5,6,7\n2,8,9,10,11,12,13,14\n3,1,9,17,25,33,41,2\n");
    QTemporaryDir broken;
    writeFile(broken.filePath("kako.txt"), "1,1,2,3,4,5,6,7\n2,8,9\n");
    QTemporaryDir empty;
    QTemporaryDir unwritable;
    writeFile(unwritable.filePath("kako.txt"), "1,1,2,3,4,5,6,7\n");
    ASSERT_TRUE(QDir(unwritable.path()).mkdir("omvex.ini"));
    writeFile(unwritable.filePath("kiroku.txt"), "");
    ASSERT_EQ(::chmod(QFile::encodeName(unwritable.filePath("kiroku.txt")).constData(), 0444), 0);
    // A results file that would clear the terminal, retitle it and cut a line short if shown raw.
    const QString crafted = dir.filePath("r\x1b]0;pwned\x07.csv");
    writeFile(crafted, QByteArray("4,1,\x1b[2J,3,4,5,6,7\n5,1,2,3,4,5,6,\0\n", 36));
    writeFile(dir.filePath("next.csv"), "4,1,2,3,4,5,6,9\n");
    writeFile(dir.filePath("kiroku.txt"), "garbage\x1b[2J\n");
    QTemporaryDir full;
    writeFile(full.filePath("kako.txt"), test::sharedHistory());
    writeFile(full.filePath("next.csv"), "2059,1,2,3,4,5,6,9\n");
    QTemporaryDir readOnlyKako;
    writeFile(readOnlyKako.filePath("kako.txt"), "1,1,2,3,4,5,6,7\n");
    writeFile(readOnlyKako.filePath("next.csv"), "2,1,2,3,4,5,6,9\n");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnlyKako.filePath("kako.txt")).constData(), 0444), 0);

    struct Row {
        Row(const char *rowName, QStringList rowArguments, int rowStatus, rlim_t limit = 0, QString lock = {})
            : name(rowName), arguments(std::move(rowArguments)), status(rowStatus), fileSizeLimit(limit),
              heldLock(std::move(lock))
        {
        }
        const char *name;
        QStringList arguments;
        int status;
        rlim_t fileSizeLimit;
        QString heldLock; // a lock file the test holds while the program runs
    };
    const Row rows[] = {
        {"help", {"--help"}, kExitOk},
        {"version", {"--version"}, kExitOk},
        {"predict", {"--folder", dir.path(), "--seed", "1"}, kExitOk},
        {"predictJson", {"--folder", dir.path(), "--json"}, kExitOk},
        {"checkComplete", {"--folder", dir.path(), "--check"}, kExitOk},
        {"checkStoppedEarly", {"--folder", broken.path(), "--check"}, kExitHistory},
        {"backtestLast", {"--folder", dir.path(), "--backtest", "--last", "1", "--seed", "2"}, kExitOk},
        {"ticket", {"--folder", dir.path(), "--ticket", "1,2,3,4,5,6"}, kExitOk},
        {"stats", {"--folder", dir.path(), "--stats"}, kExitOk},
        {"predictFromTruncatedHistory_notes", {"--folder", broken.path(), "--seed", "1"}, kExitOk},
        {"statsWithoutHistory", {"--folder", empty.path(), "--stats"}, kExitHistory},
        {"unknownOption", {"--folder", dir.path(), "--frobnicate"}, kExitUsage},
        {"levelOutOfRange", {"--folder", dir.path(), "--level", "9"}, kExitUsage},
        {"badTicket", {"--folder", dir.path(), "--ticket", "1,2,3,4,5,5"}, kExitUsage},
        {"missingFolder", {"--folder", dir.filePath("absent")}, kExitUsage},
        {"missingFolderWithLineBreak", {"--folder", dir.filePath("a\nb\tc")}, kExitUsage},
        {"levelWithLineBreak", {"--level", "1\n2"}, kExitUsage},
        {"chartNotPng", {"--folder", dir.path(), "--stats", "--chart", dir.filePath("c.svg")}, kExitUsage},
        {"saveCannotWrite", {"--folder", unwritable.path(), "--save"}, kExitWriteFailed},
        {"chartCannotWrite", {"--folder", dir.path(), "--stats", "--chart", dir.filePath("no/such/dir/c.png")},
         kExitWriteFailed},
        {"chartOnFullDisk", {"--folder", dir.path(), "--stats", "--chart", dir.filePath("c.png")}, kExitWriteFailed, 2000},
        {"importCraftedFile", {"--folder", dir.path(), "--import", crafted}, kExitRefused},
        {"importCraftedFileJson", {"--folder", dir.path(), "--import", crafted, "--json"}, kExitRefused},
        {"importOnFullDisk", {"--folder", full.path(), "--import", full.filePath("next.csv")}, kExitWriteFailed, 20000},
        {"importReadOnlyKako", {"--folder", readOnlyKako.path(), "--import", readOnlyKako.filePath("next.csv")},
         kExitWriteFailed},
        {"importWhileAnotherImports", {"--folder", dir.path(), "--import", dir.filePath("next.csv")}, kExitRefused, 0,
         dir.filePath("kako.txt.lock")},
        {"recordCannotWrite", {"--folder", unwritable.path(), "--record", "--seed", "1"}, kExitWriteFailed},
        {"drawMissing", {"--folder", dir.path(), "--ticket", "1,2,3,4,5,6", "--draw", "99"}, kExitRefused},
        {"journalSkipsALine", {"--folder", dir.path(), "--journal"}, kExitOk},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        int lock = -1;
        if (!row.heldLock.isEmpty()) {
            lock = ::open(QFile::encodeName(row.heldLock).constData(), O_RDWR | O_CREAT, 0644);
            ASSERT_EQ(::flock(lock, LOCK_EX), 0);
        }
        const ProcessOutput output = runProgram(row.arguments, headless(), row.fileSizeLimit);
        if (lock >= 0)
            ::close(lock);
        EXPECT_FALSE(hasControlBytes(output.out)) << output.out.toStdString();
        EXPECT_FALSE(hasControlBytes(output.err)) << output.err.toStdString();
        EXPECT_EQ(output.status, row.status) << output.err.toStdString();
        if (row.status == kExitUsage) {
            EXPECT_TRUE(output.out.isEmpty());
            EXPECT_EQ(output.err.count('\n'), 1) << output.err.toStdString();
        }
        for (const QByteArray &line : output.err.split('\n'))
            EXPECT_TRUE(line.isEmpty() || line.startsWith("omvex-predict: ")) << line.toStdString();
    }
}

TEST(Program, progressBar_staysOffAPipe)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    const ProcessOutput output =
        runProgram({"--folder", dir.path(), "--backtest", "--last", "20", "--seed", "5"}, headless());
    ASSERT_EQ(output.status, kExitOk) << output.err.toStdString();
    EXPECT_TRUE(output.err.isEmpty()) << output.err.toStdString();
}

TEST(Program, chartWithoutAnyDisplay_isAPngOfTheChartSize)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    struct Row {
        const char *name;
        const char *platform; // nullptr: not set
    };
    const Row rows[] = {{"platformUnset", nullptr}, {"desktopPlatformWithoutDisplay", "xcb"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment environment = headless();
        if (row.platform)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(row.platform));
        const QString png = dir.filePath(QStringLiteral("%1.png").arg(QString::fromLatin1(row.name)));
        const ProcessOutput output = runProgram({"--folder", dir.path(), "--stats", "--chart", png}, environment);
        ASSERT_EQ(output.status, kExitOk) << output.err.toStdString();
        EXPECT_TRUE(output.err.isEmpty()) << output.err.toStdString();
        QImage image;
        ASSERT_TRUE(image.load(png, "PNG"));
        EXPECT_EQ(image.size(), charts::kChartSize);
    }
}

// Replacing a FIFO, device or folder with a picture would break whatever uses it, and opening a
// FIFO would wait for a reader forever: only a new file or a regular one is written.
TEST(Program, chartOntoAnythingButAFile_isRefusedAndLeftAsItWas)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("kako.txt"), test::sharedHistory());
    struct Row {
        const char *name;
        std::function<bool(const QByteArray &path)> make; // false: not possible here
        const char *target;                                // what --chart names
        mode_t type;
    };
    const Row rows[] = {
        {"fifo", [](const QByteArray &path) { return mkfifo(path, 0600) == 0; }, "fifo.png", S_IFIFO},
        {"folder", [](const QByteArray &path) { return QDir().mkdir(QString::fromUtf8(path)); }, "folder.png", S_IFDIR},
        {"linkToAFifo",
         [&dir](const QByteArray &path) {
             return mkfifo(QFile::encodeName(dir.filePath("target")), 0600) == 0 && symlink("target", path) == 0;
         },
         "link.png", S_IFIFO},
        // Only root may make a device node; a copy of /dev/null in the test's own folder keeps the
        // real one safe from a tool that would replace it.
        {"characterDevice",
         [](const QByteArray &path) { return geteuid() == 0 && mknod(path, S_IFCHR | 0600, makedev(1, 3)) == 0; },
         "null.png", S_IFCHR},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString target = dir.filePath(QString::fromLatin1(row.target));
        if (!row.make(QFile::encodeName(target))) {
            EXPECT_EQ(row.type, mode_t{S_IFCHR}) << "could not make the target";
            continue;
        }
        const ProcessOutput output = runProgram({"--folder", dir.path(), "--stats", "--chart", target}, headless());
        EXPECT_EQ(output.status, kExitWriteFailed);
        EXPECT_TRUE(output.out.isEmpty()) << output.out.toStdString();
        EXPECT_EQ(output.err.count('\n'), 1) << output.err.toStdString();
        struct stat after {};
        ASSERT_EQ(stat(QFile::encodeName(target), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, row.type);
    }
}

// The install step writes the menu entry; its Exec line must start the program in any folder the
// user picked, also one whose name holds characters that the entry's quoting rules single out.
TEST(DesktopEntry, execQuotesTheProgramFolder)
{
    struct Row {
        const char *name;
        QString folderName;
        QString exec; // as it must stand in the file
    };
    const Row rows[] = {
        {"plain", QStringLiteral("Omvex"), QStringLiteral("Exec=\"%1/Omvex/omvex\"")},
        {"space", QStringLiteral("My Omvex"), QStringLiteral("Exec=\"%1/My Omvex/omvex\"")},
        {"dollarAndPercent", QStringLiteral("a$b%c"), QStringLiteral("Exec=\"%1/a\\\\$b%%c/omvex\"")},
        {"doubleQuote", QStringLiteral("a\"b"), QStringLiteral("Exec=\"%1/a\\\\\"b/omvex\"")},
        {"backtick", QStringLiteral("a`b"), QStringLiteral("Exec=\"%1/a\\\\`b/omvex\"")},
        // CMake itself reads a backslash in a path as a separator and installs into a/b.
        {"backslash_endsWhereCMakeInstalls", QStringLiteral("a\\b"), QStringLiteral("Exec=\"%1/a/b/omvex\"")},
    };
    // Installed with the desktop files' own tools (desktop-file-utils), so the check is the menus' own.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate (desktop-file-utils) is missing";
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        writeFile(dir.filePath("icon.png"), "png");
        const QString prefix = dir.filePath(row.folderName);
        QProcess cmake;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath("share"));
        environment.remove(QStringLiteral("DESTDIR"));
        cmake.setProcessEnvironment(environment);
        cmake.start(QStringLiteral(OMVEX_CMAKE_COMMAND),
                    {QStringLiteral("-DCMAKE_INSTALL_PREFIX=") + prefix,
                     QStringLiteral("-DOMVEX_DESKTOP_TEMPLATE=" OMVEX_PACKAGING_DIR "/omvex.desktop.in"),
                     QStringLiteral("-DOMVEX_ICON_256=") + dir.filePath("icon.png"),
                     QStringLiteral("-DOMVEX_ICON_48=") + dir.filePath("icon.png"),
                     QStringLiteral("-P"), QStringLiteral(OMVEX_PACKAGING_DIR "/installdesktopentry.cmake")});
        ASSERT_TRUE(cmake.waitForFinished(60000));
        ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
        const QString entry = QString::fromUtf8(test::readFile(dir.filePath("share/applications/omvex.desktop")));
        const QStringList lines = entry.split(QLatin1Char('\n'));
        EXPECT_TRUE(lines.contains(row.exec.arg(dir.path()))) << entry.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("Path=") + QString(prefix).replace(QLatin1Char('\\'), QLatin1Char('/'))))
            << entry.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("Name[ja]=Omvex予想")));
        EXPECT_TRUE(QFile::exists(dir.filePath("share/icons/hicolor/256x256/apps/omvex.png")));
        const ProcessOutput validation = runProcess(validator, {dir.filePath("share/applications/omvex.desktop")});
        EXPECT_EQ(validation.status, 0) << validation.out.toStdString() << validation.err.toStdString();
        EXPECT_TRUE(validation.out.isEmpty()) << "warnings: " << validation.out.toStdString();
    }
}

// Debug information is for the build folder; the program folder gets programs a tenth the size.
TEST(Install, programsAreStripped)
{
    QTemporaryDir dir;
    const ProcessOutput install =
        runProcess(QStringLiteral(OMVEX_CMAKE_COMMAND),
                {QStringLiteral("--install"), QString::fromLocal8Bit(qgetenv("OMVEX_BINARY_DIR")),
                 QStringLiteral("--prefix"), dir.path(), QStringLiteral("--component"), QStringLiteral("program")});
    ASSERT_EQ(install.status, 0) << install.err.toStdString();
    for (const char *program : {"omvex", "omvex-predict"}) {
        SCOPED_TRACE(program);
        const QByteArray bytes = test::readFile(dir.filePath(QString::fromLatin1(program)));
        ASSERT_TRUE(bytes.startsWith("\x7f" "ELF"));
        EXPECT_FALSE(bytes.contains(".debug_info"));
        EXPECT_FALSE(bytes.contains(".symtab"));
    }
}

TEST(DesktopEntry, stagedInstallLeavesTheHomeFolderAlone)
{
    QTemporaryDir dir;
    QProcess cmake;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath("share"));
    environment.insert(QStringLiteral("DESTDIR"), dir.filePath("stage"));
    cmake.setProcessEnvironment(environment);
    cmake.start(QStringLiteral(OMVEX_CMAKE_COMMAND),
                {QStringLiteral("-DCMAKE_INSTALL_PREFIX=/opt/omvex"),
                 QStringLiteral("-P"), QStringLiteral(OMVEX_PACKAGING_DIR "/installdesktopentry.cmake")});
    ASSERT_TRUE(cmake.waitForFinished(60000));
    EXPECT_EQ(cmake.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("share")));
}

} // namespace
} // namespace omvex::cli

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
