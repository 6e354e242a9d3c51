#pragma once

#include "face/FaceModel.h"
#include "platform/Services.h"
#include "settings/ClockState.h"
#include "skins/SkinLoader.h"

namespace morvantis {

class frmChoseSkin;

// What the skin switch needs from the clock window.
class SkinSwitchHost {
public:
    virtual frmChoseSkin& skinChooser() = 0;
    virtual void flushFace() = 0;
    virtual void closeSplash() = 0;
    virtual void endProgram(int status) = 0;
    virtual bool ending() const = 0;

protected:
    ~SkinSwitchHost() = default;
};

// Puts skin ThemePath on the face, or with no skin selected the first run's entry; a skin that
// fails to load is reported and the default skin taken instead, and a broken default ends the
// program. Loading may run message boxes, and with them anything else, such as the end of the
// program: every step after one checks for that.
class SkinSwitch {
public:
    SkinSwitch(Services& services, ClockState& state, FaceModel& face, SkinSwitchHost& host);
    void apply();

private:
    Services& m_services;
    ClockState& m_state;
    FaceModel& m_face;
    SkinSwitchHost& m_host;
    SkinLoader m_loader;
    bool m_fallingBack = false;
};

} // namespace morvantis
