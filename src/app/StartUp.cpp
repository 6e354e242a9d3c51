#include "app/StartUp.h"

#include "access/FaceAccessible.h"
#include "app/frmSplash.h"
#include "clock/frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <utility>

namespace morvantis {

StartUp::StartUp() : m_services{m_clock, m_store, m_files, m_pictures, m_shell, m_prompts, m_sound} {
    QObject::connect(&m_end, &ClockEnd::announcing, [this] {
        if (onEnding)
            onEnding();
    });
    // After the windows have closed. Start-up may end the program before the event loop runs:
    // exec() asks the end then.
    QObject::connect(&m_end, &ClockEnd::ended, [](int status) {
        QCoreApplication::exit(status); // leaves the event loop, or every loop start-up runs
    });
}

StartUp::~StartUp() = default;

int StartUp::exec() {
    run();
    // Start-up may have ended the program already, while no event loop ran to be left.
    if (const auto status = m_end.status())
        return *status;
    return QApplication::exec();
}

void StartUp::endSession() {
    m_end.saveAndEnd();
}

void StartUp::saveForSession() {
    std::string error; // said on standard error by the save
    if (!m_end.begun())
        m_end.save(error);
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
    m_main = std::make_unique<frmMain>(m_services, m_state, m_end);
    m_state.read(m_store, m_files);
    m_end.saveWith([this](std::string& error) { return m_state.save(m_store, m_files, error); });
    // 2. Blinking.
    m_main->applyBlink();
    // 3. The splash; 4. on its first tick the skin, then the clock.
    frmMain* main = m_main.get();
    auto* splash = new frmSplash([main] {
        // Once this turn is over (the clock's window sent to the screen, or a message about the
        // skin up): reading a PNG looks through every image format plugin there is first.
        QTimer::singleShot(0, main, [] {
            // 48 pixels is what panels show; the window system is sent every size the icon holds.
            QApplication::setWindowIcon(
                QIcon(QPixmap::fromImage(readResourcePicture(QStringLiteral(":/img/icon48.png")))));
        });
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
