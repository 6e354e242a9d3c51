#pragma once

#include "core/Calendar.h"
#include "platform/Clock.h"

#include <cstdint>

namespace morvantis::test {

// A clock that stands still until told otherwise, in a zone of the test's choosing (UTC unless
// told). Its local times are worked out from first principles, not from the code under test.
class FakeClock final : public Clock {
public:
    // Seconds the zone's wall clock is ahead of UTC at a moment.
    using Zone = int (*)(std::int64_t epoch);
    static int utc(std::int64_t) { return 0; }
    // Central European time: CET, and CEST from 01:00 UTC on the last Sunday of March to 01:00 UTC
    // on the last Sunday of October.
    static int centralEurope(std::int64_t epoch) {
        const int year = localTimeAt(epoch).year;
        const auto lastSunday = [year](int month) { // of a month with 31 days, at 01:00 UTC
            LocalTime t{year, month, 31, 1, 0, 0};
            t.day -= localTimeAt(localSeconds(t)).weekday;
            return localSeconds(t);
        };
        return epoch >= lastSunday(3) && epoch < lastSunday(10) ? 7200 : 3600;
    }

    FakeClock() = default;
    FakeClock(int year, int month, int day, int hour, int minute, int second) {
        set(year, month, day, hour, minute, second);
    }
    FakeClock(Zone zone, int year, int month, int day, int hour, int minute, int second) : m_zone(zone) {
        set(year, month, day, hour, minute, second);
    }
    LocalTime now() const override {
        ++m_readings;
        return m_now;
    }
    LocalTime at(std::int64_t epoch) const override {
        LocalTime t = localTimeAt(epoch + m_zone(epoch));
        t.epoch = epoch;
        return t;
    }
    // A wall-clock time of the zone; where it occurs twice, the first time.
    void set(int year, int month, int day, int hour, int minute, int second) {
        const std::int64_t wall = localSeconds(LocalTime{year, month, day, hour, minute, second});
        m_epoch = wall - m_zone(wall);
        for (int ahead = 14 * 3600; ahead >= -14 * 3600; ahead -= 900)
            if (localSeconds(at(wall - ahead)) == wall) {
                m_epoch = wall - ahead;
                break;
            }
        m_millis = 0;
        refresh();
    }
    void setEpoch(std::int64_t epoch) {
        m_epoch = epoch;
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
    std::int64_t epoch() const { return m_epoch; }

private:
    void refresh() { m_now = at(m_epoch); }
    Zone m_zone = utc;
    std::int64_t m_epoch = 0;
    long m_millis = 0;
    LocalTime m_now;
    mutable int m_readings = 0;
};

} // namespace morvantis::test
