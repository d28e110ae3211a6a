#include "history/historyfields.h"

#include "grid/cellgrid.h"
#include "platform/textscan.h"

#include <cfloat>
#include <charconv>
#include <system_error>

namespace omvex {

namespace {

using platform::isBlank;
using platform::trimmed;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

void HistoryFieldSplitter::Numeral::add(char c)
{
    switch (m_state) {
    case Shape::Begin:
        if (c == '+' || c == '-') {
            m_negative = c == '-';
            m_state = Shape::Sign;
            return;
        }
        [[fallthrough]];
    case Shape::Sign:
    case Shape::Whole:
        if (isDigit(c)) {
            m_state = Shape::Whole;
            ++m_digits;
            if (m_whole.empty() && c == '0')
                return;
            if (m_whole.size() < kKeptDigits)
                m_whole.push_back(c);
            else
                m_wholeTooLong = true;
        } else {
            m_state = c == '.' ? Shape::Fraction : Shape::Bad;
        }
        return;
    case Shape::Fraction:
        if (!isDigit(c)) {
            m_state = Shape::Bad;
            return;
        }
        ++m_digits;
        // Digits this far behind the point cannot change a double.
        if (m_fraction.size() < kKeptDigits)
            m_fraction.push_back(c);
        return;
    case Shape::Bad:
        return;
    }
}

double HistoryFieldSplitter::Numeral::value() const
{
    double value = DBL_MAX;
    if (!m_wholeTooLong) {
        std::string digits = m_whole.empty() ? std::string("0") : m_whole;
        if (!m_fraction.empty())
            digits.append(".").append(m_fraction);
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::fixed);
        if (result.ec == std::errc::result_out_of_range)
            value = DBL_MAX; // only its size matters then
    }
    return m_negative ? -value : value;
}

bool HistoryFieldSplitter::feed(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i, ++m_position) {
        const char c = bytes[i];
        if (m_done)
            return false;
        if (m_afterCarriageReturn) {
            m_afterCarriageReturn = false;
            if (c == '\n') {
                m_fieldBegin = m_position + 1;
                continue; // the second half of CRLF
            }
        }
        const bool separator = c == ',' || c == '\r' || c == '\n';
        switch (m_state) {
        case State::Start:
            if (separator) {
                endField(c);
            } else if (isBlank(c)) {
                m_started = true;
            } else if (c == '"') {
                m_started = true;
                m_state = State::Quoted;
            } else {
                m_state = State::Bare;
                take(c);
            }
            break;
        case State::Bare:
            if (separator)
                endField(c);
            else
                take(c);
            break;
        case State::Quoted:
            // A line end closes an unclosed quote, so that one stray quote cannot swallow the rest
            // of the file; a comma inside quotes is part of the field.
            if (c == '"')
                m_state = State::AfterQuote;
            else if (c == '\r' || c == '\n')
                endField(c);
            else
                take(c);
            break;
        case State::AfterQuote:
            // Whatever follows the closing quote up to the separator is not part of the field.
            if (separator)
                endField(c);
            break;
        }
    }
    return !m_done;
}

void HistoryFieldSplitter::finish()
{
    if (!m_done && (m_state != State::Start || m_started || m_afterComma))
        emitField();
}

void HistoryFieldSplitter::take(char c)
{
    m_started = true;
    if (isBlank(c)) {
        // Blanks count toward the field only once more of it follows; as many as the field keeps are
        // enough to rebuild it.
        std::string &blanks = m_core.empty() ? m_leading : m_trailing;
        if (blanks.size() < kMaxFieldBytes)
            blanks.push_back(c);
        if (!m_core.empty())
            ++m_trailingCount;
        return;
    }
    if (m_trailingCount > 0) {
        for (const char blank : m_trailing)
            addToCore(blank);
        if (m_trailingCount > m_trailing.size())
            m_coreCut = true; // the stored blanks already filled the core
        m_trailing.clear();
        m_trailingCount = 0;
    }
    addToCore(c);
}

void HistoryFieldSplitter::addToCore(char c)
{
    m_numeral.add(c);
    if (m_core.size() < kMaxFieldBytes)
        m_core.push_back(c);
    else
        m_coreCut = true;
}

void HistoryFieldSplitter::endField(char separator)
{
    emitField();
    m_afterComma = separator == ',';
    if (separator == '\r' || separator == '\n') {
        ++m_line;
        m_afterCarriageReturn = separator == '\r';
    }
}

void HistoryFieldSplitter::emitField()
{
    const bool quoted = m_state == State::Quoted || m_state == State::AfterQuote;
    HistoryField field;
    field.line = m_line;
    field.begin = m_fieldBegin;
    field.end = m_position;
    m_fieldBegin = m_position + 1;
    if (m_coreCut) {
        field.isNumber = m_numeral.isNumeral();
        field.number = field.isNumber ? m_numeral.value() : 0.0;
    } else {
        field.isNumber = historyFieldNumber(m_core, field.number);
    }
    if (quoted) {
        // Inside quotes the blanks are part of the text.
        field.text = std::move(m_leading);
        field.text.append(m_core).append(m_trailing);
        if (field.text.size() > kMaxFieldBytes)
            field.text.resize(kMaxFieldBytes);
    } else {
        field.text = std::move(m_core);
    }
    m_leading.clear();
    m_core.clear();
    m_trailing.clear();
    m_trailingCount = 0;
    m_coreCut = false;
    m_numeral = Numeral();
    m_state = State::Start;
    m_started = false;
    if (!m_done && !m_taker.takeField(field))
        m_done = true;
}

bool historyFieldNumber(std::string_view text, double &number)
{
    text = trimmed(text);
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        ++digits;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos)
            ++digits;
    }
    if (digits == 0 || pos != text.size())
        return false;
    number = leadingNumber(text);
    return true;
}

} // namespace omvex
