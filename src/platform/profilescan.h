#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omvex::platform {

// A value longer than this is read as its first kMaxProfileValueBytes bytes, so that what a reading
// keeps does not grow with the file. The program's own values are one digit.
inline constexpr std::size_t kMaxProfileValueBytes = 64 * 1024;

// Where one line stands in the file: [begin, end) is its text, [end, next) its line end (empty on a
// last line without one).
struct ProfileLine {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t next = 0;
    bool beforeLineFeed = false; // the next line is an empty one ended by LF

    bool hasLineEnd() const { return next > end; }
};

struct ProfileKeyPlace {
    ProfileLine line;
    std::uint64_t valueStart = 0; // just after the "="
    std::string value;            // trimmed, one pair of outer quotes removed; only when values are kept
};

// One pass over a settings file's bytes, fed in pieces of any size, that finds the first section of a
// name and in it the first line of each key looked for. It keeps only what the look-up needs, never
// a list of lines, so memory does not grow with the file: a name is kept only up to the length of the
// longest name looked for (a longer one cannot match), a value up to kMaxProfileValueBytes.
class ProfileScan {
public:
    ProfileScan(std::string_view section, const std::vector<std::string_view> &keys, bool keepValues);

    void feed(std::string_view bytes);
    void finish();
    // True once no later byte can change what was found: the section has ended, or every key is found.
    bool isSettled() const { return m_sectionEnded || (m_sectionSeen && m_missingKeys == 0); }

    const std::optional<ProfileLine> &sectionLine() const { return m_section; }
    const std::optional<ProfileLine> &lastKeyLine() const { return m_lastKey; }
    const std::vector<std::optional<ProfileKeyPlace>> &keys() const { return m_found; }
    // The line end the file already uses (its first line's), "\n" when the first line has none.
    std::string_view lineEnd() const { return m_lineEnd.empty() ? std::string_view("\n") : m_lineEnd; }
    bool hasBody() const { return m_size > m_bodyStart; }
    bool endsWithLineEnd() const { return m_lastByte == '\n' || m_lastByte == '\r'; }
    std::uint64_t size() const { return m_size; }

private:
    // A name as the line is read: blanks around it dropped, given up once it outgrows cap.
    struct Name {
        std::string text;
        std::string blanks; // blanks seen since the last other character, kept in case more follows
        std::size_t cap = 0;
        bool started = false;
        bool tooLong = false;
        bool cutWhenLong = false; // keep the first cap bytes instead of giving up

        void reset(std::size_t limit, bool cut);
        void add(char c);
    };

    enum class State : std::uint8_t { Start, Section, Ignore, KeyName, Value };

    void take(char c);
    void endLine();
    void closeLine(std::uint64_t next);
    void markBeforeLineFeed(std::uint64_t offset);
    void endSectionName();
    void endKeyName(std::uint64_t valueStart);

    std::string m_sectionName;
    std::vector<std::string> m_keyNames;
    std::size_t m_longestKey = 0;
    bool m_keepValues;

    std::optional<ProfileLine> m_section;
    std::optional<ProfileLine> m_lastKey;
    std::vector<std::optional<ProfileKeyPlace>> m_found;
    std::size_t m_missingKeys;
    bool m_sectionSeen = false;
    bool m_inSection = false;
    bool m_sectionEnded = false;
    std::string m_lineEnd;

    std::uint64_t m_size = 0;
    std::uint64_t m_bodyStart = 0;
    std::size_t m_markMatched = 0; // bytes of a leading byte-order mark seen so far
    bool m_markPossible = true;
    char m_lastByte = 0;

    // The line being read.
    ProfileLine m_line;
    bool m_inLine = false;
    bool m_lineEnded = false;
    bool m_afterCarriageReturn = false;
    char m_lineEndChar = '\n';
    bool m_isFirstLine = true;
    State m_state = State::Start;
    Name m_name;
    Name m_value;
    bool m_lineIsKey = false;
    bool m_lineIsSection = false;
    std::vector<std::size_t> m_lineKeys; // the keys looked for that this line is the first of
};

} // namespace omvex::platform
