#include "alarm/MusicRules.h"

#include <cctype>
#include <charconv>

namespace morvantis {

namespace {

constexpr int kFastSelectMinutes[] = {0, 5, 10, 15, 20, 30, 45};

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[(month - 1 + 12) % 12];
}

bool lastDayOfMonth(const LocalTime& t) {
    return t.day >= daysInMonth(t.year, t.month);
}

LocalTime nextDay(LocalTime t) {
    t.weekday = (t.weekday + 1) % 7;
    if (!lastDayOfMonth(t)) {
        ++t.day;
        return t;
    }
    t.day = 1;
    if (t.month < 12) {
        ++t.month;
        return t;
    }
    t.month = 1;
    ++t.year;
    return t;
}

bool inRange(int v, int low, int high) {
    return v >= low && v <= high;
}

} // namespace

std::vector<Weekday> followingWeekdays(const LocalTime& now) {
    std::vector<Weekday> days;
    for (int i = 1; i <= 6; ++i)
        days.push_back(Weekday((now.weekday + i) % 7));
    return days;
}

std::vector<Month> followingMonths(const LocalTime& now) {
    std::vector<Month> months;
    for (int i = 1; i <= 11; ++i)
        months.push_back(Month((now.month - 1 + i) % 12 + 1));
    return months;
}

std::vector<std::int16_t> followingYears(const LocalTime& now) {
    std::vector<std::int16_t> years;
    for (int i = 1; i <= 20; ++i)
        years.push_back(static_cast<std::int16_t>(now.year + i));
    return years;
}

FastSelect fastSelect(const LocalTime& now, int entry) {
    const bool timed = entry >= 1 && entry <= 6;
    const int h = now.hour;
    int m = now.minute + (timed ? kFastSelectMinutes[entry] : 0);
    FastSelect out;
    if (timed && m > 59) {
        out.hour = std::to_string(h < 12 ? h + 1 : h - 11);
        if (h >= 11 && h <= 22) {
            out.ampm = FastSelect::AmPm::PM;
        } else if (h == 23) {
            out.ampm = FastSelect::AmPm::AM;
            out.nextDay = true;
            // Moving the day alone would name this month's weekday, not tomorrow.
            out.nextMonth = lastDayOfMonth(now);
            out.nextYear = out.nextMonth && now.month == 12;
        }
        m -= 60;
    }
    out.minute = std::to_string(m);
    return out;
}

std::optional<int> wholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return negative ? -value : value;
}

bool minuteReadsZero(std::string_view minute) {
    return wholeNumber(minute) == 0;
}

bool entryIsPast(const MusicEntry& e, const LocalTime& now) {
    if (e.dayIndex != 0 || e.monthIndex != 0 || e.yearIndex != 0)
        return false;
    const auto h = wholeNumber(e.hour), m = wholeNumber(e.minute), s = wholeNumber(e.second);
    // Text and values out of range are OK's to report, with a message that says what is wrong.
    if (!h || !m || !s || !inRange(*h, 1, 12) || !inRange(*m, 0, 59) || !inRange(*s, 0, 59))
        return false;
    const bool afternoon = now.hour >= 12;
    // Before noon a PM entry lies ahead; in the afternoon an AM entry means tomorrow morning.
    if (e.am == afternoon)
        return false;
    // Within one half of the day, 12 o'clock comes first: compared on the dial, 1 PM would be
    // before 12:30 PM.
    const int entered = ((*h % 12) * 60 + *m) * 60 + *s;
    const int current = ((now.hour % 12) * 60 + now.minute) * 60 + now.second;
    return entered < current;
}

OkResult storeAlarm(AlarmRecord& r, const MusicEntry& e, const LocalTime& now) {
    if (entryIsPast(e, now))
        return OkResult::Past;

    const auto hour = wholeNumber(e.hour);
    if (!hour)
        return OkResult::NotANumber;
    setDialHour(r, {static_cast<std::int16_t>(*hour), dialHour(r).mark});
    if (!inRange(*hour, 1, 12))
        return OkResult::HourRange;
    const auto minute = wholeNumber(e.minute);
    if (!minute)
        return OkResult::NotANumber;
    r.minute = static_cast<std::int16_t>(*minute);
    if (!inRange(*minute, 0, 59))
        return OkResult::MinRange;
    const auto second = wholeNumber(e.second);
    if (!second)
        return OkResult::NotANumber;
    r.second = static_cast<std::int16_t>(*second);
    if (!inRange(*second, 0, 59))
        return OkResult::SecRange;

    setDialHour(r, {dialHour(r).hour, e.am ? Meridiem::AM : Meridiem::PM});
    if (e.action == MusicEntry::Action::Custom)
        r.message = e.custom;

    // An AM time entered in the afternoon for today lies in tomorrow's morning.
    const bool tomorrow = now.hour >= 12 && e.am && e.dayIndex == 0 && e.monthIndex == 0 && e.yearIndex == 0;
    const LocalTime date = tomorrow ? nextDay(now) : now;
    r.weekday = e.dayIndex == 0 ? Weekday(date.weekday) : e.day;
    r.month = e.monthIndex == 0 ? Month(date.month) : e.month;
    r.year = e.yearIndex == 0 ? static_cast<std::int16_t>(date.year) : e.year;

    r.importance = e.importanceIndex == 0   ? Importance::Low
                   : e.importanceIndex == 1 ? Importance::Medium
                                            : Importance::High;
    r.action = e.action == MusicEntry::Action::Shake    ? AlarmAction::Shake
               : e.action == MusicEntry::Action::Window ? AlarmAction::Window
                                                        : AlarmAction::Custom;
    return OkResult::Stored;
}

OkMessage okMessage(OkResult result) {
    switch (result) {
    case OkResult::Past:
        return {"Your selected time is past.", "Invalid Time", true};
    case OkResult::HourRange:
        return {"Hour must be between 1 to 12", "Morvantis", true};
    case OkResult::MinRange:
        return {"Min must be between 0 to 59", "Morvantis", true};
    case OkResult::SecRange:
        return {"Sec must be between 0 to 59", "Morvantis", true};
    case OkResult::NotANumber:
        return {"Invalid Time!\nPlease Try Again.", "Morvantis", false};
    case OkResult::Stored:
        break;
    }
    return {};
}

} // namespace morvantis
