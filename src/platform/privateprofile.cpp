#include "platform/privateprofile.h"
#include "platform/profilescan.h"
#include "platform/safewrite.h"
#include "platform/textscan.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace omvex::platform {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

struct NameProblem {
    const char *english = nullptr;
    const char *japanese = nullptr;
};

// Names and values that could not be read back as written.
NameProblem checkNames(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty())
        return {"empty section name", "セクション名が空です"};
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos)
        return {"section name with a line end or \"]\"", "セクション名に改行か「]」が入っています"};
    if (key.empty())
        return {"empty key name", "キー名が空です"};
    if (hasLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[')
        return {"key name with a line end or \"=\", or starting with \";\" or \"[\"",
                "キー名に改行か「=」が入っているか、キー名が「;」か「[」で始まっています"};
    if (hasLineBreak(value))
        return {"value with a line end", "値に改行が入っています"};
    return {};
}

using Entries = std::vector<std::pair<std::string, std::string>>;

// Written one after the other, a later write of a name (in any letter case) replaces the value of the
// earlier one in place: so each name is written once, where it first comes, with its last value.
Entries mergedEntries(const Entries &entries)
{
    Entries merged;
    for (const auto &[key, value] : entries) {
        const std::string_view name = trimmed(key);
        const auto same = std::find_if(merged.begin(), merged.end(),
                                       [&](const auto &entry) { return sameName(entry.first, name); });
        if (same != merged.end())
            same->second = value;
        else
            merged.emplace_back(std::string(name), value);
    }
    return merged;
}

// One change to the old bytes: the bytes from at to resumeAt give way to insert.
struct Edit {
    std::uint64_t at = 0;
    std::uint64_t resumeAt = 0;
    std::string insert;
};

std::vector<std::string_view> namesOf(const Entries &entries)
{
    std::vector<std::string_view> names;
    for (const auto &entry : entries)
        names.push_back(entry.first);
    return names;
}

// A lone CR written right before an LF would join it into one line end and swallow the empty line
// that follows; there the line ends with CRLF instead.
std::string endedLine(std::string text, std::string_view lineEnd, bool beforeLineFeed)
{
    text.append(lineEnd);
    if (beforeLineFeed && lineEnd == "\r")
        text.push_back('\n');
    return text;
}

// The edits, in file order, that write entries into the section the scan looked for.
std::vector<Edit> planEdits(const ProfileScan &scan, std::string_view section, const Entries &entries)
{
    const std::string_view lineEnd = scan.lineEnd();
    std::string added;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!scan.keys()[i])
            added.append(entries[i].first).append("=").append(entries[i].second).append(lineEnd);
    }
    // New keys go after the section's last key line (or its header); comments and blank lines after
    // it stay after them.
    const ProfileLine *after = nullptr;
    if (scan.sectionLine() && !added.empty())
        after = scan.lastKeyLine() ? &*scan.lastKeyLine() : &*scan.sectionLine();

    std::vector<Edit> edits;
    bool afterReplaced = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (const auto &found = scan.keys()[i]) {
            // The key's spelling and the text up to "=" stay; the line takes the file's line end.
            const bool followed = after && after->next == found->line.next;
            afterReplaced = afterReplaced || followed;
            edits.push_back({found->valueStart, found->line.next,
                             endedLine(entries[i].second, lineEnd, found->line.beforeLineFeed && !followed)});
        }
    }
    if (after) {
        // A replaced last line already got its line end.
        if (!after->hasLineEnd() && !afterReplaced)
            added.insert(0, lineEnd);
        if (after->beforeLineFeed && lineEnd == "\r")
            added.push_back('\n');
        edits.push_back({after->next, after->next, std::move(added)});
    } else if (!scan.sectionLine()) {
        std::string tail;
        if (scan.hasBody() && !scan.endsWithLineEnd())
            tail.append(lineEnd);
        tail.append("[").append(section).append("]").append(lineEnd).append(added);
        edits.push_back({scan.size(), scan.size(), std::move(tail)});
    }
    // Stable: at one place, a replaced line comes before the lines added after it.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.at < b.at; });
    return edits;
}

} // namespace

std::vector<std::optional<std::string>> profileStrings(std::string_view content, std::string_view section,
                                                       const std::vector<std::string_view> &keys)
{
    ProfileScan scan(section, keys, true);
    for (std::size_t pos = 0; pos < content.size() && !scan.isSettled(); pos += kChunkBytes)
        scan.feed(content.substr(pos, kChunkBytes));
    scan.finish();
    std::vector<std::optional<std::string>> values(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (scan.keys()[i])
            values[i] = std::move(scan.keys()[i]->value);
    }
    return values;
}

std::optional<std::string> profileString(std::string_view content, std::string_view section, std::string_view key)
{
    return std::move(profileStrings(content, section, {key}).front());
}

ProfileEdit writeProfileStringsToContent(std::string_view content, std::string_view section, const Entries &entries)
{
    ProfileEdit edit;
    section = trimmed(section);
    for (const auto &[key, value] : entries) {
        if (const NameProblem problem = checkNames(section, trimmed(key), value); problem.english) {
            edit.error = problem.english;
            return edit;
        }
    }
    const Entries merged = mergedEntries(entries);
    ProfileScan scan(section, namesOf(merged), false);
    scan.feed(content);
    scan.finish();
    std::uint64_t pos = 0;
    for (const Edit &change : planEdits(scan, section, merged)) {
        edit.content.append(content.substr(pos, change.at - pos)).append(change.insert);
        pos = change.resumeAt;
    }
    edit.content.append(content.substr(std::min<std::uint64_t>(pos, content.size())));
    edit.ok = true;
    return edit;
}

ProfileEdit writeProfileStringToContent(std::string_view content, std::string_view section, std::string_view key,
                                        std::string_view value)
{
    return writeProfileStringsToContent(content, section, {{std::string(key), std::string(value)}});
}

std::vector<std::optional<std::string>> readProfileStrings(const QString &path, std::string_view section,
                                                           const std::vector<std::string_view> &keys)
{
    std::vector<std::optional<std::string>> values(keys.size());
    // A device or a pipe under the file's name could deliver bytes forever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return values;
    ProfileScan scan(section, keys, true);
    std::vector<char> buffer(kChunkBytes);
    while (!scan.isSettled()) {
        const qint64 got = file.read(buffer.data(), kChunkBytes);
        if (got < 0)
            return values; // unreadable reads as missing, as a whole-file read would
        if (got == 0)
            break;
        scan.feed({buffer.data(), static_cast<std::size_t>(got)});
    }
    scan.finish();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (scan.keys()[i])
            values[i] = std::move(scan.keys()[i]->value);
    }
    return values;
}

bool writeProfileString(const QString &path, std::string_view section, std::string_view key, std::string_view value,
                        QString *error)
{
    return writeProfileStrings(path, section, {{std::string(key), std::string(value)}}, error);
}

bool writeProfileStrings(const QString &path, std::string_view section, const Entries &entries, QString *error)
{
    section = trimmed(section);
    for (const auto &[key, value] : entries) {
        if (const NameProblem problem = checkNames(section, trimmed(key), value); problem.english) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, QString::fromUtf8(problem.japanese));
            return false;
        }
    }
    const Entries merged = mergedEntries(entries);

    // Two passes over the old file through one handle: the first finds where the keys go, the second
    // copies the old bytes around the changes into the new file.
    const Status result = replaceFileFrom(path, [&](const QString &target, QIODevice &out) {
        const auto unreadable = [&](QFileDevice::FileError fileError) {
            return Status{false, QStringLiteral("read-failed"),
                                   QStringLiteral("%1: %2").arg(path, fileProblemText(target, fileError))};
        };
        ProfileScan scan(section, namesOf(merged), false);
        QFile old(target);
        const bool exists = QFileInfo::exists(target);
        if (exists && !old.open(QIODevice::ReadOnly))
            return unreadable(old.error());
        std::vector<char> buffer(kChunkBytes);
        for (qint64 got = 1; exists && got > 0;) {
            got = old.read(buffer.data(), kChunkBytes);
            if (got < 0)
                return unreadable(old.error());
            scan.feed({buffer.data(), static_cast<std::size_t>(got)});
        }
        scan.finish();

        const auto copy = [&](std::uint64_t from, std::uint64_t to) {
            if (!old.seek(static_cast<qint64>(from)))
                return false;
            for (std::uint64_t left = to - from; left > 0;) {
                const qint64 got = old.read(buffer.data(), static_cast<qint64>(std::min<std::uint64_t>(left, kChunkBytes)));
                if (got <= 0)
                    return false;
                out.write(buffer.data(), got);
                left -= static_cast<std::uint64_t>(got);
            }
            return true;
        };
        std::uint64_t pos = 0;
        for (const Edit &change : planEdits(scan, section, merged)) {
            if (change.at > pos && !copy(pos, change.at))
                return unreadable(QFileDevice::ReadError);
            out.write(change.insert.data(), static_cast<qint64>(change.insert.size()));
            pos = change.resumeAt;
        }
        if (pos < scan.size() && !copy(pos, scan.size()))
            return unreadable(QFileDevice::ReadError);
        return Status{};
    });
    if (!result.ok && error)
        *error = result.message;
    return result.ok;
}

} // namespace omvex::platform
