#pragma once

#include "alarm/AlarmDue.h"
#include "alarm/TickPlan.h"
#include "app/AlarmFiring.h"
#include "app/FacePainter.h"
#include "face/FaceModel.h"
#include "face/TimeRenderer.h"
#include "platform/Services.h"
#include "settings/Settings.h"
#include "settings/frmOptions.h"
#include "skins/SkinLoader.h"
#include "skins/frmChoseSkin.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace morvantis {

class frmSplash;
class frmChoseSkin;
class frmCustom;

// Mouse button state as the handlers see it: left = 1, right = 2, middle = 4.
enum MouseButtons { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// The clock: a borderless window whose whole surface is the skinned face.
class frmMain : public QWidget, private FiringHost {
    Q_OBJECT
public:
    frmMain(Services& services, Settings& settings, QWidget* parent = nullptr);
    ~frmMain() override;

    FaceModel& face() { return m_face; }
    const FaceModel& face() const { return m_face; }

    // Operations called by the timers, the buttons and start-up.
    void SetTime();
    void CheckMusic();
    void CheckHourly();
    void SayTime();
    void SetThemeElse();
    void GetMySetting();
    // False, with the reason in error, when the store could not be written.
    bool SaveMySetting(std::string& error);
    void CheckIfBefore(bool& past);

    // Window position in twips.
    float Left() const;
    float Top() const;
    void setLeft(float twips);
    void setTop(float twips);

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

    // The splash window, closed at the end of every skin load.
    void setSplash(frmSplash* splash);
    void closeSplash();

    // The one way the program ends, saving nothing: every window of the program closes, this one
    // included, then onEnd gets the status. Later calls change nothing.
    void endProgram(int status);
    bool ending() const override { return m_ending; }
    // What the application does once the windows are closed (tests record the status instead).
    std::function<void(int)> onEnd = [](int status) { QCoreApplication::exit(status); };

    // The skin chooser, created hidden on first request (which applies skin ThemeNo).
    frmChoseSkin& skinChooser();

    // The options dialog, created hidden (and filled from the settings) when it does not exist.
    frmOptions& options();
    bool hasOptions() const { return m_options != nullptr; }
    // What the options dialog's OK stored, applied in one place.
    void applyOptions(const Settings& changed);
    // Blinking colons, or both colons steady, as Blink says.
    void applyBlink();

    // Repaints what changed on the face since the last call; a tick that changes nothing paints nothing.
    void flushFace() override;

    QTimer* Timer1() { return &m_timer1; }
    QTimer* Timer2() { return &m_timer2; }

    // What the display shows, in words for a screen reader: the time, and the date fields shown.
    QString displayTime() const;
    QString displayDate();
    // The six buttons' actions as a menu, for the keyboard and for the right button on the case.
    void showFaceMenu(QPoint globalPos);

    // The alert window while it is loaded.
    frmCustom* alertWindow() const;
    // Where the window system will not let a window place itself, the shake moves the face inside it.
    bool shakeInsideWindow = false;
    // The pause after each step of the shake (a short sleep when empty); it processes no events.
    std::function<void()> shakePause;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    DateFields dateFields();
    void keepOnScreen();
    void elementMouseDown(Element e);
    void elementMouseUp(Element e);
    void updateMask();
    void shakeBegin() override;
    void shakeTo(QPoint offsetTwips) override;
    void pauseShake() override;
    bool passesWhileSounding(QPoint pixels) const override;
    void closeAlarmDialog() override;

    Services& m_services;
    Settings& m_settings;
    FaceModel m_face;
    FacePainter m_painter;
    QTimer m_timer1;
    QTimer m_timer2;
    BlinkSteps m_blinkSteps;
    std::int16_t m_pressX = 0;
    std::int16_t m_pressY = 0;
    std::optional<Element> m_pressedElement; // the element that received the last press
    bool m_pressOnBackground = false;
    QPointer<frmSplash> m_splash;
    QPointer<frmChoseSkin> m_chooser;
    QPointer<frmOptions> m_options;
    QPointer<QDialog> m_music; // the alarm dialog while it is open
    SkinLoader m_loader;
    bool m_fallingBack = false;
    bool m_ending = false;
    // The position read at start-up, written back where the window system does not tell it.
    std::optional<float> m_storedLeft, m_storedTop;
    AlarmDue m_due;
    AlarmFiring* m_firing; // a child of this window
    QPoint m_shakeStart;   // window position in pixels where the shake began
    QPoint m_faceOffset;   // pixels, while the face shakes inside the window
};

} // namespace morvantis
