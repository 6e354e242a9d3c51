#include "clock/AlarmFiring.h"

#include "alarm/AlarmMoment.h"
#include "alarm/AlarmRules.h"
#include "alarm/frmCustom.h"
#include "clock/ClockEnd.h"
#include "clock/ClockHold.h"
#include "clock/FaceInput.h"
#include "clock/FacePainter.h"
#include "clock/WindowPlacement.h"
#include "platform/QtWindowSystem.h"
#include "platform/Sound.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include <iterator>

namespace morvantis {

namespace {

// The pause after each step of the shake.
constexpr int kShakePauseMs = 12;
// Five steps per cycle, in units of S twips: round the corners of a square and back to the start.
struct ShakeStep {
    int left, top;
};
constexpr ShakeStep kShakeSteps[] = {{40, 40}, {-80, 0}, {80, -80}, {-80, 0}, {40, 40}};
constexpr int kShakeCycles = 20;
constexpr int kShakeStepCount = kShakeCycles * static_cast<int>(std::size(kShakeSteps));
// Ringing until answered: for ten minutes at most, each round a second at least.
constexpr qint64 kRingForMs = 10 * 60 * 1000;
constexpr qint64 kRingAtLeastMs = 1000;

} // namespace

AlarmFiring::AlarmFiring(Services& services, ClockState& state, const ClockEnd& end, ClockHold& hold,
                         const FaceModel& face, const FaceInput& input, WindowPlacement& place,
                         QWidget* clock)
    : QObject(clock), m_services(services), m_state(state), m_end(end), m_hold(hold), m_face(face),
      m_input(input), m_place(place) {
    // When the record rings next is worked out once, each time it is set or read, and when the
    // light goes on: moments that went by while it was out are not rung.
    const auto fromNow = [this] {
        m_due.setRecord(m_state.settings().alarm, m_services.clock, m_services.clock.now().epoch);
    };
    connect(&m_state, &ClockState::alarmSet, this, fromNow);
    connect(&m_state, &ClockState::lightChanged, this, [fromNow](bool on) {
        if (on)
            fromNow();
    });
    m_shakeTimer.setTimerType(Qt::PreciseTimer);
    m_shakeTimer.setInterval(kShakePauseMs);
    connect(&m_shakeTimer, &QTimer::timeout, this, &AlarmFiring::shakeStep);
    m_nextRound.setSingleShot(true);
    connect(&m_nextRound, &QTimer::timeout, this, &AlarmFiring::ring);
    // The end stops the sound (the clock window does) and whatever was to follow it.
    connect(&m_end, &ClockEnd::begins, this, [this] {
        m_shakeTimer.stop();
        m_nextRound.stop();
        m_phase = Phase::Quiet;
    });
}

AlarmFiring::~AlarmFiring() {
    // The alert has no parent, so that the clock's modal dialogs never block it.
    delete m_custom.data();
}

void AlarmFiring::check() {
    if (m_phase != Phase::Quiet)
        return;
    const AlarmDue::Verdict verdict =
        m_due.tick(m_state.settings().alarm, m_services.clock, m_state.light(), m_services.clock.now().epoch);
    if (verdict == AlarmDue::Verdict::NotArmed) {
        m_state.setCaption(kAlarmNotSet);
        return;
    }
    if (verdict == AlarmDue::Verdict::NotDue)
        return;
    fire(m_due.rangFor());
}

void AlarmFiring::fire(std::int64_t moment) {
    if (m_phase != Phase::Quiet || m_end.begun())
        return;
    m_wave = m_state.settings().AlarmPath;
    // The face just rendered is shown as the clock holds still; from the sound's start on, input
    // is dropped: a click made during the shake does not act once it is over.
    emit faceChanged();
    m_hold.begin(ClockHold::Input::Dropped, [this](const QEvent& event) { return passes(event); });
    if (m_state.settings().alarm.acts(AlarmAction::Shake)) {
        m_phase = Phase::Shaking;
        m_services.sound.play(m_wave, Sound::Mode::Asynchronous);
        m_place.shakeBegin();
        m_shakeStep = 0;
        m_shakeOffset = QPoint();
        shakeStep();
        m_shakeTimer.start();
        return;
    }
    m_rangFor = moment;
    if (!m_custom) {
        m_custom = new frmCustom(m_state.settings());
        connect(m_custom, &frmCustom::dismissed, this, &AlarmFiring::dismiss);
        connect(m_custom, &frmCustom::snoozed, this, &AlarmFiring::snooze);
        connect(m_custom, &frmCustom::answered, this, [this] {
            setStaysOnTop(*m_custom, false);
            demandAttention(*m_custom, false);
            if (m_phase != Phase::Ringing)
                return;
            m_nextRound.stop();
            m_services.sound.stop();
            over();
        });
    }
    // Above a maximised program until it is answered, whatever took the foreground meanwhile;
    // a program in the background may not take it, so the taskbar entry flashes too.
    setStaysOnTop(*m_custom, true);
    m_custom->show();
    m_custom->raise();
    m_custom->activateWindow();
    demandAttention(*m_custom, true);
    m_untilAnswered = m_state.settings().RingUntilAnswered;
    m_ringing.start();
    ring();
}

// ---- The shake ----

void AlarmFiring::shakeTo(QPoint offsetTwips) {
    // Sent at once, so that each step is seen, however busy the window system's queue.
    if (m_place.shakeTo(offsetTwips))
        flushWindowSystem();
}

void AlarmFiring::shakeStep() {
    if (m_shakeStep < kShakeStepCount) {
        const ShakeStep& step = kShakeSteps[m_shakeStep % std::size(kShakeSteps)];
        const int speed = m_state.settings().ShakeSpeed;
        ++m_shakeStep;
        // Within a step the left edge moves before the top.
        if (step.left != 0) {
            m_shakeOffset.rx() += step.left * speed;
            shakeTo(m_shakeOffset);
        }
        if (step.top != 0) {
            m_shakeOffset.ry() += step.top * speed;
            shakeTo(m_shakeOffset);
        }
        return; // the pause after the step is the timer's
    }
    m_shakeTimer.stop();
    shakeTo(QPoint());
    m_state.setCaption(kAlarmNotSet);
    m_state.setLight(false);
    emit faceChanged();
    // The sound once more, from its start: the clock holds still until it ends.
    m_phase = Phase::ShakeSound;
    m_services.sound.playThen(m_wave, [this] { over(); });
}

// ---- The alert's sound ----

void AlarmFiring::ring() {
    m_phase = Phase::Ringing;
    m_round.start();
    m_services.sound.playThen(m_wave, [this] { rang(); });
}

void AlarmFiring::rang() {
    const bool answered = !m_custom || !m_custom->isVisible();
    if (!m_untilAnswered || answered || m_ringing.elapsed() >= kRingForMs) {
        over();
        return;
    }
    // A sound that could not be played ends at once: the rings still come a second apart.
    const qint64 wait = kRingAtLeastMs - m_round.elapsed();
    if (wait > 0)
        m_nextRound.start(static_cast<int>(wait));
    else
        ring();
}

void AlarmFiring::over() {
    m_phase = Phase::Quiet;
    m_hold.release();
}

bool AlarmFiring::passes(const QEvent& event) const {
    if (event.type() != QEvent::MouseButtonPress && event.type() != QEvent::MouseButtonRelease)
        return false;
    // EXIT still ends the program while the alarm sounds.
    const auto& mouse = static_cast<const QMouseEvent&>(event);
    const std::optional<Element> e = FacePainter::elementAt(m_face, mouse.position().toPoint());
    return (e && passesWhileSounding(*e)) || m_input.pressedElement() == Element::imgExitBut;
}

// ---- Answers ----

void AlarmFiring::dismiss() {
    m_state.setLight(false);
    m_state.setCaption(kAlarmNotSet);
    emit alarmDismissed();
    emit faceChanged();
}

void AlarmFiring::snooze(int minutes) {
    // Minutes of real time from the moment it rang for (across a daylight-saving change too), or
    // from the press when that is already past; the record shows the new time and date.
    const Clock& clock = m_services.clock;
    const std::int64_t at = snoozedMoment(m_rangFor, minutes, clock.now().epoch);
    m_state.setAlarm(recordAt(m_state.settings().alarm, clock.at(at)));
    m_state.setCaption(alarmCaption(m_state.settings().alarm, false));
    m_state.setLight(true);
    // Last: setting the record and the light work out the moment from the record's wall time.
    m_due.setMoment(at, clock);
    emit faceChanged();
}

} // namespace morvantis
