#include "clock/SkinSwitch.h"

#include "clock/ClockDialogs.h"
#include "clock/ClockEnd.h"
#include "clock/FacePainter.h"
#include "platform/Prompts.h"
#include "skins/frmChoseSkin.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace morvantis {

SkinSwitch::SkinSwitch(Services& services, ClockState& state, FaceModel& face, QWidget& window,
                       ClockDialogs& dialogs, ClockEnd& end)
    : m_services(services), m_state(state), m_face(face), m_window(window), m_dialogs(dialogs), m_end(end),
      m_loader(services.files, services.pictures) {}

void SkinSwitch::closeSplash() {
    if (m_splash)
        m_splash->close();
}

void SkinSwitch::apply() {
    if (m_dialogs.chooser() && m_catalog.selected() >= 0) {
        put();
        return;
    }
    chooser();
    if (m_end.begun() || m_catalog.selected() >= 0)
        return;
    // ThemeNo names no entry: the first run's entry is taken, and with no skin at all nothing can
    // be shown.
    if (m_catalog.choose(m_state.settings().ThemeNo)) {
        choose(m_catalog.selected());
        return;
    }
    closeSplash();
    m_services.prompts.message(std::string(kNoSkinText), std::string(kNoSkinTitle), Prompts::Icon::Critical,
                               Prompts::Buttons::Ok);
    m_end.begin(1);
}

frmChoseSkin& SkinSwitch::chooser() {
    if (frmChoseSkin* open = m_dialogs.chooser())
        return *open;
    m_catalog = SkinCatalog::read(m_services.files);
    frmChoseSkin& view = m_dialogs.makeChooser(m_catalog);
    // Made afresh, it applies entry ThemeNo when there is one.
    choose(m_state.settings().ThemeNo);
    return view;
}

void SkinSwitch::choose(int index) {
    if (m_end.begun() || !m_catalog.select(index))
        return;
    if (frmChoseSkin* view = m_dialogs.chooser())
        view->showSelection();
    m_state.set(&Settings::ThemePath, m_catalog.path(index));
    put();
    if (!m_end.begun())
        m_state.set(&Settings::ThemeNo, static_cast<std::int16_t>(index));
}

void SkinSwitch::put() {
    if (m_end.begun())
        return;
    // The budget of decoded pixels follows the sharpest screen the face may be drawn on.
    double ratio = 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        ratio = std::max(ratio, screen->devicePixelRatio());
    m_loader.setPixelBudget(skinPixelBudget(ratio));
    const auto load = [this](const std::string& path) {
        m_state.set(&Settings::ThemePath, path);
        const bool loaded = m_loader.load(m_face, path);
        FacePainter::flush(m_window, m_face);
        closeSplash();
        return loaded;
    };
    // A message box runs the event loop, and with it anything, the program's end included.
    const auto failed = [this](const std::string& path) {
        m_services.prompts.message(skinLoadErrorText(path), std::string(kSkinLoadErrorTitle),
                                   Prompts::Icon::Information, Prompts::Buttons::Ok);
        return !m_end.begun();
    };
    if (putSkin(m_state.settings().ThemePath, m_catalog.defaultPath(), load, failed) ==
        SkinEnd::DefaultBroken)
        m_end.begin(1);
}

} // namespace morvantis
