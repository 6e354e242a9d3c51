#pragma once

#include "platform/SettingsStore.h"
#include "settings/OptionsRules.h"
#include "settings/Settings.h"

#include <algorithm>
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

// A setting by name: what a change announces, and a case label. Left, Top and Path are written
// from the window and the program folder; Alarm is the alarm record, held in fourteen keys.
enum class SettingId : std::uint8_t {
    Left,
    Top,
    ShowSec,
    ShowMonth,
    ShowDay,
    ShowDate,
    ShowYear,
    SkinPath,
    Hours24,
    AlarmPath,
    SoundPath,
    Theme,
    DefaultAlarm,
    DefaultSound,
    ShakeSpeed,
    Alarm,
    HourlyPlay,
    LightOn,
    ThemePath,
    ThemeNo,
    Blink,
    KeepOnTop,
    AllWorkspaces,
    StartAtLogin,
    RingUntilAnswered,
    Path,
    Count
};

// The alarm record's keys; their texts are read and written as a whole (formatAlarm, parseAlarm).
enum class AlarmKey : std::uint8_t {
    Hour,
    Min,
    Sec,
    Day,
    Custom,
    Month,
    Year,
    CustomBol,
    AmPm,
    Message,
    BolShake,
    Green,
    Yellow,
    Red,
    Count
};
using AlarmTexts = std::array<std::string, static_cast<std::size_t>(AlarmKey::Count)>;

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
    SettingId id;
    bool Settings::*truth = nullptr;
    std::int16_t Settings::*integer = nullptr;
    std::string Settings::*text = nullptr;
    AlarmKey alarm = AlarmKey::Count; // Count: not a key of the alarm record
};

// A window position the store does not hold, in twips: its text in the table, and as a number.
inline constexpr std::string_view kDefaultPositionText = "1500";
float defaultPosition();

namespace settings_table {
constexpr SettingKey truth(std::string_view name, int readRank, SettingId id, bool Settings::*m,
                           bool defaultTrue = false) {
    return {name, ValueKind::Truth, defaultTrue, false, defaultTrue ? "True" : "", readRank, id, m};
}
constexpr SettingKey integer(std::string_view name, int readRank, SettingId id, std::int16_t Settings::*m,
                             std::string_view def = {}) {
    return {name, ValueKind::Integer, !def.empty(), false, def, readRank, id, nullptr, m};
}
constexpr SettingKey text(std::string_view name, int readRank, SettingId id, std::string Settings::*m,
                          std::string_view def = {}, bool underProgramFolder = false) {
    return {name, ValueKind::Text, !def.empty(), underProgramFolder, def, readRank, id, nullptr, nullptr, m};
}
constexpr SettingKey position(std::string_view name, int readRank, SettingId id) {
    return {name, ValueKind::Position, true, false, kDefaultPositionText, readRank, id};
}
constexpr SettingKey alarm(std::string_view name, int readRank, ValueKind kind, AlarmKey key) {
    return {name, kind, false, false, {}, readRank, SettingId::Alarm, nullptr, nullptr, nullptr, key};
}
} // namespace settings_table

// Every key of the section, in the order a save writes them.
inline constexpr std::array<SettingKey, 39> kSettingKeys = [] {
    using namespace settings_table;
    using S = Settings;
    using I = SettingId;
    using V = ValueKind;
    using A = AlarmKey;
    return std::array<SettingKey, 39>{
        position("Left", 1, I::Left),
        position("Top", 2, I::Top),
        truth("ShowSec", 3, I::ShowSec, &S::ShowSec, true),
        truth("ShowMonth", 4, I::ShowMonth, &S::ShowMonth, true),
        truth("ShowDay", 5, I::ShowDay, &S::ShowDay, true),
        truth("ShowDate", 6, I::ShowDate, &S::ShowDate, true),
        truth("ShowYear", 7, I::ShowYear, &S::ShowYear, true),
        text("SkinPath", 8, I::SkinPath, &S::SkinPath, "/skins", true),
        truth("24Hours", 9, I::Hours24, &S::Hours24, true),
        text("AlarmPath", 10, I::AlarmPath, &S::AlarmPath, kDefaultWave, true),
        text("SoundPath", 11, I::SoundPath, &S::SoundPath, kDefaultWave, true),
        text("Theme", 12, I::Theme, &S::Theme, "Digital"),
        truth("DefaultAlarm", 13, I::DefaultAlarm, &S::DefaultAlarm, true),
        truth("DefaultSound", 14, I::DefaultSound, &S::DefaultSound, true),
        integer("ShakeSpeed", 15, I::ShakeSpeed, &S::ShakeSpeed, "5"),
        alarm("MusicHour", 17, V::Integer, A::Hour),
        alarm("MusicMin", 18, V::Integer, A::Min),
        alarm("MusicSec", 19, V::Integer, A::Sec),
        alarm("MusicDay", 20, V::Text, A::Day),
        alarm("MusicCustom", 21, V::Text, A::Custom),
        alarm("MusicMonth", 22, V::Text, A::Month),
        alarm("MusicYear", 23, V::Text, A::Year),
        alarm("MusicCustomBol", 24, V::Truth, A::CustomBol),
        alarm("MusicAMPM", 34, V::Text, A::AmPm),
        alarm("MusicMessage", 25, V::Truth, A::Message),
        alarm("MusicBolShake", 26, V::Truth, A::BolShake),
        truth("HourlyPlay", 16, I::HourlyPlay, &S::HourlyPlay, true),
        truth("LightOn", 27, I::LightOn, &S::LightOn),
        alarm("GreenSign", 28, V::Truth, A::Green),
        alarm("YellowSign", 29, V::Truth, A::Yellow),
        alarm("RedSign", 30, V::Truth, A::Red),
        text("ThemePath", 31, I::ThemePath, &S::ThemePath),
        integer("ThemeNo", 32, I::ThemeNo, &S::ThemeNo, "1"),
        truth("Blink", 33, I::Blink, &S::Blink, true),
        truth("KeepOnTop", 35, I::KeepOnTop, &S::KeepOnTop),
        truth("AllWorkspaces", 36, I::AllWorkspaces, &S::AllWorkspaces),
        truth("StartAtLogin", 37, I::StartAtLogin, &S::StartAtLogin),
        truth("RingUntilAnswered", 38, I::RingUntilAnswered, &S::RingUntilAnswered),
        SettingKey{"Path", ValueKind::Text, false, false, {}, 0, I::Path},
    };
}();

namespace settings_table {
// Every setting has its keys, and every key of the alarm record is in the table once.
constexpr bool complete() {
    for (std::size_t id = 0; id < static_cast<std::size_t>(SettingId::Count); ++id)
        if (std::ranges::none_of(kSettingKeys, [&](const SettingKey& k) { return k.id == SettingId(id); }))
            return false;
    for (std::size_t a = 0; a < static_cast<std::size_t>(AlarmKey::Count); ++a)
        if (std::ranges::count_if(kSettingKeys,
                                  [&](const SettingKey& k) { return k.alarm == AlarmKey(a); }) != 1)
            return false;
    return true;
}
} // namespace settings_table
static_assert(settings_table::complete(), "a setting or an alarm key is missing from kSettingKeys");

// The setting a member holds. Not constant, and so no build, for a member with no key in the table.
template <class T> consteval SettingId settingId(T Settings::*field) {
    if constexpr (std::is_same_v<T, AlarmRecord>) {
        return field == &Settings::alarm ? SettingId::Alarm : throw "no key for this setting";
    } else {
        for (const SettingKey& key : kSettingKeys) {
            if constexpr (std::is_same_v<T, bool>) {
                if (key.truth == field)
                    return key.id;
            } else if constexpr (std::is_same_v<T, std::int16_t>) {
                if (key.integer == field)
                    return key.id;
            } else {
                if (key.text == field)
                    return key.id;
            }
        }
        throw "no key for this setting";
    }
}

// A member of Settings named at the call: its setting is found while building.
template <class T> struct SettingField {
    consteval SettingField(T Settings::*f) : field(f), id(settingId(f)) {}
    T Settings::*field;
    SettingId id;
};

// The setting's key, or for the alarm record the first of its keys.
constexpr std::string_view settingName(SettingId id) {
    for (const SettingKey& key : kSettingKeys)
        if (key.id == id)
            return key.name;
    return {};
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

// The alarm record's text forms, key by key. Every text a save writes reads back to the same
// record; a text the clock never writes (a name in other letter case, "26" for a year) reads as
// naming nothing.
AlarmTexts formatAlarm(const AlarmRecord& record);
AlarmRecord parseAlarm(const AlarmTexts& texts);

} // namespace morvantis
