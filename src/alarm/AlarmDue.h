#pragma once

#include "platform/Clock.h"
#include "settings/Settings.h"

#include <cstdint>

namespace morvantis {

// The alarm record against one reading of the clock: hour on the 12-hour dial, minute and
// second as numbers; weekday, month, year and AM/PM as exact, case-sensitive texts. All seven
// comparisons are made every time.
bool alarmMatches(const Settings& s, const LocalTime& now);

// The due check kept from tick to tick. A tick that sees the alarm's second finds it due; so does
// the first tick after a gap in which the moment went by unseen (a busy thread), once for that
// moment and only within a minute of it. A gap the program made itself (its own sound, shake or
// spoken time) has no such limit: the alarm it hid fires as soon as the block ends.
class AlarmDue {
public:
    static constexpr std::int64_t kLateLimitSeconds = 60;
    // How far back the first tick after the program's own block looks: far beyond any sound.
    static constexpr std::int64_t kOwnBlockLimitSeconds = 86400;
    enum class Verdict { NotArmed, NotDue, Due, DueLate };

    Verdict tick(const Settings& s, bool armed, const LocalTime& now);
    // The program blocked itself since the last tick: the next tick looks back over the whole gap.
    void ownBlockEnded() { m_ownBlock = true; }
    // The moment the last Due or DueLate verdict was for.
    const LocalTime& firedMoment() const { return m_fired; }

private:
    static constexpr std::int64_t kNever = INT64_MIN;
    std::int64_t m_lastSeen = kNever;
    std::int64_t m_lastLate = kNever;
    bool m_ownBlock = false;
    LocalTime m_fired;
};

} // namespace morvantis
