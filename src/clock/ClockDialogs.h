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
class SkinCatalog;

// The clock's other windows, each created when first needed. The options and the alarm dialog ask
// the clock's state for their changes; the chooser's selection comes back as a signal, as loading
// the skin it names is the skin switch's business.
class ClockDialogs : public QObject {
    Q_OBJECT
public:
    ClockDialogs(Services& services, ClockState& state, QWidget& clock);

    // The options dialog, created (filled from the settings) when it does not exist; shown, or
    // brought to the front keeping what its controls hold.
    void showOptions();
    // The skin chooser while there is one. A closed chooser is gone for good: the next is made afresh.
    frmChoseSkin* chooser() const;
    // A new chooser, hidden, showing the catalog.
    frmChoseSkin& makeChooser(const SkinCatalog& catalog);
    void showChooser();

    // Modal to the clock's windows only, so that the alarm's alert, which has no parent, answers
    // above them; opened without an event loop of their own (they return at once), they delete
    // themselves when closed.
    void openAlarm();
    void openAbout(const QString& programFolder);
    // The program's own close of an open alarm dialog: it leaves the alarm as it is.
    void closeAlarm();

signals:
    // An entry of the catalog was selected in the chooser.
    void skinChosen(int index);

private:
    Services& m_services;
    ClockState& m_state;
    QWidget& m_clock;
    QPointer<frmOptions> m_options;
    QPointer<frmChoseSkin> m_chooser;
    QPointer<frmMusic> m_music;
};

} // namespace morvantis
