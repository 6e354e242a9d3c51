#pragma once

#include "platform/Clock.h"

namespace morvantis {

// The hourly chime is due when the minute of the first of two readings taken in
// immediate succession and the second of the second are both 0, and the chime is on.
// Nothing is remembered: every tick within second 0 of minute 0 finds it due.
bool chimeDue(const LocalTime& first, const LocalTime& second, bool hourlyPlay);

} // namespace morvantis
