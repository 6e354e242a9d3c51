#pragma once

#include "clock/frmMain.h"

namespace morvantis::test {

// The one door the tests and benchmarks have into the clock's private handlers: what a timer, a
// face button or a drag on the background does, called as the event would call it.
class ClockProbe {
public:
    explicit ClockProbe(frmMain& clock) : m_clock(clock) {}

    void Timer1_Timer() { m_clock.Timer1_Timer(); }
    void Timer2_Timer() { m_clock.Timer2_Timer(); }
    void renderNow() { m_clock.renderNow(); }
    void CheckMusic() { m_clock.CheckMusic(); }
    float Left() const { return m_clock.Left(); }
    float Top() const { return m_clock.Top(); }
    void Form_MouseDown(int button, float x, float y) { m_clock.Form_MouseDown(button, x, y); }
    void Form_MouseMove(int buttonState, float x, float y) { m_clock.Form_MouseMove(buttonState, x, y); }
    void imgAlarmBut_MouseDown() { m_clock.imgAlarmBut_MouseDown(); }
    void imgAlarmBut_MouseUp() { m_clock.imgAlarmBut_MouseUp(); }
    void imgOptBut_MouseUp() { m_clock.imgOptBut_MouseUp(); }
    void imgExitBut_MouseDown() { m_clock.imgExitBut_MouseDown(); }
    void imgExitBut_MouseUp() { m_clock.imgExitBut_MouseUp(); }
    void imgYearBut_MouseDown() { m_clock.imgYearBut_MouseDown(); }
    void imgYearBut_MouseUp() { m_clock.imgYearBut_MouseUp(); }
    frmChoseSkin& skinChooser() { return m_clock.skinChooser(); }
    bool holdingStill() const { return m_clock.holdingStill(); }
    qreal shapeRatio() const { return m_clock.shapeRatio(); }

private:
    frmMain& m_clock;
};

inline ClockProbe probe(frmMain& clock) {
    return ClockProbe(clock);
}

} // namespace morvantis::test
