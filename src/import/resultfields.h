#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace omvex {

// The fields of one line of a results file, as views into the line (or into texts of their own
// where a field had to be rewritten). Blank fields at the end of a line do not count.
class ResultFields {
public:
    // No published layout has this many columns; further ones are never looked at, so a line of a
    // million separators costs one pass and no more memory than this.
    static constexpr int kKept = 64;

    // Splits at the separator (',' or '\t'); blanks around a field are dropped, double quotes
    // around it too ("" inside quotes is one quote). A quote left open ends with the line.
    // Full-width digits, letters and signs become their ASCII forms.
    void split(QStringView line, QChar separator);

    int count() const { return m_count; }
    QStringView at(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_text.size()) ? m_text[static_cast<std::size_t>(index)]
                                                                       : QStringView();
    }

private:
    std::vector<QStringView> m_text;
    std::vector<QString> m_own; // rewritten fields: unescaped quotes, full-width characters
    int m_count = 0;
};

// The text with full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space as ASCII.
QString halfWidth(QStringView text);

// A day of the week as result files write it: 木, (木), （木）, 木曜, 木曜日, Thu, Thursday, (Thu).
bool isWeekday(QStringView text);

// A number in brackets, as some files write the bonus: (43), [43], 【43】; otherwise the text.
QStringView withoutBrackets(QStringView text);

} // namespace omvex
