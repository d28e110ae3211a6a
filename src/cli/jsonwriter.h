#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace omvex::cli {

// Writes one compact JSON document in the order the calls are made, so that the keys keep the
// order scripts and people read them in (QJsonObject would sort them). Integers are written
// exactly, also above 2^53.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    void key(std::string_view name);

    void string(std::string_view text);
    void string(const char *text) { string(std::string_view(text)); }
    void string(const std::string &text) { string(std::string_view(text)); }
    void string(const QString &text) { string(std::string_view(text.toStdString())); }
    void integer(long long value);
    void unsignedInteger(unsigned long long value);
    void boolean(bool value);
    void null();
    // The shortest text that reads back as the same double; NaN and infinities become null.
    void number(double value);
    // A number with a fixed count of decimals, as points (whole tenths) are shown.
    void fixed(double value, int decimals);

    const std::string &text() const { return m_text; }

private:
    void beforeValue();
    void raw(std::string_view text);

    std::string m_text;
    std::vector<bool> m_hasItems; // one entry per open object or array
    bool m_afterKey = false;
};

} // namespace omvex::cli
