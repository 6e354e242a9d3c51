// The window system's services Windows gives its own way, or not at all: requests go at once,
// workspaces are not the program's to choose, and an alarm's taskbar entry flashes until answered.
#include "platform/QtWindowSystem.h"

#include <QWidget>

#include <windows.h>

namespace morvantis {

void flushWindowSystem() {}

bool canShowOnEveryWorkspace() {
    return false;
}

void setOnEveryWorkspace(QWidget&, bool, bool) {}

// Qt's QApplication::alert flashes a few times only; an alarm's entry flashes until it is
// answered, active or not (FLASHW_TIMER runs until FLASHW_STOP).
void demandAttention(QWidget& window, bool on) {
    if (!window.windowHandle())
        return;
    FLASHWINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = reinterpret_cast<HWND>(window.winId());
    info.dwFlags = on ? FLASHW_TRAY | FLASHW_TIMER : FLASHW_STOP;
    FlashWindowEx(&info);
}

} // namespace morvantis
