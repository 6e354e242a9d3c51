#pragma once

#include "platform/Clock.h"
#include "settings/Settings.h"

#include <string>
#include <string_view>

namespace morvantis {

// The caption while no alarm is set; a clock starts with it.
inline constexpr std::string_view kAlarmNotSet = "alarm did not set";

// True when no moment the record matches lies ahead: its last date and time have gone by, or its
// names match no date at all.
bool checkIfBefore(const AlarmRecord& record, const Clock& clock);

// "alarm set to: 7:5:0 PM   2002/March    Friday"; a snooze shows it without AM/PM.
std::string alarmCaption(const AlarmRecord& record, bool withAmPm);

// The alarm light and caption a start-up derives from the saved alarm.
struct DerivedAlarm {
    bool lightOn;
    std::string caption;
};
DerivedAlarm deriveAlarmState(const Settings& s, const Clock& clock);

} // namespace morvantis
