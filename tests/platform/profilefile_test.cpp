#include "platform/privateprofile.h"
#include "platform/profilescan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
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

struct ReadCase {
    const char *name;
    std::string content;
    std::optional<std::string> expected; // the value of "Level" as read; nullopt when there is none
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class ProfileLookUp : public testing::TestWithParam<ReadCase> {};

// Every row looks up key "Level" in section "OmvexINI" of a file, the way the settings store does.
TEST_P(ProfileLookUp, findsTheValueOfTheFirstMatch)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("omvex.ini"));
    writeContent(path, GetParam().content);
    EXPECT_EQ(readProfileStrings(path, "OmvexINI", {"Level"}).front(), GetParam().expected);
}

// A file is read in pieces; where a piece ends (inside a CRLF, a byte-order mark, a name) must not matter.
TEST_P(ProfileLookUp, findsTheSameFedOneByteAtATime)
{
    const std::string &content = GetParam().content;
    const std::vector<std::string_view> keys{"Level", "Pattern"};
    ProfileScan whole("OmvexINI", keys, true);
    whole.feed(content);
    whole.finish();
    ProfileScan pieces("OmvexINI", keys, true);
    for (const char c : content)
        pieces.feed(std::string_view(&c, 1));
    pieces.finish();
    const auto place = [](const std::optional<ProfileLine> &line) {
        return line ? std::to_string(line->begin) + "-" + std::to_string(line->end) + "-" + std::to_string(line->next)
                    : std::string("none");
    };
    EXPECT_EQ(place(pieces.sectionLine()), place(whole.sectionLine()));
    EXPECT_EQ(place(pieces.lastKeyLine()), place(whole.lastKeyLine()));
    EXPECT_EQ(pieces.lineEnd(), whole.lineEnd());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ASSERT_EQ(pieces.keys()[i].has_value(), whole.keys()[i].has_value());
        if (whole.keys()[i]) {
            EXPECT_EQ(pieces.keys()[i]->value, whole.keys()[i]->value);
            EXPECT_EQ(place(pieces.keys()[i]->line), place(whole.keys()[i]->line));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Contents, ProfileLookUp,
    testing::Values(
        ReadCase{"emptyContent_none", "", std::nullopt},
        ReadCase{"plainValue", "[OmvexINI]\nLevel=3\n", "3"},
        ReadCase{"namesIgnoreCase_blanksTrimmed", "[omvexini]\nLEVEL = 2abc\n", "2abc"},
        ReadCase{"missingKey_none", "[OmvexINI]\nPattern=1\n", std::nullopt},
        ReadCase{"otherSection_none", "[Other]\nLevel=3\n", std::nullopt},
        ReadCase{"keyBeforeAnySection_unreadable", "Level=3\n[OmvexINI]\n", std::nullopt},
        ReadCase{"emptyValue", "[OmvexINI]\nLevel=\n", ""},
        ReadCase{"blankValue_empty", "[OmvexINI]\nLevel=  \t\n", ""},
        ReadCase{"emptyQuotedValue_empty", "[OmvexINI]\nLevel=\"\"\n", ""},
        ReadCase{"innerBlankKept", "[OmvexINI]\nLevel=1 2\n", "1 2"},
        ReadCase{"doubleQuotes_removed", "[OmvexINI]\nLevel=\"3\"\n", "3"},
        ReadCase{"singleQuotes_removed", "[OmvexINI]\nLevel='3'\n", "3"},
        ReadCase{"mismatchedQuotes_kept", "[OmvexINI]\nLevel=\"3'\n", "\"3'"},
        ReadCase{"semicolonInValue_isValue", "[OmvexINI]\nLevel=3;note\n", "3;note"},
        ReadCase{"commentedKey_invisible", "[OmvexINI]\n;Level=3\n", std::nullopt},
        ReadCase{"indentedComment_invisible", "[OmvexINI]\n  ; Level=3\n", std::nullopt},
        ReadCase{"hashIsOrdinary", "[OmvexINI]\n#Level=3\nLevel=1\n", "1"},
        ReadCase{"lineWithoutEquals_noKey", "[OmvexINI]\nLevel\n", std::nullopt},
        ReadCase{"firstKeyWins", "[OmvexINI]\nLevel=1\nlevel=2\n", "1"},
        ReadCase{"laterDuplicateSection_invisible", "[OmvexINI]\nPattern=1\n[OmvexINI]\nLevel=2\n", std::nullopt},
        ReadCase{"firstDuplicateSection_used", "[OmvexINI]\nLevel=1\n[OmvexINI]\nLevel=2\n", "1"},
        ReadCase{"textAfterBracket_definesNoKey", "[OmvexINI]Level=3\n", std::nullopt},
        ReadCase{"headerWithoutBracket_toLineEnd", "[OmvexINI\nLevel=3\n", "3"},
        ReadCase{"headerBlanksTrimmed", "  [ OmvexINI ]  \nLevel=3\n", "3"},
        ReadCase{"crlfLines", "[OmvexINI]\r\nLevel=3\r\n", "3"},
        ReadCase{"loneCrLines", "[OmvexINI]\rLevel=3\r", "3"},
        ReadCase{"noFinalLineEnd", "[OmvexINI]\nLevel=3", "3"},
        ReadCase{"byteOrderMark_skipped", kBom + "[OmvexINI]\nLevel=3\n", "3"},
        ReadCase{"blankPaddingAroundNames_notKept", "[  OmvexINI" + std::string(100000, ' ') + "]\n" +
                    std::string(100000, '\t') + "Level" + std::string(100000, ' ') + "= 3\n", "3"},
        ReadCase{"innerBlankMakesAnotherName", "[OmvexINI]\nLev el=3\n", std::nullopt},
        ReadCase{"longerNameWithSamePrefix", "[OmvexINI]\nLevelX=3\nLevel=4\n", "4"},
        ReadCase{"longerSectionWithSamePrefix", "[OmvexINIX]\nLevel=3\n", std::nullopt},
        ReadCase{"partialByteOrderMark_isText", "\xEF\xBB[OmvexINI]\nLevel=3\n", std::nullopt},
        ReadCase{"nulByteInOtherLine", std::string("[OmvexINI]\n\0x=1\nLevel=3\n", 24), "3"}),
    [](const auto &row) { return std::string(row.param.name); });

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
