#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
        {"appendToEmpty_noHeaderNoLineEnd", Op::Append, Start::File, "", 0600, "1\n", "h\n", "", "1\n"},
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

        const FileWriteResult result =
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
    for (const FileWriteResult &result : {replaceFile(path, "x"), appendToFile(path, "x", "h")}) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.code, QStringLiteral("missing-folder"));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
}

} // namespace
} // namespace omvex::platform
