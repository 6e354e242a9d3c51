#include "alarm/AlarmMoment.h"

#include "core/Calendar.h"
#include "core/ClockText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace morvantis {

namespace {

constexpr std::int64_t kDay = 86400;

// 0..6 or 1..12 for a name written exactly as the clock writes it; -1 otherwise.
template <class Name> int indexOf(std::string_view name, int first, int last, Name nameOf) {
    for (int i = first; i <= last; ++i)
        if (nameOf(i) == name)
            return i;
    return -1;
}

// The year a record's text names, when the clock writes some year that way.
std::optional<int> yearOf(std::string_view text) {
    if (text.empty() || text.size() > 4 ||
        !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int year = leadingNumber(text);
    LocalTime t;
    t.year = year;
    if (year < 1 || formatTime(t, TimeForm::Year4).view() != text)
        return std::nullopt;
    return year;
}

std::int64_t wallOf(const Clock& zone, std::int64_t epoch) {
    return localSeconds(zone.at(epoch));
}

// The moments at which the wall clock shows `wall`, earliest first: one on an ordinary day, two in
// a repeated hour; in a skipped hour, the moment the clock jumps past it.
std::array<std::int64_t, 2> showings(const Clock& zone, std::int64_t wall, int& count) {
    // A zone's offset changes at most once within a day either side.
    const std::int64_t a = wall - (wallOf(zone, wall - kDay) - (wall - kDay));
    const std::int64_t b = wall - (wallOf(zone, wall + kDay) - (wall + kDay));
    std::array<std::int64_t, 2> out{};
    count = 0;
    for (const std::int64_t e : {std::min(a, b), std::max(a, b)})
        if (wallOf(zone, e) == wall && (count == 0 || out[0] != e))
            out[static_cast<std::size_t>(count++)] = e;
    if (count > 0)
        return out;
    // Skipped: the first moment whose wall time lies beyond it, found between the two guesses.
    std::int64_t lo = std::min(a, b), hi = std::max(a, b);
    if (wallOf(zone, hi) < wall) // not a plain jump forward: take the standard guess
        return {a, a};
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (wallOf(zone, mid) >= wall)
            hi = mid;
        else
            lo = mid + 1;
    }
    count = 1;
    return {lo, lo};
}

} // namespace

std::optional<AlarmMoment> nextAlarmMoment(const Settings& record, const Clock& zone, std::int64_t from,
                                           std::int64_t afterDay) {
    const int weekday = indexOf(record.MusicDay, 0, 6, weekdayName);
    const int month = indexOf(record.MusicMonth, 1, 12, monthName);
    const std::optional<int> year = yearOf(record.MusicYear);
    const bool pm = record.MusicAMPM == "PM";
    if (weekday < 0 || month < 0 || !year || (!pm && record.MusicAMPM != "AM") || record.MusicHour < 1 ||
        record.MusicHour > 12 || record.MusicMin < 0 || record.MusicMin > 59 || record.MusicSec < 0 ||
        record.MusicSec > 59)
        return std::nullopt;
    // Dates before the one `from` falls on cannot ring after it: skip the months of earlier years.
    if (*year < zone.at(from).year - 1)
        return std::nullopt;
    const int hour = record.MusicHour % 12 + (pm ? 12 : 0);
    const LocalTime first{*year, month, 1};
    const std::int64_t firstDay = localSeconds(first) / kDay;
    for (std::int64_t day = firstDay; day < firstDay + 31; ++day) {
        const LocalTime date = localTimeAt(day * kDay);
        if (date.month != month)
            break;
        if (date.weekday != weekday || day <= afterDay)
            continue;
        int count = 0;
        const auto moments =
            showings(zone, day * kDay + (hour * 60 + record.MusicMin) * 60 + record.MusicSec, count);
        for (int i = 0; i < count; ++i)
            if (moments[static_cast<std::size_t>(i)] >= from)
                return AlarmMoment{moments[static_cast<std::size_t>(i)], day};
    }
    return std::nullopt;
}

std::int64_t snoozedMoment(std::int64_t rangAt, int minutes, std::int64_t pressedAt) {
    const std::int64_t later = rangAt + std::int64_t{minutes} * 60;
    return later > pressedAt ? later : pressedAt + std::int64_t{minutes} * 60;
}

Settings recordAt(Settings record, const LocalTime& moment) {
    record.MusicHour = static_cast<std::int16_t>(moment.hour % 12 == 0 ? 12 : moment.hour % 12);
    record.MusicMin = static_cast<std::int16_t>(moment.minute);
    record.MusicSec = static_cast<std::int16_t>(moment.second);
    record.MusicAMPM = formatTime(moment, TimeForm::AmPm).str();
    record.MusicDay = std::string(weekdayName(moment.weekday));
    record.MusicMonth = std::string(monthName(moment.month));
    record.MusicYear = formatTime(moment, TimeForm::Year4).str();
    return record;
}

} // namespace morvantis
