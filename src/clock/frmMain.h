#pragma once

#include "clock/AlarmFiring.h"
#include "clock/ClockDialogs.h"
#include "clock/ClockEnd.h"
#include "clock/ClockHold.h"
#include "clock/FaceInput.h"
#include "clock/FacePainter.h"
#include "clock/SkinSwitch.h"
#include "clock/TickPlan.h"
#include "clock/WindowPlacement.h"
#include "clock/WindowStates.h"
#include "face/FaceModel.h"
#include "face/TimeRenderer.h"
#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace morvantis {

class frmChoseSkin;
namespace test {
class ClockProbe;
}

// The clock: a borderless window whose whole surface is the skinned face. It keeps the clock's
// handlers and coordinates: input, placement, the other windows, the skin switch and the alarm
// going off each have their own class. The settings, the light and the caption change only
// through the ClockState it is given, and the face follows what that announces; the program's end
// is the ClockEnd's to decide.
class frmMain : public QWidget {
    Q_OBJECT
public:
    frmMain(Services& services, ClockState& state, ClockEnd& end, QWidget* parent = nullptr);
    ~frmMain() override;

    FaceModel& face() { return m_face; }
    const FaceModel& face() const { return m_face; }

    // Loads skin ThemePath, falling back to the default skin; see SkinSwitch.
    void SetThemeElse() { m_skins.apply(); }
    void bringOnScreen() { m_place.bringOnScreen(); }

    // The splash window, closed at the end of every skin load.
    void setSplash(QWidget* splash) { m_skins.setSplash(splash); }

    bool ending() const { return m_end.begun(); }

    // Blinking colons, or both colons steady, as Blink says.
    void applyBlink();

    // Repaints what changed on the face since the last call; a tick that changes nothing paints nothing.
    void flushFace();

    // What the display shows, in words for a screen reader: the time, and the date fields shown.
    QString displayTime() const;
    QString displayDate() const;
    // A face button's action, as its release runs it: a screen reader's press. While the clock
    // holds still it waits, or is dropped, as a click would be.
    void pressButton(Element button);

signals:
    // The face was flushed to the window: a listening screen reader is told what changed.
    void faceShown();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { m_input.press(*event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_input.move(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_input.release(*event); }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override { m_input.contextMenu(*event); }
    void showEvent(QShowEvent* event) override;

private:
    // The one door tests have into the handlers below (tests/support/ClockProbe.h).
    friend class test::ClockProbe;

    // The handlers: the timers, the buttons and the face's background call them.
    void SetTime();
    // The face rendered at once, between ticks, after a change it must show without waiting for the next.
    void renderNow();
    void CheckMusic() { m_firing->check(); }
    // The chime and the spoken time sound while the clock holds still; both return at once.
    void CheckHourly();
    void SayTime();
    // Window position in twips.
    float Left() const { return m_place.left(); }
    float Top() const { return m_place.top(); }

    // Timer handlers.
    void Timer1_Timer();
    void Timer2_Timer();

    // Background mouse handlers; x and y in twips relative to the client area.
    void Form_MouseDown(int button, float x, float y);
    void Form_MouseMove(int buttonState, float x, float y);

    // Button handlers.
    void imgAlarmBut_MouseDown();
    void imgAlarmBut_MouseUp();
    void imgOptBut_MouseDown();
    void imgOptBut_MouseUp();
    void imgExitBut_MouseDown();
    void imgExitBut_MouseUp();
    void imgMontBut_MouseDown();
    void imgMontBut_MouseUp();
    void imgDateBut_MouseDown();
    void imgDateBut_MouseUp();
    void imgYearBut_MouseDown();
    void imgYearBut_MouseUp();

    // The skin chooser, created hidden on first request (which applies skin ThemeNo).
    frmChoseSkin& skinChooser() { return m_skins.chooser(); }
    // Whether the clock holds still while one of its sounds plays.
    bool holdingStill() const { return m_hold->holding(); }
    // The device-pixel ratio the window's shape was last given to the window system at.
    qreal shapeRatio() const { return m_shapeRatio; }

    // The state was read from the store: the window's place, the autostart entry, the alarm light.
    void takeLoadedState();
    struct ButtonHandlers;
    static const ButtonHandlers* buttonOf(Element e);
    void elementDown(Element e);
    void elementUp(Element e);
    // The end once begun: the timers stop and every window closes.
    void finish();
    // The face menu's check items: what they show, and one chosen.
    std::vector<FaceInput::MenuCheck> menuChecks();
    void menuCheckChosen(int index, bool checked);
    // The autostart entry decides whether the clock starts at login: the setting follows it.
    void followAutostart();
    // EXIT's end: every setting saved, status 0; a failed save is told and ends with status 1.
    void saveAndEnd();
    // Holding still: the face's timers stop, and start again where they ran, the tick at once.
    void holdBegan();
    void holdReleased();

    Services& m_services;
    ClockEnd& m_end;
    ClockState& m_state;
    const Settings& m_settings; // read through the state, changed only by it
    FaceModel m_face;
    FacePainter m_painter;
    QTimer m_timer1;
    QTimer m_timer2;
    BlinkSteps m_blinkSteps;
    std::int16_t m_pressX = 0;
    std::int16_t m_pressY = 0;
    ClockHold* m_hold;        // a child of this window
    bool m_timersRan = false; // the face's timers ran when the clock began to hold still
    FaceInput m_input;
    WindowPlacement m_place;
    ClockDialogs* m_dialogs; // a child of this window
    SkinSwitch m_skins;
    AlarmFiring* m_firing; // a child of this window
    KeepOnTop m_keepOnTop{*this};
    bool m_saving = false;
    qreal m_shapeRatio = 0; // 0 until shown
    bool m_reshaping = false;
};

} // namespace morvantis
