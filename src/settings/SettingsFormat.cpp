#include "settings/SettingsFormat.h"

#include "core/Blanks.h"
#include "core/ClockText.h"
#include "settings/OptionsRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>

namespace morvantis {

namespace {

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

// Settings holds one member per setting but Left, Top and Path, whose keys the table checks: a
// member added without its setting fails to build here.
[[maybe_unused]] void oneMemberPerSetting(const Settings& s) {
    [[maybe_unused]] const auto& [showSec, showMonth, showDay, showDate, showYear, skinPath, hours24,
                                  alarmPath, soundPath, theme, defaultAlarm, defaultSound, shakeSpeed, alarm,
                                  hourlyPlay, lightOn, themePath, themeNo, blink, keepOnTop, allWorkspaces,
                                  startAtLogin, ringUntilAnswered] = s;
    static_assert(23 == static_cast<int>(SettingId::Count) - 3, "a setting without its member in Settings");
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
    // The record's keys are read as texts, each as its kind reads it, and the record made once.
    AlarmTexts alarm = formatAlarm(s.alarm);
    for (const SettingKey* key : readingOrder()) {
        std::optional<std::string> stored = store.read(std::string(kSettingsSection), std::string(key->name));
        if (!stored && key->hasDefault)
            stored =
                (key->underProgramFolder ? programFolder : std::string()) + std::string(key->defaultText);
        std::string* alarmText =
            key->alarm == AlarmKey::Count ? nullptr : &alarm[static_cast<std::size_t>(key->alarm)];

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
                    alarmText ? void(*alarmText = formatTruth(*value)) : void(s.*key->truth = *value);
            }
            break;
        case ValueKind::Integer:
            if (stored) {
                if (const auto value = parseInteger(*stored))
                    alarmText ? void(*alarmText = formatInteger(*value)) : void(s.*key->integer = *value);
            }
            break;
        case ValueKind::Text:
            (alarmText ? *alarmText : s.*key->text) = stored.value_or(std::string());
            break;
        }
    }
    s.alarm = parseAlarm(alarm);
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
    const AlarmTexts alarm = formatAlarm(s.alarm);
    for (const SettingKey& key : kSettingKeys) {
        std::string text;
        if (key.alarm != AlarmKey::Count) {
            text = alarm[static_cast<std::size_t>(key.alarm)];
        } else {
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
        }
        store.write(section, std::string(key.name), text);
    }
    return store.commit(error);
}

namespace {

std::string& at(AlarmTexts& texts, AlarmKey key) {
    return texts[static_cast<std::size_t>(key)];
}
const std::string& at(const AlarmTexts& texts, AlarmKey key) {
    return texts[static_cast<std::size_t>(key)];
}

std::string_view markText(Meridiem mark) {
    return mark == Meridiem::AM ? "AM" : mark == Meridiem::PM ? "PM" : "";
}

// The year a text names, written the one way the clock writes it: four digits at least.
std::int16_t yearOf(std::string_view text) {
    if (text.empty() || text.size() > 4 ||
        !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    LocalTime t;
    t.year = leadingNumber(text);
    if (t.year < 1 || formatTime(t, TimeForm::Year4).view() != text)
        return 0;
    return static_cast<std::int16_t>(t.year);
}

} // namespace

AlarmTexts formatAlarm(const AlarmRecord& r) {
    AlarmTexts texts;
    const DialHour dial = dialHour(r);
    at(texts, AlarmKey::Hour) = formatInteger(dial.hour);
    at(texts, AlarmKey::Min) = formatInteger(r.minute);
    at(texts, AlarmKey::Sec) = formatInteger(r.second);
    at(texts, AlarmKey::AmPm) = markText(dial.mark);
    if (r.weekday != Weekday::None)
        at(texts, AlarmKey::Day) = weekdayName(static_cast<int>(r.weekday));
    if (r.month != Month::None)
        at(texts, AlarmKey::Month) = monthName(static_cast<int>(r.month));
    if (r.year > 0) {
        LocalTime t;
        t.year = r.year;
        at(texts, AlarmKey::Year) = formatTime(t, TimeForm::Year4).str();
    }
    at(texts, AlarmKey::Custom) = r.message;
    at(texts, AlarmKey::BolShake) = formatTruth(r.acts(AlarmAction::Shake));
    at(texts, AlarmKey::Message) = formatTruth(r.acts(AlarmAction::Window));
    at(texts, AlarmKey::CustomBol) = formatTruth(r.acts(AlarmAction::Custom));
    at(texts, AlarmKey::Green) = formatTruth(r.importance == Importance::Low);
    at(texts, AlarmKey::Yellow) = formatTruth(r.importance == Importance::Medium);
    at(texts, AlarmKey::Red) = formatTruth(r.importance == Importance::High);
    return texts;
}

AlarmRecord parseAlarm(const AlarmTexts& texts) {
    AlarmRecord r;
    const auto number = [&](AlarmKey key) { return parseInteger(at(texts, key)).value_or(0); };
    const auto truth = [&](AlarmKey key) { return parseTruth(at(texts, key)).value_or(false); };
    const std::string& mark = at(texts, AlarmKey::AmPm);
    setDialHour(r, {number(AlarmKey::Hour), mark == "AM"   ? Meridiem::AM
                                            : mark == "PM" ? Meridiem::PM
                                                           : Meridiem::None});
    r.minute = number(AlarmKey::Min);
    r.second = number(AlarmKey::Sec);
    for (int i = 0; i < 7; ++i)
        if (weekdayName(i) == at(texts, AlarmKey::Day))
            r.weekday = Weekday(i);
    for (int i = 1; i <= 12; ++i)
        if (monthName(i) == at(texts, AlarmKey::Month))
            r.month = Month(i);
    r.year = yearOf(at(texts, AlarmKey::Year));
    r.message = at(texts, AlarmKey::Custom);
    r.action = (truth(AlarmKey::BolShake) ? AlarmAction::Shake : AlarmAction::None) |
               (truth(AlarmKey::Message) ? AlarmAction::Window : AlarmAction::None) |
               (truth(AlarmKey::CustomBol) ? AlarmAction::Custom : AlarmAction::None);
    // The alert window shows the last sign set, in this order.
    r.importance = truth(AlarmKey::Red)      ? Importance::High
                   : truth(AlarmKey::Yellow) ? Importance::Medium
                   : truth(AlarmKey::Green)  ? Importance::Low
                                             : Importance::None;
    return r;
}

} // namespace morvantis
