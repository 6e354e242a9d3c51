#pragma once

#include "clock/ClockEnd.h"
#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "platform/QtPrompts.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/Services.h"
#include "platform/Sound.h"
#include "platform/SystemClock.h"
#include "settings/ClockState.h"

#include <functional>
#include <memory>

namespace morvantis {

class frmMain;

// The program's services, its state, its end and main window, and the order in which it starts.
class StartUp {
public:
    StartUp();
    ~StartUp();
    // Starts the clock and runs it until it ends; the program's exit status.
    int exec();
    // Ends the program with a status, saving nothing, also before the clock has started.
    void end(int status) { m_end.begin(status); }
    // The desktop session ends the clock: the settings are saved as EXIT saves them, then the
    // program ends with status 0, or 1 when the save failed (said on standard error).
    void endSession();
    // The session may end soon: the settings are saved as EXIT saves them, and the clock goes on.
    void saveForSession();
    // Raises and activates the clock window once it is shown (a second start asked for it).
    void bringToFront();
    // Called once as the program begins to end, whichever way, before anything is saved.
    std::function<void()> onEnding;

private:
    void run();

    SystemClock m_clock;
    QtSettingsStore m_store;
    QtFiles m_files;
    QtPictures m_pictures{std::chrono::seconds(2), pictureCacheFolder()};
    QtShell m_shell;
    QtPrompts m_prompts;
    LazySound m_sound{m_files};
    Services m_services;
    ClockEnd m_end;
    ClockState m_state;
    std::unique_ptr<frmMain> m_main;
};

} // namespace morvantis
