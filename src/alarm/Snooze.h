#pragma once

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace morvantis {

// The record moved on by some minutes on the 12-hour dial: 12 flips AM and PM, 13 becomes 1.
// Seconds stay. A move from PM into 12 AM puts the date on the day after the one the alarm
// fired on (weekday, and month and year where that day starts them).
Settings snoozeAlarm(Settings s, int minutes, const LocalTime& firedOn);

} // namespace morvantis
