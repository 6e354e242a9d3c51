#pragma once

#include "alarm/AlarmDue.h"
#include "alarm/frmCustom.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <string>
#include <vector>

class QWidget;

namespace morvantis {

// What the alarm going off needs from the clock window.
class FiringHost {
public:
    virtual ~FiringHost() = default;
    virtual void flushFace() = 0;
    virtual bool ending() const = 0;
    // The shake: the clock moved by an offset in twips from where it stood when the shake began.
    virtual void shakeBegin() = 0;
    virtual void shakeTo(QPoint offsetTwips) = 0;
    // The pause after each step of the shake; it processes no events.
    virtual void pauseShake() = 0;
    // Whether a mouse event at this point of the clock may pass while the alarm sounds (EXIT's).
    virtual bool passesWhileSounding(QPoint pixels) const = 0;
    // The alert's OK dismisses the alarm: an open alarm dialog goes too.
    virtual void closeAlarmDialog() = 0;
};

// The alarm: its check at each tick, and its going off: the shake or the alert window, and the
// alarm's sound. While the sound
// plays the clock does not tick and takes no input, except that the alert's OK and Snooze, the
// face's EXIT and a message opened meanwhile still answer; OK and Snooze stop the sound, EXIT
// ends the program.
class AlarmFiring : public QObject {
    Q_OBJECT
public:
    AlarmFiring(Services& services, ClockState& state, FiringHost& host, QWidget* clock);
    ~AlarmFiring() override;

    // The tick's check: the caption when the alarm is not armed, the alarm going off when it is
    // due. The ticks that come while it goes off do nothing.
    void check();
    // The clock held itself still (a chime, the spoken time): the next check looks back over the gap.
    void ownBlockEnded() { m_due.ownBlockEnded(); }
    // The alarm went off for this moment.
    void fire(const LocalTime& moment);
    bool firing() const { return m_firing; }
    frmCustom* alertWindow() const { return m_custom; }
    // Timers whose ticks are held back while the alarm sounds.
    void holdTicksOf(std::vector<QObject*> timers) { m_heldTimers = std::move(timers); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Input held while the alarm sounds: from its start to every way out of the wait.
    class Holding;
    void shake();
    // Plays the alarm's sound to its end, or until it is answered or the program ends; input is
    // held meanwhile.
    void sound(const std::string& wave);
    bool answered() const;
    void dismiss();
    void snooze(int minutes);

    Services& m_services;
    ClockState& m_state;
    FiringHost& m_host;
    QWidget* m_clock;
    std::vector<QObject*> m_heldTimers;
    AlarmDue m_due;
    QPointer<frmCustom> m_custom;
    // Modal windows opened while the sound plays (a message of EXIT's): they take input.
    std::vector<QPointer<QWidget>> m_openedWhileHeld;
    LocalTime m_firedOn; // the moment the alarm went off for; a snooze counts from it
    bool m_firing = false;
    bool m_sounding = false;
    bool m_answered = false;
};

} // namespace morvantis
