#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Settings-file access with the behaviour of the classic private-profile functions, because users'
// existing "omvex.ini" files were made by them and other programs may share the file. The reader
// and writer work on the file's bytes so that a write changes only what it has to: other sections,
// keys, comments, blank lines, spacing and unknown lines stay byte for byte.
//
// The content-level functions are pure (tests and the fuzz target drive them); the path-level ones
// add the file: a missing file reads as empty, and a write replaces the file atomically. Reading and
// writing a file go through it piece by piece, so a settings file padded to many megabytes costs
// time in proportion to its size and little memory.
namespace omvex::platform {

// The value of key in the first section named section (names compared without letter case),
// trimmed of blanks and of one pair of matching outer quotes; nullopt when the section or key is
// missing. A leading UTF-8 byte-order mark is skipped.
std::optional<std::string> profileString(std::string_view content, std::string_view section, std::string_view key);

// The values of several keys of one section, found in one pass, in the order of keys; each as
// profileString would give it. A value longer than 64 KiB is cut to its first 64 KiB.
std::vector<std::optional<std::string>> profileStrings(std::string_view content, std::string_view section,
                                                       const std::vector<std::string_view> &keys);

struct ProfileEdit {
    bool ok = false;
    std::string content; // the new content when ok
    std::string error;   // why the write is refused when !ok
};

// content with key set to value in section: the key's value replaced in place when present,
// otherwise a new "key=value" line after the section's last key line (or its header), otherwise a new
// section at the end. Names are trimmed of spaces; the value is written exactly as given. Names and
// values that could not be read back as written (line ends, "=" in a key, "]" in a section, a key
// starting with ";" or "[", empty names) are refused.
ProfileEdit writeProfileStringToContent(std::string_view content, std::string_view section, std::string_view key,
                                        std::string_view value);

// Several keys of one section at once, with the same result as writing them one after the other.
ProfileEdit writeProfileStringsToContent(std::string_view content, std::string_view section,
                                         const std::vector<std::pair<std::string, std::string>> &entries);

// profileStrings over the file at path, read piece by piece and only as far as the look-up needs:
// memory stays small however large the file. A missing or unreadable file reads as empty.
std::vector<std::optional<std::string>> readProfileStrings(const QString &path, std::string_view section,
                                                           const std::vector<std::string_view> &keys);

// Writes one key, or several keys of one section in the given order, as one atomic replacement of
// the file: either every key is written or the file stays exactly as it was. A read-only file is
// never replaced; a replaced file keeps its mode, owner and group. On failure returns false and sets
// error to one Japanese line naming the path and saying why.
bool writeProfileString(const QString &path, std::string_view section, std::string_view key, std::string_view value,
                        QString *error = nullptr);
bool writeProfileStrings(const QString &path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>> &entries, QString *error = nullptr);

} // namespace omvex::platform
