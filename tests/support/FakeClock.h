#pragma once

#include "platform/Clock.h"

#include <ctime>

namespace morvantis::test {

// A clock that stands still until told otherwise.
class FakeClock final : public Clock {
public:
    FakeClock() = default;
    FakeClock(int year, int month, int day, int hour, int minute, int second) {
        set(year, month, day, hour, minute, second);
    }
    LocalTime now() const override {
        ++m_readings;
        return m_now;
    }
    void set(int year, int month, int day, int hour, int minute, int second) {
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_min = minute;
        tm.tm_sec = second;
        tm.tm_isdst = 0;
        m_epoch = timegm(&tm);
        m_millis = 0;
        refresh();
    }
    void advance(long seconds) {
        m_epoch += seconds;
        refresh();
    }
    // Time within the second is kept, though readings show whole seconds.
    void advanceMs(long ms) {
        const long total = m_millis + ms;
        m_epoch += total / 1000;
        m_millis = total % 1000;
        refresh();
    }
    long millis() const { return m_millis; }
    int readings() const { return m_readings; }

private:
    void refresh() {
        std::tm tm{};
        gmtime_r(&m_epoch, &tm);
        m_now = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
    }
    std::time_t m_epoch = 0;
    long m_millis = 0;
    LocalTime m_now;
    mutable int m_readings = 0;
};

} // namespace morvantis::test
