#include "cli/terminaltext.h"

#include <gtest/gtest.h>

namespace omvex::cli {
namespace {

TEST(TerminalText, numbersAndColumns_readTheSameOnEveryMachine)
{
    struct Row {
        const char *name;
        std::string text;
        const char *expected;
    };
    const Row rows[] = {
        {"oddsOfTheTopTier_grouped", groupedText(6096454, 0), "6,096,454"},
        {"groupedWithDecimals", groupedText(1234567.8, 1), "1,234,567.8"},
        {"belowAThousand_noSeparator", groupedText(999, 0), "999"},
        {"fixed_keepsTrailingZeros", fixedText(0.5, 3), "0.500"},
        {"wideCharacters_takeTwoColumns", padLeft("数字", 6), "  数字"},
        {"halfWidthKana_takesOne", padRight("ｱ", 3), "ｱ  "},
        {"tooLong_isKept", padRight("1等（6個一致）", 4), "1等（6個一致）"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.text, row.expected);
    }
}

TEST(TerminalText, controlCharacters_neverBreakALine)
{
    struct Row {
        const char *name;
        QString text;
        QString shown;
    };
    const Row rows[] = {
        {"lineBreak", QStringLiteral("a\nb"), QStringLiteral("a\\nb")},
        {"tab", QStringLiteral("a\tb"), QStringLiteral("a\\tb")},
        {"carriageReturn", QStringLiteral("a\rb"), QStringLiteral("a\\x0db")},
        {"escape", QStringLiteral("\x1b[2J"), QStringLiteral("\\x1b[2J")},
        {"delete", QStringLiteral("a\x7f"), QStringLiteral("a\\x7f")},
        {"c1NextLine", QString(QChar(0x85)), QStringLiteral("\\x85")},
        {"japaneseAndPlaceholders_kept", QStringLiteral("予想 %1 \\n"), QStringLiteral("予想 %1 \\n")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(escapeControls(row.text), row.shown);
    }
}

} // namespace
} // namespace omvex::cli
