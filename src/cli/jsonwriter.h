#pragma once

#include <QString>

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace omvex::cli {

// Writes one compact JSON document in the order the calls are made, so that the keys keep the
// order scripts and people read them in (QJsonObject would sort them) and the same run gives the
// same bytes. Integers are written exactly, also above 2^53 (QJsonValue holds them as doubles), and
// points keep their one decimal.
class JsonWriter {
public:
    JsonWriter &beginObject();
    JsonWriter &endObject();
    JsonWriter &beginArray();
    JsonWriter &endArray();

    // Every call returns the writer, so that a key and its value read as one line.
    JsonWriter &key(std::string_view name);

    JsonWriter &string(std::string_view text);
    JsonWriter &string(const char *text) { return string(std::string_view(text)); }
    JsonWriter &string(const std::string &text) { return string(std::string_view(text)); }
    JsonWriter &string(const QString &text) { return string(std::string_view(text.toStdString())); }
    JsonWriter &integer(long long value);
    JsonWriter &unsignedInteger(unsigned long long value);
    JsonWriter &boolean(bool value);
    JsonWriter &null();
    // An array of whole numbers, such as a line of six.
    JsonWriter &integers(std::span<const int> values);
    // The shortest text that reads back as the same double; NaN and infinities become null.
    JsonWriter &number(double value);
    // A number with a fixed count of decimals, as points (whole tenths) are shown.
    JsonWriter &fixed(double value, int decimals);

    const std::string &text() const { return m_text; }

private:
    void beforeValue();
    void raw(std::string_view text);

    std::string m_text;
    std::vector<bool> m_hasItems; // one entry per open object or array
    bool m_afterKey = false;
};

} // namespace omvex::cli
