#include "alarm/AlarmMoment.h"

#include "core/Calendar.h"

#include <algorithm>
#include <array>

namespace morvantis {

namespace {

constexpr std::int64_t kDay = 86400;

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

std::optional<AlarmMoment> nextAlarmMoment(const AlarmRecord& record, const Clock& zone, std::int64_t from,
                                           std::int64_t afterDay) {
    if (!namesTime(record) || record.weekday == Weekday::None || record.month == Month::None ||
        record.year < 1)
        return std::nullopt;
    const int weekday = static_cast<int>(record.weekday);
    const int month = static_cast<int>(record.month);
    const int year = record.year;
    // Dates before the one `from` falls on cannot ring after it: skip the months of earlier years.
    if (year < zone.at(from).year - 1)
        return std::nullopt;
    const LocalTime first{year, month, 1};
    const std::int64_t firstDay = localSeconds(first) / kDay;
    for (std::int64_t day = firstDay; day < firstDay + 31; ++day) {
        const LocalTime date = localTimeAt(day * kDay);
        if (date.month != month)
            break;
        if (date.weekday != weekday || day <= afterDay)
            continue;
        int count = 0;
        const auto moments =
            showings(zone, day * kDay + (record.hour * 60 + record.minute) * 60 + record.second, count);
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

AlarmRecord recordAt(AlarmRecord record, const LocalTime& moment) {
    record.hour = static_cast<std::int16_t>(moment.hour);
    record.unnamedHour.reset();
    record.minute = static_cast<std::int16_t>(moment.minute);
    record.second = static_cast<std::int16_t>(moment.second);
    record.weekday = Weekday(moment.weekday);
    record.month = Month(moment.month);
    record.year = static_cast<std::int16_t>(moment.year);
    return record;
}

} // namespace morvantis
