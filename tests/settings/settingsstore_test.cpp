#include "settings/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace omvex {
namespace {

std::string fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
}

void writeContent(const QString &path, const std::string &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content.data(), static_cast<qint64>(content.size())), static_cast<qint64>(content.size()));
}

// omvex.ini in a folder of its own, holding content unless that is null.
struct IniFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("omvex.ini"));

    explicit IniFile(const char *content = nullptr)
    {
        if (content)
            writeContent(path, content);
    }
};

Settings settingsOf(int level, int pattern, int kako)
{
    return {levelFromDigit(level), patternFromDigit(pattern), kakoFromDigit(kako)};
}

TEST(SettingsStore, read_appliesRangesAndFallbacks)
{
    const struct {
        const char *name;
        const char *content; // nullptr: no file at all
        Settings expected;
    } rows[] = {
        {"noFile_allZero", nullptr, settingsOf(0, 0, 0)},
        {"emptyFile_allZero", "", settingsOf(0, 0, 0)},
        {"allInRange", "[OmvexINI]\nLevel=3\nPattern=1\nKako=2\n", settingsOf(3, 1, 2)},
        {"levelSeven_zero", "[OmvexINI]\nLevel=7\nPattern=1\nKako=1\n", settingsOf(0, 1, 1)},
        {"levelMinusOne_zero", "[OmvexINI]\nLevel=-1\nKako=1\n", settingsOf(0, 0, 1)},
        {"patternTwo_zero", "[OmvexINI]\nPattern=2\n", settingsOf(0, 0, 0)},
        {"kakoThree_kept", "[OmvexINI]\nKako=3\n", settingsOf(0, 0, 3)},
        {"kakoFour_zero", "[OmvexINI]\nKako=4\n", settingsOf(0, 0, 0)},
        {"levelTwoThenLetters", "[OmvexINI]\nLevel=2abc\n", settingsOf(2, 0, 0)},
        {"namesIgnoreCase", "[omvexini]\nLEVEL = 2abc\npattern=1\n", settingsOf(2, 1, 0)},
        {"leadingZeros_singleDigit", "[OmvexINI]\nLevel=003\n", settingsOf(3, 0, 0)},
        {"signAndDecimals_leadingWholeNumber", "[OmvexINI]\nLevel=+2.9\nPattern=+ 1\nKako=++1\n", settingsOf(2, 0, 0)},
        {"quotedValue", "[OmvexINI]\nLevel=\"3\"\n", settingsOf(3, 0, 0)},
        {"hugeValue_doesNotWrapIntoRange", "[OmvexINI]\nLevel=4294967297\nKako=-4294967294\n", settingsOf(0, 0, 0)},
        {"valueBeyondAnyInteger_zero", "[OmvexINI]\nLevel=99999999999999999999999\n", settingsOf(0, 0, 0)},
        {"lettersOnly_zero", "[OmvexINI]\nLevel=high\nPattern=all\n", settingsOf(0, 0, 0)},
        {"otherSection_ignored", "[Other]\nLevel=3\n[OmvexINI]\nPattern=1\n", settingsOf(0, 1, 0)},
        {"byteOrderMark_skipped", "\xEF\xBB\xBF[OmvexINI]\r\nLevel=3\r\n", settingsOf(3, 0, 0)},
    };
    for (const auto &row : rows) {
        const IniFile ini(row.content);
        EXPECT_EQ(SettingsStore(ini.path).read(), row.expected) << row.name;
    }
}

TEST(SettingsStore, save_thenReadBackTheChosenDigits)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const SettingsStore store(dir.filePath(QStringLiteral("omvex.ini")));
    const Settings settings = settingsOf(3, 1, 2);
    const Status result = store.save(settings);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(store.read(), settings);
    EXPECT_EQ(fileContent(store.path()), "[OmvexINI]\nLevel=3\nPattern=1\nKako=2\n");
}

TEST(SettingsStore, save_keepsOtherSectionsCommentsAndLineEnds)
{
    const struct {
        const char *name;
        std::string before;
        std::string after;
    } rows[] = {
        {"designExample", ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=1\n; keep me\n\n[Tail]\n",
         ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=0\nLevel=3\nPattern=1\n; keep me\n\n[Tail]\n"},
        {"windowsFile_staysCrlfWithByteOrderMark", "\xEF\xBB\xBF[OmvexINI]\r\nLevel=7\r\nPattern=0\r\nKako=2",
         "\xEF\xBB\xBF[OmvexINI]\r\nLevel=3\r\nPattern=1\r\nKako=0\r\n"},
        {"sectionMissing_appendedAfterOtherContent", "[Other]\nx=1", "[Other]\nx=1\n[OmvexINI]\nLevel=3\nPattern=1\nKako=0\n"},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const SettingsStore store(dir.filePath(QStringLiteral("omvex.ini")));
        writeContent(store.path(), row.before);
        ASSERT_TRUE(store.save(settingsOf(3, 1, 0)).ok) << row.name;
        EXPECT_EQ(fileContent(store.path()), row.after) << row.name;
    }
}

TEST(SettingsStore, readRecordEnabled_onUnlessZero)
{
    const struct {
        const char *name;
        const char *content; // nullptr: no file at all
        bool enabled;
    } rows[] = {
        {"noFile_on", nullptr, true},
        {"zero_off", "[Kiroku]\nRecord=0\n", false},
        {"one_on", "[Kiroku]\nRecord=1\n", true},
        {"emptyValue_default", "[Kiroku]\nRecord=\n", true},
        {"namesIgnoreCase_zeroWithText_off", "[KIROKU]\nrecord = 0 (off)\n", false},
        {"outOfRange_default", "[Kiroku]\nRecord=-1\n", true},
        {"keyInOtherSection_ignored", "[OmvexINI]\nRecord=0\n", true},
    };
    for (const auto &row : rows) {
        const IniFile ini(row.content);
        EXPECT_EQ(SettingsStore(ini.path).readRecordEnabled(), row.enabled) << row.name;
    }
}

TEST(SettingsStore, analysisPlace_readBackOrNothing)
{
    const struct {
        const char *name;
        const char *content;
        std::optional<QRect> place;
    } rows[] = {
        {"whole_leftOfThePrimaryScreen", "[Bunseki]\nLeft=-1200\nTop=40\nWidth=900\nHeight=600\n", QRect(-1200, 40, 900, 600)},
        {"keyMissing_nothing", "[Bunseki]\nLeft=10\nTop=40\nWidth=900\n", std::nullopt},
        {"zeroWidth_nothing", "[Bunseki]\nLeft=10\nTop=40\nWidth=0\nHeight=600\n", std::nullopt},
        {"huge_nothing", "[Bunseki]\nLeft=99999999999\nTop=40\nWidth=900\nHeight=600\n", std::nullopt},
    };
    for (const auto &row : rows) {
        const IniFile ini(row.content);
        EXPECT_EQ(SettingsStore(ini.path).readAnalysisPlace(), row.place) << row.name;
    }
    const IniFile ini("[OmvexINI]\nLevel=3\n");
    const SettingsStore store(ini.path);
    EXPECT_TRUE(store.saveAnalysisPlace(QRect(-5, 7, 800, 500)).ok);
    EXPECT_EQ(store.readAnalysisPlace(), QRect(-5, 7, 800, 500));
    EXPECT_EQ(store.read().level, Level::Matsu);
}

TEST(SettingsStore, saveRecordEnabled_leavesTheSettingsSectionAsItWas)
{
    const struct {
        const char *name;
        std::string before;
        bool enabled;
        std::string after;
    } rows[] = {
        {"noFile", "", false, "[Kiroku]\nRecord=0\n"},
        {"afterTheSettings", "[OmvexINI]\nLevel=3\nPattern=1\nKako=2\n", false,
         "[OmvexINI]\nLevel=3\nPattern=1\nKako=2\n[Kiroku]\nRecord=0\n"},
        {"replacedInPlace_crlfKept", "[Kiroku]\r\nRecord = 0\r\n[OmvexINI]\r\nLevel=7\r\n", true,
         "[Kiroku]\r\nRecord =1\r\n[OmvexINI]\r\nLevel=7\r\n"},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const SettingsStore store(dir.filePath(QStringLiteral("omvex.ini")));
        if (!row.before.empty())
            writeContent(store.path(), row.before);
        const Status result = store.saveRecordEnabled(row.enabled);
        ASSERT_TRUE(result.ok) << row.name << ": " << result.message.toStdString();
        EXPECT_EQ(fileContent(store.path()), row.after) << row.name;
        EXPECT_EQ(store.readRecordEnabled(), row.enabled) << row.name;
    }
}

TEST(SettingsStore, saveFetchAddress_keepsTheSettingsSectionAndReadsBack)
{
    const struct {
        const char *name;
        std::string before;
        std::string after;
    } rows[] = {
        {"noFile", "", "[Torikomi]\nURL=https://example.test/results.csv?all=1\n"},
        {"afterTheSettings_crlfKept", "[OmvexINI]\r\nLevel=3\r\n",
         "[OmvexINI]\r\nLevel=3\r\n[Torikomi]\r\nURL=https://example.test/results.csv?all=1\r\n"},
        {"replacedInPlace", "[torikomi]\nURL = http://old.test/a.csv\nFolder=/home\n[OmvexINI]\nKako=1\n",
         "[torikomi]\nURL =https://example.test/results.csv?all=1\nFolder=/home\n[OmvexINI]\nKako=1\n"},
    };
    const QString address = QStringLiteral("https://example.test/results.csv?all=1");
    for (const auto &row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const SettingsStore store(dir.filePath(QStringLiteral("omvex.ini")));
        if (!row.before.empty())
            writeContent(store.path(), row.before);
        EXPECT_EQ(store.readFetchAddress().isEmpty(), row.before.find("URL") == std::string::npos) << row.name;
        const Status result = store.saveFetchAddress(address);
        ASSERT_TRUE(result.ok) << row.name << ": " << result.message.toStdString();
        EXPECT_EQ(fileContent(store.path()), row.after) << row.name;
        EXPECT_EQ(store.readFetchAddress(), address) << row.name;
    }
}

TEST(SettingsStore, saveIntoMissingFolder_reportsPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/omvex.ini"));
    const Status result = SettingsStore(path).save(settingsOf(2, 1, 3));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains(path)) << result.message.toStdString();
    EXPECT_FALSE(SettingsStore(path).saveRecordEnabled(false).ok);
}

} // namespace
} // namespace omvex
