#pragma once

#include <cstdint>

namespace morvantis {

// A local date and time, broken down the way the face and the alarm read it.
struct LocalTime {
    int year = 2000;     // four digits
    int month = 1;       // 1..12
    int day = 1;         // 1..31
    int hour = 0;        // 0..23
    int minute = 0;      // 0..59
    int second = 0;      // 0..59
    int weekday = 6;     // 0 = Sunday .. 6 = Saturday
    int millisecond = 0; // 0..999, within the second: when the next second begins
    // The moment on the real timeline, in seconds since 1970-01-01 00:00 UTC: unlike the fields
    // above, it never repeats or skips when the wall clock changes (daylight saving time).
    std::int64_t epoch = 0;
};

// The machine's local time. Every reading is fresh: callers that format several
// texts read the clock once per text, as the face does.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // The local time at a moment of the real timeline (seconds since 1970-01-01 00:00 UTC).
    virtual LocalTime at(std::int64_t epoch) const = 0;
};

} // namespace morvantis
