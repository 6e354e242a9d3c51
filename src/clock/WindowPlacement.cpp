#include "clock/WindowPlacement.h"

#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"
#include "settings/SettingsFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

void WindowPlacement::bringOnScreen() {
    if (windowSystemPlacesWindows())
        return;
    const QRect frame(m_window.pos(), m_window.size());
    const QScreen* nearest = nullptr;
    qint64 bestArea = -1;
    int bestGap = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (area.contains(frame))
            return;
        // The screen holding most of the window; where it is on none, the closest one.
        const QRect shared = area.intersected(frame);
        const qint64 overlap = shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
        const int gap = std::max({area.left() - frame.right(), frame.left() - area.right(), 0}) +
                        std::max({area.top() - frame.bottom(), frame.top() - area.bottom(), 0});
        if (!nearest || overlap > bestArea || (overlap == 0 && bestArea == 0 && gap < bestGap)) {
            nearest = screen;
            bestArea = overlap;
            bestGap = gap;
        }
    }
    if (!nearest)
        return;
    const QRect area = nearest->availableGeometry();
    // A window larger than the screen keeps its top left corner in view.
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    m_window.move(x, y);
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
