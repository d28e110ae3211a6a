// The settings-file reader and writer on arbitrary content and names. After a write the value reads
// back, every other key reads as before, a second identical write changes nothing, and the bytes
// around the change are the old bytes. Several keys read or written at once give what one at a time
// gives, and a reading fed in two pieces finds what a reading of the whole finds.
#include "platform/privateprofile.h"
#include "platform/profilescan.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr std::array<std::string_view, 4> kSections{"OmvexINI", "omvexini", "S", "Other"};
constexpr std::array<std::string_view, 4> kKeys{"Level", "PATTERN", "Kako", "k"};

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    // Byte 0: with its high bit, names from the lists above (so writes meet existing sections);
    // without it, a section and a key of lengths (byte 0 & 15) and (byte 1 & 15) taken from the input.
    // Byte 2: the value, a decimal number. The rest is the file.
    std::string_view rest(reinterpret_cast<const char *>(data) + 3, size - 3);
    std::string_view section;
    std::string_view key;
    if (data[0] & 0x80) {
        section = kSections[data[0] % kSections.size()];
        key = kKeys[data[1] % kKeys.size()];
    } else {
        const std::size_t sectionLength = std::min<std::size_t>(data[0] & 15U, rest.size());
        section = rest.substr(0, sectionLength);
        rest.remove_prefix(sectionLength);
        const std::size_t keyLength = std::min<std::size_t>(data[1] & 15U, rest.size());
        key = rest.substr(0, keyLength);
        rest.remove_prefix(keyLength);
    }
    const std::string value = std::to_string(data[2]);
    const std::string_view content = rest;

    const std::vector<std::string_view> keys(kKeys.begin(), kKeys.end());
    const auto together = omvex::platform::profileStrings(content, section, keys);
    omvex::platform::ProfileScan halves(section, keys, true);
    halves.feed(content.substr(0, content.size() / 2));
    halves.feed(content.substr(content.size() / 2));
    halves.finish();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        check(together[i] == omvex::platform::profileString(content, section, keys[i]));
        check(together[i] == (halves.keys()[i] ? std::optional(halves.keys()[i]->value) : std::nullopt));
    }

    const std::vector<std::pair<std::string, std::string>> entries{
        {std::string(key), value}, {std::string(kKeys[data[1] % kKeys.size()]), "x"}, {std::string(key), "y"}};
    const omvex::platform::ProfileEdit atOnce =
        omvex::platform::writeProfileStringsToContent(content, section, entries);
    std::string oneByOne(content);
    bool allWritten = true;
    for (const auto &[k, v] : entries) {
        const omvex::platform::ProfileEdit step = omvex::platform::writeProfileStringToContent(oneByOne, section, k, v);
        allWritten = allWritten && step.ok;
        oneByOne = step.content;
    }
    check(atOnce.ok == allWritten);
    check(!atOnce.ok || atOnce.content == oneByOne);

    const omvex::platform::ProfileEdit edit =
        omvex::platform::writeProfileStringToContent(content, section, key, value);
    if (!edit.ok)
        return 0;
    const std::string &after = edit.content;

    check(omvex::platform::profileString(after, section, key) == value);
    for (const std::string_view s : kSections) {
        for (const std::string_view k : kKeys) {
            if (sameName(s, trimmed(section)) && sameName(k, trimmed(key)))
                continue;
            check(omvex::platform::profileString(content, s, k) == omvex::platform::profileString(after, s, k));
        }
    }

    const omvex::platform::ProfileEdit again = omvex::platform::writeProfileStringToContent(after, section, key, value);
    check(again.ok && again.content == after);

    // Only the old value text and the key line's own line end (which takes the file's) may be gone;
    // everything else is kept around the change.
    std::size_t prefix = 0;
    while (prefix < content.size() && prefix < after.size() && content[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < content.size() - prefix && suffix < after.size() - prefix
           && content[content.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    std::string_view removed = content.substr(prefix, content.size() - prefix - suffix);
    if (removed.ends_with("\r\n"))
        removed.remove_suffix(2);
    else if (removed.ends_with('\r') || removed.ends_with('\n'))
        removed.remove_suffix(1);
    check(removed.find_first_of("\r\n") == std::string_view::npos);
    return 0;
}
