#pragma once

#include "platform/Clock.h"
#include "settings/AlarmRecord.h"

#include <cstdint>
#include <optional>

namespace morvantis {

// When the alarm record rings, as a moment on the real timeline rather than a wall-clock text: the
// wall clock skips and repeats an hour on daylight-saving days and jumps when a laptop wakes; the
// timeline does not.
struct AlarmMoment {
    std::int64_t at = 0;  // seconds since 1970-01-01 00:00 UTC
    std::int64_t day = 0; // the local date it rings for, in days since 1970-01-01
    bool operator==(const AlarmMoment&) const = default;
};

// The first moment at or after `from` at which the zone's wall clock shows the record's time on one
// of the record's dates (every day of its month and year that falls on its weekday), skipping the
// dates up to and including `afterDay`. A record that names no time or no date never rings. A
// time the wall clock skips rings when it passes it (03:00:00 on a spring-forward night); one it
// shows twice is taken at its first showing from `from` on. Nothing when no such moment is left.
std::optional<AlarmMoment> nextAlarmMoment(const AlarmRecord& record, const Clock& zone, std::int64_t from,
                                           std::int64_t afterDay = INT64_MIN);

// The moment a snooze of some minutes moves the alarm to: that much real time after the moment it
// rang for, or after the press when that would already be past.
std::int64_t snoozedMoment(std::int64_t rangAt, int minutes, std::int64_t pressedAt);

// The record showing a moment: its time and its date.
AlarmRecord recordAt(AlarmRecord record, const LocalTime& moment);

} // namespace morvantis
