#pragma once

class QScreen;
class QWidget;

namespace morvantis {

// Sends the window system what is queued, without processing any event.
void flushWindowSystem();

// Moves a top-level window to the middle of a screen's available area (the primary screen's
// when none is given): Left = (width - window width) / 2, Top likewise.
void centreOnScreen(QWidget& window, const QScreen* screen = nullptr);

// Closes every top-level window, hidden ones too: the program ends with its last window.
void closeAllWindows();

} // namespace morvantis
