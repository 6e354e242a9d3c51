#pragma once

#include "alarm/AlarmMoment.h"
#include "platform/Clock.h"
#include "settings/AlarmRecord.h"

#include <cstdint>
#include <optional>

namespace morvantis {

// The due check kept from tick to tick. The record is turned into its next moment once, when it
// is set, read or snoozed; each tick compares the clock's moment with it as numbers. A tick at
// or after the moment rings it once, however late (a suspend, a clock set forward, the program's
// own long block); every tick within the moment's own second rings it, as the clock always did.
// Once the clock shows another second, either way, the moment is over and the next is taken. A
// clock set back looks again from the new time, past the dates already rung.
class AlarmDue {
public:
    enum class Verdict { NotArmed, NotDue, Due, DueLate };

    // The record was set or read: it rings next at its first moment from now on.
    void setRecord(const AlarmRecord& record, const Clock& zone, std::int64_t now);
    // A snooze: it rings next at this moment.
    void setMoment(std::int64_t at, const Clock& zone);
    Verdict tick(const AlarmRecord& record, const Clock& zone, bool armed, std::int64_t now);
    // Whether this second is the armed alarm's own: the tick then runs every 100 ms.
    bool ringsIn(std::int64_t now, bool armed) const { return armed && m_next && m_next->at == now; }
    const std::optional<AlarmMoment>& next() const { return m_next; }
    // The moment the last Due or DueLate verdict was for.
    std::int64_t rangFor() const { return m_rangFor; }

private:
    void takeNext(const AlarmRecord& record, const Clock& zone, std::int64_t from);

    std::optional<AlarmMoment> m_next;
    bool m_rang = false; // m_next has rung
    std::int64_t m_rangFor = 0;
    std::int64_t m_rangDay = INT64_MIN; // the last date rung since the record was set
    std::int64_t m_lastNow = INT64_MIN;
};

} // namespace morvantis
