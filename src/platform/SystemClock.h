#pragma once

#include "platform/Clock.h"

namespace morvantis {

// Local time through the C library's real-time clock, so that libfaketime can
// set it in end-to-end tests.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;
    LocalTime at(std::int64_t epoch) const override;
};

} // namespace morvantis
