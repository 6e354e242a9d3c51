#include "sound/SoundRules.h"

#include "core/ClockText.h"

#include <string_view>

namespace morvantis {

bool chimeDue(const LocalTime& first, const LocalTime& second, bool hourlyPlay) {
    return leadingNumber(formatTime(first, TimeForm::Minute2).view()) == 0 &&
           leadingNumber(formatTime(second, TimeForm::Second2).view()) == 0 && hourlyPlay;
}

} // namespace morvantis
