#pragma once

#include "settings/Settings.h"

#include <cstdint>

namespace morvantis::test {

// Settings holding a whole alarm record: when it rings, as the alarm dialog stores it.
inline Settings alarmAt(int hour, int minute, int second, const char* ampm, const char* day = "Friday",
                        const char* month = "March", const char* year = "2002") {
    Settings s;
    s.MusicHour = static_cast<std::int16_t>(hour);
    s.MusicMin = static_cast<std::int16_t>(minute);
    s.MusicSec = static_cast<std::int16_t>(second);
    s.MusicAMPM = ampm;
    s.MusicDay = day;
    s.MusicMonth = month;
    s.MusicYear = year;
    return s;
}

} // namespace morvantis::test
