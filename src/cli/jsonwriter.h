#pragma once

#include <QString>

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace omvex::cli {

// Writes one compact JSON document to a stream as the calls are made (a journal of a million entries
// is never held as one text), in the order the calls are made, so that the keys keep the
// order scripts and people read them in (QJsonObject would sort them) and the same run gives the
// same bytes. Integers are written exactly, also above 2^53 (QJsonValue holds them as doubles), and
// points keep their one decimal.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream &out)
        : m_out(out)
    {
    }
    JsonWriter(const JsonWriter &) = delete;
    JsonWriter &operator=(const JsonWriter &) = delete;
    ~JsonWriter() { flush(); }

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
    // A 1-based line of a file, or null for 0: what concerns the file as a whole has no line.
    JsonWriter &lineNumber(int line) { return line > 0 ? integer(line) : null(); }

    // Ends the document with a line end and passes on what is still held.
    void finish();

private:
    void beforeValue();
    void raw(std::string_view text);
    void flush();
    void flushIfLarge();

    std::ostream &m_out;
    std::string m_text; // what is not yet passed on: a few kilobytes at most
    std::vector<bool> m_hasItems; // one entry per open object or array
    bool m_afterKey = false;
};

} // namespace omvex::cli
