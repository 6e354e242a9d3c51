#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace morvantis {

// When the clock's main tick runs. The face changes only when a second begins, so the tick sleeps
// until then; only in a second where the chime or the armed alarm can act (a full hour's second 0,
// the alarm's own second) does it run every 100 ms, on the tenths of the second, as it always did.
inline constexpr int kTickMs = 100;
inline constexpr int kBlinkMs = 500;

// Milliseconds from now to the next tick; alarmSecond: this second is the armed alarm's own.
int msToNextTick(const LocalTime& now, bool hourlyPlay, bool alarmSecond);

// The colons blink on the second and on the half second. The main tick wakes on the second anyway
// and makes that step itself, so the blink's own timer wakes only for the half second: one wakeup
// instead of two.
// Milliseconds from now to the next half second (x.500).
int msToNextBlink(const LocalTime& now);

// Which main ticks make the blink's step: the first tick of each second, however many ticks the
// second holds.
class BlinkSteps {
public:
    bool tickSteps(const LocalTime& now);

private:
    std::int64_t m_lastSecond = INT64_MIN;
};

} // namespace morvantis
