#include "import/resultfile.h"
#include "history/drawhistory.h"
#include "history/draws.h"
#include "history/historyfields.h"
#include "import/resultbytes.h"
#include "import/resultcolumns.h"
#include "import/resultdate.h"
#include "import/resultfields.h"

#include "engine/game.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace omvex {

namespace {

enum class Format { Kako, Dated };

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

// A tab-separated file ("Unicode text" from a spreadsheet) has more tabs than commas outside quotes
// on its first line; amounts such as "1,234,000" sit inside quotes.
QChar separatorOf(QStringView line)
{
    int tabs = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'\t')
            ++tabs;
        else if (!quoted && c == u',')
            ++commas;
    }
    return tabs > commas ? QChar(u'\t') : QChar(u',');
}

class LineReader {
public:
    explicit LineReader(ResultFile &file)
        : m_file(file)
    {
    }

    void take(QStringView line, int lineNumber)
    {
        if (!m_separator) {
            if (line.trimmed().isEmpty())
                return;
            m_separator = separatorOf(line);
        }
        m_fields.split(line, *m_separator);
        if (m_fields.count() == 0)
            return; // blank, or only empty columns
        m_line = lineNumber;
        if (!m_format) {
            // Text where a draw belongs: a header, or a title above one. Further down it is a mistake.
            if (!numberOf(withoutDrawMarks(m_fields.at(0)))) {
                if (const std::optional<ResultColumns> columns = columnsFromHeader(m_fields)) {
                    m_columns = *columns;
                    m_file.byHeader = true;
                    setFormat(columns->date >= 0 ? Format::Dated : Format::Kako);
                    return;
                }
                if (!m_seenLine) {
                    m_seenLine = true;
                    return;
                }
            }
            setFormat(m_fields.count() > kHistoryRowFields || isResultDate(m_fields.at(1)) ? Format::Dated : Format::Kako);
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
    void setFormat(Format format)
    {
        m_format = format;
        m_file.format = format == Format::Dated ? QStringLiteral("dated") : QStringLiteral("kako");
    }

    void fail(const char *code, const char *field, QString message)
    {
        m_file.errors.add(m_line, code, std::move(message), field);
    }

    // Without a header the columns follow from the line: draw, six numbers and bonus; or draw, date,
    // perhaps the day of the week, six numbers and bonus, then anything.
    ResultColumns lineColumns() const
    {
        if (m_file.byHeader || *m_format == Format::Kako)
            return m_columns;
        ResultColumns columns;
        columns.date = 1;
        const int first = isWeekday(m_fields.at(2)) ? 3 : 2;
        for (int k = 0; k < kPicks; ++k)
            columns.main[static_cast<std::size_t>(k)] = first + k;
        columns.bonus = first + kPicks;
        return columns;
    }

    std::optional<SourceDraw> readDraw()
    {
        if (!m_file.byHeader && *m_format == Format::Kako && m_fields.count() != kHistoryRowFields) {
            fail("number", "fields",
                 QStringLiteral("項目が%1個あります。1行は「回号,本数字6個,ボーナス数字」の8項目です").arg(m_fields.count()));
            return std::nullopt;
        }
        const ResultColumns columns = lineColumns();
        SourceDraw draw;
        draw.line = m_line;
        const QStringView drawText = m_fields.at(columns.draw);
        const std::optional<int> number = wholeIn(withoutDrawMarks(drawText), 1, kMaxDrawNumber);
        if (!number) {
            fail("draw", "draw",
                 drawText.isEmpty() ? QStringLiteral("回号がありません")
                                    : QStringLiteral("回号%1は1〜99999の整数ではありません").arg(quote(drawText)));
            return std::nullopt;
        }
        draw.draw = *number;
        if (columns.date >= 0 && !isResultDate(m_fields.at(columns.date))) {
            const QStringView date = m_fields.at(columns.date);
            fail("date", "date",
                 date.isEmpty() ? QStringLiteral("抽選日がありません")
                                : QStringLiteral("抽選日%1を日付として読めません（2024/01/04、20240104、2024年1月4日、R6.1.4、"
                                                 "令和6年1月4日、2024/1/4(木) などの形）")
                                      .arg(quote(date)));
            return std::nullopt;
        }
        static constexpr const char *kMainFields[] = {"main1", "main2", "main3", "main4", "main5", "main6"};
        for (int k = 0; k < kPicks; ++k) {
            const QStringView text = m_fields.at(columns.main[static_cast<std::size_t>(k)]);
            const std::optional<int> main = wholeIn(text, 1, kHighestNumber);
            if (!main) {
                fail("number", kMainFields[k],
                     text.isEmpty() ? QStringLiteral("本数字%1がありません").arg(k + 1)
                                    : QStringLiteral("本数字%1の%2は1〜43の整数ではありません").arg(k + 1).arg(quote(text)));
                return std::nullopt;
            }
            if (std::find(draw.main.begin(), draw.main.begin() + k, *main) != draw.main.begin() + k) {
                fail("repeated", "main", QStringLiteral("本数字に%1が2回あります").arg(*main));
                return std::nullopt;
            }
            draw.main[static_cast<std::size_t>(k)] = *main;
        }
        const QStringView bonusText = m_fields.at(columns.bonus);
        const std::optional<int> bonus = wholeIn(withoutBrackets(bonusText), 1, kHighestNumber);
        if (!bonus) {
            fail("bonus", "bonus",
                 bonusText.isEmpty() ? QStringLiteral("ボーナス数字がありません")
                                     : QStringLiteral("ボーナス数字%1は1〜43の整数ではありません").arg(quote(bonusText)));
            return std::nullopt;
        }
        if (std::find(draw.main.begin(), draw.main.end(), *bonus) != draw.main.end()) {
            fail("bonus", "bonus", QStringLiteral("ボーナス数字%1が本数字と同じです").arg(*bonus));
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
        m_file.errors.add(m_line, "conflict", QStringLiteral("第%1回が%2行目と違う数字です").arg(draw.draw).arg(it->second.line));
    }

    ResultFile &m_file;
    ResultFields m_fields;
    std::optional<QChar> m_separator;
    std::optional<Format> m_format;
    ResultColumns m_columns; // by the header; without one, those of a kako line
    bool m_seenLine = false;
    int m_line = 0;
    // By draw number: at most 99,999 entries, however many lines repeat them.
    std::map<int, SourceDraw> m_draws;
};

} // namespace

void ImportErrorList::add(int line, std::string code, QString message, std::string field)
{
    add(ImportError{{line, std::move(code), std::move(message)}, line, 1, {}, std::move(field)});
}

void ImportErrorList::add(ImportError error)
{
    error.lastLine = std::max(error.lastLine, error.line);
    const auto lineOrder = [](int value, const ImportError &entry) { return value < entry.line; };
    if (!error.field.empty()) {
        const auto group = m_groups.find({error.code, error.field});
        if (group != m_groups.end()) {
            for (auto it = std::upper_bound(m_errors.begin(), m_errors.end(), group->second - 1, lineOrder);
                 it != m_errors.end() && it->line == group->second; ++it) {
                if (it->code == error.code && it->field == error.field) {
                    it->lastLine = std::max(it->lastLine, error.lastLine);
                    it->count += error.count;
                    return;
                }
            }
        }
    }
    const auto at = std::upper_bound(m_errors.begin(), m_errors.end(), error.line, lineOrder);
    if (at == m_errors.end() && m_errors.size() >= kKept) {
        ++m_more;
        return;
    }
    if (!error.field.empty())
        m_groups.try_emplace({error.code, error.field}, error.line);
    m_errors.insert(at, std::move(error));
    if (m_errors.size() > kKept) {
        m_groups.erase({m_errors.back().code, m_errors.back().field});
        m_more += m_errors.back().count;
        m_errors.pop_back();
    }
}

QString importErrorText(const ImportError &error)
{
    if (error.line <= 0)
        return error.message;
    if (error.count > 1)
        return QStringLiteral("%1〜%2行目: %3（%4件）").arg(error.line).arg(error.lastLine).arg(error.message).arg(error.count);
    return QStringLiteral("%1行目: %2").arg(error.line).arg(error.message);
}

ResultFile readResultFile(const QByteArray &bytes)
{
    ResultFile file;
    ResultText decoded = decodeResultBytes(bytes);
    file.encoding = decoded.encoding;
    if (decoded.notResults) {
        ImportError error;
        error.code = "not-results";
        error.message = decoded.notResults->message;
        error.kind = decoded.notResults->kind;
        file.errors.add(std::move(error));
        return file;
    }
    const QString text = std::move(decoded.text);
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
