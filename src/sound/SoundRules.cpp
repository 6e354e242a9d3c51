#include "sound/SoundRules.h"

namespace morvantis {

bool chimeDue(const LocalTime& first, const LocalTime& second, bool hourlyPlay) {
    return first.minute == 0 && second.second == 0 && hourlyPlay;
}

} // namespace morvantis
