#pragma once

#include "settings/Settings.h"
#include "settings/SettingsFormat.h"

#include <concepts>
#include <string>

namespace morvantis::test {

// One key of the alarm record as the store holds it.
inline std::string stored(const AlarmRecord& record, AlarmKey key) {
    return formatAlarm(record)[static_cast<std::size_t>(key)];
}

// The record with one key's stored text changed, as a store holding that text reads it.
inline AlarmRecord withStored(const AlarmRecord& record, AlarmKey key, std::string text) {
    AlarmTexts texts = formatAlarm(record);
    texts[static_cast<std::size_t>(key)] = std::move(text);
    return parseAlarm(texts);
}
template <std::same_as<bool> Truth>
AlarmRecord withStored(const AlarmRecord& record, AlarmKey key, Truth truth) {
    return withStored(record, key, formatTruth(truth));
}

// The state's record with one key changed, announced as the dialog's option buttons do.
template <class State, class V> void setStored(State& state, AlarmKey key, V value) {
    state.set(&Settings::alarm, withStored(state.settings().alarm, key, value));
}

// A whole alarm record: when it rings, as a store holding these texts reads it.
inline AlarmRecord alarmRecord(int hour, int minute, int second, const char* ampm, const char* day = "Friday",
                               const char* month = "March", const char* year = "2002") {
    AlarmTexts texts = formatAlarm({});
    const auto set = [&](AlarmKey key, std::string text) {
        texts[static_cast<std::size_t>(key)] = std::move(text);
    };
    set(AlarmKey::Hour, std::to_string(hour));
    set(AlarmKey::Min, std::to_string(minute));
    set(AlarmKey::Sec, std::to_string(second));
    set(AlarmKey::AmPm, ampm);
    set(AlarmKey::Day, day);
    set(AlarmKey::Month, month);
    set(AlarmKey::Year, year);
    return parseAlarm(texts);
}

// Settings holding that record.
inline Settings alarmAt(int hour, int minute, int second, const char* ampm, const char* day = "Friday",
                        const char* month = "March", const char* year = "2002") {
    Settings s;
    s.alarm = alarmRecord(hour, minute, second, ampm, day, month, year);
    return s;
}

} // namespace morvantis::test
