#include "import/resultfields.h"

#include <algorithm>
#include <array>

namespace omvex {

namespace {

bool needsHalfWidth(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) || c.unicode() == 0x3000;
    });
}

QStringView stripped(QStringView text, QStringView open, QStringView close)
{
    if (text.size() >= open.size() + close.size() && text.startsWith(open) && text.endsWith(close))
        return text.sliced(open.size(), text.size() - open.size() - close.size()).trimmed();
    return {};
}

} // namespace

QString halfWidth(QStringView text)
{
    QString result = text.toString();
    for (QChar &c : result) {
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFF01 + 0x21);
        else if (c.unicode() == 0x3000)
            c = QLatin1Char(' ');
    }
    return result;
}

void ResultFields::split(QStringView line, QChar separator)
{
    m_text.clear();
    m_own.clear();
    m_own.reserve(kKept); // views into m_own must not move
    m_count = 0;
    qsizetype pos = 0;
    for (;;) {
        qsizetype i = pos;
        while (i < line.size() && line[i].isSpace() && line[i] != separator)
            ++i;
        QStringView text;
        bool escaped = false;
        const bool quoted = i < line.size() && line[i] == u'"';
        if (quoted) {
            const qsizetype start = ++i;
            for (; i < line.size(); ++i) {
                if (line[i] != u'"')
                    continue;
                if (i + 1 >= line.size() || line[i + 1] != u'"')
                    break;
                escaped = true;
                ++i;
            }
            text = line.sliced(start, i - start);
            i = std::min(i + 1, line.size()); // whatever follows the closing quote is not part of the field
        }
        const qsizetype end = std::max(line.indexOf(separator, i), qsizetype(-1));
        const qsizetype fieldEnd = end < 0 ? line.size() : end;
        if (!quoted)
            text = line.sliced(i, fieldEnd - i);
        text = text.trimmed();
        if (m_text.size() < static_cast<std::size_t>(kKept)) {
            if (escaped || needsHalfWidth(text)) {
                QString own = escaped ? text.toString().replace(QStringLiteral("\"\""), QStringLiteral("\"")) : text.toString();
                m_own.push_back(halfWidth(own).trimmed());
                text = m_own.back();
            }
            m_text.push_back(text);
            if (!text.isEmpty())
                m_count = static_cast<int>(m_text.size());
        }
        if (end < 0)
            break;
        pos = end + 1;
    }
}

bool isWeekday(QStringView text)
{
    text = text.trimmed();
    for (const auto &[open, close] : {std::pair<QStringView, QStringView>{u"(", u")"}, {u"（", u"）"}}) {
        if (const QStringView inner = stripped(text, open, close); !inner.isEmpty())
            text = inner;
    }
    static constexpr std::array<QStringView, 7> kJapanese{u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    static constexpr std::array<QStringView, 7> kEnglish{u"monday", u"tuesday", u"wednesday", u"thursday",
                                                         u"friday", u"saturday", u"sunday"};
    for (const QStringView day : kJapanese) {
        if (text == day || (text.startsWith(day) && (text.sliced(1) == u"曜" || text.sliced(1) == u"曜日")))
            return true;
    }
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text.size() < 3)
        return false;
    for (const QStringView day : kEnglish) {
        if (text.compare(day, Qt::CaseInsensitive) == 0 || text.compare(day.first(3), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringView withoutBrackets(QStringView text)
{
    for (const auto &[open, close] : {std::pair<QStringView, QStringView>{u"(", u")"}, {u"[", u"]"}, {u"【", u"】"},
                                      {u"（", u"）"}, {u"［", u"］"}}) {
        if (const QStringView inner = stripped(text, open, close); !inner.isEmpty())
            return inner;
    }
    return text;
}

} // namespace omvex
