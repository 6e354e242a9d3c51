#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morvantis {

// As the calendar counts them: Sunday is 0, January is 1.
enum class Weekday : std::int8_t {
    None = -1,
    Sunday,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday
};
enum class Month : std::int8_t {
    None,
    January,
    February,
    March,
    April,
    May,
    June,
    July,
    August,
    September,
    October,
    November,
    December
};
enum class Meridiem : std::uint8_t { None, AM, PM };

// The alert's action flags. OK sets exactly one; the option buttons set Shake and Custom at once
// and leave Window as it was, so a record can hold other sets too.
enum class AlarmAction : std::uint8_t { None = 0, Shake = 1, Window = 2, Custom = 4 };
constexpr AlarmAction operator|(AlarmAction a, AlarmAction b) {
    return AlarmAction(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}

enum class Importance : std::uint8_t { None, Low, Medium, High };

// An hour on the 12-hour dial with its mark, as the dialog enters it.
struct DialHour {
    std::int16_t hour = 0;
    Meridiem mark = Meridiem::None;
    bool operator==(const DialHour&) const = default;
};

// When the alarm rings and what it does. The date is a weekday, a month and a year: it names every
// day of that month and year that falls on that weekday.
struct AlarmRecord {
    // A 24-hour time. Minute and second hold what OK read, in range or not: a refused OK keeps them.
    std::int16_t hour = 0, minute = 0, second = 0;
    // The dial hour and mark when they name no hour of the day (a record never set, an OK refused at
    // its hour); hour is then 0. Kept so that the record is written back as it was read.
    std::optional<DialHour> unnamedHour = DialHour{};
    Weekday weekday = Weekday::None;
    Month month = Month::None;
    std::int16_t year = 0; // 0: none
    AlarmAction action = AlarmAction::None;
    Importance importance = Importance::None;
    std::string message; // the custom message

    bool acts(AlarmAction a) const {
        return (static_cast<std::uint8_t>(action) & static_cast<std::uint8_t>(a)) != 0;
    }
    bool operator==(const AlarmRecord&) const = default;
};

DialHour dialHour(const AlarmRecord& record);
void setDialHour(AlarmRecord& record, DialHour dial);

// Whether the record names a moment of some day: a real hour, minute and second.
bool namesTime(const AlarmRecord& record);

} // namespace morvantis
