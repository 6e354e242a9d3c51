#include "alarm/MusicRules.h"

#include "settings/SettingsFormat.h"
#include "support/AlarmSettings.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::FakeClock;

namespace {

LocalTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return FakeClock(year, month, day, hour, minute, second).now();
}

MusicEntry entryOf(const char* h, const char* m, const char* s, bool am) {
    MusicEntry e;
    // Whole strings moved in: GCC 12 warns falsely (-Wrestrict) on assigning a char pointer here.
    e.hour = std::string(h);
    e.minute = std::string(m);
    e.second = std::string(s);
    e.am = am;
    return e;
}

} // namespace

TEST(MusicFastSelect, CarriesHourHalfAndDate) {
    using AmPm = FastSelect::AmPm;
    const struct {
        const char* what;
        LocalTime now;
        int entry;
        const char* minute;
        const char* hour; // nullptr: untouched
        AmPm ampm;
        bool day, month, year;
    } cases[] = {
        {"no carry", at(2001, 12, 19, 10, 20), 5, "50", nullptr, AmPm::Keep, false, false, false},
        {"blank entry: now's minute", at(2001, 12, 19, 10, 20), 0, "20", nullptr, AmPm::Keep, false, false,
         false},
        {"to the hour exactly", at(2001, 12, 19, 10, 55), 1, "0", "11", AmPm::Keep, false, false, false},
        {"before noon", at(2001, 12, 19, 10, 58), 1, "3", "11", AmPm::Keep, false, false, false},
        {"into noon", at(2001, 12, 19, 11, 58), 1, "3", "12", AmPm::PM, false, false, false},
        {"past noon", at(2001, 12, 19, 12, 50), 4, "10", "1", AmPm::PM, false, false, false},
        {"into the night", at(2001, 12, 19, 22, 30), 6, "15", "11", AmPm::PM, false, false, false},
        {"past midnight", at(2001, 12, 19, 23, 50), 3, "5", "12", AmPm::AM, true, false, false},
        {"after midnight", at(2001, 12, 20, 0, 50), 3, "5", "1", AmPm::Keep, false, false, false},
        {"last of a month", at(2001, 11, 30, 23, 50), 3, "5", "12", AmPm::AM, true, true, false},
        {"28 February, leap year", at(2004, 2, 28, 23, 50), 3, "5", "12", AmPm::AM, true, false, false},
        {"29 February", at(2004, 2, 29, 23, 50), 3, "5", "12", AmPm::AM, true, true, false},
        {"28 February, common year", at(2001, 2, 28, 23, 50), 3, "5", "12", AmPm::AM, true, true, false},
        {"last of the year", at(2001, 12, 31, 23, 50), 3, "5", "12", AmPm::AM, true, true, true},
        {"no carry on the last of the year", at(2001, 12, 31, 23, 10), 6, "55", nullptr, AmPm::Keep, false,
         false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FastSelect f = fastSelect(c.now, c.entry);
        EXPECT_EQ(f.minute, c.minute);
        EXPECT_EQ(f.hour.value_or("untouched"), c.hour ? c.hour : "untouched");
        EXPECT_EQ(f.ampm, c.ampm);
        EXPECT_EQ(f.nextDay, c.day);
        EXPECT_EQ(f.nextMonth, c.month);
        EXPECT_EQ(f.nextYear, c.year);
    }
}

TEST(MusicPastCheck, TodayAndTheTwelveOClockHours) {
    const struct {
        const char* what;
        int nowH, nowM, nowS;
        const char *h, *m, *s;
        bool am;
        int monthIndex;
        bool past;
    } cases[] = {
        {"earlier hour in the morning", 10, 0, 0, "9", "0", "0", true, 0, true},
        {"other month", 10, 0, 0, "9", "0", "0", true, 1, false},
        {"earlier minute", 10, 30, 0, "10", "29", "59", true, 0, true},
        {"earlier second", 10, 30, 5, "10", "30", "4", true, 0, true},
        {"the very second", 10, 30, 5, "10", "30", "5", true, 0, false},
        {"later hour", 10, 0, 0, "11", "0", "0", true, 0, false},
        {"PM in the morning", 10, 0, 0, "9", "0", "0", false, 0, false},
        {"midnight hour in the morning", 10, 0, 0, "12", "30", "0", true, 0, true},
        {"one in the night at half past midnight", 0, 30, 0, "1", "0", "0", true, 0, false},
        {"earlier in the afternoon", 15, 0, 0, "2", "59", "0", false, 0, true},
        {"later in the afternoon", 15, 0, 0, "4", "0", "0", false, 0, false},
        {"one o'clock at half past noon", 12, 30, 0, "1", "0", "0", false, 0, false},
        {"noon hour at one", 13, 0, 0, "12", "30", "0", false, 0, true},
        {"AM in the afternoon: tomorrow", 15, 0, 0, "9", "0", "0", true, 0, false},
        {"text is OK's to report", 10, 0, 0, "ab", "0", "0", true, 0, false},
        {"empty is OK's to report", 10, 0, 0, "9", "0", "", true, 0, false},
        {"out of range is OK's to report", 10, 0, 0, "0", "0", "0", true, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MusicEntry e = entryOf(c.h, c.m, c.s, c.am);
        e.monthIndex = c.monthIndex;
        EXPECT_EQ(entryIsPast(e, at(2001, 12, 19, c.nowH, c.nowM, c.nowS)), c.past);
    }
}

TEST(MusicOk, StoresDateImportanceAndAction) {
    using Action = MusicEntry::Action;
    const struct {
        const char* what;
        LocalTime now;
        bool am;
        int day, month, year;
        int importance;
        Action action;
        const char *wDay, *wMonth, *wYear;
        bool green, yellow, red, shake, message, custom;
    } cases[] = {
        {"current entries", at(2001, 12, 19, 10, 0), true, 0, 0, 0, 0, Action::Window, "Wednesday",
         "December", "2001", true, false, false, false, true, false},
        {"chosen entries", at(2001, 12, 19, 10, 0), false, 2, 1, 3, 1, Action::Shake, "Friday", "January",
         "2004", false, true, false, true, false, false},
        {"AM in the evening: tomorrow", at(2001, 12, 19, 20, 0), true, 0, 0, 0, 2, Action::Custom, "Thursday",
         "December", "2001", false, false, true, false, false, true},
        {"AM on the evening of the last of the year", at(2001, 12, 31, 20, 0), true, 0, 0, 0, 0,
         Action::Window, "Tuesday", "January", "2002", true, false, false, false, true, false},
        {"AM in the evening with another day chosen", at(2001, 12, 19, 20, 0), true, 2, 0, 0, 0,
         Action::Window, "Friday", "December", "2001", true, false, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MusicEntry e = entryOf("11", "0", "0", c.am);
        e.dayIndex = c.day;
        e.monthIndex = c.month;
        e.yearIndex = c.year;
        e.day = Weekday::Friday;
        e.month = Month::January;
        e.year = 2004;
        e.importanceIndex = c.importance;
        e.action = c.action;
        e.custom = "wake up";
        AlarmRecord r;
        r.message = "old";
        ASSERT_EQ(storeAlarm(r, e, c.now), OkResult::Stored);
        const auto stored = [&](AlarmKey key) { return morvantis::test::stored(r, key); };
        const auto truth = [&](AlarmKey key) { return stored(key) == "True"; };
        EXPECT_EQ(stored(AlarmKey::AmPm), c.am ? "AM" : "PM");
        EXPECT_EQ(stored(AlarmKey::Day), c.wDay);
        EXPECT_EQ(stored(AlarmKey::Month), c.wMonth);
        EXPECT_EQ(stored(AlarmKey::Year), c.wYear);
        EXPECT_EQ(std::tuple(truth(AlarmKey::Green), truth(AlarmKey::Yellow), truth(AlarmKey::Red)),
                  std::tuple(c.green, c.yellow, c.red));
        EXPECT_EQ(std::tuple(truth(AlarmKey::BolShake), truth(AlarmKey::Message), truth(AlarmKey::CustomBol)),
                  std::tuple(c.shake, c.message, c.custom));
        EXPECT_EQ(stored(AlarmKey::Custom), c.custom ? "wake up" : "old");
    }
}
