#include "clock/TickPlan.h"

#include "core/Calendar.h"
#include "sound/SoundRules.h"

namespace morvantis {

int msToNextTick(const LocalTime& now, bool hourlyPlay, bool alarmSecond) {
    const bool busySecond = chimeDue(now, now, hourlyPlay) || alarmSecond;
    const int step = busySecond ? kTickMs : 1000;
    return step - now.millisecond % step;
}

int msToNextBlink(const LocalTime& now) {
    return 1000 - (now.millisecond + kBlinkMs) % 1000;
}

bool BlinkSteps::tickSteps(const LocalTime& now) {
    const std::int64_t second = localSeconds(now);
    const bool first = second != m_lastSecond;
    m_lastSecond = second;
    return first;
}

} // namespace morvantis
