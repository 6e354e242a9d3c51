#include "app/SkinSwitch.h"

#include "app/ClockDialogs.h"
#include "app/ClockEnd.h"
#include "app/FacePainter.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "skins/frmChoseSkin.h"

#include <QGuiApplication>
#include <QPointer>
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
    const QPointer<frmChoseSkin> chooser = &m_dialogs.chooser();
    if (m_end.begun() || !chooser)
        return;
    if (chooser->selectedText().empty()) {
        // No selection: with no skin at all nothing can be shown.
        chooser->setListIndex(firstRunEntry(chooser->count()));
        if (m_end.begun() || !chooser)
            return;
        if (!chooser->selectedText().empty()) {
            apply();
            closeSplash();
            return;
        }
        closeSplash();
        m_services.prompts.message(std::string(kNoSkinText), std::string(kNoSkinTitle),
                                   Prompts::Icon::Critical, Prompts::Buttons::Ok);
        m_end.begin(1);
        return;
    }
    // The budget of decoded pixels follows the sharpest screen the face may be drawn on.
    double ratio = 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        ratio = std::max(ratio, screen->devicePixelRatio());
    m_loader.setPixelBudget(skinPixelBudget(ratio));
    const std::string& path = m_state.settings().ThemePath;
    const SkinOutcome outcome = afterSkinLoad(m_loader.load(m_face, path), m_fallingBack, path);
    FacePainter::flush(m_window, m_face);
    closeSplash();
    if (outcome == SkinOutcome::Loaded)
        return;
    m_services.prompts.message(skinLoadErrorText(m_state.settings().ThemePath),
                               std::string(kSkinLoadErrorTitle), Prompts::Icon::Information,
                               Prompts::Buttons::Ok);
    if (outcome == SkinOutcome::DefaultBroken)
        m_end.begin(1);
    if (m_end.begun())
        return;
    m_state.set(&Settings::ThemePath,
                skinsFolderOf(m_services.files.programFolder()) + '/' + std::string(kDefaultSkin));
    m_fallingBack = true;
    apply();
    m_fallingBack = false;
}

} // namespace morvantis
