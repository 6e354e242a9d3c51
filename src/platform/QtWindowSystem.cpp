#include "platform/QtWindowSystem.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace morvantis {

void setStaysOnTop(QWidget& window, bool on) {
    const Qt::WindowFlags flags = window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    if (flags == window.windowFlags())
        return;
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
}

void centreOnScreen(QWidget& window, const QScreen* screen) {
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The area panels and docks leave free: where there are none it is the whole screen.
    const QRect area = screen->availableGeometry();
    // The frame counts: a window made now knows it where the system tells it before the window
    // shows (Windows does; an X11 window manager tells only later, and the frame is then none).
    window.winId();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void closeAllWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        // Closing one may have closed (and deleted) another.
        if (QApplication::topLevelWidgets().contains(w))
            w->close();
    }
}

} // namespace morvantis
