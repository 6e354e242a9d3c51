#pragma once

#include "face/FaceModel.h"
#include "platform/Services.h"
#include "settings/ClockState.h"
#include "skins/SkinCatalog.h"
#include "skins/SkinLoader.h"

#include <QPointer>
#include <QWidget>

namespace morvantis {

class ClockDialogs;
class ClockEnd;
class frmChoseSkin;

// Puts skins on the face. The catalog is read when a chooser is made for it (at start-up, and when
// SKINS finds none open); entry ThemeNo is then selected, or the first run's entry, and with no
// skin at all the program ends. A skin that fails to load is reported and the default skin taken
// instead, and a broken default ends the program.
class SkinSwitch {
public:
    SkinSwitch(Services& services, ClockState& state, FaceModel& face, QWidget& window, ClockDialogs& dialogs,
               ClockEnd& end);
    // Skin ThemePath on the face; with no chooser yet, the catalog read and its ThemeNo entry taken,
    // or the first run's entry, or with no skin at all the end.
    void apply();
    // The chooser, made hidden when there is none, which reads the catalog and applies entry
    // ThemeNo: alive until the event loop deletes it, even if the load closed it.
    frmChoseSkin& chooser();
    // An entry picked in the chooser: selected, loaded, and remembered as ThemeNo once loaded
    // (unless loading it ended the program).
    void choose(int index);
    // The splash window, closed at the end of every load.
    void setSplash(QWidget* splash) { m_splash = splash; }

private:
    void put();
    void closeSplash();

    Services& m_services;
    ClockState& m_state;
    FaceModel& m_face;
    QWidget& m_window;
    ClockDialogs& m_dialogs;
    ClockEnd& m_end;
    QPointer<QWidget> m_splash;
    SkinLoader m_loader;
    SkinCatalog m_catalog;
};

} // namespace morvantis
