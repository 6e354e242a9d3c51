#pragma once

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace morvantis {

// When the clock's main tick runs. The face changes only when a second begins, so the tick sleeps
// until then; only in a second where the chime or the armed alarm can act (a full hour's second 0,
// the alarm's own second) does it run every 100 ms, on the tenths of the second, as it always did.
inline constexpr int kTickMs = 100;
inline constexpr int kBlinkMs = 500;

// Milliseconds from now to the next tick.
int msToNextTick(const LocalTime& now, const Settings& s, bool armed);
// Milliseconds from now to the next blink of the colons: on the second and the half second.
int msToNextBlink(const LocalTime& now);

} // namespace morvantis
