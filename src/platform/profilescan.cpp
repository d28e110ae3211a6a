#include "platform/profilescan.h"
#include "platform/textscan.h"

#include <algorithm>

namespace omvex::platform {

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::string_view withoutOuterQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

void ProfileScan::Name::reset(std::size_t limit, bool cut)
{
    text.clear();
    blanks.clear();
    cap = limit;
    started = false;
    tooLong = false;
    cutWhenLong = cut;
}

void ProfileScan::Name::add(char c)
{
    if (tooLong)
        return;
    if (isBlank(c)) {
        // Blanks before the name are no part of it; blanks after it only if more of the name follows.
        // One blank beyond the cap is enough to know that any more of the name makes it too long.
        if (started && blanks.size() <= cap)
            blanks.push_back(c);
        return;
    }
    started = true;
    if (text.size() + blanks.size() + 1 > cap) {
        tooLong = true;
        if (cutWhenLong) {
            blanks.resize(std::min(blanks.size(), cap - std::min(cap, text.size())));
            text += blanks;
            if (text.size() < cap)
                text.push_back(c);
        } else {
            text.clear();
        }
        blanks.clear();
        return;
    }
    text += blanks;
    blanks.clear();
    text.push_back(c);
}

ProfileScan::ProfileScan(std::string_view section, const std::vector<std::string_view> &keys, bool keepValues)
    : m_sectionName(trimmed(section))
    , m_keepValues(keepValues)
    , m_found(keys.size())
    , m_missingKeys(keys.size())
{
    m_keyNames.reserve(keys.size());
    for (const std::string_view key : keys) {
        m_keyNames.emplace_back(trimmed(key));
        m_longestKey = std::max(m_longestKey, m_keyNames.back().size());
    }
}

void ProfileScan::feed(std::string_view bytes)
{
    for (const char c : bytes) {
        if (m_markPossible) {
            if (c == kByteOrderMark[m_markMatched]) {
                ++m_size;
                if (++m_markMatched == kByteOrderMark.size()) {
                    m_bodyStart = m_size;
                    m_markPossible = false;
                }
                continue;
            }
            // Not a byte-order mark after all: its first bytes were text.
            m_markPossible = false;
            m_size = 0;
            for (std::size_t i = 0; i < m_markMatched; ++i)
                take(kByteOrderMark[i]);
        }
        take(c);
    }
}

void ProfileScan::finish()
{
    if (m_markPossible) {
        m_markPossible = false;
        if (m_markMatched < kByteOrderMark.size()) {
            m_size = 0;
            for (std::size_t i = 0; i < m_markMatched; ++i)
                take(kByteOrderMark[i]);
        }
    }
    if (!m_inLine)
        return;
    if (!m_lineEnded) {
        m_line.end = m_size;
        endLine();
    }
    closeLine(m_size);
}

void ProfileScan::take(char c)
{
    const std::uint64_t offset = m_size++;
    m_lastByte = c;
    if (m_lineEnded) {
        if (m_afterCarriageReturn && c == '\n') {
            m_afterCarriageReturn = false; // the second half of CRLF
            return;
        }
        closeLine(offset);
    }
    if (!m_inLine) {
        m_inLine = true;
        m_lineEnded = false;
        m_line = ProfileLine{offset, offset, offset};
        m_state = State::Start;
        m_lineIsKey = false;
        m_lineIsSection = false;
        m_lineKeys.clear();
        if (c == '\n')
            markBeforeLineFeed(offset);
    }
    if (c == '\r' || c == '\n') {
        m_line.end = offset;
        m_lineEnded = true;
        m_lineEndChar = c;
        m_afterCarriageReturn = c == '\r';
        endLine();
        return;
    }
    switch (m_state) {
    case State::Start:
        if (isBlank(c))
            return;
        if (c == '[') {
            m_state = State::Section;
            m_name.reset(m_sectionName.size(), false);
            return;
        }
        // A comment never matches, and outside the section a key line does not matter.
        if (c == ';' || !m_inSection) {
            m_state = State::Ignore;
            return;
        }
        m_state = State::KeyName;
        m_name.reset(m_longestKey, false);
        [[fallthrough]];
    case State::KeyName:
        if (c == '=')
            endKeyName(offset + 1);
        else
            m_name.add(c);
        return;
    case State::Section:
        if (c == ']') {
            endSectionName();
            m_state = State::Ignore;
        } else {
            m_name.add(c);
        }
        return;
    case State::Value:
        m_value.add(c);
        return;
    case State::Ignore:
        return;
    }
}

void ProfileScan::endSectionName()
{
    const bool matches = !m_name.tooLong && sameName(m_name.text, m_sectionName);
    if (m_inSection) {
        m_inSection = false;
        m_sectionEnded = true;
    } else if (!m_sectionSeen && matches) {
        // Only the first section of a name counts; a later one of the same name is invisible.
        m_sectionSeen = true;
        m_inSection = true;
        m_lineIsSection = true;
    }
}

void ProfileScan::endKeyName(std::uint64_t valueStart)
{
    m_lineIsKey = true;
    m_state = State::Ignore;
    if (m_name.tooLong)
        return;
    for (std::size_t i = 0; i < m_keyNames.size(); ++i) {
        if (!m_found[i] && sameName(m_name.text, m_keyNames[i])) {
            m_found[i] = ProfileKeyPlace{{}, valueStart, {}};
            m_lineKeys.push_back(i);
        }
    }
    if (m_keepValues && !m_lineKeys.empty()) {
        m_state = State::Value;
        m_value.reset(kMaxProfileValueBytes, true);
    }
}

void ProfileScan::endLine()
{
    if (m_state == State::Section)
        endSectionName(); // a header without "]" runs to the end of the line
    if (m_lineKeys.empty())
        return;
    if (m_state == State::Value) {
        const std::string_view value = withoutOuterQuotes(m_value.text);
        for (const std::size_t i : m_lineKeys)
            m_found[i]->value.assign(value);
    }
    m_missingKeys -= m_lineKeys.size();
    m_state = State::Ignore;
}

void ProfileScan::closeLine(std::uint64_t next)
{
    m_line.next = next;
    if (m_isFirstLine) {
        m_isFirstLine = false;
        if (next - m_line.end == 2)
            m_lineEnd = "\r\n";
        else if (next - m_line.end == 1)
            m_lineEnd = std::string(1, m_lineEndChar);
    }
    if (m_lineIsSection)
        m_section = m_line;
    if (m_lineIsKey)
        m_lastKey = m_line;
    for (const std::size_t i : m_lineKeys)
        m_found[i]->line = m_line;
    m_inLine = false;
}

void ProfileScan::markBeforeLineFeed(std::uint64_t offset)
{
    const auto mark = [offset](ProfileLine &line) {
        if (line.next == offset)
            line.beforeLineFeed = true;
    };
    if (m_section)
        mark(*m_section);
    if (m_lastKey)
        mark(*m_lastKey);
    for (auto &found : m_found) {
        if (found)
            mark(found->line);
    }
}

} // namespace omvex::platform
