#include "sound/SoundRules.h"

#include <gtest/gtest.h>

using namespace morvantis;

namespace {
LocalTime at(int hour, int minute, int second) {
    LocalTime t;
    t.year = 2001;
    t.month = 9;
    t.day = 23;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.weekday = 0;
    return t;
}
} // namespace

TEST(HourlyChime, DueOnlyInSecondZeroOfMinuteZeroWhenOn) {
    struct Case {
        LocalTime first, second;
        bool on, due;
    };
    const Case cases[] = {
        {at(14, 0, 0), at(14, 0, 0), true, true},
        {at(0, 0, 0), at(0, 0, 0), true, true},
        {at(14, 0, 1), at(14, 0, 1), true, false},
        {at(14, 1, 0), at(14, 1, 0), true, false},
        {at(13, 59, 59), at(13, 59, 59), true, false},
        {at(14, 0, 0), at(14, 0, 0), false, false},
        // The minute comes from the first reading, the second from the second one.
        {at(13, 59, 59), at(14, 0, 0), true, false},
        {at(14, 0, 59), at(14, 1, 0), true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chimeDue(c.first, c.second, c.on), c.due)
            << c.first.hour << ":" << c.first.minute << ":" << c.first.second << " / " << c.second.minute
            << ":" << c.second.second << (c.on ? " on" : " off");
}
