#include "sound/SoundRules.h"

#include "core/ClockText.h"

#include <string_view>

namespace morvantis {

namespace {
int number(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}
} // namespace

bool chimeDue(const LocalTime& first, const LocalTime& second, bool hourlyPlay) {
    return number(formatTime(first, TimeForm::Minute2).view()) == 0 &&
           number(formatTime(second, TimeForm::Second2).view()) == 0 && hourlyPlay;
}

} // namespace morvantis
