#pragma once

#include "platform/Clock.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvantis {

class Sound;

// The word files of the spoken time, relative to the program folder and spelled as shipped.
// The hour word from "h AMPM" (its first two characters read as a number, 1 to 12); none
// when the text holds no such number.
std::string_view hourWord(const LocalTime& t);
// The minute words from "n": none at 0, one word for 1-20, 30, 40 and 50, tens then units otherwise.
std::vector<std::string_view> minuteWords(const LocalTime& t);
// The suffix from "AMPM": exactly "AM" or "PM", none for any other designator.
std::string_view suffixWord(const LocalTime& t);

// Speaks the time: "time", then the hour, the minute and the suffix, each read from the clock
// when its turn comes, after the words before it have been heard. Each word starts from the end
// the player tells of the one before, so they come as one phrase and the caller's thread is never
// held; a word that cannot be played gives the player's alert and the announcement goes on. done
// is called after the last word; never, when a stop or another request cuts the words short.
// The clock and the sound must outlive the words.
void sayTime(const Clock& clock, Sound& sound, const std::string& programFolder, std::function<void()> done);

} // namespace morvantis
