#include "alarm/AlarmRules.h"

#include "core/ClockText.h"

#include <optional>
#include <string_view>

namespace morvantis {

namespace {

ClockText nowAs(const Clock& clock, TimeForm form) {
    return formatTime(clock.now(), form);
}

// Seconds since midnight of a time on the 12-hour dial; nothing for a designator that is neither AM nor PM.
std::optional<int> secondOfDay(int hour12, int minute, int second, std::string_view ampm) {
    if (ampm != "AM" && ampm != "PM")
        return std::nullopt;
    return ((hour12 % 12 + (ampm == "PM" ? 12 : 0)) * 60 + minute) * 60 + second;
}

} // namespace

bool checkIfBefore(const Settings& s, const Clock& clock) {
    const bool today = s.MusicDay == nowAs(clock, TimeForm::WeekdayLong).view() &&
                       s.MusicMonth == nowAs(clock, TimeForm::MonthLong).view() &&
                       s.MusicYear == nowAs(clock, TimeForm::Year4).view();
    if (!today)
        return false;
    // Compared as times of day: on the 12-hour dial alone, 1 PM would come before 12:30 PM and
    // 7 PM before 7 AM, which drops or keeps alarms the wrong way round.
    const auto alarm = secondOfDay(s.MusicHour, s.MusicMin, s.MusicSec, s.MusicAMPM);
    const auto now = secondOfDay(leadingNumber(nowAs(clock, TimeForm::HourAmPm2).view().substr(0, 2)),
                                 leadingNumber(nowAs(clock, TimeForm::Minute).view()),
                                 leadingNumber(nowAs(clock, TimeForm::Second2).view()),
                                 nowAs(clock, TimeForm::AmPm).view());
    return alarm && now && *alarm < *now;
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
