#pragma once

#include "face/FaceModel.h"
#include "platform/Services.h"
#include "settings/ClockState.h"
#include "skins/SkinLoader.h"

#include <QPointer>
#include <QWidget>

namespace morvantis {

class ClockDialogs;
class ClockEnd;

// Puts skin ThemePath on the face, or with no skin selected the first run's entry; a skin that
// fails to load is reported and the default skin taken instead, and a broken default ends the
// program. Loading may run message boxes, and with them anything else, such as the end of the
// program: every step after one checks for that.
class SkinSwitch {
public:
    SkinSwitch(Services& services, ClockState& state, FaceModel& face, QWidget& window, ClockDialogs& dialogs,
               ClockEnd& end);
    void apply();
    // The splash window, closed at the end of every load.
    void setSplash(QWidget* splash) { m_splash = splash; }

private:
    void closeSplash();

    Services& m_services;
    ClockState& m_state;
    FaceModel& m_face;
    QWidget& m_window;
    ClockDialogs& m_dialogs;
    ClockEnd& m_end;
    QPointer<QWidget> m_splash;
    SkinLoader m_loader;
    bool m_fallingBack = false;
};

} // namespace morvantis
