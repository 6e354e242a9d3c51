#include "app/StartUp.h"

#include "app/frmMain.h"
#include "app/frmSplash.h"

namespace morvantis {

StartUp::StartUp() : m_services{m_clock, m_store, m_files, m_pictures, m_shell, m_prompts, m_sound} {}

StartUp::~StartUp() = default;

void StartUp::run() {
    // 1. Settings; the main window comes into being (hidden) and its timers start.
    m_main = std::make_unique<frmMain>(m_services, m_settings);
    m_main->GetMySetting();
    // 2. Blinking.
    if (m_settings.Blink) {
        m_main->Timer2()->start();
    } else {
        m_main->Timer2()->stop();
        m_main->face().show(Element::imgDDot);
        m_main->face().show(Element::imgDDot2);
    }
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
