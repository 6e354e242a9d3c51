#pragma once

#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace morvantis {

class frmChoseSkin;
class frmMusic;
class frmOptions;

// The clock's other windows, each created when first needed. The options and the alarm dialog ask
// the clock's state for their changes; the chooser's selection comes back as a signal, as loading
// the skin it names is the clock's own business.
class ClockDialogs : public QObject {
    Q_OBJECT
public:
    ClockDialogs(Services& services, ClockState& state, QWidget& clock);

    // The options dialog, created (filled from the settings) when it does not exist; shown, or
    // brought to the front keeping what its controls hold.
    void showOptions();
    // The skin chooser, created hidden on first request (which selects entry ThemeNo). A closed
    // chooser is gone for good: the next request creates it afresh.
    frmChoseSkin& chooser();
    void showChooser();

    // Modal to the clock's windows only, so that the alarm's alert, which has no parent, answers
    // above them; they return when closed and delete themselves.
    void execAlarm();
    void execAbout(const QString& programFolder);
    // The program's own close of an open alarm dialog: it leaves the alarm as it is.
    void closeAlarm();

signals:
    // A skin was selected in the chooser: to be loaded now, and its index remembered as ThemeNo
    // once loaded (unless loading it ended the program, and the chooser with it).
    void skinSelected(const QString& path);
    void skinRemembered(int index);

private:
    Services& m_services;
    ClockState& m_state;
    QWidget& m_clock;
    QPointer<frmOptions> m_options;
    QPointer<frmChoseSkin> m_chooser;
    QPointer<frmMusic> m_music;
};

} // namespace morvantis
