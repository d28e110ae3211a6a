#include "import/resultdate.h"
#include "import/resultfields.h"

#include <QDate>

namespace omvex {

namespace {

struct Era {
    char16_t letter;
    QStringView name;
    int yearBeforeFirst; // the Western year of the era's year 0
};

constexpr Era kEras[] = {
    {u'M', u"明治", 1867}, {u'T', u"大正", 1911}, {u'S', u"昭和", 1925}, {u'H', u"平成", 1988}, {u'R', u"令和", 2018},
};

// Walks a text from the front; every read either consumes what it asked for or fails.
class Cursor {
public:
    explicit Cursor(QStringView text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_pos == m_text.size(); }

    bool skip(QStringView expected)
    {
        if (!m_text.sliced(m_pos).startsWith(expected))
            return false;
        m_pos += expected.size();
        return true;
    }

    // minDigits..maxDigits ASCII digits.
    bool number(int minDigits, int maxDigits, int &value)
    {
        int digits = 0;
        value = 0;
        while (!atEnd() && digits < maxDigits && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9') {
            value = value * 10 + (m_text[m_pos].unicode() - u'0');
            ++m_pos;
            ++digits;
        }
        return digits >= minDigits;
    }

    // One of the separators of the numeric forms; the same one must be used twice.
    bool separator(QChar &which)
    {
        if (atEnd() || (m_text[m_pos] != u'/' && m_text[m_pos] != u'-' && m_text[m_pos] != u'.'))
            return false;
        which = m_text[m_pos++];
        return true;
    }

    bool letter(char16_t upper)
    {
        if (atEnd() || m_text[m_pos].toUpper() != QChar(upper))
            return false;
        ++m_pos;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

bool exists(int year, int month, int day)
{
    return QDate(year, month, day).isValid();
}

bool isCompactDate(QStringView text)
{
    if (text.size() != 8)
        return false;
    Cursor cursor(text);
    int year = 0;
    int month = 0;
    int day = 0;
    return cursor.number(4, 4, year) && cursor.number(2, 2, month) && cursor.number(2, 2, day)
        && exists(year, month, day);
}

bool isSeparatedDate(QStringView text)
{
    Cursor cursor(text);
    int year = 0;
    int month = 0;
    int day = 0;
    QChar first;
    QChar second;
    return cursor.number(4, 4, year) && cursor.separator(first) && cursor.number(1, 2, month)
        && cursor.separator(second) && first == second && cursor.number(1, 2, day) && cursor.atEnd()
        && exists(year, month, day);
}

bool isEraLetterDate(QStringView text, const Era &era)
{
    Cursor cursor(text);
    int year = 0;
    int month = 0;
    int day = 0;
    return cursor.letter(era.letter) && cursor.number(1, 2, year) && year >= 1 && cursor.skip(u".")
        && cursor.number(1, 2, month) && cursor.skip(u".") && cursor.number(1, 2, day) && cursor.atEnd()
        && exists(era.yearBeforeFirst + year, month, day);
}

bool isEraNameDate(QStringView text, const Era &era)
{
    Cursor cursor(text);
    int year = 0;
    int month = 0;
    int day = 0;
    if (!cursor.skip(era.name))
        return false;
    if (cursor.skip(u"元"))
        year = 1;
    else if (!cursor.number(1, 2, year) || year < 1)
        return false;
    return cursor.skip(u"年") && cursor.number(1, 2, month) && cursor.skip(u"月") && cursor.number(1, 2, day)
        && cursor.skip(u"日") && cursor.atEnd() && exists(era.yearBeforeFirst + year, month, day);
}

bool isKanjiDate(QStringView text)
{
    Cursor cursor(text);
    int year = 0;
    int month = 0;
    int day = 0;
    return cursor.number(4, 4, year) && cursor.skip(u"年") && cursor.number(1, 2, month) && cursor.skip(u"月")
        && cursor.number(1, 2, day) && cursor.skip(u"日") && cursor.atEnd() && exists(year, month, day);
}

// "2026/5/4(月)", "2026/5/4 月", "2026年5月4日（月）": the date without the day of the week.
QStringView withoutWeekday(QStringView text)
{
    for (const QChar open : {QChar(u'('), QChar(u'（')}) {
        const qsizetype at = text.lastIndexOf(open);
        if (at > 0 && isWeekday(text.sliced(at)))
            return text.first(at).trimmed();
    }
    const qsizetype blank = text.lastIndexOf(u' ');
    if (blank > 0 && isWeekday(text.sliced(blank + 1)))
        return text.first(blank).trimmed();
    return text;
}

} // namespace

bool isResultDate(QStringView text)
{
    text = withoutWeekday(text.trimmed());
    if (isCompactDate(text) || isSeparatedDate(text) || isKanjiDate(text))
        return true;
    for (const Era &era : kEras) {
        if (isEraLetterDate(text, era) || isEraNameDate(text, era))
            return true;
    }
    return false;
}

} // namespace omvex
