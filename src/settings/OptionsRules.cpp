#include "settings/OptionsRules.h"

namespace morvantis {

bool isWaveFileName(std::string_view name) {
    return name.ends_with("wav");
}

std::string defaultWavePath(const std::string& programFolder) {
    return programFolder + std::string(kDefaultWave);
}

} // namespace morvantis
