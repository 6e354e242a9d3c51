#include "settings/AlarmRecord.h"

namespace morvantis {

DialHour dialHour(const AlarmRecord& record) {
    if (record.unnamedHour)
        return *record.unnamedHour;
    const int h = record.hour % 12;
    return {static_cast<std::int16_t>(h == 0 ? 12 : h), record.hour >= 12 ? Meridiem::PM : Meridiem::AM};
}

void setDialHour(AlarmRecord& record, DialHour dial) {
    if (dial.hour >= 1 && dial.hour <= 12 && dial.mark != Meridiem::None) {
        record.hour = static_cast<std::int16_t>(dial.hour % 12 + (dial.mark == Meridiem::PM ? 12 : 0));
        record.unnamedHour.reset();
    } else {
        record.hour = 0;
        record.unnamedHour = dial;
    }
}

bool namesTime(const AlarmRecord& record) {
    return !record.unnamedHour && record.hour >= 0 && record.hour <= 23 && record.minute >= 0 &&
           record.minute <= 59 && record.second >= 0 && record.second <= 59;
}

} // namespace morvantis
