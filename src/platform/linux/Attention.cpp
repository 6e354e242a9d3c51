#include "platform/QtWindowSystem.h"

#include <QApplication>

namespace morvantis {

// The urgency hint: the window manager clears it when the window is activated.
void demandAttention(QWidget& window, bool on) {
    if (on)
        QApplication::alert(&window, 0);
}

} // namespace morvantis
