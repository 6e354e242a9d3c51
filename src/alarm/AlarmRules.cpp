#include "alarm/AlarmRules.h"

#include "core/ClockText.h"

#include <charconv>

namespace morvantis {

namespace {

ClockText nowAs(const Clock& clock, TimeForm form) {
    return formatTime(clock.now(), form);
}

int number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

int hourNow(const Clock& clock) {
    return number(nowAs(clock, TimeForm::HourAmPm2).view().substr(0, 2));
}
int minuteNow(const Clock& clock) {
    return number(nowAs(clock, TimeForm::Minute).view());
}
int secondNow(const Clock& clock) {
    return number(nowAs(clock, TimeForm::Second2).view());
}
bool sameAmPm(const Settings& s, const Clock& clock) {
    return s.MusicAMPM == nowAs(clock, TimeForm::AmPm).view();
}

} // namespace

bool checkIfBefore(const Settings& s, const Clock& clock) {
    const bool today = s.MusicDay == nowAs(clock, TimeForm::WeekdayLong).view() &&
                       s.MusicMonth == nowAs(clock, TimeForm::MonthLong).view() &&
                       s.MusicYear == nowAs(clock, TimeForm::Year4).view();
    if (!today)
        return false;
    if (s.MusicHour < hourNow(clock) && sameAmPm(s, clock))
        return true;
    if (s.MusicHour == hourNow(clock) && sameAmPm(s, clock) && s.MusicMin < minuteNow(clock))
        return true;
    if (s.MusicHour == hourNow(clock) && sameAmPm(s, clock) && s.MusicMin == minuteNow(clock) &&
        s.MusicSec < secondNow(clock))
        return true;
    // The same hour in the other half of the day, to the second, counts as gone by.
    return s.MusicHour == hourNow(clock) && !sameAmPm(s, clock) && s.MusicMin == minuteNow(clock) &&
           s.MusicSec == secondNow(clock);
}

std::string alarmCaption(const Settings& s, bool withAmPm) {
    std::string caption = "alarm set to: " + std::to_string(s.MusicHour) + ":" + std::to_string(s.MusicMin) +
                          ":" + std::to_string(s.MusicSec);
    if (withAmPm)
        caption += " " + s.MusicAMPM;
    return caption + "   " + s.MusicYear + "/" + s.MusicMonth + "    " + s.MusicDay;
}

DerivedAlarm deriveAlarmState(const Settings& s, const Clock& clock) {
    DerivedAlarm state{false, std::string(kAlarmNotSet)};
    if (!s.LightOn)
        return state;
    state.lightOn = !checkIfBefore(s, clock);
    // Asked again rather than reusing the answer: a second may pass in between, and the
    // caption follows the later answer.
    if (!checkIfBefore(s, clock))
        state.caption = alarmCaption(s, true);
    return state;
}

} // namespace morvantis
