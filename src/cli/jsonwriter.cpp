#include "cli/jsonwriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace omvex::cli {

namespace {

constexpr std::size_t kHeldBytes = 64 * 1024;

} // namespace

void JsonWriter::flush()
{
    if (!m_text.empty())
        m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
    m_text.clear();
}

void JsonWriter::flushIfLarge()
{
    if (m_text.size() >= kHeldBytes)
        flush();
}

void JsonWriter::finish()
{
    m_text += '\n';
    flush();
    m_out.flush();
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItems.empty()) {
        if (m_hasItems.back())
            m_text += ',';
        m_hasItems.back() = true;
    }
}

void JsonWriter::raw(std::string_view text)
{
    beforeValue();
    m_text += text;
    flushIfLarge();
}

JsonWriter &JsonWriter::beginObject()
{
    raw("{");
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter &JsonWriter::endObject()
{
    m_hasItems.pop_back();
    m_text += '}';
    return *this;
}

JsonWriter &JsonWriter::beginArray()
{
    raw("[");
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter &JsonWriter::endArray()
{
    m_hasItems.pop_back();
    m_text += ']';
    return *this;
}

JsonWriter &JsonWriter::key(std::string_view name)
{
    string(name);
    m_text += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::string(std::string_view text)
{
    beforeValue();
    m_text += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            m_text += "\\\"";
            break;
        case '\\':
            m_text += "\\\\";
            break;
        case '\n':
            m_text += "\\n";
            break;
        case '\r':
            m_text += "\\r";
            break;
        case '\t':
            m_text += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                m_text += escaped;
            } else {
                // UTF-8 bytes pass through: JSON text is UTF-8.
                m_text += c;
            }
        }
    }
    m_text += '"';
    flushIfLarge();
    return *this;
}

JsonWriter &JsonWriter::integer(long long value)
{
    raw(std::to_string(value));
    return *this;
}

JsonWriter &JsonWriter::unsignedInteger(unsigned long long value)
{
    raw(std::to_string(value));
    return *this;
}

JsonWriter &JsonWriter::boolean(bool value)
{
    raw(value ? "true" : "false");
    return *this;
}

JsonWriter &JsonWriter::null()
{
    raw("null");
    return *this;
}

JsonWriter &JsonWriter::integers(std::span<const int> values)
{
    beginArray();
    for (const int value : values)
        integer(value);
    return endArray();
}

JsonWriter &JsonWriter::number(double value)
{
    if (!std::isfinite(value)) {
        return null();
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    raw(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
    return *this;
}

JsonWriter &JsonWriter::fixed(double value, int decimals)
{
    if (!std::isfinite(value)) {
        return null();
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    raw(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
    return *this;
}

} // namespace omvex::cli
