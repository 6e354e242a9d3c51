#pragma once

namespace morvantis {

// The window system the clock is drawn through, chosen before the application object exists.
// A Wayland client cannot place its window, so on a Wayland session that has an X server too
// (XWayland) the clock goes through X11 and comes back where it was left; unless an output is
// scaled, where the compositor may enlarge X11 windows (blurred), or the user chose a platform
// (QT_QPA_PLATFORM, -platform).
class PlatformChoice {
public:
    // Makes the choice; Qt reads it from QT_QPA_PLATFORM while the application object is made.
    static PlatformChoice make(int argc, char* argv[]);
    // The user's own environment again, for the programs the clock opens.
    void restoreEnvironment() const;

private:
    bool m_set = false;
};

// Qt's own option, which Qt reads and removes from the command line.
bool isPlatformOption(const char* argument);

} // namespace morvantis
