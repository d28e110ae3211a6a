#include "platform/privateprofile.h"
#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace omvex::platform {
namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

enum class Op { Replace, Append };
enum class Start { None, File, Folder, LinkToFile };

struct WriteRow {
    const char *name;
    Op op;
    Start start;
    QByteArray before; // content of the existing file
    mode_t mode;       // of the existing file
    QByteArray content;
    QByteArray header;
    const char *code; // empty when the write succeeds
    QByteArray after;
};

// The rows hold for any user: read-only is judged by the mode bits, which root does not bypass here.
TEST(SafeWrite, writesOrFailsLeavingTheOldBytes)
{
    const WriteRow rows[] = {
        {"replaceNew", Op::Replace, Start::None, "", 0, "a\n", "", "", "a\n"},
        {"replaceKeepsMode", Op::Replace, Start::File, "old\n", 0640, "new\n", "", "", "new\n"},
        {"replaceReadOnly_refused", Op::Replace, Start::File, "old\n", 0444, "new\n", "", "read-only", "old\n"},
        {"replaceFolder_refused", Op::Replace, Start::Folder, "", 0, "new\n", "", "not-regular", ""},
        {"replaceThroughLink_writesTarget", Op::Replace, Start::LinkToFile, "old\n", 0600, "new\n", "", "", "new\n"},
        {"appendNew_headerFirst", Op::Append, Start::None, "", 0, "1\n", "h\n", "", "h\n1\n"},
        {"appendAfterLineEnd", Op::Append, Start::File, "0\r\n", 0600, "1\n", "h\n", "", "0\r\n1\n"},
        {"appendAfterCutLine_addsLineEnd", Op::Append, Start::File, "0", 0600, "1\n", "h\n", "", "0\n1\n"},
        {"appendToEmpty_headerFirst", Op::Append, Start::File, "", 0600, "1\n", "h\n", "", "h\n1\n"},
        {"appendReadOnly_refused", Op::Append, Start::File, "0\n", 0444, "1\n", "", "read-only", "0\n"},
        {"appendThroughLink_writesTarget", Op::Append, Start::LinkToFile, "0\n", 0600, "1\n", "", "", "0\n1\n"},
    };
    for (const WriteRow &row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("omvex.ini"));
        QString target = path;
        if (row.start == Start::Folder) {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        if (row.start == Start::LinkToFile) {
            target = dir.filePath(QStringLiteral("real.ini"));
            ASSERT_TRUE(QFile::link(target, path));
        }
        if (row.start == Start::File || row.start == Start::LinkToFile) {
            QFile file(target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.before);
            file.close();
            ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), row.mode), 0);
        }
        const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

        const Status result =
            row.op == Op::Replace ? replaceFile(path, row.content) : appendToFile(path, row.content, row.header);

        const bool shouldFail = *row.code != '\0';
        EXPECT_EQ(result.ok, !shouldFail) << row.name << ": " << result.message.toStdString();
        EXPECT_EQ(result.code, QString::fromLatin1(row.code)) << row.name;
        if (shouldFail) {
            EXPECT_TRUE(result.message.startsWith(path)) << row.name << ": " << result.message.toStdString();
        }
        if (row.start != Start::Folder) {
            EXPECT_EQ(contentOf(target), row.after) << row.name;
        }
        if (row.mode != 0) {
            EXPECT_EQ(modeOf(target), row.mode) << row.name;
        }
        if (row.start == Start::LinkToFile) {
            EXPECT_TRUE(QFileInfo(path).isSymLink()) << row.name;
        }
        QStringList entriesAfter = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        if (row.start == Start::None && !shouldFail)
            entriesAfter.removeOne(QStringLiteral("omvex.ini"));
        EXPECT_EQ(entriesAfter, entriesBefore) << row.name << ": no temporary file may stay";
    }
}

TEST(SafeWrite, missingFolder_isNamedAndNothingIsCreated)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gone/omvex.ini"));
    for (const Status &result : {replaceFile(path, "x"), appendToFile(path, "x", "h")}) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.code, QStringLiteral("missing-folder"));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
}

// Runs write in a child process whose files may not grow beyond limit bytes, as on a full disk; the
// child reports "ok" or the error through a pipe.
std::string writeWithFileSizeLimit(rlim_t limit, const std::function<std::string()> &write)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of killing the process
        const rlimit bound{limit, limit};
        std::string report = ::setrlimit(RLIMIT_FSIZE, &bound) == 0 ? write() : "no limit";
        const ssize_t sent = ::write(channel[1], report.data(), report.size());
        ::_exit(sent == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "child failed: " + report;
}

std::string reportOf(const Status &result)
{
    return result.ok ? std::string("ok") : result.message.toStdString();
}

TEST(SafeWrite, fullDisk_reportsFailureAndKeepsTheOldBytes)
{
    const QByteArray before = "[OmvexINI]\nLevel=1\n"; // 19 bytes: only a longer file hits the limit
    // From 16 KiB on, the toolkit writes straight to the file, and a write cut short by the limit
    // comes back as a short count with no error set: the 20,000-byte rows catch that.
    const struct {
        const char *name;
        rlim_t limit;
        std::function<std::string(const QString &path)> write;
    } rows[] = {
        {"settingsSave", 20,
         [](const QString &path) {
             QString error;
             return writeProfileStrings(path, "OmvexINI", {{"Level", "3"}, {"Pattern", "1"}, {"Kako", "2"}}, &error)
                 ? std::string("ok")
                 : error.toStdString();
         }},
        {"replace", 20,
         [](const QString &path) {
             return reportOf(replaceFile(path, QByteArray(100, 'x')));
         }},
        {"replaceLarge_shortWrite", 20000,
         [](const QString &path) {
             return reportOf(replaceFile(path, QByteArray(64 * 1024, 'x')));
         }},
        {"replaceFromLarge_shortWrite", 20000,
         [](const QString &path) {
             return reportOf(replaceFileFrom(path, [](const QString &, QIODevice &out) {
                 for (int i = 0; i < 8; ++i)
                     out.write(QByteArray(16 * 1024, 'y'));
                 return Status{};
             }));
         }},
        {"appendLarge", 20000,
         [](const QString &path) {
             return reportOf(appendToFile(path, QByteArray(64 * 1024, '1')));
         }},
        {"append", 20,
         [](const QString &path) {
             return reportOf(appendToFile(path, "1,2,3,4,5,6,7,8\n"));
         }},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("omvex.ini"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before);
        file.close();

        const QString report = QString::fromStdString(writeWithFileSizeLimit(row.limit, [&] { return row.write(path); }));
        EXPECT_TRUE(report.startsWith(path + QStringLiteral(": "))) << row.name << ": " << report.toStdString();
        // Japanese words only after the path: never the system's English error text.
        EXPECT_FALSE(report.mid(path.size()).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            << row.name << ": " << report.toStdString();
        EXPECT_EQ(contentOf(path), before) << row.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("omvex.ini")})
            << row.name << ": no temporary file may stay";
    }
}

} // namespace
} // namespace omvex::platform
