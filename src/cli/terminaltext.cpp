#include "cli/terminaltext.h"

#include <QString>

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

void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers)
{
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out << (i ? " " : "") << numbers[i];
}

} // namespace omvex::cli
