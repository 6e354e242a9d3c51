#include "platform/QtWindowSystem.h"

#include <QWidget>

#include <windows.h>

namespace morvantis {

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
