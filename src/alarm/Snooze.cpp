#include "alarm/Snooze.h"

#include "core/Calendar.h"
#include "core/ClockText.h"

namespace morvantis {

Settings snoozeAlarm(Settings s, int minutes, const LocalTime& firedOn) {
    int minute = s.MusicMin + minutes;
    if (minute > 59) {
        minute -= 60;
        int hour = s.MusicHour + 1;
        if (hour == 12) {
            if (s.MusicAMPM == "PM") {
                s.MusicAMPM = "AM";
                // Midnight: the day after the alarm's own.
                LocalTime day = firedOn;
                day.hour = day.minute = day.second = 0;
                const LocalTime next = localTimeAt(localSeconds(day) + 86400);
                s.MusicDay = std::string(weekdayName(next.weekday));
                s.MusicMonth = std::string(monthName(next.month));
                s.MusicYear = formatTime(next, TimeForm::Year4).str();
            } else if (s.MusicAMPM == "AM") {
                s.MusicAMPM = "PM";
            }
        } else if (hour == 13) {
            hour = 1;
        }
        s.MusicHour = static_cast<std::int16_t>(hour);
    }
    s.MusicMin = static_cast<std::int16_t>(minute);
    return s;
}

} // namespace morvantis
