#include "alarm/AlarmDue.h"

#include "core/Calendar.h"
#include "core/ClockText.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace morvantis {

bool alarmMatches(const Settings& s, const LocalTime& now) {
    // Every comparison is made, none cut short.
    const bool each[] = {leadingNumber(formatTime(now, TimeForm::HourAmPm2).view().substr(0, 2)) ==
                             s.MusicHour,
                         leadingNumber(formatTime(now, TimeForm::Minute2).view()) == s.MusicMin,
                         leadingNumber(formatTime(now, TimeForm::Second2).view()) == s.MusicSec,
                         formatTime(now, TimeForm::WeekdayLong).view() == s.MusicDay,
                         formatTime(now, TimeForm::MonthLong).view() == s.MusicMonth,
                         formatTime(now, TimeForm::Year4).view() == s.MusicYear,
                         formatTime(now, TimeForm::AmPm).view() == s.MusicAMPM};
    return std::ranges::all_of(each, std::identity{});
}

AlarmDue::Verdict AlarmDue::tick(const Settings& s, bool armed, const LocalTime& now) {
    const std::int64_t seen = localSeconds(now);
    const std::int64_t last = m_lastSeen;
    m_lastSeen = seen;
    const std::int64_t limit = std::exchange(m_ownBlock, false) ? kOwnBlockLimitSeconds : kLateLimitSeconds;
    if (!armed)
        return Verdict::NotArmed;
    if (alarmMatches(s, now)) {
        m_fired = now;
        return Verdict::Due;
    }
    if (last == kNever)
        return Verdict::NotDue;
    // The seconds no tick saw: strictly after the last one seen, before now, within the limit.
    for (std::int64_t t = std::max(last + 1, seen - limit); t < seen; ++t) {
        const LocalTime moment = localTimeAt(t);
        if (t != m_lastLate && alarmMatches(s, moment)) {
            m_lastLate = t;
            m_fired = moment;
            return Verdict::DueLate;
        }
    }
    return Verdict::NotDue;
}

} // namespace morvantis
