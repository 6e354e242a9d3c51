#pragma once

#include "platform/Clock.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace morvantis {

// The fixed forms in which the clock reads the local date and time as text.
// English names and "AM"/"PM" designators.
enum class TimeForm {
    HourAmPm2,    // "hh AMPM": "01 PM"; midnight and noon are "12"
    HourAmPm,     // "h AMPM":  "1 PM"
    Hour24,       // "hh":      "13"
    Hour24Minute, // "hh:mm":   "13:45"
    Minute2,      // "nn":      "05"
    Minute,       // "n":       "5"
    Second2,      // "ss":      "07"
    WeekdayLong,  // "dddd":    "Sunday"
    WeekdayShort, // "ddd":     "Sun"
    Day2,         // "dd":      "07"
    Month2,       // "mm":      "09"
    MonthLong,    // "mmmm":    "September"
    Year4,        // "yyyy":    "2001"
    AmPm,         // "AMPM":    "PM"
};

// A short formatted text held inline, so that formatting never allocates.
class ClockText {
public:
    static constexpr std::size_t Capacity = 15;
    std::string_view view() const { return {m_chars, m_size}; }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return m_size; }
    // Character at a position counted from 1, or '\0' past the end.
    char at(std::size_t position) const {
        return position >= 1 && position <= m_size ? m_chars[position - 1] : '\0';
    }
    void append(std::string_view s);
    void appendNumber(int value, int minDigits);

private:
    char m_chars[Capacity + 1] = {};
    std::size_t m_size = 0;
};

ClockText formatTime(const LocalTime& t, TimeForm form);

std::string_view weekdayName(int weekday);      // 0 = "Sunday"
std::string_view weekdayShortName(int weekday); // 0 = "Sun"
std::string_view monthName(int month);          // 1 = "January"

// The number its leading digits make, as the clock texts' hours, minutes and seconds are read;
// 0 when it begins with none.
int leadingNumber(std::string_view digits);

} // namespace morvantis
