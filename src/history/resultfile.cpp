#include "history/resultfile.h"
#include "history/drawhistory.h"
#include "history/historyreader.h"
#include "history/resultdate.h"

#include "engine/game.h"
#include "engine/tables.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace omvex {

namespace {

// The numbers are those of the score table: one row per number that can be drawn.

enum class Format { Kako, Dated };

// A dated line needs nine columns; anything after them is ignored, so no more need be kept.
constexpr std::size_t kKeptFields = 9;
constexpr int kKakoFields = 8;

struct Fields {
    std::array<QStringView, kKeptFields> text; // into the line, or into unescaped
    std::array<QString, kKeptFields> unescaped; // quoted fields that held "" as a quote
    int count = 0; // up to the last field that is not empty: trailing empty columns do not count

    QStringView at(int index) const
    {
        return index < static_cast<int>(kKeptFields) ? text[static_cast<std::size_t>(index)] : QStringView();
    }
};

// Comma-separated fields, blanks around them ignored, with optional double quotes ("" inside quotes
// is one quote). A quote left open ends with the line, as every record is one line. The fields are
// views into the line, so a line of a million characters costs one pass over it.
void splitLine(QStringView line, Fields &fields)
{
    fields.count = 0;
    std::size_t index = 0;
    qsizetype pos = 0;
    for (;;) {
        qsizetype i = pos;
        while (i < line.size() && line[i].isSpace())
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
        const qsizetype comma = line.indexOf(u',', i);
        const qsizetype end = comma < 0 ? line.size() : comma;
        if (!quoted)
            text = line.sliced(i, end - i);
        if (index < kKeptFields) {
            if (escaped) {
                fields.unescaped[index] = text.toString().replace(QStringLiteral("\"\""), QStringLiteral("\""));
                text = fields.unescaped[index];
            }
            fields.text[index] = text.trimmed();
        }
        if (!text.trimmed().isEmpty())
            fields.count = static_cast<int>(index) + 1;
        ++index;
        if (comma < 0)
            break;
        pos = comma + 1;
    }
    for (; index < kKeptFields; ++index)
        fields.text[index] = QStringView();
}

QStringView withoutDrawMarks(QStringView text)
{
    if (text.startsWith(u'第'))
        text = text.sliced(1);
    if (text.endsWith(u'回'))
        text.chop(1);
    return text.trimmed();
}

std::optional<double> numberOf(QStringView text)
{
    // The history reader's rule for numbers, on ASCII; no number needs this many characters.
    std::array<char, 64> ascii{};
    if (text.size() >= static_cast<qsizetype>(ascii.size()))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() > 0x7F)
            return std::nullopt;
        ascii[static_cast<std::size_t>(i)] = static_cast<char>(text[i].unicode());
    }
    double number = 0;
    if (!historyFieldNumber(std::string_view(ascii.data(), static_cast<std::size_t>(text.size())), number))
        return std::nullopt;
    return number;
}

std::optional<int> wholeIn(QStringView text, int lowest, int highest)
{
    const std::optional<double> number = numberOf(text);
    if (!number || *number != std::floor(*number) || *number < lowest || *number > highest)
        return std::nullopt;
    return static_cast<int>(*number);
}

QString quote(QStringView text)
{
    constexpr qsizetype kShown = 20;
    return QStringLiteral("「%1」").arg(text.size() > kShown ? text.first(kShown).toString() + u'…' : text.toString());
}

class LineReader {
public:
    explicit LineReader(ResultFile &file)
        : m_file(file)
    {
    }

    void take(QStringView line, int lineNumber)
    {
        splitLine(line, m_fields);
        if (m_fields.count == 0)
            return; // blank, or only empty columns
        m_line = lineNumber;
        if (!m_format) {
            // Only the first line may be a header: further down, text where a draw belongs is a mistake.
            if (!m_seenLine && !numberOf(withoutDrawMarks(m_fields.at(0)))) {
                m_seenLine = true;
                return;
            }
            m_format = m_fields.count > kKakoFields || isResultDate(m_fields.at(1)) ? Format::Dated : Format::Kako;
            m_file.format = *m_format == Format::Dated ? QStringLiteral("dated") : QStringLiteral("kako");
        }
        m_seenLine = true;
        if (const std::optional<SourceDraw> draw = readDraw())
            keep(*draw);
    }

    void finish()
    {
        m_file.draws.reserve(m_draws.size());
        for (const auto &entry : m_draws)
            m_file.draws.push_back(entry.second);
    }

private:
    void fail(const char *code, QString message) { m_file.errors.add(m_line, code, std::move(message)); }

    std::optional<SourceDraw> readDraw()
    {
        const bool dated = *m_format == Format::Dated;
        if (!dated && m_fields.count != kKakoFields) {
            fail("number", QStringLiteral("項目が%1個あります。1行は「回号,本数字6個,ボーナス数字」の8項目です").arg(m_fields.count));
            return std::nullopt;
        }
        SourceDraw draw;
        draw.line = m_line;
        const QStringView drawText = m_fields.at(0);
        const std::optional<int> number = wholeIn(withoutDrawMarks(drawText), 1, kMaxDrawNumber);
        if (!number) {
            fail("draw", drawText.isEmpty() ? QStringLiteral("回号がありません")
                                            : QStringLiteral("回号%1は1〜99999の整数ではありません").arg(quote(drawText)));
            return std::nullopt;
        }
        draw.draw = *number;
        if (dated && !isResultDate(m_fields.at(1))) {
            fail("date", m_fields.at(1).isEmpty()
                             ? QStringLiteral("抽選日がありません")
                             : QStringLiteral("抽選日%1を日付として読めません（2024/01/04、20240104、R6.1.4、令和6年1月4日 などの形）")
                                   .arg(quote(m_fields.at(1))));
            return std::nullopt;
        }
        const int firstMain = dated ? 2 : 1;
        for (int k = 0; k < kPicks; ++k) {
            const QStringView text = m_fields.at(firstMain + k);
            const std::optional<int> main = wholeIn(text, 1, kHighestNumber);
            if (!main) {
                fail("number", text.isEmpty() ? QStringLiteral("本数字%1がありません").arg(k + 1)
                                              : QStringLiteral("本数字%1の%2は1〜43の整数ではありません").arg(k + 1).arg(quote(text)));
                return std::nullopt;
            }
            if (std::find(draw.main.begin(), draw.main.begin() + k, *main) != draw.main.begin() + k) {
                fail("repeated", QStringLiteral("本数字に%1が2回あります").arg(*main));
                return std::nullopt;
            }
            draw.main[static_cast<std::size_t>(k)] = *main;
        }
        const QStringView bonusText = m_fields.at(firstMain + kPicks);
        const std::optional<int> bonus = wholeIn(bonusText, 1, kHighestNumber);
        if (!bonus) {
            fail("bonus", bonusText.isEmpty() ? QStringLiteral("ボーナス数字がありません")
                                              : QStringLiteral("ボーナス数字%1は1〜43の整数ではありません").arg(quote(bonusText)));
            return std::nullopt;
        }
        if (std::find(draw.main.begin(), draw.main.end(), *bonus) != draw.main.end()) {
            fail("bonus", QStringLiteral("ボーナス数字%1が本数字と同じです").arg(*bonus));
            return std::nullopt;
        }
        draw.bonus = *bonus;
        return draw;
    }

    void keep(const SourceDraw &draw)
    {
        const auto [it, isNew] = m_draws.try_emplace(draw.draw, draw);
        if (isNew || isSameDraw(it->second.main, it->second.bonus, draw.main, draw.bonus))
            return;
        fail("conflict", QStringLiteral("第%1回が%2行目と違う数字です").arg(draw.draw).arg(it->second.line));
    }

    ResultFile &m_file;
    Fields m_fields;
    std::optional<Format> m_format;
    bool m_seenLine = false;
    int m_line = 0;
    // By draw number: at most 99,999 entries, however many lines repeat them.
    std::map<int, SourceDraw> m_draws;
};

QString decode(const QByteArray &bytes, QString &encoding)
{
    {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8(bytes);
        if (!utf8.hasError()) {
            encoding = QStringLiteral("UTF-8");
            return text;
        }
    } // a failed UTF-8 text must not stay beside the Shift-JIS one

    // Files saved on Windows in Japanese are Shift-JIS with Microsoft's extensions; ICU's Shift_JIS
    // table maps those too (①, ～).
    QStringDecoder shiftJis("Shift_JIS");
    encoding = QStringLiteral("Shift-JIS");
    return shiftJis.isValid() ? QString(shiftJis(bytes)) : QString::fromUtf8(bytes);
}

} // namespace

void ImportErrorList::add(int line, std::string code, QString message)
{
    const auto at = std::upper_bound(m_errors.begin(), m_errors.end(), line,
                                     [](int value, const ImportError &error) { return value < error.line; });
    if (at == m_errors.end() && m_errors.size() >= kKept) {
        ++m_more;
        return;
    }
    m_errors.insert(at, ImportError{line, std::move(code), std::move(message)});
    if (m_errors.size() > kKept) {
        m_errors.pop_back();
        ++m_more;
    }
}

ResultFile readResultFile(const QByteArray &bytes)
{
    ResultFile file;
    const QString text = decode(bytes, file.encoding);
    LineReader reader(file);
    int lineNumber = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\n' && text[i] != u'\r')
            continue;
        reader.take(QStringView(text).sliced(start, i - start), lineNumber++);
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    reader.finish();
    return file;
}

int resultFileDraws(std::string_view content)
{
    const ResultFile file = readResultFile(QByteArray(content.data(), static_cast<qsizetype>(content.size())));
    return file.errors.isEmpty() ? static_cast<int>(file.draws.size()) : 0;
}

} // namespace omvex
