#include "clock/WindowPlacement.h"

#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"
#include "settings/SettingsFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace morvantis {

bool windowSystemPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

float WindowPlacement::left() const {
    return pixelsToTwips(m_window.x());
}
float WindowPlacement::top() const {
    return pixelsToTwips(m_window.y());
}
void WindowPlacement::setLeft(float twips) {
    m_window.move(twipsToPixels(twips), m_window.y());
}
void WindowPlacement::setTop(float twips) {
    m_window.move(m_window.x(), twipsToPixels(twips));
}

void WindowPlacement::restore(std::optional<float> left, std::optional<float> top) {
    m_storedLeft = left;
    m_storedTop = top;
    if (windowSystemPlacesWindows())
        return;
    if (left)
        setLeft(*left);
    if (top)
        setTop(*top);
    keepOnScreen();
}

std::pair<float, float> WindowPlacement::toStore() const {
    // The window system does not tell where the window is: keep what was stored.
    if (windowSystemPlacesWindows())
        return {m_storedLeft.value_or(defaultPosition()), m_storedTop.value_or(defaultPosition())};
    return {left(), top()};
}

void WindowPlacement::keepOnScreen() {
    // A monitor may have gone since the last run: a window on no screen comes back centred.
    const QRect frame(m_window.pos(), m_window.size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        if (visible.width() >= 40 && visible.height() >= 40)
            return;
    }
    centreOnScreen(m_window);
}

void WindowPlacement::shakeBegin() {
    m_shakeStart = m_window.pos();
}

bool WindowPlacement::shakeTo(QPoint offsetTwips) {
    const QPoint pixels(twipsToPixels(offsetTwips.x()), twipsToPixels(offsetTwips.y()));
    if (windowSystemPlacesWindows()) {
        if (pixels == m_faceOffset)
            return false;
        m_faceOffset = pixels;
        m_window.repaint();
        return true;
    }
    const QPoint target = m_shakeStart + pixels;
    if (target == m_window.pos())
        return false;
    m_window.move(target);
    return true;
}

} // namespace morvantis
