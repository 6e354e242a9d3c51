#include "alarm/AlarmRules.h"

#include "alarm/AlarmMoment.h"

namespace morvantis {

bool checkIfBefore(const Settings& s, const Clock& clock) {
    return !nextAlarmMoment(s, clock, clock.now().epoch);
}

std::string alarmCaption(const Settings& s, bool withAmPm) {
    std::string caption = "alarm set to: " + std::to_string(s.MusicHour) + ":" + std::to_string(s.MusicMin) +
                          ":" + std::to_string(s.MusicSec);
    if (withAmPm)
        caption += " " + s.MusicAMPM;
    return caption + "   " + s.MusicYear + "/" + s.MusicMonth + "    " + s.MusicDay;
}

DerivedAlarm deriveAlarmState(const Settings& s, const Clock& clock) {
    DerivedAlarm state{false, std::string(kAlarmNotSet)};
    if (!s.LightOn)
        return state;
    // One answer for both, so that the light and the caption never disagree.
    if (!checkIfBefore(s, clock)) {
        state.lightOn = true;
        state.caption = alarmCaption(s, true);
    }
    return state;
}

} // namespace morvantis
