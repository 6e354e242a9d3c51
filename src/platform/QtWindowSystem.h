#pragma once

class QScreen;
class QWidget;

namespace morvantis {

// Sends the window system what is queued, without processing any event.
void flushWindowSystem();

// Moves a top-level window to the middle of a screen's available area (the primary screen's
// when none is given): Left = (width - window width) / 2, Top likewise.
void centreOnScreen(QWidget& window, const QScreen* screen = nullptr);

// Whether the clock can be shown on every workspace: under X11, through the window manager
// (_NET_WM_DESKTOP and _NET_WM_STATE_STICKY). Before the window is mapped the property is set for
// the window manager to read at the map; afterwards the window manager is asked.
bool canShowOnEveryWorkspace();
void setOnEveryWorkspace(QWidget& window, bool on, bool mapped);

// Keeps a top-level window above other programs' windows, or no longer. The window system keeps
// the flag: QWidget::setWindowFlags would make the window anew (and hide it).
void setStaysOnTop(QWidget& window, bool on);

// A window that waits for an answer asks for the user's eye while it is not answered: its
// taskbar entry flashes (Windows) or is marked urgent (X11) from on until off.
void demandAttention(QWidget& window, bool on);

// Closes every top-level window, hidden ones too: the program ends with its last window.
void closeAllWindows();

} // namespace morvantis
