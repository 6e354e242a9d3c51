#pragma once

#include <string_view>
#include <vector>

namespace morvantis {

// The window system the clock is drawn through, chosen before the application object exists.
// A Wayland client cannot place its window, so on a Wayland session that has an X server too
// (XWayland) the clock goes through X11 and comes back where it was left; unless an output is
// scaled where X11 windows would be enlarged (blurred), or the user chose a platform
// (QT_QPA_PLATFORM, -platform).
class PlatformChoice {
public:
    // Makes the choice; Qt reads it from QT_QPA_PLATFORM while the application object is made.
    static PlatformChoice make(int argc, char* argv[]);
    // The user's own environment again, for the programs the clock opens.
    void restoreEnvironment() const;

    // Where Qt reads the choice from.
    static constexpr const char* kVariable = "QT_QPA_PLATFORM";

private:
    bool m_set = false;
};

// One Wayland output: its scale, its current mode and its logical size (0 when not told).
struct OutputLayout {
    int scale = 1;
    int modeWidth = 0, modeHeight = 0;
    int logicalWidth = 0, logicalHeight = 0;
};
// Whether X11 windows are drawn sharp and at their size on these outputs: every scaled output in
// the integer layout (its logical size is its mode's, as the compositor draws X11 windows
// unscaled there) and the X server's Xft.dpi 96 times the largest scale (Qt then draws at that
// scale itself). Fractional layouts enlarge X11 windows.
bool x11DrawsSharp(const std::vector<OutputLayout>& outputs, double xftDpi);
// Xft.dpi from the X resources (the root window's RESOURCE_MANAGER text); 0 when not there.
double xftDpiIn(std::string_view resources);

// Qt's own option, which Qt reads and removes from the command line.
bool isPlatformOption(const char* argument);

} // namespace morvantis
