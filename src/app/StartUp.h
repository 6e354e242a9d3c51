#pragma once

#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "platform/QtPrompts.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/Services.h"
#include "platform/Sound.h"
#include "platform/SystemClock.h"
#include "settings/Settings.h"

#include <functional>
#include <memory>
#include <optional>

namespace morvantis {

class frmMain;

// The program's services, settings and main window, and the order in which it starts.
class StartUp {
public:
    StartUp();
    ~StartUp();
    // Starts the clock and runs it until it ends; the program's exit status.
    int exec();
    // Ends the program with a status (see frmMain::endProgram), also before the clock has started.
    void end(int status);
    // The desktop session ends the clock: the settings are saved as EXIT saves them, then the
    // program ends with status 0, or 1 when the save failed (said on standard error).
    void endSession();
    // Read by a sound in progress, which stops once it says so.
    void setInterrupt(std::function<bool()> interrupted);
    // Raises and activates the clock window once it is shown (a second start asked for it).
    void bringToFront();
    // Called once as the program begins to end, whichever way, before anything is saved.
    std::function<void()> onEnding;

private:
    void run();
    void announceEnding();

    SystemClock m_clock;
    QtSettingsStore m_store;
    QtFiles m_files;
    QtPictures m_pictures;
    QtShell m_shell;
    QtPrompts m_prompts;
    LazySound m_sound{m_files};
    Services m_services;
    Settings m_settings;
    std::unique_ptr<frmMain> m_main;
    // Set once the program has ended; start-up may end it before the event loop runs.
    std::optional<int> m_status;
    bool m_announced = false;
};

} // namespace morvantis
