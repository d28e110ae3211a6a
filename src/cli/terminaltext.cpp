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

void EscapingBuffer::putEscaped(unsigned int code)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const char text[] = {'\\', 'x', kHex[(code >> 4) & 0xF], kHex[code & 0xF]};
    m_target->sputn(text, sizeof text);
}

void EscapingBuffer::put(unsigned char c)
{
    if (m_afterC2) {
        m_afterC2 = false;
        if (c >= 0x80 && c <= 0x9F) {
            putEscaped(c);
            return;
        }
        m_target->sputc(static_cast<char>(0xC2));
    }
    if (c == 0xC2) {
        m_afterC2 = true;
    } else if (c == '\t') {
        m_target->sputn("\\t", 2);
    } else if ((c < 0x20 && c != '\n') || c == 0x7F) {
        putEscaped(c);
    } else {
        m_target->sputc(static_cast<char>(c));
    }
}

EscapingBuffer::int_type EscapingBuffer::overflow(int_type c)
{
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        put(static_cast<unsigned char>(traits_type::to_char_type(c)));
    return traits_type::not_eof(c);
}

std::streamsize EscapingBuffer::xsputn(const char *text, std::streamsize count)
{
    // Runs of plain bytes go on in one piece: a journal's JSON is hundreds of megabytes.
    const auto isPlain = [](unsigned char c) { return c == '\n' || (c >= 0x20 && c != 0x7F && c != 0xC2); };
    for (std::streamsize i = 0; i < count;) {
        std::streamsize run = i;
        while (!m_afterC2 && run < count && isPlain(static_cast<unsigned char>(text[run])))
            ++run;
        if (run > i) {
            m_target->sputn(text + i, run - i);
            i = run;
        } else {
            put(static_cast<unsigned char>(text[i++]));
        }
    }
    return count;
}

int EscapingBuffer::sync()
{
    // A 0xC2 at the very end has no control after it.
    if (m_afterC2) {
        m_afterC2 = false;
        m_target->sputc(static_cast<char>(0xC2));
    }
    return m_target->pubsync();
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
