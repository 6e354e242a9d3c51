#pragma once

#include "face/FaceElements.h"

#include <QObject>
#include <QPoint>

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QContextMenuEvent;
class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace morvantis {

class ClockEnd;
class FaceModel;

// Mouse button state as the handlers see it: left = 1, right = 2, middle = 4.
enum MouseButtons { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// The clock's mouse and keyboard: a press goes to the frontmost visible element under it, else to
// the case, and its release to whatever received the press; the menu key, Shift+F10 and the right
// button on the case open the buttons' menu.
class FaceInput : public QObject {
    Q_OBJECT
public:
    // A check item the menu shows below the buttons.
    struct MenuCheck {
        QString text; // an ampersand marks its key
        QString objectName;
        bool checked;
        bool enabled;
    };
    // The check items as they stand when the menu opens.
    std::function<std::vector<MenuCheck>()> menuChecks;

    FaceInput(QWidget& window, const FaceModel& face, const ClockEnd& end);

    void press(const QMouseEvent& event);
    void move(const QMouseEvent& event);
    void release(const QMouseEvent& event);
    // False when the key is not the menu's.
    bool key(const QKeyEvent& event);
    void contextMenu(const QContextMenuEvent& event);
    // The six buttons' actions as a menu at a point of the screen.
    void showMenu(QPoint globalPos);

    // The element that received the press still held, if any.
    std::optional<Element> pressedElement() const { return m_pressedElement; }

signals:
    void elementDown(morvantis::Element e);
    void elementUp(morvantis::Element e);
    // The case, not an element: x and y in twips relative to the client area.
    void caseDown(int button, float x, float y);
    void caseMove(int buttonState, float x, float y);
    // The menu's check item at this place in menuChecks was chosen, which turns it to checked.
    void checkChosen(int index, bool checked);

private:
    void forgetPress();
    QPoint menuPoint() const;

    QWidget& m_window;
    const FaceModel& m_face;
    const ClockEnd& m_end;
    std::optional<Element> m_pressedElement;
    bool m_pressOnBackground = false;
};

} // namespace morvantis
