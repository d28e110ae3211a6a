#include "platform/privateprofile.h"
#include "platform/textscan.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace omvex::platform {

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// One line of the content: [begin, end) is its text, [end, next) its line end (empty on a last
// line without one).
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;

    bool hasLineEnd() const { return next > end; }
};

std::size_t bodyStart(std::string_view content)
{
    return content.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

std::vector<Line> splitLines(std::string_view content)
{
    std::vector<Line> lines;
    std::size_t pos = bodyStart(content);
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        while (pos < content.size() && content[pos] != '\r' && content[pos] != '\n')
            ++pos;
        line.end = pos;
        if (pos < content.size()) {
            if (content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
        line.next = pos;
        lines.push_back(line);
    }
    return lines;
}

enum class LineKind { Other, Section, Comment, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed
    std::size_t valueStart = 0; // offset in the content just after the "=" of a key line
};

ParsedLine parseLine(std::string_view content, const Line &line)
{
    const std::string_view text = content.substr(line.begin, line.end - line.begin);
    ParsedLine parsed;
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size())
        return parsed;
    if (text[first] == '[') {
        parsed.kind = LineKind::Section;
        const std::string_view rest = text.substr(first + 1);
        parsed.name = trimmed(rest.substr(0, rest.find(']')));
        return parsed;
    }
    if (text[first] == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = trimmed(text.substr(0, equals));
    parsed.value = trimmed(text.substr(equals + 1));
    parsed.valueStart = line.begin + equals + 1;
    return parsed;
}

// Where a section and a key stand in the content. Only the first section of a name counts, and
// within it the first key of a name.
struct Lookup {
    std::vector<Line> lines;
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> lastKeyLine; // last key line of the section, any name
    std::optional<std::size_t> keyLine;
    ParsedLine key;
};

Lookup lookUp(std::string_view content, std::string_view section, std::string_view key)
{
    Lookup found;
    found.lines = splitLines(content);
    for (std::size_t i = 0; i < found.lines.size(); ++i) {
        const ParsedLine parsed = parseLine(content, found.lines[i]);
        if (!found.sectionLine) {
            if (parsed.kind == LineKind::Section && sameName(parsed.name, section))
                found.sectionLine = i;
            continue;
        }
        if (parsed.kind == LineKind::Section)
            break;
        if (parsed.kind != LineKind::Key)
            continue;
        found.lastKeyLine = i;
        if (!found.keyLine && sameName(parsed.name, key)) {
            found.keyLine = i;
            found.key = parsed;
        }
    }
    return found;
}

std::string_view withoutOuterQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The line end the file already uses (its first line's), so that a file made on Windows stays CRLF.
std::string_view lineEndOf(std::string_view content, const std::vector<Line> &lines)
{
    if (lines.empty() || !lines.front().hasLineEnd())
        return "\n";
    const Line &first = lines.front();
    return content.substr(first.end, first.next - first.end);
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string checkNames(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty())
        return "empty section name";
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos)
        return "section name with a line end or \"]\"";
    if (key.empty())
        return "empty key name";
    if (hasLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[')
        return "key name with a line end or \"=\", or starting with \";\" or \"[\"";
    if (hasLineBreak(value))
        return "value with a line end";
    return {};
}

} // namespace

std::optional<std::string> profileString(std::string_view content, std::string_view section, std::string_view key)
{
    const Lookup found = lookUp(content, trimmed(section), trimmed(key));
    if (!found.keyLine)
        return std::nullopt;
    return std::string(withoutOuterQuotes(found.key.value));
}

std::uint32_t profileIntFromValue(std::string_view value)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    // Unsigned arithmetic wraps modulo 2^32 like the value the platform function returns, and can
    // never overflow however many digits follow.
    std::uint32_t number = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos)
        number = number * 10U + static_cast<std::uint32_t>(value[pos] - '0');
    return negative ? 0U - number : number;
}

std::uint32_t profileInt(std::string_view content, std::string_view section, std::string_view key, int defaultValue)
{
    const std::optional<std::string> value = profileString(content, section, key);
    if (!value || value->empty())
        return static_cast<std::uint32_t>(defaultValue);
    return profileIntFromValue(*value);
}

ProfileEdit writeProfileStringToContent(std::string_view content, std::string_view section, std::string_view key,
                                        std::string_view value)
{
    ProfileEdit edit;
    section = trimmed(section);
    key = trimmed(key);
    edit.error = checkNames(section, key, value);
    if (!edit.error.empty())
        return edit;

    const Lookup found = lookUp(content, section, key);
    const std::string_view lineEnd = lineEndOf(content, found.lines);
    std::string &out = edit.content;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);

    if (found.keyLine) {
        const Line &line = found.lines[*found.keyLine];
        out.append(content.substr(0, found.key.valueStart));
        out.append(value);
        if (line.hasLineEnd())
            out.append(content.substr(line.end));
        else
            out.append(lineEnd);
    } else if (found.sectionLine) {
        const Line &after = found.lines[found.lastKeyLine.value_or(*found.sectionLine)];
        out.append(content.substr(0, after.next));
        if (!after.hasLineEnd())
            out.append(lineEnd);
        out.append(key).append("=").append(value).append(lineEnd);
        out.append(content.substr(after.next));
    } else {
        out.append(content);
        if (content.size() > bodyStart(content) && content.back() != '\n' && content.back() != '\r')
            out.append(lineEnd);
        out.append("[").append(section).append("]").append(lineEnd);
        out.append(key).append("=").append(value).append(lineEnd);
    }
    edit.ok = true;
    return edit;
}

std::optional<std::string> readProfileFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

std::uint32_t readProfileInt(const QString &path, std::string_view section, std::string_view key, int defaultValue)
{
    const std::optional<std::string> content = readProfileFile(path);
    return profileInt(content ? *content : std::string(), section, key, defaultValue);
}

bool writeProfileString(const QString &path, std::string_view section, std::string_view key, std::string_view value,
                        QString *error)
{
    return writeProfileStrings(path, section, {{std::string(key), std::string(value)}}, error);
}

bool writeProfileStrings(const QString &path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>> &entries, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    };

    const QFileInfo info(path);
    std::string content;
    if (info.exists()) {
        if (!info.isFile())
            return fail(QStringLiteral("not a regular file"));
        // The save file would replace a read-only file by renaming over it; the user made it
        // read-only to keep it as it is.
        if (!info.isWritable())
            return fail(QStringLiteral("the file is read-only"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(file.errorString());
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(file.errorString());
        content = bytes.toStdString();
    }

    for (const auto &[key, value] : entries) {
        ProfileEdit edit = writeProfileStringToContent(content, section, key, value);
        if (!edit.ok)
            return fail(QString::fromStdString(edit.error));
        content = std::move(edit.content);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace omvex::platform
