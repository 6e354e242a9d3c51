#include "alarm/AlarmRules.h"

#include "settings/SettingsFormat.h"
#include "support/AlarmSettings.h"
#include "support/FakeClock.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <vector>

using namespace morvantis;
using morvantis::test::alarmAt;
using morvantis::test::FakeClock;

namespace {

// Friday 29 March 2002, the last Friday of the month: no later date matches the records below.
constexpr int kYear = 2002, kMonth = 3, kDay = 29;

} // namespace

TEST(CheckIfBefore, TimesOnTheAlarmDay) {
    const struct {
        const char* what;
        int nowH, nowM, nowS; // 24-hour clock
        int h, m, s;
        const char* ampm;
        bool past;
    } cases[] = {
        {"one hour earlier, same half", 19, 0, 0, 6, 0, 0, "PM", true},
        {"one hour later", 19, 0, 0, 8, 0, 0, "PM", false},
        {"earlier minute in the hour", 19, 5, 0, 7, 4, 59, "PM", true},
        {"later minute in the hour", 19, 5, 0, 7, 6, 0, "PM", false},
        {"earlier second", 19, 5, 1, 7, 5, 0, "PM", true},
        {"the very second", 19, 5, 0, 7, 5, 0, "PM", false},
        {"later second", 19, 5, 0, 7, 5, 1, "PM", false},
        {"morning alarm, evening now, other minute", 19, 5, 0, 7, 4, 0, "AM", true},
        {"same dial time in the other half", 19, 5, 0, 7, 5, 0, "AM", true},
        {"same dial time in the other half, second apart", 19, 5, 0, 7, 5, 1, "AM", true},
        {"evening alarm, morning now, same dial time", 7, 5, 0, 7, 5, 0, "PM", false},
        {"noon alarm at noon", 12, 0, 0, 12, 0, 0, "PM", false},
        {"noon alarm a second after noon", 12, 0, 1, 12, 0, 0, "PM", true},
        {"late morning alarm at noon", 12, 0, 0, 11, 59, 59, "AM", true},
        {"half past noon alarm at one", 13, 0, 0, 12, 30, 0, "PM", true},
        {"one o'clock alarm at half past noon", 12, 30, 0, 1, 0, 0, "PM", false},
        {"midnight alarm at midnight", 0, 0, 0, 12, 0, 0, "AM", false},
        {"midnight alarm a second after", 0, 0, 1, 12, 0, 0, "AM", true},
        {"noon alarm at midnight", 0, 0, 0, 12, 0, 0, "PM", false},
        {"midnight alarm at noon", 12, 0, 0, 12, 0, 0, "AM", true},
        {"one in the night at half past midnight", 0, 30, 0, 1, 0, 0, "AM", false},
        {"evening alarm at noon", 12, 0, 0, 7, 5, 0, "PM", false},
        {"morning alarm in the afternoon", 15, 0, 0, 9, 0, 0, "AM", true},
        {"designator in other letter case: matches no time", 19, 0, 0, 6, 0, 0, "pm", true},
    };
    for (const auto& c : cases) {
        const FakeClock clock(kYear, kMonth, kDay, c.nowH, c.nowM, c.nowS);
        EXPECT_EQ(checkIfBefore(alarmAt(c.h, c.m, c.s, c.ampm).alarm, clock), c.past) << c.what;
    }
}

TEST(CheckIfBefore, PastWhenNoMatchingDateIsLeft) {
    // Past means that no moment the record matches lies ahead, whatever day its last one was.
    const struct {
        const char* what;
        FakeClock now;
        Settings alarm;
        bool past;
    } cases[] = {
        {"a later Friday of the month is left", FakeClock(kYear, kMonth, 1, 23, 0, 0), alarmAt(1, 0, 0, "PM"),
         false},
        {"yesterday, its last match", FakeClock(kYear, kMonth, kDay, 9, 0, 0),
         alarmAt(1, 0, 0, "PM", "Thursday"), true},
        {"last month", FakeClock(kYear, kMonth, kDay, 9, 0, 0), alarmAt(1, 0, 0, "PM", "Friday", "February"),
         true},
        {"last year", FakeClock(kYear, kMonth, kDay, 9, 0, 0),
         alarmAt(1, 0, 0, "PM", "Friday", "March", "2001"), true},
        {"next year", FakeClock(kYear, kMonth, kDay, 9, 0, 0),
         alarmAt(1, 0, 0, "PM", "Friday", "March", "2003"), false},
        {"names that match no date", FakeClock(kYear, kMonth, kDay, 9, 0, 0),
         alarmAt(1, 0, 0, "PM", "friday"), true},
        {"no date at all", FakeClock(kYear, kMonth, kDay, 9, 0, 0), alarmAt(1, 0, 0, "PM", "", "", ""), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkIfBefore(c.alarm.alarm, c.now), c.past) << c.what;
}

TEST(AlarmCaption, WithAndWithoutAmPm) {
    EXPECT_EQ(alarmCaption(alarmAt(7, 5, 0, "PM").alarm, true),
              "alarm set to: 7:5:0 PM   2002/March    Friday");
    EXPECT_EQ(alarmCaption(alarmAt(7, 10, 0, "PM").alarm, false),
              "alarm set to: 7:10:0   2002/March    Friday");
    EXPECT_EQ(alarmCaption(alarmAt(12, 59, 59, "AM").alarm, true),
              "alarm set to: 12:59:59 AM   2002/March    Friday");
    EXPECT_EQ(kAlarmNotSet, "alarm did not set");
}

TEST(DeriveAlarmState, FromTheSavedLight) {
    const FakeClock clock(kYear, kMonth, kDay, 15, 0, 0);
    const struct {
        const char* what;
        bool lightOn;
        Settings alarm;
        bool expectLight;
        std::string expectCaption;
    } cases[] = {
        {"not armed, later", false, alarmAt(7, 5, 0, "PM"), false, "alarm did not set"},
        {"not armed, past", false, alarmAt(1, 0, 0, "PM"), false, "alarm did not set"},
        {"armed, past", true, alarmAt(1, 0, 0, "PM"), false, "alarm did not set"},
        {"armed, later today", true, alarmAt(7, 5, 0, "PM"), true,
         "alarm set to: 7:5:0 PM   2002/March    Friday"},
        {"armed, a later date", true, alarmAt(7, 5, 0, "PM", "Friday", "March", "2003"), true,
         "alarm set to: 7:5:0 PM   2003/March    Friday"},
    };
    for (auto c : cases) {
        c.alarm.LightOn = c.lightOn;
        const DerivedAlarm state = deriveAlarmState(c.alarm, clock);
        EXPECT_EQ(state.lightOn, c.expectLight) << c.what;
        EXPECT_EQ(state.caption, c.expectCaption) << c.what;
    }
}

TEST(DeriveAlarmState, APastArmedAlarmIsSavedDisarmed) {
    test::MemorySettingsStore store;
    const std::pair<const char*, const char*> saved[] = {
        {"LightOn", "True"}, {"MusicHour", "9"},     {"MusicMin", "30"},      {"MusicSec", "0"},
        {"MusicAMPM", "AM"}, {"MusicDay", "Friday"}, {"MusicMonth", "March"}, {"MusicYear", "2002"},
    };
    for (const auto& [key, text] : saved)
        store.write("StartUp", key, text);
    Settings s;
    readSettings(store, s, "/p");
    const DerivedAlarm state = deriveAlarmState(s, FakeClock(kYear, kMonth, kDay, 10, 0, 0));
    EXPECT_FALSE(state.lightOn);
    EXPECT_EQ(state.caption, "alarm did not set");
    EXPECT_TRUE(s.LightOn); // stays set in memory until the save takes it from the face

    s.LightOn = state.lightOn;
    std::string error;
    ASSERT_TRUE(writeSettings(store, s, 0, 0, "/p", error));
    EXPECT_EQ(store.read("StartUp", "LightOn"), "False");
}
