#include "alarm/AlarmDue.h"

#include "core/Calendar.h"

#include <algorithm>

namespace morvantis {

void AlarmDue::setRecord(const AlarmRecord& record, const Clock& zone, std::int64_t now) {
    m_next = nextAlarmMoment(record, zone, now);
    m_rang = false;
    m_rangDay = INT64_MIN;
}

void AlarmDue::setMoment(std::int64_t at, const Clock& zone) {
    m_next = AlarmMoment{at, localSeconds(zone.at(at)) / 86400};
    m_rang = false;
    m_rangDay = INT64_MIN;
}

void AlarmDue::takeNext(const AlarmRecord& record, const Clock& zone, std::int64_t from) {
    // Never the same date again: a repeated hour does not ring twice.
    m_next = nextAlarmMoment(record, zone, from, m_next->day);
    m_rang = false;
}

AlarmDue::Verdict AlarmDue::tick(const AlarmRecord& record, const Clock& zone, bool armed, std::int64_t now) {
    const Verdict idle = armed ? Verdict::NotDue : Verdict::NotArmed;
    const bool setBack = now < m_lastNow;
    m_lastNow = now;
    // A date that lay behind may lie ahead again.
    if (setBack && !m_rang)
        m_next = nextAlarmMoment(record, zone, now, m_rangDay);
    if (!m_next)
        return idle;
    // A moment that rang is over as soon as the clock shows another second, later or earlier: a
    // clock set back does not ring the same alarm again.
    if (m_rang && now != m_next->at)
        takeNext(record, zone, std::max(now, m_next->at + 1));
    // One that passes while the light is out is gone: lighting it later does not ring it.
    else if (!armed && now > m_next->at)
        takeNext(record, zone, now);
    if (!m_next || !armed || now < m_next->at)
        return idle;
    m_rang = true;
    m_rangFor = m_next->at;
    m_rangDay = m_next->day;
    return now == m_next->at ? Verdict::Due : Verdict::DueLate;
}

} // namespace morvantis
