#include "alarm/AlarmDue.h"
#include "alarm/AlarmMoment.h"
#include "clock/TickPlan.h"
#include "core/Calendar.h"
#include "core/ClockText.h"

#include "support/AlarmSettings.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

using namespace morvantis;
using morvantis::test::alarmRecord;
using morvantis::test::FakeClock;

namespace {

constexpr auto kBerlin = FakeClock::centralEurope;

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
    return FakeClock(year, month, day, hour, minute, second).now();
}

// A moment given as a UTC date and time.
std::int64_t utc(int year, int month, int day, int hour, int minute, int second) {
    return localSeconds(LocalTime{year, month, day, hour, minute, second});
}

// The due check as the clock made it before the alarm became a moment: the record's seven texts
// against the clock's texts of one second.
struct RecordTexts {
    int hour, minute, second;
    const char *ampm, *day, *month, *year;
    AlarmRecord record() const { return alarmRecord(hour, minute, second, ampm, day, month, year); }
};
bool textsMatch(const RecordTexts& s, const LocalTime& now) {
    const bool each[] = {leadingNumber(formatTime(now, TimeForm::HourAmPm2).view().substr(0, 2)) == s.hour,
                         leadingNumber(formatTime(now, TimeForm::Minute2).view()) == s.minute,
                         leadingNumber(formatTime(now, TimeForm::Second2).view()) == s.second,
                         formatTime(now, TimeForm::WeekdayLong).view() == s.day,
                         formatTime(now, TimeForm::MonthLong).view() == s.month,
                         formatTime(now, TimeForm::Year4).view() == s.year,
                         formatTime(now, TimeForm::AmPm).view() == s.ampm};
    return std::ranges::all_of(each, std::identity{});
}

} // namespace

TEST(AlarmMoment, TheRecordsNextMomentFromNow) {
    // Friday 1 March 2002 is the first Friday of its month; the last is the 29th. The spring-forward
    // night in Berlin is Sunday 29 March 2026 (02:00 CET → 03:00 CEST), the fall-back night Sunday
    // 25 October 2026 (03:00 CEST → 02:00 CET).
    const std::optional<std::int64_t> never;
    const struct {
        const char* what;
        AlarmRecord record;
        FakeClock clock;
        std::optional<std::int64_t> next;
    } cases[] = {
        {"the very second", alarmRecord(7, 5, 0, "PM"), FakeClock(2002, 3, 1, 19, 5, 0),
         utc(2002, 3, 1, 19, 5, 0)},
        {"a second later: the next Friday", alarmRecord(7, 5, 0, "PM"), FakeClock(2002, 3, 1, 19, 5, 1),
         utc(2002, 3, 8, 19, 5, 0)},
        {"the last Friday, after it: none left", alarmRecord(7, 5, 0, "PM"), FakeClock(2002, 3, 29, 19, 5, 1),
         never},
        {"a month and year long gone", alarmRecord(7, 5, 0, "PM"), FakeClock(2026, 12, 8, 9, 0, 0), never},
        {"earlier in the month", alarmRecord(7, 5, 0, "PM"), FakeClock(2002, 2, 27, 0, 0, 0),
         utc(2002, 3, 1, 19, 5, 0)},
        {"the other half of the day", alarmRecord(7, 5, 0, "AM"), FakeClock(2002, 3, 1, 12, 0, 0),
         utc(2002, 3, 8, 7, 5, 0)},
        {"12 AM is midnight", alarmRecord(12, 0, 0, "AM"), FakeClock(2002, 3, 1, 0, 0, 0),
         utc(2002, 3, 1, 0, 0, 0)},
        {"12 PM is noon", alarmRecord(12, 0, 0, "PM"), FakeClock(2002, 3, 1, 0, 0, 0),
         utc(2002, 3, 1, 12, 0, 0)},
        {"weekday in other case", alarmRecord(7, 5, 0, "PM", "friday"), FakeClock(2002, 3, 1, 0, 0, 0),
         never},
        {"month in other case", alarmRecord(7, 5, 0, "PM", "Friday", "MARCH"), FakeClock(2002, 3, 1, 0, 0, 0),
         never},
        {"designator in other case", alarmRecord(7, 5, 0, "pm"), FakeClock(2002, 3, 1, 0, 0, 0), never},
        {"no weekday of that name", alarmRecord(7, 5, 0, "PM", "Fryday"), FakeClock(2002, 3, 1, 0, 0, 0),
         never},
        {"a year written short", alarmRecord(7, 5, 0, "PM", "Friday", "March", "02"),
         FakeClock(2002, 3, 1, 0, 0, 0), never},
        {"0 is no hour of the dial", alarmRecord(0, 5, 0, "AM"), FakeClock(2002, 3, 1, 0, 0, 0), never},
        {"minute 60", alarmRecord(7, 60, 0, "AM"), FakeClock(2002, 3, 1, 0, 0, 0), never},
        {"29 February", alarmRecord(6, 0, 0, "AM", "Thursday", "February", "2024"),
         FakeClock(2024, 2, 23, 0, 0, 0), utc(2024, 2, 29, 6, 0, 0)},
        {"the month's last day, its last second", alarmRecord(11, 59, 59, "PM", "Tuesday", "April", "2002"),
         FakeClock(2002, 4, 30, 23, 0, 0), utc(2002, 4, 30, 23, 59, 59)},
        {"the year's end", alarmRecord(11, 59, 59, "PM", "Tuesday", "December", "2002"),
         FakeClock(2002, 12, 25, 0, 0, 0), utc(2002, 12, 31, 23, 59, 59)},
        {"the year's first second", alarmRecord(12, 0, 0, "AM", "Wednesday", "January", "2003"),
         FakeClock(2002, 12, 31, 23, 59, 59), utc(2003, 1, 1, 0, 0, 0)},
        {"Berlin, summer time", alarmRecord(7, 0, 0, "AM", "Monday", "June", "2026"),
         FakeClock(kBerlin, 2026, 6, 1, 0, 0, 0), utc(2026, 6, 1, 5, 0, 0)},
        {"the skipped hour rings when the clock jumps past it",
         alarmRecord(2, 30, 0, "AM", "Sunday", "March", "2026"), FakeClock(kBerlin, 2026, 3, 29, 0, 0, 0),
         utc(2026, 3, 29, 1, 0, 0)},
        {"the skipped hour's first second", alarmRecord(2, 0, 0, "AM", "Sunday", "March", "2026"),
         FakeClock(kBerlin, 2026, 3, 29, 0, 0, 0), utc(2026, 3, 29, 1, 0, 0)},
        {"the second after the jump", alarmRecord(3, 0, 1, "AM", "Sunday", "March", "2026"),
         FakeClock(kBerlin, 2026, 3, 29, 0, 0, 0), utc(2026, 3, 29, 1, 0, 1)},
        {"the repeated hour rings at its first showing",
         alarmRecord(2, 30, 0, "AM", "Sunday", "October", "2026"), FakeClock(kBerlin, 2026, 10, 25, 0, 0, 0),
         utc(2026, 10, 25, 0, 30, 0)},
        {"and at its second, from a time between them",
         alarmRecord(2, 30, 0, "AM", "Sunday", "October", "2026"), FakeClock(kBerlin, 2026, 10, 25, 2, 45, 0),
         utc(2026, 10, 25, 1, 30, 0)},
    };
    for (const auto& c : cases) {
        const std::optional<AlarmMoment> next = nextAlarmMoment(c.record, c.clock, c.clock.now().epoch);
        EXPECT_EQ(next ? std::optional(next->at) : std::nullopt, c.next) << c.what;
    }
}

TEST(AlarmMoment, RingsExactlyWhereTheTextsMatchedOverTwoDays) {
    // Every second of two ordinary days, ticked once a second: the moment rings in exactly the
    // seconds the texts matched in, and nowhere else.
    const RecordTexts records[] = {
        {12, 0, 0, "AM", "Friday", "December", "2026"},   {11, 59, 59, "PM", "Friday", "December", "2026"},
        {12, 0, 0, "PM", "Saturday", "December", "2026"}, {7, 5, 30, "AM", "Saturday", "December", "2026"},
        {7, 5, 30, "AM", "saturday", "December", "2026"}, {7, 5, 30, "AM", "Saturday", "November", "2026"},
    };
    const std::int64_t start = utc(2026, 12, 4, 0, 0, 0);
    for (const RecordTexts& texts : records) {
        const AlarmRecord record = texts.record();
        FakeClock clock;
        clock.setEpoch(start);
        AlarmDue due;
        due.setRecord(record, clock, start);
        std::vector<std::int64_t> rang, matched;
        for (std::int64_t t = start; t < start + 2 * 86400; ++t) {
            clock.setEpoch(t);
            if (due.tick(record, clock, true, t) != AlarmDue::Verdict::NotDue)
                rang.push_back(t);
            if (textsMatch(texts, clock.now()))
                matched.push_back(t);
        }
        EXPECT_EQ(rang, matched) << texts.hour << ":" << texts.minute << " " << texts.ampm << " " << texts.day
                                 << " " << texts.month;
    }
}

TEST(AlarmDue, LateOnceAndNeverTwice) {
    // Ticks given in seconds from the alarm's moment, 7:05:00 PM on Friday 1 March 2002.
    using V = AlarmDue::Verdict;
    struct Tick {
        std::int64_t offset;
        V verdict;
        bool armed = true;
    };
    const struct {
        const char* what;
        std::vector<Tick> ticks;
    } cases[] = {
        {"each tick of the due second rings", {{-1, V::NotDue}, {0, V::Due}, {0, V::Due}, {1, V::NotDue}}},
        {"a minute late rings once", {{-1, V::NotDue}, {61, V::DueLate}, {61, V::NotDue}, {62, V::NotDue}}},
        {"two hours asleep rings once", {{-5, V::NotDue}, {7200, V::DueLate}, {7201, V::NotDue}}},
        {"a week asleep, over the next Friday too, rings once",
         {{-5, V::NotDue}, {8 * 86400, V::DueLate}, {8 * 86400 + 1, V::NotDue}, {14 * 86400, V::Due}}},
        {"set back after it rang: not again",
         {{0, V::Due}, {-3600, V::NotDue}, {0, V::NotDue}, {1, V::NotDue}}},
        {"set back after a late ring: not again", {{30, V::DueLate}, {-5, V::NotDue}, {0, V::NotDue}}},
        {"set back before it rang: it rings", {{-1, V::NotDue}, {-3600, V::NotDue}, {0, V::Due}}},
        {"set back before a Friday that went by unlit: it rings",
         {{5, V::NotArmed, false}, {-1, V::NotDue}, {0, V::Due}}},
        {"set back over a year: it rings at its time", {{-400 * 86400, V::NotDue}, {0, V::Due}}},
        {"not armed", {{-1, V::NotArmed, false}, {0, V::NotArmed, false}, {5, V::NotArmed, false}}},
        {"gone by while the light was out: not rung when lit",
         {{-1, V::NotDue}, {1, V::NotArmed, false}, {5, V::NotDue}, {7 * 86400, V::Due}}},
        {"the next Friday, still lit and unanswered", {{0, V::Due}, {1, V::NotDue}, {7 * 86400, V::Due}}},
    };
    const AlarmRecord alarm = alarmRecord(7, 5, 0, "PM");
    const std::int64_t moment = utc(2002, 3, 1, 19, 5, 0);
    for (const auto& c : cases) {
        FakeClock clock(2002, 3, 1, 19, 0, 0);
        AlarmDue due;
        due.setRecord(alarm, clock, clock.now().epoch);
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            clock.setEpoch(moment + c.ticks[i].offset);
            EXPECT_EQ(due.tick(alarm, clock, c.ticks[i].armed, clock.now().epoch), c.ticks[i].verdict)
                << c.what << ", tick " << i;
        }
    }
}

TEST(AlarmDue, DaylightSavingNights) {
    // Berlin, ticked once a second through each night, the alert left unanswered.
    const struct {
        const char* what;
        AlarmRecord record;
        int month, day;
        std::vector<std::int64_t> rings; // UTC
    } cases[] = {
        {"spring forward, 2:30 rings at 3:00:00",
         alarmRecord(2, 30, 0, "AM", "Sunday", "March", "2026"),
         3,
         29,
         {utc(2026, 3, 29, 1, 0, 0)}},
        {"spring forward, 1:59:59 as ever",
         alarmRecord(1, 59, 59, "AM", "Sunday", "March", "2026"),
         3,
         29,
         {utc(2026, 3, 29, 0, 59, 59)}},
        {"fall back, 2:30 once, not at the repeat",
         alarmRecord(2, 30, 0, "AM", "Sunday", "October", "2026"),
         10,
         25,
         {utc(2026, 10, 25, 0, 30, 0)}},
    };
    for (const auto& c : cases) {
        FakeClock clock(kBerlin, 2026, c.month, c.day, 0, 0, 0);
        AlarmDue due;
        due.setRecord(c.record, clock, clock.epoch());
        std::vector<std::int64_t> rang;
        for (const std::int64_t end = clock.epoch() + 6 * 3600; clock.epoch() < end; clock.advance(1))
            if (due.tick(c.record, clock, true, clock.epoch()) != AlarmDue::Verdict::NotDue)
                rang.push_back(clock.epoch());
        EXPECT_EQ(rang, c.rings) << c.what;
    }
}

TEST(Snooze, RealMinutesFromTheRingOrFromALatePress) {
    const struct {
        const char* what;
        FakeClock rang;   // when it rang
        int pressedAfter; // seconds later
        int minutes;
        AlarmRecord record; // as it stood
        AlarmRecord expect; // as the snooze leaves it
        std::int64_t after; // real seconds from the ring to the next
    } cases[] = {
        {"5 min over the hour", FakeClock(2002, 3, 1, 7, 58, 30), 20, 5, alarmRecord(7, 58, 30, "AM"),
         alarmRecord(8, 3, 30, "AM"), 300},
        {"into noon", FakeClock(2002, 3, 1, 11, 50, 0), 20, 15, alarmRecord(11, 50, 0, "AM"),
         alarmRecord(12, 5, 0, "PM"), 900},
        {"past one", FakeClock(2002, 3, 1, 12, 55, 0), 20, 10, alarmRecord(12, 55, 0, "PM"),
         alarmRecord(1, 5, 0, "PM"), 600},
        {"within the hour", FakeClock(2002, 3, 1, 21, 20, 0), 20, 1, alarmRecord(9, 20, 0, "PM"),
         alarmRecord(9, 21, 0, "PM"), 60},
        {"midnight into a new year", FakeClock(2001, 12, 31, 23, 50, 0), 20, 15,
         alarmRecord(11, 50, 0, "PM", "Monday", "December", "2001"),
         alarmRecord(12, 5, 0, "AM", "Tuesday", "January", "2002"), 900},
        {"after a leap day", FakeClock(2004, 2, 29, 23, 50, 0), 20, 10,
         alarmRecord(11, 50, 0, "PM", "Sunday", "February", "2004"),
         alarmRecord(12, 0, 0, "AM", "Monday", "March", "2004"), 600},
        {"pressed late: from the press", FakeClock(2026, 12, 8, 17, 30, 0), 8 * 60 + 12, 5,
         alarmRecord(5, 30, 0, "PM", "Tuesday", "December", "2026"),
         alarmRecord(5, 43, 12, "PM", "Tuesday", "December", "2026"), 13 * 60 + 12},
        {"across the fall back", FakeClock(kBerlin, 2026, 10, 25, 2, 58, 0), 20, 5,
         alarmRecord(2, 58, 0, "AM", "Sunday", "October", "2026"),
         alarmRecord(2, 3, 0, "AM", "Sunday", "October", "2026"), 300},
        {"into the skipped hour", FakeClock(kBerlin, 2026, 3, 29, 1, 58, 0), 20, 5,
         alarmRecord(1, 58, 0, "AM", "Sunday", "March", "2026"),
         alarmRecord(3, 3, 0, "AM", "Sunday", "March", "2026"), 300},
    };
    for (const auto& c : cases) {
        const std::int64_t rang = c.rang.epoch();
        const std::int64_t next = snoozedMoment(rang, c.minutes, rang + c.pressedAfter);
        EXPECT_EQ(next - rang, c.after) << c.what;
        const AlarmRecord got = recordAt(c.record, c.rang.at(next));
        EXPECT_EQ(formatAlarm(got), formatAlarm(c.expect)) << c.what;
        EXPECT_TRUE(got == c.expect) << c.what;
    }
}

TEST(TickPlan, SleepsToTheNextSecondUnlessTheChimeOrTheAlarmCanActTheBlinkToTheHalfSecond) {
    const struct {
        const char* what;
        LocalTime now;
        int millisecond;
        bool chime, alarmSecond;
        int tick, blink;
    } cases[] = {
        {"a plain second", at(2002, 3, 1, 19, 4, 58), 0, false, false, 1000, 500},
        {"later in a plain second", at(2002, 3, 1, 19, 4, 58), 250, false, false, 750, 250},
        {"just before the next", at(2002, 3, 1, 19, 4, 59), 999, false, false, 1, 501},
        {"on the half second", at(2002, 3, 1, 19, 4, 59), 500, false, false, 500, 1000},
        {"the armed alarm's second", at(2002, 3, 1, 19, 5, 0), 230, false, true, 70, 270},
        {"a full hour with the chime", at(2002, 3, 1, 20, 0, 0), 520, true, false, 80, 980},
        {"a full hour without it", at(2002, 3, 1, 20, 0, 0), 520, false, false, 480, 980},
        {"the chime's second 1", at(2002, 3, 1, 20, 0, 1), 520, true, false, 480, 980},
    };
    for (const auto& c : cases) {
        LocalTime now = c.now;
        now.millisecond = c.millisecond;
        EXPECT_EQ(msToNextTick(now, c.chime, c.alarmSecond), c.tick) << c.what;
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
