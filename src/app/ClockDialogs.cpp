#include "app/ClockDialogs.h"

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

frmChoseSkin& ClockDialogs::chooser() {
    if (m_chooser)
        return *m_chooser;
    // Known before its creation steps run: they load a skin, which asks for the chooser again.
    auto* chooser = new frmChoseSkin(m_services, m_state.settings(), &m_clock);
    m_chooser = chooser;
    connect(chooser, &frmChoseSkin::skinSelected, this,
            [this, alive = QPointer<QObject>(chooser)](int index, const QString& path) {
                emit skinSelected(path);
                if (alive)
                    emit skinRemembered(index);
            });
    connect(chooser, &QDialog::finished, this, [this, chooser] {
        if (m_chooser == chooser)
            m_chooser = nullptr;
    });
    chooser->Form_Load();
    return *chooser; // alive until the event loop deletes it, even if the load closed it
}

void ClockDialogs::showChooser() {
    bringToFront(chooser());
}

void ClockDialogs::execAlarm() {
    auto* dialog = new frmMusic(m_services, m_state, &m_clock);
    dialog->setWindowModality(Qt::WindowModal);
    m_music = dialog;
    dialog->exec();
}

void ClockDialogs::execAbout(const QString& programFolder) {
    auto* about = new frmAbout(&m_clock, programFolder);
    about->setWindowModality(Qt::WindowModal);
    about->exec();
}

void ClockDialogs::closeAlarm() {
    if (m_music)
        m_music->unload();
}

} // namespace morvantis
