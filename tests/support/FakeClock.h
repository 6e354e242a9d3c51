#pragma once

#include "platform/Clock.h"

#include <chrono>

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
        using namespace std::chrono;
        // UTC, whatever the machine's zone; a day past the month's end runs into the next month.
        const sys_days date{std::chrono::year{year} / month / std::chrono::day{static_cast<unsigned>(day)}};
        m_epoch = date.time_since_epoch() / seconds{1} + hour * 3600L + minute * 60L + second;
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
        using namespace std::chrono;
        const sys_seconds at{seconds{m_epoch}};
        const sys_days date = floor<days>(at);
        const year_month_day ymd{date};
        const hh_mm_ss time{at - date};
        m_now = {int(ymd.year()),
                 int(unsigned(ymd.month())),
                 int(unsigned(ymd.day())),
                 int(time.hours().count()),
                 int(time.minutes().count()),
                 int(time.seconds().count()),
                 int(weekday{date}.c_encoding())};
    }
    long long m_epoch = 0;
    long m_millis = 0;
    LocalTime m_now;
    mutable int m_readings = 0;
};

} // namespace morvantis::test
