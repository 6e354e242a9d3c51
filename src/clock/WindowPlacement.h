#pragma once

#include <QPoint>

#include <optional>
#include <utility>

class QWidget;

namespace morvantis {

// Where the window system places windows itself and a window cannot place or find itself.
bool windowSystemPlacesWindows();

// Where the clock's window stands, in twips: the stored position applied at start and kept on a
// screen, the position to store, and the shake's steps. Where the window system places windows
// itself, the stored position is kept as it was and the shake moves the face inside the window.
class WindowPlacement {
public:
    explicit WindowPlacement(QWidget& window) : m_window(window) {}

    float left() const;
    float top() const;
    void setLeft(float twips);
    void setTop(float twips);

    void restore(std::optional<float> left, std::optional<float> top);
    // Unless the whole window lies on one screen, moves it fully onto the nearest one, as little
    // as it takes. Nothing where the window system places windows.
    void bringOnScreen();
    std::pair<float, float> toStore() const;

    void shakeBegin();
    // Moves the window, or the face inside it, by an offset in twips from where the shake began;
    // false when that is where it already is.
    bool shakeTo(QPoint offsetTwips);
    // Pixels, while the face shakes inside the window.
    QPoint faceOffset() const { return m_faceOffset; }

private:
    void keepOnScreen();

    QWidget& m_window;
    std::optional<float> m_storedLeft, m_storedTop;
    QPoint m_shakeStart; // window position in pixels where the shake began
    QPoint m_faceOffset;
};

} // namespace morvantis
