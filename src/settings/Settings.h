#pragma once

#include "settings/AlarmRecord.h"

#include <cstdint>
#include <string>

namespace morvantis {

// The process-wide settings, each named after its key in the store. They start
// false, 0 and empty; a start reads them once and the end saves them once
// (ClockState::read, save), with the window position (Left, Top) beside them.
struct Settings {
    bool ShowSec = false;
    bool ShowMonth = false;
    bool ShowDay = false;
    bool ShowDate = false;
    bool ShowYear = false;
    std::string SkinPath;
    bool Hours24 = false; // key "24Hours"
    std::string AlarmPath;
    std::string SoundPath;
    std::string Theme;
    bool DefaultAlarm = false;
    bool DefaultSound = false;
    std::int16_t ShakeSpeed = 0;
    AlarmRecord alarm; // the Music* keys and GreenSign, YellowSign, RedSign
    bool HourlyPlay = false;
    bool LightOn = false;
    std::string ThemePath;
    std::int16_t ThemeNo = 0;
    bool Blink = false;
    // The face menu's check items; a store written before them reads as off.
    bool KeepOnTop = false;
    bool AllWorkspaces = false;
    bool StartAtLogin = false; // mirrors the desktop's autostart entry
    bool RingUntilAnswered = false;

    bool operator==(const Settings&) const = default;
};

} // namespace morvantis
