#include "platform/privateprofile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

namespace omvex::platform {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<unreadable>");
}

void writeContent(const QString &path, const std::string &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content.data(), static_cast<qint64>(content.size())), static_cast<qint64>(content.size()));
}

TEST(ProfileFile, writesThenReadsBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("omvex.ini"));
    EXPECT_EQ(readProfileStrings(path, "OmvexINI", {"Level"}).front(), std::nullopt);

    QString error;
    ASSERT_TRUE(writeProfileStrings(path, "OmvexINI", {{"Level", "3"}, {"Pattern", "1"}, {"Kako", "2"}}, &error))
        << error.toStdString();
    EXPECT_EQ(fileContent(path), "[OmvexINI]\nLevel=3\nPattern=1\nKako=2\n");
    ASSERT_TRUE(writeProfileString(path, "omvexini", "level", "1", &error));
    EXPECT_EQ(readProfileStrings(path, "OmvexINI", {"Level"}).front(), "1");
    EXPECT_EQ(fileContent(path), "[OmvexINI]\nLevel=1\nPattern=1\nKako=2\n");
}

TEST(ProfileFile, failedWrites_leaveTheFileUnchangedAndSayWhere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string before = "[OmvexINI]\r\nLevel=2\r\n";
    const QString existing = dir.filePath(QStringLiteral("omvex.ini"));
    writeContent(existing, before);

    const struct {
        const char *name;
        QString path;
        const char *key;
    } rows[] = {
        // The folder does not exist: fails even for a user who may write anywhere.
        {"missingFolder", dir.filePath(QStringLiteral("gone/omvex.ini")), "Level"},
        {"pathIsAFolder", dir.path(), "Level"},
        {"refusedKey", existing, "Le=vel"},
    };
    for (const auto &row : rows) {
        QString error;
        EXPECT_FALSE(writeProfileStrings(row.path, "OmvexINI", {{"Pattern", "1"}, {row.key, "3"}}, &error)) << row.name;
        EXPECT_TRUE(error.contains(row.path)) << row.name << ": " << error.toStdString();
        EXPECT_EQ(fileContent(existing), before) << row.name;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone"))));
}

TEST(ProfileFile, readingInPieces_givesWhatTheContentGives)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The reader takes 64 KiB at a time: the padding puts a CRLF across the first boundary, and the
    // blank lines a header.
    const std::string padding = ";" + std::string(65536 - 1 - 1, 'x');
    const std::string contents[] = {
        kBom + "[OmvexINI]\r\nLevel=1\r\nKako='2'\r\n",
        padding + "\r\n[OmvexINI]\r\nPattern = 3\r\n",
        std::string(65535, '\n') + "[OmvexINI]\nLevel=4\n[OmvexINI]\nKako=5",
        "[OmvexINI]\nLevel=6",
    };
    const std::vector<std::string_view> keys{"Level", "Pattern", "Kako"};
    for (const std::string &content : contents) {
        const QString path = dir.filePath(QStringLiteral("omvex.ini"));
        writeContent(path, content);
        EXPECT_EQ(readProfileStrings(path, "omvexini", keys), profileStrings(content, "omvexini", keys))
            << content.substr(0, 40);
    }
    EXPECT_EQ(readProfileStrings(dir.filePath(QStringLiteral("none.ini")), "OmvexINI", keys),
              std::vector<std::optional<std::string>>(3));
}

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// By the mode bits, so that these hold for root as well.
TEST(ProfileFile, saveKeepsTheModeAndNeverReplacesAReadOnlyFile)
{
    const struct {
        const char *name;
        mode_t mode;
        bool written;
    } rows[] = {
        {"ownerOnly", 0600, true},
        {"groupAndOthersRead", 0644, true},
        {"groupWriteOnly", 0460, true},
        {"readOnlyForAll", 0444, false},
        {"noBitsAtAll", 0000, false},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("omvex.ini"));
    const std::string before = "[OmvexINI]\nLevel=2\n";
    for (const auto &row : rows) {
        QFile::remove(path);
        writeContent(path, before);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), row.mode), 0);
        QString error;
        EXPECT_EQ(writeProfileString(path, "OmvexINI", "Level", "3", &error), row.written) << row.name;
        EXPECT_EQ(modeOf(path), row.mode) << row.name;
        if (row.written) {
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
            EXPECT_EQ(fileContent(path), "[OmvexINI]\nLevel=3\n") << row.name;
        } else {
            EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
            EXPECT_TRUE(error.contains(QStringLiteral("読み取り専用"))) << error.toStdString();
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
            EXPECT_EQ(fileContent(path), before) << row.name;
        }
    }
}

// Checks whether the permission bits hold for this user (they do not for root).
bool permissionsEnforced(const QString &readOnlyFolder)
{
    QFile probe(readOnlyFolder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        return false;
    }
    return true;
}

TEST(ProfileFile, readOnlyFolderOrFile_writeFailsAndKeepsTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/omvex.ini");
    const std::string before = "[OmvexINI]\nLevel=2\n";
    writeContent(path, before);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool enforced = permissionsEnforced(folder);
    QString error;
    const bool written = writeProfileString(path, "OmvexINI", "Level", "3", &error);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!enforced)
        GTEST_SKIP() << "permission bits are not enforced for this user";

    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(fileContent(path), before);

    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_FALSE(writeProfileString(path, "OmvexINI", "Level", "3", &error));
    EXPECT_EQ(fileContent(path), before);
}

} // namespace
} // namespace omvex::platform
