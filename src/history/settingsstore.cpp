#include "history/settingsstore.h"

#include "platform/privateprofile.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace omvex {

namespace {

constexpr std::string_view kSection = "OmvexINI";

struct Key {
    std::string_view name;
    std::uint32_t highest;
};

constexpr Key kLevel{"Level", 3};
constexpr Key kPattern{"Pattern", 1};
constexpr Key kKako{"Kako", 3};

// The value is unsigned, so "-1" (4294967295) and wrapped huge values fall out of range with 7.
std::string settingText(std::string_view content, const Key &key)
{
    const std::uint32_t value = platform::profileInt(content, kSection, key.name, 0);
    return std::to_string(value > key.highest ? 0U : value);
}

} // namespace

SettingsStore::SettingsStore(QString iniPath)
    : m_iniPath(std::move(iniPath))
{
}

Settings SettingsStore::read() const
{
    const std::string content = platform::readProfileFile(m_iniPath).value_or(std::string());
    Settings settings;
    settings.Level = settingText(content, kLevel);
    settings.Pattern = settingText(content, kPattern);
    settings.Kako = settingText(content, kKako);
    return settings;
}

SaveResult SettingsStore::save(Settings &settings, int level, int pattern, int kako) const
{
    const auto inRange = [](int value, const Key &key) {
        return value >= 0 && static_cast<std::uint32_t>(value) <= key.highest;
    };
    // An index outside its range would leave a setting the prediction run cannot use; nothing of it
    // is taken or written.
    if (!inRange(level, kLevel) || !inRange(pattern, kPattern) || !inRange(kako, kKako)) {
        return {false, QStringLiteral("設定値が範囲外です (Level %1, Pattern %2, Kako %3)")
                           .arg(level)
                           .arg(pattern)
                           .arg(kako)};
    }

    settings.Level = std::to_string(level);
    settings.Pattern = std::to_string(pattern);
    settings.Kako = std::to_string(kako);

    // The three keys go into the file in one atomic replacement: the same content as three writes
    // one after the other, but never a file with only some of them.
    const std::vector<std::pair<std::string, std::string>> entries{
        {std::string(kLevel.name), settings.Level},
        {std::string(kPattern.name), settings.Pattern},
        {std::string(kKako.name), settings.Kako},
    };
    QString error;
    if (!platform::writeProfileStrings(m_iniPath, kSection, entries, &error))
        return {false, QStringLiteral("設定を保存できませんでした: %1").arg(error)};
    return {};
}

} // namespace omvex
