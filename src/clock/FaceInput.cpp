#include "clock/FaceInput.h"

#include "clock/ClockEnd.h"
#include "clock/FacePainter.h"
#include "clock/WindowPlacement.h"
#include "platform/QtTwips.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>

namespace morvantis {

namespace {

int buttonState(Qt::MouseButtons buttons) {
    int state = 0;
    if (buttons & Qt::LeftButton)
        state |= LeftButton;
    if (buttons & Qt::RightButton)
        state |= RightButton;
    if (buttons & Qt::MiddleButton)
        state |= MiddleButton;
    return state;
}

// What the menu's user chose: a button, or a check item by its place.
struct MenuChoice {
    std::optional<Element> button;
    int check = -1;
    bool checked = false;
};

// The six buttons as a menu, then the check items.
MenuChoice chooseFromMenu(QWidget* parent, QPoint globalPos,
                          const std::vector<FaceInput::MenuCheck>& checks) {
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("mnuFace"));
    std::array<const QAction*, kFaceButtonCount> actions{};
    for (std::size_t i = 0; i < kFaceButtonCount; ++i) {
        QAction* action = menu.addAction(QString::fromLatin1(kFaceButtons[i].caption));
        action->setObjectName(QString::fromLatin1(kFaceButtons[i].menuName));
        actions[i] = action;
    }
    if (!checks.empty())
        menu.addSeparator();
    std::vector<const QAction*> checkActions;
    for (const FaceInput::MenuCheck& check : checks) {
        QAction* action = menu.addAction(check.text);
        action->setObjectName(check.objectName);
        action->setCheckable(true);
        action->setChecked(check.checked);
        action->setEnabled(check.enabled);
        checkActions.push_back(action);
    }
    const QAction* chosen = menu.exec(globalPos);
    MenuChoice choice;
    if (const auto* found = std::ranges::find(actions, chosen); found != actions.end()) {
        choice.button = kFaceButtons[static_cast<std::size_t>(found - actions.begin())].element;
    } else if (const auto it = std::ranges::find(checkActions, chosen); it != checkActions.end()) {
        choice.check = static_cast<int>(it - checkActions.begin());
        choice.checked = chosen->isChecked();
    }
    return choice; // nothing when the menu was left
}

} // namespace

FaceInput::FaceInput(QWidget& window, const FaceModel& face, const ClockEnd& end)
    : m_window(window), m_face(face), m_end(end) {}

void FaceInput::forgetPress() {
    m_pressedElement.reset();
    m_pressOnBackground = false;
}

void FaceInput::press(const QMouseEvent& event) {
    const QPointF pos = event.position();
    // No other button is held: whatever an earlier press left behind is over (a compositor keeps
    // the release that ends a system move).
    if (event.buttons() == event.button())
        forgetPress();
    if (!m_pressedElement && !m_pressOnBackground) {
        m_pressedElement = FacePainter::elementAt(m_face, pos.toPoint());
        m_pressOnBackground = !m_pressedElement;
    }
    if (m_pressedElement) {
        emit elementDown(*m_pressedElement);
        return;
    }
    emit caseDown(buttonState(event.button()), pixelsToTwips(pos.x()), pixelsToTwips(pos.y()));
    QWindow* handle = m_window.windowHandle();
    if (event.button() == Qt::LeftButton && windowSystemPlacesWindows() && handle &&
        handle->startSystemMove()) {
        // The compositor moves the window and keeps the release: the press ends here.
        m_pressOnBackground = false;
    }
}

void FaceInput::move(const QMouseEvent& event) {
    if (!m_pressOnBackground)
        return;
    const QPointF pos = event.position();
    emit caseMove(buttonState(event.buttons()), pixelsToTwips(pos.x()), pixelsToTwips(pos.y()));
}

void FaceInput::release(const QMouseEvent& event) {
    const std::optional<Element> pressed = m_pressedElement;
    if (event.buttons() == Qt::NoButton)
        forgetPress();
    // The release goes to the element that received the press, wherever the pointer is now.
    if (pressed)
        emit elementUp(*pressed);
}

QPoint FaceInput::menuPoint() const {
    // Below the alarm light, where the face's controls begin.
    return m_window.mapToGlobal(FacePainter::rectOf(Element::imgAlarmBut).bottomLeft());
}

bool FaceInput::key(const QKeyEvent& event) {
    const bool menuKey = event.key() == Qt::Key_Menu && event.modifiers() == Qt::NoModifier;
    const bool shiftF10 = event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier;
    if (!menuKey && !shiftF10)
        return false;
    showMenu(menuPoint());
    return true;
}

void FaceInput::contextMenu(const QContextMenuEvent& event) {
    if (event.reason() != QContextMenuEvent::Mouse) {
        showMenu(menuPoint());
        return;
    }
    // The right button on the case, not on the display or a button (they keep their own meaning),
    // and not while the left button drags the clock.
    if (FacePainter::elementAt(m_face, event.pos()) || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    showMenu(event.globalPos());
}

void FaceInput::showMenu(QPoint globalPos) {
    if (m_end.begun())
        return;
    const MenuChoice chosen =
        chooseFromMenu(&m_window, globalPos, menuChecks ? menuChecks() : std::vector<MenuCheck>());
    // The menu took the release of the button that opened it: no press is pending any more.
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        forgetPress();
    if (m_end.begun())
        return;
    // After the menu has closed: the action may open a modal dialog or end the program.
    if (chosen.button)
        emit elementUp(*chosen.button);
    else if (chosen.check >= 0)
        emit checkChosen(chosen.check, chosen.checked);
}

} // namespace morvantis
