#include "clock/ClockDialogs.h"

#include "alarm/frmMusic.h"
#include "info/frmAbout.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"

namespace morvantis {

ClockDialogs::ClockDialogs(Services& services, ClockState& state, QWidget& clock)
    : QObject(&clock), m_services(services), m_state(state), m_clock(clock) {}

namespace {
void bringToFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}
} // namespace

void ClockDialogs::showOptions() {
    if (!m_options) {
        m_options = new frmOptions(m_services, m_state, &m_clock);
        connect(m_options, &frmOptions::closed, this, [this] { m_options = nullptr; });
    }
    bringToFront(*m_options);
}

frmChoseSkin* ClockDialogs::chooser() const {
    return m_chooser;
}

frmChoseSkin& ClockDialogs::makeChooser(const SkinCatalog& catalog) {
    auto* chooser = new frmChoseSkin(m_services, catalog, &m_clock);
    m_chooser = chooser;
    connect(chooser, &frmChoseSkin::skinSelected, this, &ClockDialogs::skinChosen);
    connect(chooser, &QDialog::finished, this, [this, chooser] {
        if (m_chooser == chooser)
            m_chooser = nullptr;
    });
    return *chooser;
}

void ClockDialogs::showChooser() {
    if (m_chooser)
        bringToFront(*m_chooser);
}

void ClockDialogs::openAlarm() {
    auto* dialog = new frmMusic(m_services, m_state, &m_clock);
    m_music = dialog;
    dialog->open(); // window-modal
}

void ClockDialogs::openAbout(const QString& programFolder) {
    auto* about = new frmAbout(&m_clock, programFolder);
    about->open();
}

void ClockDialogs::closeAlarm() {
    if (m_music)
        m_music->unload();
}

} // namespace morvantis
