#include "core/ClockText.h"

#include <array>
#include <charconv>

namespace morvantis {

namespace {
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};

int hour12(int hour24) {
    const int h = hour24 % 12;
    return h == 0 ? 12 : h;
}
std::string_view designator(int hour24) {
    return hour24 < 12 ? "AM" : "PM";
}
} // namespace

void ClockText::append(std::string_view s) {
    for (char c : s) {
        if (m_size < Capacity)
            m_chars[m_size++] = c;
    }
    m_chars[m_size] = '\0';
}

void ClockText::appendNumber(int value, int minDigits) {
    char digits[12];
    int n = 0;
    const bool negative = value < 0;
    unsigned v = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 11);
    while (n < minDigits && n < 11)
        digits[n++] = '0';
    if (negative)
        append("-");
    while (n > 0) {
        const char c = digits[--n];
        append(std::string_view(&c, 1));
    }
}

std::string_view weekdayName(int weekday) {
    return kWeekdays[static_cast<std::size_t>((weekday % 7 + 7) % 7)];
}

std::string_view weekdayShortName(int weekday) {
    return weekdayName(weekday).substr(0, 3);
}

std::string_view monthName(int month) {
    return kMonths[static_cast<std::size_t>(((month - 1) % 12 + 12) % 12)];
}

ClockText formatTime(const LocalTime& t, TimeForm form) {
    ClockText out;
    switch (form) {
    case TimeForm::HourAmPm2:
        out.appendNumber(hour12(t.hour), 2);
        out.append(" ");
        out.append(designator(t.hour));
        break;
    case TimeForm::HourAmPm:
        out.appendNumber(hour12(t.hour), 1);
        out.append(" ");
        out.append(designator(t.hour));
        break;
    case TimeForm::Hour24:
        out.appendNumber(t.hour, 2);
        break;
    case TimeForm::Hour24Minute:
        out.appendNumber(t.hour, 2);
        out.append(":");
        out.appendNumber(t.minute, 2);
        break;
    case TimeForm::Minute2:
        out.appendNumber(t.minute, 2);
        break;
    case TimeForm::Minute:
        out.appendNumber(t.minute, 1);
        break;
    case TimeForm::Second2:
        out.appendNumber(t.second, 2);
        break;
    case TimeForm::WeekdayLong:
        out.append(weekdayName(t.weekday));
        break;
    case TimeForm::WeekdayShort:
        out.append(weekdayShortName(t.weekday));
        break;
    case TimeForm::Day2:
        out.appendNumber(t.day, 2);
        break;
    case TimeForm::Month2:
        out.appendNumber(t.month, 2);
        break;
    case TimeForm::MonthLong:
        out.append(monthName(t.month));
        break;
    case TimeForm::Year4:
        out.appendNumber(t.year, 4);
        break;
    case TimeForm::AmPm:
        out.append(designator(t.hour));
        break;
    }
    return out;
}

int leadingNumber(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace morvantis
