#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace omvex {

// A field's text is kept up to this length: no history value needs more, and a file without a single
// separator must not turn into one cell of a hundred megabytes. Blanks around the field do not count.
inline constexpr std::size_t kMaxFieldBytes = 255;

// One field of the history file. A numeral is a number whatever its length (so a value of 300 digits
// is out of range like 100, not a text); anything else is text, cut to kMaxFieldBytes.
struct HistoryField {
    bool isNumber = false;
    double number = 0.0;
    std::string text; // without the blanks around it; a quoted field as inside its quotes
    int line = 1;     // where the field starts, 1-based
    // Bytes of the content fed to the splitter: from the first after the separator before the field
    // to the separator after it (or the end).
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Told of each field in file order; returns false when it wants no more.
class HistoryFieldTaker {
public:
    virtual ~HistoryFieldTaker() = default;
    virtual bool takeField(HistoryField &field) = 0;
};

// Splits the bytes of a history file, fed in pieces of any size, into comma-separated fields; line
// ends separate fields like commas. It keeps one field at a time and at most kMaxFieldBytes of it, so
// memory stays bounded whatever the file holds.
class HistoryFieldSplitter {
public:
    explicit HistoryFieldSplitter(HistoryFieldTaker &taker)
        : m_taker(taker)
    {
    }

    // False once the taker wants no more; the rest of the file need not be read.
    bool feed(std::string_view bytes);
    // A last field without a separator after it still counts, and so does the empty field after a
    // final comma; nothing at all after a final line end is no field.
    void finish();
    int line() const { return m_line; }
    // Counts bytes the caller took off before feeding (a byte order mark), so that field offsets
    // stay those of the whole content.
    void skipBytes(std::size_t count) { m_position += count; m_fieldBegin = m_position; }

private:
    enum class State : std::uint8_t { Start, Bare, Quoted, AfterQuote };

    // Whether the field is a numeral and its value, worked out as the bytes come, so that a numeral
    // longer than what the field keeps still reads as its number.
    class Numeral {
    public:
        void add(char c);
        bool isNumeral() const { return m_state != Shape::Bad && m_digits > 0; }
        double value() const;

    private:
        enum class Shape : std::uint8_t { Begin, Sign, Whole, Fraction, Bad };
        static constexpr std::size_t kKeptDigits = 400; // more whole digits than any double can hold
        Shape m_state = Shape::Begin;
        bool m_negative = false;
        bool m_wholeTooLong = false;
        std::size_t m_digits = 0;
        std::string m_whole;    // without leading zeros
        std::string m_fraction; // the first kKeptDigits digits
    };

    void take(char c);
    void addToCore(char c);
    void endField(char separator);
    void emitField();

    HistoryFieldTaker &m_taker;
    bool m_done = false;
    State m_state = State::Start;
    bool m_started = false; // something (a blank, a quote) seen since the last separator
    bool m_afterComma = false;
    bool m_afterCarriageReturn = false;
    int m_line = 1;
    int m_fieldLine = 1;
    std::size_t m_position = 0;   // of the byte being taken
    std::size_t m_fieldBegin = 0;

    // The field being read: blanks before its first other byte, its core up to kMaxFieldBytes, and
    // blanks after its last other byte (kept in case more follows).
    std::string m_leading;
    std::string m_core;
    std::string m_trailing;
    std::size_t m_trailingCount = 0;
    bool m_coreCut = false;
    Numeral m_numeral;
};

// Whether one field of the history file reads as a number, and which: a whole decimal numeral with
// an optional sign and an optional decimal fraction ("12", "+4", "-2", "3.0", "3.", ".5"), blanks
// around it allowed. Anything else is text: "1e3", "12abc", "abc", "0x10", "1 2", "", "-".
bool historyFieldNumber(std::string_view text, double &number);

} // namespace omvex
