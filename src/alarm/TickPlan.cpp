#include "alarm/TickPlan.h"

#include "alarm/AlarmDue.h"
#include "sound/SoundRules.h"

namespace morvantis {

int msToNextTick(const LocalTime& now, const Settings& s, bool armed) {
    const bool busySecond = chimeDue(now, now, s.HourlyPlay) || (armed && alarmMatches(s, now));
    const int step = busySecond ? kTickMs : 1000;
    return step - now.millisecond % step;
}

int msToNextBlink(const LocalTime& now) {
    return kBlinkMs - now.millisecond % kBlinkMs;
}

} // namespace morvantis
