#include "alarm/AlarmRules.h"

#include "alarm/AlarmMoment.h"
#include "settings/SettingsFormat.h"

namespace morvantis {

bool checkIfBefore(const AlarmRecord& record, const Clock& clock) {
    return !nextAlarmMoment(record, clock, clock.now().epoch);
}

std::string alarmCaption(const AlarmRecord& record, bool withAmPm) {
    // The caption shows the record as the store holds it.
    const AlarmTexts t = formatAlarm(record);
    const auto at = [&](AlarmKey key) -> const std::string& { return t[static_cast<std::size_t>(key)]; };
    std::string caption =
        "alarm set to: " + at(AlarmKey::Hour) + ":" + at(AlarmKey::Min) + ":" + at(AlarmKey::Sec);
    if (withAmPm)
        caption += " " + at(AlarmKey::AmPm);
    return caption + "   " + at(AlarmKey::Year) + "/" + at(AlarmKey::Month) + "    " + at(AlarmKey::Day);
}

DerivedAlarm deriveAlarmState(const Settings& s, const Clock& clock) {
    DerivedAlarm state{false, std::string(kAlarmNotSet)};
    if (!s.LightOn)
        return state;
    // One answer for both, so that the light and the caption never disagree.
    if (!checkIfBefore(s.alarm, clock)) {
        state.lightOn = true;
        state.caption = alarmCaption(s.alarm, true);
    }
    return state;
}

} // namespace morvantis
