#pragma once

#include <string>
#include <string_view>

namespace morvantis {

// The wave file that "Default" stands for, after the program folder.
inline constexpr std::string_view kDefaultWave = "/alarm.wav";

// What the browse buttons accept: a name whose last three characters are exactly "wav".
// Letter case counts, so BELL.WAV is refused; a cancelled dialog (empty name) is refused too.
bool isWaveFileName(std::string_view name);

std::string defaultWavePath(const std::string& programFolder);

} // namespace morvantis
