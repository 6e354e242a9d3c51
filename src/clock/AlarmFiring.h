#pragma once

#include "alarm/AlarmDue.h"
#include "alarm/frmCustom.h"
#include "face/FaceElements.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <string>

class QEvent;
class QWidget;

namespace morvantis {

class ClockEnd;
class ClockHold;
class FaceInput;
class FaceModel;
class WindowPlacement;

// The alarm: its check at each tick, and its going off: the shake or the alert window, and the
// alarm's sound, told by the player's end and timers, never by holding the thread. While it
// sounds the clock holds still and its input is dropped, except the face's EXIT; the alert's OK
// and Snooze answer and stop the sound, and the rest of the program goes on.
class AlarmFiring : public QObject {
    Q_OBJECT
public:
    // The clock window's face, input and placement: read to tell EXIT's clicks, moved by the shake.
    AlarmFiring(Services& services, ClockState& state, const ClockEnd& end, ClockHold& hold,
                const FaceModel& face, const FaceInput& input, WindowPlacement& place, QWidget* clock);
    ~AlarmFiring() override;

    // The tick's check: the caption when the alarm is not armed, the alarm going off when it is
    // due.
    void check();
    // Whether this second is the armed alarm's own: the tick then runs every 100 ms.
    bool ringsIn(const LocalTime& now) const { return m_due.ringsIn(now.epoch, m_state.light()); }
    // The alarm goes off for this moment (seconds since 1970-01-01 00:00 UTC).
    void fire(std::int64_t moment);
    // Whether a press of this face button acts while the alarm sounds (EXIT).
    static bool passesWhileSounding(Element button) { return button == Element::imgExitBut; }

signals:
    // The face changed, to be shown now.
    void faceChanged();
    // The alert's OK dismissed the alarm: an open alarm dialog goes too.
    void alarmDismissed();

private:
    enum class Phase { Quiet, Shaking, ShakeSound, Ringing };

    // The shake's next step, on its timer; then the light goes out and the sound plays again.
    void shakeStep();
    void shakeTo(QPoint offsetTwips);
    // A round of the alert's sound; until answered, another when it ends.
    void ring();
    void rang();
    // The alarm has sounded, or was answered: the clock goes on.
    void over();
    // Whether an input event on the clock passes while the alarm sounds (EXIT's).
    bool passes(const QEvent& event) const;
    void dismiss();
    void snooze(int minutes);

    Services& m_services;
    ClockState& m_state;
    const ClockEnd& m_end;
    ClockHold& m_hold;
    const FaceModel& m_face;
    const FaceInput& m_input;
    WindowPlacement& m_place;
    AlarmDue m_due;
    QPointer<frmCustom> m_custom;
    std::int64_t m_rangFor = 0; // the moment the alert is for; a snooze counts from it
    Phase m_phase = Phase::Quiet;
    std::string m_wave;
    // The shake: its steps, its place in twips from the start (so that rounding never drifts).
    QTimer m_shakeTimer;
    int m_shakeStep = 0;
    QPoint m_shakeOffset;
    // Ringing until answered: each round a second at least, ten minutes at most.
    bool m_untilAnswered = false;
    QElapsedTimer m_ringing;
    QElapsedTimer m_round;
    QTimer m_nextRound;
};

} // namespace morvantis
