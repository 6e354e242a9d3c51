// Two days of the clock's main loop on a fake clock, no real waiting: the face, the alarm's due
// check and the hourly chime, as the window's timer runs them: once a second, and every 100 ms in
// a second where the chime or the alarm can act.

#include "alarm/AlarmDue.h"
#include "alarm/AlarmMoment.h"
#include "clock/TickPlan.h"
#include "face/FaceModel.h"
#include "face/TimeRenderer.h"
#include "sound/SoundRules.h"

#include "support/AlarmSettings.h"
#include "support/AllocationCount.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

using namespace morvantis;
using morvantis::test::FakeClock;

namespace {

struct Event {
    long tick;
    std::string what;
    bool operator==(const Event&) const = default;
};
void PrintTo(const Event& e, std::ostream* os) {
    *os << e.tick << ' ' << e.what;
}

// Ticks are numbered from the start, ten a second.
constexpr long kTicksPerSecond = 10;
long tickAt(long seconds, long tenths = 0) {
    return seconds * kTicksPerSecond + tenths;
}

} // namespace

TEST(TwoDays, ChimeAlarmSnoozeAndLateAlarmsTickByTick) {
    // Friday 4 December 2026, 22:00:00; the run ends 48 hours later.
    FakeClock clock(2026, 12, 4, 22, 0, 0);
    constexpr long kSeconds = 48 * 3600;
    Settings s;
    s.HourlyPlay = true;
    // An alarm two minutes before midnight.
    s.alarm = morvantis::test::alarmRecord(11, 58, 30, "PM", "Friday", "December", "2026");
    bool armed = true;
    FaceModel face;
    AlarmDue due;
    due.setRecord(s.alarm, clock, clock.epoch());
    RenderOptions options;
    const long fired1 = 1 * 3600 + 58 * 60 + 30;    // Fri 23:58:30
    const long snoozeAt = fired1 + 20;              // the user snoozes 5 minutes 20 s later
    const long fired2 = fired1 + 5 * 60;            // Sat 00:03:30, the snooze across midnight
    const long busyFrom = 16 * 3600 + 29 * 60 + 50; // Sat 14:29:50: a 20 s sound blocks the ticks
    const long busyTo = busyFrom + 20;
    // Sun 07:59:00: a 150 s block over an 08:00:00 alarm and chime: the alarm rings when it ends,
    // the chime is never made up.
    const long blockedFrom = 33 * 3600 + 59 * 60;
    const long blockedTo = blockedFrom + 150;

    const auto blocked = [&](long second) {
        return (second >= busyFrom && second < busyTo) || (second >= blockedFrom && second < blockedTo);
    };

    std::vector<Event> events;
    long countedTicks = 0;
    long nextTick = 0; // as the tick plans it; a tick that is late runs as soon as it can
    long allocations = 0;
    const auto wall = std::chrono::steady_clock::now();
    for (long t = 0; t < kSeconds * kTicksPerSecond; ++t) {
        const long second = t / kTicksPerSecond;
        if (t % kTicksPerSecond == 0 && second > 0)
            clock.advance(1);
        // The user's actions happen between ticks.
        if (t == tickAt(snoozeAt)) {
            const std::int64_t next = snoozedMoment(due.rangFor(), 5, clock.epoch());
            s.alarm = recordAt(s.alarm, clock.at(next));
            due.setMoment(next, clock);
            armed = true;
        }
        if (t == tickAt(fired2 + 5)) {
            // Dismissed; the next alarm is the afternoon one.
            setDialHour(s.alarm, {2, Meridiem::PM});
            s.alarm.minute = 30, s.alarm.second = 0;
            due.setRecord(s.alarm, clock, clock.epoch());
        }
        if (t == tickAt(busyTo) + 5) {
            setDialHour(s.alarm, {8, Meridiem::AM});
            s.alarm.minute = 0, s.alarm.second = 0, s.alarm.weekday = Weekday::Sunday;
            due.setRecord(s.alarm, clock, clock.epoch());
        }
        if (blocked(second) || t < nextTick)
            continue; // no tick runs while the thread is blocked, or before the tick planned

        const bool counting = second >= 60;
        const long allocationsBefore = g_allocations;
        renderFace(face, readFaceTexts(clock), options);
        const AlarmDue::Verdict verdict = due.tick(s.alarm, clock, armed, clock.now().epoch);
        // The chime reads the clock twice, as CheckHourly does.
        const bool chime = chimeDue(clock.now(), clock.now(), s.HourlyPlay);
        if (counting)
            allocations += g_allocations - allocationsBefore;
        countedTicks += counting;

        if (verdict == AlarmDue::Verdict::Due || verdict == AlarmDue::Verdict::DueLate) {
            const LocalTime m = clock.at(due.rangFor());
            char text[48];
            std::snprintf(text, sizeof text, "%s %02d:%02d:%02d",
                          verdict == AlarmDue::Verdict::Due ? "alarm" : "late", m.hour, m.minute, m.second);
            events.push_back({t, text});
        }
        if (chime)
            events.push_back({t, "chime"});
        LocalTime now = clock.now();
        now.millisecond = static_cast<int>(t % kTicksPerSecond) * kTickMs;
        nextTick = t + msToNextTick(now, s.HourlyPlay, due.ringsIn(now.epoch, armed)) / kTickMs;
    }
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();

    std::vector<Event> expected;
    for (long t = 0; t < kSeconds * kTicksPerSecond; ++t) {
        const long second = t / kTicksPerSecond;
        if (blocked(second))
            continue;
        // Every tick that sees the alarm's second finds it due.
        if (second == fired1)
            expected.push_back({t, "alarm 23:58:30"});
        if (second == fired2)
            expected.push_back({t, "alarm 00:03:30"});
        // The first tick after the gap, once, for the moment it skipped.
        if (t == tickAt(busyTo))
            expected.push_back({t, "late 14:30:00"});
        if (t == tickAt(blockedTo))
            expected.push_back({t, "late 08:00:00"});
        // Every tick within the first second of an hour.
        if (second % 3600 == 0)
            expected.push_back({t, "chime"});
    }
    // Report only what differs: the lists hold hundreds of events.
    std::vector<Event> missing, extra;
    std::set_difference(expected.begin(), expected.end(), events.begin(), events.end(),
                        std::back_inserter(missing), [](const Event& a, const Event& b) {
                            return a.tick < b.tick || (a.tick == b.tick && a.what < b.what);
                        });
    std::set_difference(events.begin(), events.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra), [](const Event& a, const Event& b) {
                            return a.tick < b.tick || (a.tick == b.tick && a.what < b.what);
                        });
    EXPECT_TRUE(missing.empty() && extra.empty() && events.size() == expected.size())
        << ::testing::PrintToString(missing) << " missing, " << ::testing::PrintToString(extra)
        << " unexpected";
    EXPECT_EQ(allocations, 0) << "allocations in " << countedTicks << " ticks after the first minute";
    // Once a second, and ten times in each of the 48 chimes' and the alarm's busy seconds.
    EXPECT_LE(countedTicks, kSeconds + 9 * (48 + 3)) << "the tick sleeps to the next second";
    std::printf(
        "48 simulated hours: %ld ticks in %.2f s; %zu events; %ld allocations after the first minute\n",
        countedTicks, wallSeconds, events.size(), allocations);
}
