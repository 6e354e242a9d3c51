#include "app/StartUp.h"

#include "app/FaceAccessible.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"

#include <QApplication>

#include <utility>

namespace morvantis {

StartUp::StartUp() : m_services{m_clock, m_store, m_files, m_pictures, m_shell, m_prompts, m_sound} {}

StartUp::~StartUp() = default;

int StartUp::exec() {
    run();
    // Start-up may have ended the program already, while no event loop ran to be left.
    if (m_status)
        return *m_status;
    return QApplication::exec();
}

void StartUp::end(int status) {
    announceEnding();
    if (m_main)
        m_main->endProgram(status);
    else if (!m_status)
        m_status = status;
}

void StartUp::endSession() {
    announceEnding();
    if (!m_main || m_main->ending()) {
        end(0);
        return;
    }
    std::string error;
    end(m_main->SaveMySetting(error) ? 0 : 1);
}

void StartUp::announceEnding() {
    if (m_announced)
        return;
    m_announced = true;
    if (onEnding)
        onEnding();
}

void StartUp::setInterrupt(std::function<bool()> interrupted) {
    m_sound.setInterrupt(std::move(interrupted));
}

void StartUp::bringToFront() {
    if (!m_main || !m_main->isVisible())
        return;
    // Asked for because the user cannot find it: a clock left mostly off screen comes into view.
    m_main->bringOnScreen();
    m_main->raise();
    m_main->activateWindow();
}

void StartUp::run() {
    // 1. Settings; the main window comes into being (hidden) and its timers start.
    FaceAccessible::install(); // screen readers see the face's buttons, light and time
    m_main = std::make_unique<frmMain>(m_services, m_settings);
    QObject::connect(m_main.get(), &frmMain::endingBegins, m_main.get(), [this] { announceEnding(); });
    QObject::connect(m_main.get(), &frmMain::ended, m_main.get(), [this](int status) {
        m_status = status;
        QCoreApplication::exit(status); // leaves the event loop, or every loop start-up runs
    });
    m_main->GetMySetting();
    // 2. Blinking.
    m_main->applyBlink();
    // 3. The splash; 4. on its first tick the skin, then the clock.
    frmMain* main = m_main.get();
    auto* splash = new frmSplash([main] {
        main->SetThemeElse();
        if (main->ending())
            return;
        main->flushFace();
        main->show();
    });
    main->setSplash(splash);
    splash->show();
}

} // namespace morvantis
