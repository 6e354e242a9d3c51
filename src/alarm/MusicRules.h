#pragma once

#include "platform/Clock.h"
#include "settings/AlarmRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvantis {

// The first entry of each date list stands for the current day, month or year.
inline constexpr std::string_view kToday = "<Today>";
inline constexpr std::string_view kThisMonth = "<This Month>";
inline constexpr std::string_view kThisYear = "<This Year>";

// What the date lists hold after their first entry.
std::vector<Weekday> followingWeekdays(const LocalTime& now);   // the six weekdays after today
std::vector<Month> followingMonths(const LocalTime& now);       // the eleven months after this one
std::vector<std::int16_t> followingYears(const LocalTime& now); // the twenty years after this one

// The fast-select list: a blank entry, then 5, 10, 15, 20, 30 and 45 minutes from now.
inline constexpr const char* kFastSelectEntries[] = {
    " ", "5 Min Later", "10 Min Later", "15 Min Later", "20 Min Later", "30 Min Later", "45 Min Later"};

// What a fast-select choice does to the dialog's fields.
struct FastSelect {
    enum class AmPm { Keep, AM, PM };
    std::string minute;              // always written, without leading zero
    std::optional<std::string> hour; // only when the minutes carry into the next hour
    AmPm ampm = AmPm::Keep;
    // Past midnight the day list shows tomorrow (its entry after "<Today>"), and so do the month
    // and year lists when tomorrow begins a new month or year.
    bool nextDay = false, nextMonth = false, nextYear = false;
};
FastSelect fastSelect(const LocalTime& now, int entry);

// A whole number as typed: surrounding spaces and a sign allowed, nothing else.
std::optional<int> wholeNumber(std::string_view text);

// The minute field shown as "00" once the seconds change, when it reads as zero.
bool minuteReadsZero(std::string_view minute);

// What the dialog's fields and lists hold when OK is pressed.
struct MusicEntry {
    std::string hour, minute, second;
    bool am = true; // the first entry of the AM/PM list
    int dayIndex = 0, monthIndex = 0, yearIndex = 0;
    // What the lists show after their first entry, as they were filled.
    Weekday day = Weekday::None;
    Month month = Month::None;
    std::int16_t year = 0;
    int importanceIndex = 0;
    enum class Action { Shake, Window, Custom } action = Action::Window;
    std::string custom;
};

// True when the entered time of today has already gone by.
bool entryIsPast(const MusicEntry& e, const LocalTime& now);

// How OK ended: stored, or the step that refused.
enum class OkResult { Stored, Past, HourRange, MinRange, SecRange, NotANumber };

// OK's steps in order. Each value is written to the record as its step passes, so a step that
// refuses leaves the earlier ones written.
OkResult storeAlarm(AlarmRecord& r, const MusicEntry& e, const LocalTime& now);

// The message a refusing step shows; the title is never empty.
struct OkMessage {
    std::string_view text, title;
    bool information; // false: no icon
};
OkMessage okMessage(OkResult result);

} // namespace morvantis
