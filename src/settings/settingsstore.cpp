#include "settings/settingsstore.h"

#include "platform/privateprofile.h"
#include "platform/textscan.h"

#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace omvex {

namespace {

constexpr std::string_view kSection = "OmvexINI";
constexpr std::string_view kLevelKey = "Level";
constexpr std::string_view kPatternKey = "Pattern";
constexpr std::string_view kKakoKey = "Kako";
constexpr std::string_view kRecordSection = "Kiroku";
constexpr std::string_view kRecordKey = "Record";
constexpr std::string_view kImportSection = "Torikomi";
constexpr std::string_view kImportFolderKey = "Folder";
constexpr std::string_view kPlaceSection = "Bunseki";
constexpr std::array<std::string_view, 4> kPlaceKeys{"Left", "Top", "Width", "Height"};
constexpr std::string_view kAddressKey = "URL";

// The whole number a stored value begins with (blanks, an optional sign, digits), or -1 when there
// is none or it is too large to be any setting: "2abc" is 2, while "4294967297" must not wrap
// round to 1 and "-1" must not turn into a huge unsigned value.
long long storedNumber(const std::optional<std::string> &value)
{
    if (!value)
        return 0;
    std::string_view text = platform::trimmed(*value);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0)
        return 0;
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + digits, number);
    if (error != std::errc() || end != text.data() + digits)
        return -1;
    return negative ? -number : number;
}

} // namespace

SettingsStore::SettingsStore(QString iniPath)
    : m_iniPath(std::move(iniPath))
{
}

Settings SettingsStore::read() const
{
    // One pass over the file for all three keys, however large the file has grown.
    const std::vector<std::optional<std::string>> values =
        platform::readProfileStrings(m_iniPath, kSection, {kLevelKey, kPatternKey, kKakoKey});
    Settings settings;
    settings.level = levelFromDigit(storedNumber(values[0]));
    settings.pattern = patternFromDigit(storedNumber(values[1]));
    settings.kako = kakoFromDigit(storedNumber(values[2]));
    return settings;
}

SaveResult SettingsStore::save(const Settings &settings) const
{
    // The three keys go into the file in one atomic replacement: the same content as three writes
    // one after the other, but never a file with only some of them.
    const std::vector<std::pair<std::string, std::string>> entries{
        {std::string(kLevelKey), std::to_string(digit(settings.level))},
        {std::string(kPatternKey), std::to_string(digit(settings.pattern))},
        {std::string(kKakoKey), std::to_string(digit(settings.kako))},
    };
    QString error;
    if (!platform::writeProfileStrings(m_iniPath, kSection, entries, &error))
        return {false, QStringLiteral("設定を保存できませんでした: %1").arg(error)};
    return {};
}

bool SettingsStore::readRecordEnabled() const
{
    const std::optional<std::string> value = platform::readProfileStrings(m_iniPath, kRecordSection, {kRecordKey})[0];
    // An empty value reads as the default, as a missing one does; any other value not 0 or 1 is out
    // of range and reads as the default too.
    if (!value || platform::trimmed(*value).empty())
        return true;
    return storedNumber(value) != 0;
}

SaveResult SettingsStore::saveRecordEnabled(bool enabled) const
{
    QString error;
    if (!platform::writeProfileString(m_iniPath, kRecordSection, kRecordKey, enabled ? "1" : "0", &error))
        return {false, QStringLiteral("設定を保存できませんでした: %1").arg(error)};
    return {};
}

QString SettingsStore::readImportFolder() const
{
    const std::optional<std::string> value = platform::readProfileStrings(m_iniPath, kImportSection, {kImportFolderKey})[0];
    return value ? QString::fromStdString(std::string(platform::trimmed(*value))) : QString();
}

SaveResult SettingsStore::saveImportFolder(const QString &folder) const
{
    // A line end in the name would end the value and start a line of its own.
    if (folder.contains(u'\n') || folder.contains(u'\r'))
        return {false, QStringLiteral("設定を保存できませんでした: フォルダ名に改行があります")};
    QString error;
    if (!platform::writeProfileString(m_iniPath, kImportSection, kImportFolderKey, folder.toStdString(), &error))
        return {false, QStringLiteral("設定を保存できませんでした: %1").arg(error)};
    return {};
}

QString SettingsStore::readFetchAddress() const
{
    const std::optional<std::string> value = platform::readProfileStrings(m_iniPath, kImportSection, {kAddressKey})[0];
    return value ? QString::fromStdString(*value) : QString();
}

SaveResult SettingsStore::saveFetchAddress(const QString &address) const
{
    QString error;
    if (!platform::writeProfileString(m_iniPath, kImportSection, kAddressKey, address.toStdString(), &error))
        return {false, QStringLiteral("設定を保存できませんでした: %1").arg(error)};
    return {};
}

std::optional<QRect> SettingsStore::readAnalysisPlace() const
{
    const std::vector<std::optional<std::string>> values = platform::readProfileStrings(
        m_iniPath, kPlaceSection, {kPlaceKeys[0], kPlaceKeys[1], kPlaceKeys[2], kPlaceKeys[3]});
    std::array<int, 4> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const long long number = storedNumber(values[i]);
        // A missing key reads as 0 and a huge one as -1: neither is a place.
        if (!values[i] || number < std::numeric_limits<int>::min() / 2 || number > std::numeric_limits<int>::max() / 2)
            return std::nullopt;
        numbers[i] = static_cast<int>(number);
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return std::nullopt;
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

SaveResult SettingsStore::saveAnalysisPlace(const QRect &place) const
{
    const std::array<int, 4> numbers{place.x(), place.y(), place.width(), place.height()};
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        entries.emplace_back(std::string(kPlaceKeys[i]), std::to_string(numbers[i]));
    QString error;
    if (!platform::writeProfileStrings(m_iniPath, kPlaceSection, entries, &error))
        return {false, error};
    return {};
}

} // namespace omvex
