#include "settings/SettingsFormat.h"

#include "settings/OptionsRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>

namespace morvantis {

namespace {

std::string_view trimBlanks(std::string_view s) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// from_chars takes no '+'; a hand-edited store may well hold one.
std::string_view dropPlus(std::string_view s) {
    if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+')
        s.remove_prefix(1);
    return s;
}

template <typename T> std::optional<T> parseWhole(std::string_view text) {
    const std::string_view s = dropPlus(trimBlanks(text));
    if (s.empty())
        return std::nullopt;
    T value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

} // namespace

std::array<const SettingKey*, kReadKeyCount> readingOrder() {
    std::array<const SettingKey*, kReadKeyCount> order{};
    for (const SettingKey& key : kSettingKeys) {
        if (key.readRank > 0)
            order[static_cast<std::size_t>(key.readRank - 1)] = &key;
    }
    return order;
}

std::optional<bool> parseTruth(std::string_view text) {
    const std::string_view s = trimBlanks(text);
    if (equalsIgnoringCase(s, "True"))
        return true;
    if (equalsIgnoringCase(s, "False"))
        return false;
    if (const auto number = parseWhole<double>(s))
        return *number != 0.0;
    return std::nullopt;
}

std::optional<std::int16_t> parseInteger(std::string_view text) {
    const auto value = parseWhole<long long>(text);
    if (!value || *value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<float> parsePosition(std::string_view text) {
    return parseWhole<float>(text);
}

std::string formatTruth(bool value) {
    return value ? "True" : "False";
}

std::string formatInteger(std::int16_t value) {
    return std::to_string(value);
}

float defaultPosition() {
    return *parsePosition(kDefaultPositionText);
}

std::string formatPosition(float value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string("0");
}

StoredPosition readSettings(SettingsStore& store, Settings& s, const std::string& programFolder) {
    StoredPosition position;
    for (const SettingKey* key : readingOrder()) {
        std::optional<std::string> stored = store.read(std::string(kSettingsSection), std::string(key->name));
        if (!stored && key->hasDefault)
            stored =
                (key->underProgramFolder ? programFolder : std::string()) + std::string(key->defaultText);

        switch (key->kind) {
        case ValueKind::Position: {
            if (!stored)
                break;
            const auto value = parsePosition(*stored);
            (key->name == "Left" ? position.left : position.top) = value;
            break;
        }
        case ValueKind::Truth:
            if (stored) {
                if (const auto value = parseTruth(*stored))
                    s.*key->truth = *value;
            }
            break;
        case ValueKind::Integer:
            if (stored) {
                if (const auto value = parseInteger(*stored))
                    s.*key->integer = *value;
            }
            break;
        case ValueKind::Text:
            s.*key->text = stored.value_or(std::string());
            break;
        }
    }
    return position;
}

void reformDefaultSounds(Settings& s, const std::string& programFolder,
                         const std::function<bool(const std::string&)>& exists) {
    const std::string defaultSound = defaultWavePath(programFolder);
    if (s.DefaultAlarm && !exists(s.AlarmPath))
        s.AlarmPath = defaultSound;
    if (s.DefaultSound && !exists(s.SoundPath))
        s.SoundPath = defaultSound;
}

bool writeSettings(SettingsStore& store, const Settings& s, float left, float top,
                   const std::string& programFolder, std::string& error) {
    const std::string section(kSettingsSection);
    for (const SettingKey& key : kSettingKeys) {
        std::string text;
        switch (key.kind) {
        case ValueKind::Position:
            text = formatPosition(key.name == "Left" ? left : top);
            break;
        case ValueKind::Truth:
            text = formatTruth(s.*key.truth);
            break;
        case ValueKind::Integer:
            text = formatInteger(s.*key.integer);
            break;
        case ValueKind::Text:
            text = key.text ? s.*key.text : programFolder;
            break;
        }
        store.write(section, std::string(key.name), text);
    }
    return store.commit(error);
}

} // namespace morvantis
