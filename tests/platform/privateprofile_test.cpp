#include "platform/privateprofile.h"
#include "platform/profilescan.h"

#include <gtest/gtest.h>

#include <string>

namespace omvex::platform {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct WriteCase {
    const char *name;
    std::string content;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

void PrintTo(const WriteCase &c, std::ostream *os)
{
    *os << c.name;
}

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, changesOnlyWhatTheWriteNeeds)
{
    const WriteCase &c = GetParam();
    const ProfileEdit edit = writeProfileStringToContent(c.content, c.section, c.key, c.value);
    ASSERT_TRUE(edit.ok) << edit.error;
    EXPECT_EQ(edit.content, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Contents, ProfileWrite,
    testing::Values(
        WriteCase{"newFile", "", "S", "k", "v", "[S]\nk=v\n"},
        WriteCase{"missingSection_appendedWithoutBlankLine", "[A]\nx=1\n", "S", "k", "v", "[A]\nx=1\n[S]\nk=v\n"},
        WriteCase{"missingSection_noFinalLineEnd", "[A]\nx=1", "S", "k", "v", "[A]\nx=1\n[S]\nk=v\n"},
        WriteCase{"missingSection_crlfFile", "[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
        WriteCase{"missingSection_crlfFileWithoutFinalLineEnd", "[A]\r\nx=1", "S", "k", "v",
                  "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
        WriteCase{"presentKey_valueReplaced", "[S]\nk=1\nz=2\n", "S", "k", "v", "[S]\nk=v\nz=2\n"},
        WriteCase{"presentKey_spellingAndSpacingBeforeEqualsKept", "[S]\n  K = 1 ; old\n", "s", "k", "v",
                  "[S]\n  K =v\n"},
        WriteCase{"presentKey_lastLineGetsLineEnd", "[S]\nk=1", "S", "k", "v", "[S]\nk=v\n"},
        WriteCase{"presentKey_crlfKept", "[S]\r\nk=1\r\nz=2\r\n", "S", "k", "v", "[S]\r\nk=v\r\nz=2\r\n"},
        WriteCase{"presentKey_takesTheFirstLinesLineEnd", "[S]\r\nk=1\nz=2\r\n", "S", "k", "v", "[S]\r\nk=v\r\nz=2\r\n"},
        WriteCase{"presentKey_loneCrFile", "[S]\rk=1\nz=2", "S", "k", "v", "[S]\rk=v\rz=2"},
        WriteCase{"loneCrBeforeEmptyLfLine_keepsTheEmptyLine", "[S]\rk=1\n\n[T]", "S", "k", "v", "[S]\rk=v\r\n\n[T]"},
        WriteCase{"addedLoneCrBeforeEmptyLfLine_keepsTheEmptyLine", "[S]\ra=1\n\n[T]", "S", "k", "v",
                  "[S]\ra=1\nk=v\r\n\n[T]"},
        WriteCase{"presentKey_crlfLastLineGetsCrlf", "[S]\r\nk=1", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"missingKey_afterLastKeyBeforeComments", "[S]\na=1\n; note\n\n[T]\n", "S", "k", "v",
                  "[S]\na=1\nk=v\n; note\n\n[T]\n"},
        WriteCase{"missingKey_afterHeaderWhenNoKeys", "[S]\n; note\n[T]\n", "S", "k", "v", "[S]\nk=v\n; note\n[T]\n"},
        WriteCase{"missingKey_headerIsLastLine", "[S]", "S", "k", "v", "[S]\nk=v\n"},
        WriteCase{"missingKey_unknownLineAfterLastKeyStays", "[S]\na=1\ngarbage\n", "S", "k", "v",
                  "[S]\na=1\nk=v\ngarbage\n"},
        WriteCase{"missingKey_onlyFirstSectionOfName", "[S]\na=1\n[S]\nk=1\n", "S", "k", "v",
                  "[S]\na=1\nk=v\n[S]\nk=1\n"},
        WriteCase{"byteOrderMarkKept", kBom + "[S]\nk=1\n", "S", "k", "v", kBom + "[S]\nk=v\n"},
        WriteCase{"byteOrderMarkOnly", kBom, "S", "k", "v", kBom + "[S]\nk=v\n"},
        WriteCase{"strayBytesKept", "\x01junk\n[S]\nk=1\n\xFF\xFE\n", "S", "k", "v", "\x01junk\n[S]\nk=v\n\xFF\xFE\n"},
        WriteCase{"namesTrimmed", "", " S ", "\tk ", "v", "[S]\nk=v\n"},
        WriteCase{"valueWrittenAsGiven", "", "S", "k", " \"a b\" ", "[S]\nk= \"a b\" \n"},
        WriteCase{"commentedKeyNotReplaced", "[S]\n;k=1\n", "S", "k", "v", "[S]\nk=v\n;k=1\n"},
        WriteCase{"keyBeforeSectionNotReplaced", "k=1\n[S]\n", "S", "k", "v", "k=1\n[S]\nk=v\n"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(ProfileWrite, namesThatCannotBeReadBack_areRefused)
{
    const struct {
        const char *section;
        const char *key;
        const char *value;
    } rows[] = {
        {"S", "", "v"}, {"", "k", "v"},    {"S", "a=b", "v"}, {"S", ";k", "v"},  {"S", "[k", "v"},
        {"a]b", "k", "v"}, {"S\n", "k", "v"}, {"S", "k\r", "v"}, {"S", "k", "1\n2"}, {"S", "k", "1\r"},
    };
    for (const auto &row : rows) {
        const ProfileEdit edit = writeProfileStringToContent("[S]\nk=1\n", row.section, row.key, row.value);
        EXPECT_FALSE(edit.ok) << row.section << "/" << row.key << "/" << row.value;
        EXPECT_FALSE(edit.error.empty());
    }
}

TEST(ProfileWrite, severalKeysAtOnce_equalWritingThemOneByOne)
{
    using Entries = std::vector<std::pair<std::string, std::string>>;
    const std::string contents[] = {
        "",
        kBom,
        "[A]\r\nx=1",
        "[S]",
        "[S]\nk=1",
        "[S]\r\nb=1\r\n; note\r\n\r\n[T]\r\nk=0\r\n",
        "[S]\na=1\nK=2\n[S]\nk=3\n",
        ";c\n[s]\nk=9\nj=8",
    };
    const Entries entryLists[] = {
        {{"k", "1"}, {"j", "2"}},
        {{"new", "1"}, {"k", "2"}, {"other", "3"}},
        {{"k", "1"}, {"J", "2"}, {"K", "3"}, {" k ", "4"}},
    };
    for (const std::string &content : contents) {
        for (const Entries &entries : entryLists) {
            std::string oneByOne = content;
            for (const auto &[key, value] : entries)
                oneByOne = writeProfileStringToContent(oneByOne, "S", key, value).content;
            const ProfileEdit atOnce = writeProfileStringsToContent(content, "S", entries);
            ASSERT_TRUE(atOnce.ok);
            EXPECT_EQ(atOnce.content, oneByOne) << testing::PrintToString(content) << " with " << entries.size();
        }
    }
}

TEST(ProfileRead, longValue_isCutSoAReadingStaysSmall)
{
    const std::string content = "[S]\nk=\"" + std::string(100000, '7') + "\"\n";
    const auto values = profileStrings(content, "s", {"k", "missing", "K"});
    ASSERT_EQ(values.size(), 3U);
    EXPECT_EQ(values[0], "\"" + std::string(kMaxProfileValueBytes - 1, '7'));
    EXPECT_EQ(values[1], std::nullopt);
    EXPECT_EQ(values[2], values[0]);
}

TEST(ProfileWrite, settingsExample_keepsEveryOtherLine)
{
    const std::string before = ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=1\n; keep me\n\n[Tail]\n";
    std::string content = before;
    for (const auto &[key, value] : {std::pair{"Level", "3"}, std::pair{"Pattern", "1"}, std::pair{"Kako", "0"}}) {
        const ProfileEdit edit = writeProfileStringToContent(content, "OmvexINI", key, value);
        ASSERT_TRUE(edit.ok);
        content = edit.content;
    }
    EXPECT_EQ(content, ";my notes\n[Other]\nx=1\n[OmvexINI]\nKako=0\nLevel=3\nPattern=1\n; keep me\n\n[Tail]\n");
}

} // namespace
} // namespace omvex::platform
