#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace morvantis {

// Seconds counted along the local calendar from 1 January 1970, and back.
std::int64_t localSeconds(const LocalTime& t);
LocalTime localTimeAt(std::int64_t seconds);

} // namespace morvantis
