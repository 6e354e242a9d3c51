#pragma once

#include "platform/SettingsStore.h"
#include "settings/OptionsRules.h"
#include "settings/Settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace morvantis {

inline constexpr std::string_view kSettingsSection = "StartUp";

enum class ValueKind { Truth, Integer, Position, Text };

// One stored key: its kind, its default, where it stands in the reading order and
// which shared value it fills. Left and Top belong to the main window and Path is
// the program folder, so those three have no member here.
struct SettingKey {
    std::string_view name;
    ValueKind kind;
    bool hasDefault;
    bool underProgramFolder; // the default is the program folder followed by defaultText
    std::string_view defaultText;
    int readRank; // 1-based place in the reading order; 0: never read
    bool Settings::*truth = nullptr;
    std::int16_t Settings::*integer = nullptr;
    std::string Settings::*text = nullptr;
};

// A window position the store does not hold, in twips: its text in the table, and as a number.
inline constexpr std::string_view kDefaultPositionText = "1500";
float defaultPosition();

namespace settings_table {
constexpr SettingKey truth(std::string_view name, int readRank, bool Settings::*m, bool defaultTrue = false) {
    return {name, ValueKind::Truth, defaultTrue, false, defaultTrue ? "True" : "", readRank,
            m,    nullptr,          nullptr};
}
constexpr SettingKey integer(std::string_view name, int readRank, std::int16_t Settings::*m,
                             std::string_view def = {}) {
    return {name, ValueKind::Integer, !def.empty(), false, def, readRank, nullptr, m, nullptr};
}
constexpr SettingKey text(std::string_view name, int readRank, std::string Settings::*m,
                          std::string_view def = {}, bool underProgramFolder = false) {
    return {name, ValueKind::Text, !def.empty(), underProgramFolder, def, readRank, nullptr, nullptr, m};
}
constexpr SettingKey position(std::string_view name, int readRank) {
    return {name,   ValueKind::Position, true, false, kDefaultPositionText, readRank, nullptr, nullptr,
            nullptr};
}
} // namespace settings_table

// Every key of the section, in the order a save writes them.
inline constexpr std::array<SettingKey, 39> kSettingKeys = [] {
    using namespace settings_table;
    using S = Settings;
    return std::array<SettingKey, 39>{
        position("Left", 1),
        position("Top", 2),
        truth("ShowSec", 3, &S::ShowSec, true),
        truth("ShowMonth", 4, &S::ShowMonth, true),
        truth("ShowDay", 5, &S::ShowDay, true),
        truth("ShowDate", 6, &S::ShowDate, true),
        truth("ShowYear", 7, &S::ShowYear, true),
        text("SkinPath", 8, &S::SkinPath, "/skins", true),
        truth("24Hours", 9, &S::Hours24, true),
        text("AlarmPath", 10, &S::AlarmPath, kDefaultWave, true),
        text("SoundPath", 11, &S::SoundPath, kDefaultWave, true),
        text("Theme", 12, &S::Theme, "Digital"),
        truth("DefaultAlarm", 13, &S::DefaultAlarm, true),
        truth("DefaultSound", 14, &S::DefaultSound, true),
        integer("ShakeSpeed", 15, &S::ShakeSpeed, "5"),
        integer("MusicHour", 17, &S::MusicHour),
        integer("MusicMin", 18, &S::MusicMin),
        integer("MusicSec", 19, &S::MusicSec),
        text("MusicDay", 20, &S::MusicDay),
        text("MusicCustom", 21, &S::MusicCustom),
        text("MusicMonth", 22, &S::MusicMonth),
        text("MusicYear", 23, &S::MusicYear),
        truth("MusicCustomBol", 24, &S::MusicCustomBol),
        text("MusicAMPM", 34, &S::MusicAMPM),
        truth("MusicMessage", 25, &S::MusicMessage),
        truth("MusicBolShake", 26, &S::MusicBolShake),
        truth("HourlyPlay", 16, &S::HourlyPlay, true),
        truth("LightOn", 27, &S::LightOn),
        truth("GreenSign", 28, &S::GreenSign),
        truth("YellowSign", 29, &S::YellowSign),
        truth("RedSign", 30, &S::RedSign),
        text("ThemePath", 31, &S::ThemePath),
        integer("ThemeNo", 32, &S::ThemeNo, "1"),
        truth("Blink", 33, &S::Blink, true),
        truth("KeepOnTop", 35, &S::KeepOnTop),
        truth("AllWorkspaces", 36, &S::AllWorkspaces),
        truth("StartAtLogin", 37, &S::StartAtLogin),
        truth("RingUntilAnswered", 38, &S::RingUntilAnswered),
        SettingKey{"Path", ValueKind::Text, false, false, {}, 0},
    };
}();

// A setting named by its place in kSettingKeys: what a change announces, and a case label.
enum class SettingId : std::uint8_t {};

template <class T> constexpr SettingId settingId(T Settings::*field) {
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        const SettingKey& key = kSettingKeys[i];
        if constexpr (std::is_same_v<T, bool>) {
            if (key.truth == field)
                return SettingId(i);
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
            if (key.integer == field)
                return SettingId(i);
        } else {
            if (key.text == field)
                return SettingId(i);
        }
    }
    return SettingId(kSettingKeys.size() - 1); // Path: no member
}

constexpr std::string_view settingName(SettingId id) {
    return kSettingKeys[static_cast<std::size_t>(id)].name;
}

// The keys a start-up reads, in reading order (Path is never read).
inline constexpr std::size_t kReadKeyCount = kSettingKeys.size() - 1;
std::array<const SettingKey*, kReadKeyCount> readingOrder();

// Text forms of the value kinds. Blanks (spaces, tabs, line ends) around a value are
// ignored on reading; a leading '+' is accepted on numbers.
std::optional<bool> parseTruth(std::string_view text); // "True"/"False" in any case, or a number: 0 is false
std::optional<std::int16_t> parseInteger(std::string_view text);
std::optional<float> parsePosition(std::string_view text); // a finite single-precision number
std::string formatTruth(bool value);
std::string formatInteger(std::int16_t value);
std::string formatPosition(float value); // shortest text that reads back to the same float

struct StoredPosition {
    std::optional<float> left, top; // nothing when the stored text did not convert
};

// Reads every key in the reading order into s. An absent key takes its default; a value
// that does not convert leaves the shared value as it was. Never fails.
StoredPosition readSettings(SettingsStore& store, Settings& s, const std::string& programFolder);

// A default sound path (DefaultAlarm, DefaultSound) that names no file any more, because
// the program has moved, is formed again from the program folder in use. A sound the user
// chose is kept as it is, found or not.
void reformDefaultSounds(Settings& s, const std::string& programFolder,
                         const std::function<bool(const std::string&)>& exists);

// Writes every key in table order and commits. False, with the reason in error, when
// the store could not be written. LightOn is expected to be set from the face already.
bool writeSettings(SettingsStore& store, const Settings& s, float left, float top,
                   const std::string& programFolder, std::string& error);

} // namespace morvantis
