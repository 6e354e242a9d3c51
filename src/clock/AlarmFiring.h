#pragma once

#include "alarm/AlarmDue.h"
#include "alarm/frmCustom.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

namespace morvantis {

class ClockEnd;
class FaceInput;
class FaceModel;
class WindowPlacement;

// The alarm: its check at each tick, and its going off: the shake or the alert window, and the
// alarm's sound. While the sound
// plays the clock does not tick and takes no input, except that the alert's OK and Snooze, the
// face's EXIT and a message opened meanwhile still answer; OK and Snooze stop the sound, EXIT
// ends the program.
class AlarmFiring : public QObject {
    Q_OBJECT
public:
    // The clock window's face, input and placement: read to tell EXIT's clicks, moved by the shake.
    AlarmFiring(Services& services, ClockState& state, const ClockEnd& end, const FaceModel& face,
                const FaceInput& input, WindowPlacement& place, QWidget* clock);
    ~AlarmFiring() override;

    // The tick's check: the caption when the alarm is not armed, the alarm going off when it is
    // due. The ticks that come while it goes off do nothing.
    void check();
    // Whether this second is the armed alarm's own: the tick then runs every 100 ms.
    bool ringsIn(const LocalTime& now) const { return m_due.ringsIn(now.epoch, m_state.light()); }
    // The alarm goes off for this moment (seconds since 1970-01-01 00:00 UTC).
    void fire(std::int64_t moment);
    bool firing() const { return m_firing; }
    // Timers whose ticks are held back while the alarm sounds.
    void holdTicksOf(std::vector<QObject*> timers) { m_heldTimers = std::move(timers); }

signals:
    // The face changed, to be shown now: the clock is about to hold still.
    void faceChanged();
    // The alert's OK dismissed the alarm: an open alarm dialog goes too.
    void alarmDismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Input held while the alarm sounds: from its start to every way out of the wait.
    class Holding;
    void shake();
    void shakeTo(QPoint offsetTwips);
    // Plays the alarm's sound to its end, or until it is answered or the program ends; input is
    // held meanwhile. Until answered, the sound starts again as it ends, for ten minutes at most.
    void sound(const std::string& wave, bool untilAnswered = false);
    bool answered() const;
    // Whether a mouse event at this point of the clock may pass while the alarm sounds (EXIT's).
    bool passesWhileSounding(QPoint pixels) const;
    void dismiss();
    void snooze(int minutes);

    Services& m_services;
    ClockState& m_state;
    const ClockEnd& m_end;
    const FaceModel& m_face;
    const FaceInput& m_input;
    WindowPlacement& m_place;
    QWidget* m_clock;
    std::vector<QObject*> m_heldTimers;
    AlarmDue m_due;
    QPointer<frmCustom> m_custom;
    // Modal windows opened while the sound plays (a message of EXIT's): they take input.
    std::vector<QPointer<QWidget>> m_openedWhileHeld;
    std::int64_t m_rangFor = 0; // the moment the alert is for; a snooze counts from it
    bool m_firing = false;
    bool m_sounding = false;
    bool m_answered = false;
};

} // namespace morvantis
