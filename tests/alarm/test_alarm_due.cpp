#include "alarm/AlarmDue.h"
#include "alarm/Snooze.h"
#include "app/TickPlan.h"
#include "core/Calendar.h"

#include "support/AlarmSettings.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <vector>

using namespace morvantis;
using morvantis::test::alarmAt;
using morvantis::test::FakeClock;

namespace {

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
    return FakeClock(year, month, day, hour, minute, second).now();
}

} // namespace

TEST(AlarmMatches, TheSevenComparisons) {
    const struct {
        const char* what;
        Settings alarm;
        LocalTime now;
        bool due;
    } cases[] = {
        {"the very second", alarmAt(7, 5, 0, "PM"), at(2002, 3, 1, 19, 5, 0), true},
        {"a second later", alarmAt(7, 5, 0, "PM"), at(2002, 3, 1, 19, 5, 1), false},
        {"a minute later", alarmAt(7, 5, 0, "PM"), at(2002, 3, 1, 19, 6, 0), false},
        {"an hour later", alarmAt(7, 5, 0, "PM"), at(2002, 3, 1, 20, 5, 0), false},
        {"the other half of the day", alarmAt(7, 5, 0, "PM"), at(2002, 3, 1, 7, 5, 0), false},
        {"another weekday", alarmAt(7, 5, 0, "PM", "Thursday"), at(2002, 3, 1, 19, 5, 0), false},
        {"another month", alarmAt(7, 5, 0, "PM", "Friday", "February"), at(2002, 3, 1, 19, 5, 0), false},
        {"another year", alarmAt(7, 5, 0, "PM", "Friday", "March", "2003"), at(2002, 3, 1, 19, 5, 0), false},
        {"weekday in other case", alarmAt(7, 5, 0, "PM", "friday"), at(2002, 3, 1, 19, 5, 0), false},
        {"month in other case", alarmAt(7, 5, 0, "PM", "Friday", "MARCH"), at(2002, 3, 1, 19, 5, 0), false},
        {"designator in other case", alarmAt(7, 5, 0, "pm"), at(2002, 3, 1, 19, 5, 0), false},
        {"12 AM at midnight", alarmAt(12, 0, 0, "AM"), at(2002, 3, 1, 0, 0, 0), true},
        {"12 AM at noon", alarmAt(12, 0, 0, "AM"), at(2002, 3, 1, 12, 0, 0), false},
        {"12 PM at noon", alarmAt(12, 0, 0, "PM"), at(2002, 3, 1, 12, 0, 0), true},
        {"12 PM at midnight", alarmAt(12, 0, 0, "PM"), at(2002, 3, 1, 0, 0, 0), false},
        {"0 is no hour of the dial", alarmAt(0, 0, 0, "AM"), at(2002, 3, 1, 0, 0, 0), false},
        {"second Friday", alarmAt(7, 5, 0, "PM"), at(2002, 3, 8, 19, 5, 0), true},
        {"third Friday", alarmAt(7, 5, 0, "PM"), at(2002, 3, 15, 19, 5, 0), true},
        {"fourth Friday", alarmAt(7, 5, 0, "PM"), at(2002, 3, 22, 19, 5, 0), true},
        {"last Friday", alarmAt(7, 5, 0, "PM"), at(2002, 3, 29, 19, 5, 0), true},
        {"a Thursday of March", alarmAt(7, 5, 0, "PM"), at(2002, 3, 28, 19, 5, 0), false},
        {"a Friday of April", alarmAt(7, 5, 0, "PM"), at(2002, 4, 5, 19, 5, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(alarmMatches(c.alarm, c.now), c.due) << c.what;
}

TEST(AlarmDue, LateAndRepeatedTicks) {
    // Ticks given in seconds from the alarm's moment, 7:05:00 PM on Friday 1 March 2002.
    using V = AlarmDue::Verdict;
    struct Tick {
        int offset;
        V verdict;
        bool armed = true;
        bool afterOwnBlock = false; // the program blocked itself (a long chime) before this tick
    };
    const struct {
        const char* what;
        std::vector<Tick> ticks;
    } cases[] = {
        {"each tick of the due second fires",
         {{-1, V::NotDue}, {0, V::Due}, {0, V::Due}, {0, V::Due}, {1, V::NotDue}}},
        {"59 s late fires once", {{-1, V::NotDue}, {59, V::DueLate}, {59, V::NotDue}, {60, V::NotDue}}},
        {"60 s late fires", {{-2, V::NotDue}, {60, V::DueLate}}},
        {"61 s late does not", {{-1, V::NotDue}, {61, V::NotDue}, {62, V::NotDue}}},
        {"a gap that ends before the moment", {{-30, V::NotDue}, {-1, V::NotDue}, {0, V::Due}}},
        {"a first tick after the moment", {{5, V::NotDue}}},
        {"never twice, even when the clock is set back",
         {{-1, V::NotDue}, {30, V::DueLate}, {-5, V::NotDue}, {30, V::NotDue}}},
        {"not armed", {{-1, V::NotArmed, false}, {0, V::NotArmed, false}, {5, V::NotArmed, false}}},
        {"disarmed ticks still count as seen", {{-1, V::NotDue}, {1, V::NotArmed, false}, {5, V::NotDue}}},
        {"hidden by the program's own 100 s chime: fires once when it ends",
         {{-5, V::NotDue}, {95, V::DueLate, true, true}, {95, V::NotDue}, {96, V::NotDue}}},
        {"a 90 s jump of the clock itself does not fire it", {{-5, V::NotDue}, {85, V::NotDue}}},
        {"an own block looks back only once",
         {{-5, V::NotDue}, {-4, V::NotDue, true, true}, {95, V::NotDue}}},
    };
    const Settings alarm = alarmAt(7, 5, 0, "PM");
    for (const auto& c : cases) {
        AlarmDue due;
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            FakeClock clock(2002, 3, 1, 19, 5, 0);
            clock.advance(c.ticks[i].offset);
            if (c.ticks[i].afterOwnBlock)
                due.ownBlockEnded();
            EXPECT_EQ(due.tick(alarm, c.ticks[i].armed, clock.now()), c.ticks[i].verdict)
                << c.what << ", tick " << i;
        }
    }
}

TEST(AlarmDue, LateOverMidnightFiresForTheMomentsDay) {
    AlarmDue due;
    const Settings alarm = alarmAt(11, 59, 50, "PM");
    ASSERT_EQ(due.tick(alarm, true, at(2002, 3, 1, 23, 59, 40)), AlarmDue::Verdict::NotDue);
    ASSERT_EQ(due.tick(alarm, true, at(2002, 3, 2, 0, 0, 20)), AlarmDue::Verdict::DueLate);
    const LocalTime m = due.firedMoment();
    EXPECT_EQ((std::vector<int>{m.year, m.month, m.day, m.hour, m.minute, m.second, m.weekday}),
              (std::vector<int>{2002, 3, 1, 23, 59, 50, 5}));
}

TEST(Snooze, MinutesOnTheDialAndTheDayAfterMidnight) {
    const struct {
        const char* what;
        Settings alarm;
        int minutes;
        LocalTime firedOn;
        Settings expect;
    } cases[] = {
        {"5 min over the hour", alarmAt(7, 58, 30, "AM"), 5, at(2002, 3, 1, 7, 58, 30),
         alarmAt(8, 3, 30, "AM")},
        {"into noon", alarmAt(11, 50, 0, "AM"), 15, at(2002, 3, 1, 11, 50, 0), alarmAt(12, 5, 0, "PM")},
        {"past one", alarmAt(12, 55, 0, "PM"), 10, at(2002, 3, 1, 12, 55, 0), alarmAt(1, 5, 0, "PM")},
        {"within the hour", alarmAt(9, 20, 0, "PM"), 1, at(2002, 3, 1, 21, 20, 0), alarmAt(9, 21, 0, "PM")},
        {"to the full hour", alarmAt(9, 58, 0, "PM"), 2, at(2002, 3, 1, 21, 58, 0), alarmAt(10, 0, 0, "PM")},
        {"past one in the night", alarmAt(12, 55, 0, "AM"), 10, at(2002, 3, 2, 0, 55, 0),
         alarmAt(1, 5, 0, "AM", "Friday")},
        {"midnight, same month", alarmAt(11, 50, 0, "PM"), 15, at(2002, 3, 1, 23, 50, 0),
         alarmAt(12, 5, 0, "AM", "Saturday")},
        {"midnight into a new year", alarmAt(11, 50, 0, "PM", "Monday", "December", "2001"), 15,
         at(2001, 12, 31, 23, 50, 0), alarmAt(12, 5, 0, "AM", "Tuesday", "January", "2002")},
        {"midnight into March", alarmAt(11, 59, 0, "PM", "Thursday", "February"), 1,
         at(2002, 2, 28, 23, 59, 0), alarmAt(12, 0, 0, "AM", "Friday", "March")},
        {"leap day", alarmAt(11, 50, 0, "PM", "Saturday", "February", "2004"), 10, at(2004, 2, 28, 23, 50, 0),
         alarmAt(12, 0, 0, "AM", "Sunday", "February", "2004")},
        {"after a leap day", alarmAt(11, 50, 0, "PM", "Sunday", "February", "2004"), 10,
         at(2004, 2, 29, 23, 50, 0), alarmAt(12, 0, 0, "AM", "Monday", "March", "2004")},
        {"midnight into May", alarmAt(11, 55, 0, "PM", "Tuesday", "April"), 5, at(2002, 4, 30, 23, 55, 0),
         alarmAt(12, 0, 0, "AM", "Wednesday", "May")},
    };
    for (const auto& c : cases) {
        const Settings got = snoozeAlarm(c.alarm, c.minutes, c.firedOn);
        EXPECT_EQ(got, c.expect) << c.what << ": " << got.MusicHour << ":" << got.MusicMin << ":"
                                 << got.MusicSec << " " << got.MusicAMPM << " " << got.MusicDay << " "
                                 << got.MusicMonth << " " << got.MusicYear;
    }
}

TEST(TickPlan, SleepsToTheNextSecondUnlessTheChimeOrTheAlarmCanActTheBlinkToTheHalfSecond) {
    const Settings alarm = alarmAt(7, 5, 0, "PM");
    Settings chiming = alarm;
    chiming.HourlyPlay = true;
    const struct {
        const char* what;
        LocalTime now;
        int millisecond;
        const Settings& s;
        bool armed;
        int tick, blink;
    } cases[] = {
        {"a plain second", at(2002, 3, 1, 19, 4, 58), 0, alarm, true, 1000, 500},
        {"later in a plain second", at(2002, 3, 1, 19, 4, 58), 250, alarm, true, 750, 250},
        {"just before the next", at(2002, 3, 1, 19, 4, 59), 999, alarm, true, 1, 501},
        {"on the half second", at(2002, 3, 1, 19, 4, 59), 500, alarm, true, 500, 1000},
        {"the armed alarm's second", at(2002, 3, 1, 19, 5, 0), 230, alarm, true, 70, 270},
        {"the same second disarmed", at(2002, 3, 1, 19, 5, 0), 230, alarm, false, 770, 270},
        {"a full hour with the chime", at(2002, 3, 1, 20, 0, 0), 520, chiming, false, 80, 980},
        {"a full hour without it", at(2002, 3, 1, 20, 0, 0), 520, alarm, false, 480, 980},
        {"the chime's second 1", at(2002, 3, 1, 20, 0, 1), 520, chiming, false, 480, 980},
    };
    for (const auto& c : cases) {
        LocalTime now = c.now;
        now.millisecond = c.millisecond;
        EXPECT_EQ(msToNextTick(now, c.s, c.armed), c.tick) << c.what;
        EXPECT_EQ(msToNextBlink(now), c.blink) << c.what;
    }
}

TEST(TickPlan, TheFirstMainTickOfEachSecondMakesTheBlinksStep) {
    // Ticks in order, as the timer runs them: ten in a busy second, one in a plain one, late ones.
    const struct {
        int second, millisecond;
        bool steps;
    } ticks[] = {
        {0, 2, true},  {0, 102, false}, {0, 502, false}, {0, 902, false}, {1, 2, true},
        {2, 2, true},  {2, 140, false}, {4, 700, true},  {5, 2, true},    {5, 3, false},
        {65, 2, true}, {65, 2, false},  {3665, 2, true},
    };
    BlinkSteps steps;
    for (const auto& t : ticks) {
        LocalTime now = localTimeAt(localSeconds(at(2002, 3, 1, 19, 0, 0)) + t.second);
        now.millisecond = t.millisecond;
        EXPECT_EQ(steps.tickSteps(now), t.steps) << t.second << "." << t.millisecond;
    }
}
