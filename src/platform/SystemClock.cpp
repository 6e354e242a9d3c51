#include "platform/SystemClock.h"

#include <ctime>

namespace morvantis {

namespace {

LocalTime broken(time_t secs) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &secs);
#else
    localtime_r(&secs, &tm);
#endif
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.weekday = tm.tm_wday;
    t.epoch = secs;
    return t;
}

} // namespace

LocalTime SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    LocalTime t = broken(ts.tv_sec);
    t.millisecond = static_cast<int>(ts.tv_nsec / 1'000'000);
    return t;
}

LocalTime SystemClock::at(std::int64_t epoch) const {
    return broken(static_cast<time_t>(epoch));
}

} // namespace morvantis
