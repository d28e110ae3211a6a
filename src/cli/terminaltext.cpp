#include "cli/terminaltext.h"

#include <QLocale>
#include <QString>

#include <charconv>
#include <ostream>

namespace omvex::cli {

namespace {

// Columns a text takes in a terminal: East Asian wide and full-width characters take two.
int displayWidth(const std::string &text)
{
    const QString wide = QString::fromStdString(text);
    int width = 0;
    for (const QChar ch : wide) {
        const char16_t c = ch.unicode();
        if (ch.isLowSurrogate())
            continue;
        const bool isHalfWidthKana = c >= 0xFF61 && c <= 0xFF9F;
        width += (c >= 0x1100 && !isHalfWidthKana && !(c >= 0x2010 && c <= 0x2027)) ? 2 : 1;
    }
    return width;
}

} // namespace

QString escapeControls(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\n')
            escaped += QLatin1String("\\n");
        else if (c == u'\t')
            escaped += QLatin1String("\\t");
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) // C0, DEL and C1
            escaped += QStringLiteral("\\x%1").arg(static_cast<int>(c), 2, 16, QLatin1Char('0'));
        else
            escaped += ch;
    }
    return escaped;
}

void writeErrorLine(std::ostream &err, const QString &text)
{
    err << "omvex-predict: " << escapeControls(text).toStdString() << '\n' << std::flush;
}

std::string padRight(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : text + std::string(static_cast<std::size_t>(columns - width), ' ');
}

std::string padLeft(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : std::string(static_cast<std::size_t>(columns - width), ' ') + text;
}

// Not printf: the Qt application sets the C library to the user's locale, which may write "12,35".
std::string fixedText(double value, int decimals)
{
    char buffer[400]; // room for the largest double written out in full with a few decimals
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

// Grouped the Japanese way whatever the system says, so that the output is the same on every machine.
std::string grouped(double value, int decimals)
{
    return QLocale(QLocale::Japanese).toString(value, 'f', decimals).toStdString();
}

std::string settingsText(const Settings &settings)
{
    // The captions of the dialog's frames and option buttons, by the setting's digit.
    static const char *const kLevels[kLevelChoices] = {"標準", "梅", "竹", "松"};
    static const char *const kPatterns[kPatternChoices] = {"選択", "すべて"};
    static const char *const kKakos[kKakoChoices] = {"並", "上", "特上", "無し"};
    return std::string("レベル ") + kLevels[digit(settings.level)] + "・抽出パターン " + kPatterns[digit(settings.pattern)]
        + "・過去利用法 " + kKakos[digit(settings.kako)];
}

void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers)
{
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out << (i ? " " : "") << numbers[i];
}

} // namespace omvex::cli
