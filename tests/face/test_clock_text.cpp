#include "core/ClockText.h"

#include <gtest/gtest.h>

using namespace morvantis;

namespace {
LocalTime at(int h, int m, int s, int wd = 0, int day = 23, int month = 9, int year = 2001) {
    return {year, month, day, h, m, s, wd};
}
} // namespace

TEST(ClockText, EveryFormAtTheReferenceInstant) {
    const LocalTime t = at(13, 45, 7); // Sunday 23 September 2001
    const struct {
        TimeForm form;
        const char* text;
    } cases[] = {
        {TimeForm::HourAmPm2, "01 PM"},  {TimeForm::HourAmPm, "1 PM"},
        {TimeForm::Hour24, "13"},        {TimeForm::Hour24Minute, "13:45"},
        {TimeForm::Minute2, "45"},       {TimeForm::Minute, "45"},
        {TimeForm::Second2, "07"},       {TimeForm::WeekdayLong, "Sunday"},
        {TimeForm::WeekdayShort, "Sun"}, {TimeForm::Day2, "23"},
        {TimeForm::Month2, "09"},        {TimeForm::MonthLong, "September"},
        {TimeForm::Year4, "2001"},       {TimeForm::AmPm, "PM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatTime(t, c.form).view(), c.text) << static_cast<int>(c.form);
}

TEST(ClockText, TwelveHourClockAroundMidnightAndNoon) {
    const struct {
        int hour;
        const char* hh;
        const char* h;
    } cases[] = {{0, "12 AM", "12 AM"},  {1, "01 AM", "1 AM"},  {11, "11 AM", "11 AM"},
                 {12, "12 PM", "12 PM"}, {13, "01 PM", "1 PM"}, {23, "11 PM", "11 PM"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatTime(at(c.hour, 0, 0), TimeForm::HourAmPm2).view(), c.hh) << c.hour;
        EXPECT_EQ(formatTime(at(c.hour, 0, 0), TimeForm::HourAmPm).view(), c.h) << c.hour;
    }
    EXPECT_EQ(formatTime(at(0, 5, 9), TimeForm::Hour24).view(), "00");
    EXPECT_EQ(formatTime(at(11, 59, 59), TimeForm::AmPm).view(), "AM");
    EXPECT_EQ(formatTime(at(12, 0, 0), TimeForm::AmPm).view(), "PM");
}

TEST(ClockText, MinuteWithoutLeadingZeroAndNames) {
    EXPECT_EQ(formatTime(at(7, 5, 0), TimeForm::Minute).view(), "5");
    EXPECT_EQ(formatTime(at(7, 0, 0), TimeForm::Minute).view(), "0");
    EXPECT_EQ(formatTime(at(7, 5, 0), TimeForm::Minute2).view(), "05");
    const char* weekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int wd = 0; wd < 7; ++wd) {
        EXPECT_EQ(formatTime(at(0, 0, 0, wd), TimeForm::WeekdayLong).view(), weekdays[wd]);
        EXPECT_EQ(formatTime(at(0, 0, 0, wd), TimeForm::WeekdayShort).view(), std::string(weekdays[wd], 3));
    }
    EXPECT_EQ(formatTime(at(0, 0, 0, 0, 1, 1), TimeForm::MonthLong).view(), "January");
    EXPECT_EQ(formatTime(at(0, 0, 0, 0, 1, 12), TimeForm::MonthLong).view(), "December");
    EXPECT_EQ(formatTime(at(0, 0, 0, 0, 7, 3, 987), TimeForm::Year4).view(), "0987");
}

TEST(ClockText, CharactersCountFromOne) {
    const ClockText t = formatTime(at(13, 45, 7), TimeForm::HourAmPm2);
    EXPECT_EQ(t.at(1), '0');
    EXPECT_EQ(t.at(2), '1');
    EXPECT_EQ(t.at(4), 'P');
    EXPECT_EQ(t.at(0), '\0');
    EXPECT_EQ(t.at(6), '\0');
}
