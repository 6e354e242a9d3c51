#include "clock/AlarmFiring.h"

#include "alarm/AlarmMoment.h"
#include "alarm/AlarmRules.h"
#include "alarm/frmCustom.h"
#include "clock/ClockEnd.h"
#include "clock/FaceInput.h"
#include "clock/FacePainter.h"
#include "clock/WindowPlacement.h"
#include "platform/QtWindowSystem.h"
#include "platform/Sound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <thread>

namespace morvantis {

namespace {

using namespace std::chrono_literals;

// How often the wait for the alarm's sound looks at its input.
constexpr auto kAnswerPoll = 20ms;
// The pause after each step of the shake; it processes no events.
constexpr auto kShakePause = 12ms;
// Ringing until answered: for ten minutes at most, each round a second at least.
constexpr qint64 kRingForMs = 10 * 60 * 1000;
constexpr qint64 kRingAtLeastMs = 1000;

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

bool within(const QWidget* w, const QWidget* ancestor) {
    for (; w; w = w->parentWidget())
        if (w == ancestor)
            return true;
    return false;
}

} // namespace

// Installed for its lifetime: every way out of the wait takes the filter away.
class AlarmFiring::Holding {
public:
    explicit Holding(AlarmFiring& firing) : m_firing(firing) {
        m_firing.m_sounding = true;
        m_firing.m_openedWhileHeld.clear();
        qApp->installEventFilter(&m_firing);
    }
    ~Holding() {
        qApp->removeEventFilter(&m_firing);
        m_firing.m_sounding = false;
        m_firing.m_openedWhileHeld.clear();
    }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

private:
    AlarmFiring& m_firing;
};

AlarmFiring::AlarmFiring(Services& services, ClockState& state, const ClockEnd& end, const FaceModel& face,
                         const FaceInput& input, WindowPlacement& place, QWidget* clock)
    : QObject(clock), m_services(services), m_state(state), m_end(end), m_face(face), m_input(input),
      m_place(place), m_clock(clock) {
    // When the record rings next is worked out once, each time it is set or read, and when the
    // light goes on: moments that went by while it was out are not rung.
    const auto fromNow = [this] {
        m_due.setRecord(m_state.settings(), m_services.clock, m_services.clock.now().epoch);
    };
    connect(&m_state, &ClockState::alarmSet, this, fromNow);
    connect(&m_state, &ClockState::lightChanged, this, [fromNow](bool on) {
        if (on)
            fromNow();
    });
}

AlarmFiring::~AlarmFiring() {
    // The alert has no parent, so that the clock's modal dialogs never block it.
    delete m_custom.data();
}

void AlarmFiring::check() {
    if (m_firing)
        return;
    const AlarmDue::Verdict verdict =
        m_due.tick(m_state.settings(), m_services.clock, m_state.light(), m_services.clock.now().epoch);
    if (verdict == AlarmDue::Verdict::NotArmed) {
        m_state.setCaption(kAlarmNotSet);
        return;
    }
    if (verdict == AlarmDue::Verdict::NotDue)
        return;
    fire(m_due.rangFor());
}

void AlarmFiring::fire(std::int64_t moment) {
    m_firing = true;
    struct Done {
        bool& firing;
        ~Done() { firing = false; }
    } done{m_firing};
    const std::string wave = m_state.settings().AlarmPath;
    if (m_state.settings().MusicBolShake) {
        emit faceChanged();
        QCoreApplication::processEvents();
        if (m_end.begun())
            return;
        // From the sound's start on, input waits like all input while it plays: a click made
        // during the shake does not act once it is over.
        const Holding hold(*this);
        m_services.sound.play(wave, Sound::Mode::Asynchronous);
        shake();
        m_state.setCaption(kAlarmNotSet);
        m_state.setLight(false);
        emit faceChanged();
        QCoreApplication::processEvents();
        flushWindowSystem();
        if (m_end.begun())
            return;
        sound(wave);
        return;
    }
    m_rangFor = moment;
    if (!m_custom) {
        m_custom = new frmCustom(m_state.settings());
        connect(m_custom, &frmCustom::dismissed, this, &AlarmFiring::dismiss);
        connect(m_custom, &frmCustom::snoozed, this, &AlarmFiring::snooze);
        connect(m_custom, &frmCustom::answered, this, [this] {
            if (!m_sounding)
                return;
            m_answered = true;
            m_services.sound.stop();
        });
    }
    m_custom->show();
    m_custom->raise();
    m_custom->activateWindow();
    emit faceChanged();
    QCoreApplication::processEvents();
    // A window just shown can be drawn only once the window system has mapped it: allow it a moment.
    QElapsedTimer waited;
    waited.start();
    while (!m_end.begun() && m_custom && m_custom->isVisible() && m_custom->windowHandle() &&
           !m_custom->windowHandle()->isExposed() && waited.elapsed() < 250) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QCoreApplication::processEvents();
    }
    flushWindowSystem();
    if (m_end.begun())
        return;
    const Holding hold(*this);
    sound(wave, m_state.settings().RingUntilAnswered);
}

void AlarmFiring::sound(const std::string& wave, bool untilAnswered) {
    m_answered = false;
    QElapsedTimer ringing;
    ringing.start();
    do {
        QElapsedTimer round;
        round.start();
        m_services.sound.play(wave, Sound::Mode::Asynchronous);
        // Until the player says the sound is over (heard, or given up on a server that does not
        // answer), or it is answered.
        while (!m_services.sound.waitEnd(kAnswerPoll)) {
            QCoreApplication::processEvents();
            if (m_end.begun() || answered()) {
                m_services.sound.stop();
                return;
            }
        }
        // A sound that could not be played ends at once: the rings still come a second apart.
        while (untilAnswered && round.elapsed() < kRingAtLeastMs && !m_end.begun() && !answered()) {
            std::this_thread::sleep_for(kAnswerPoll);
            QCoreApplication::processEvents();
        }
    } while (untilAnswered && !m_end.begun() && !answered() && ringing.elapsed() < kRingForMs);
}

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
    m_state.setAlarm(recordAt(m_state.settings(), clock.at(at)));
    m_state.setCaption(alarmCaption(m_state.settings(), false));
    m_state.setLight(true);
    // Last: setting the record and the light work out the moment from the record's wall time.
    m_due.setMoment(at, clock);
    emit faceChanged();
}

bool AlarmFiring::answered() const {
    return m_answered || (m_custom && !m_state.settings().MusicBolShake && !m_custom->isVisible());
}

bool AlarmFiring::passesWhileSounding(QPoint pixels) const {
    // EXIT still ends the program while the alarm sounds after a shake.
    const std::optional<Element> e = FacePainter::elementAt(m_face, pixels);
    return (e && *e == Element::imgExitBut) || m_input.pressedElement() == Element::imgExitBut;
}

bool AlarmFiring::eventFilter(QObject* watched, QEvent* event) {
    if (!m_sounding)
        return false;
    if (event->type() == QEvent::Timer)
        return std::find(m_heldTimers.begin(), m_heldTimers.end(), watched) != m_heldTimers.end();
    // Input reaches windows through their widgets: the window system's own objects pass it on.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && event->type() == QEvent::Show && widget->isWindow() && widget->isModal())
        m_openedWhileHeld.emplace_back(widget);
    if (!widget || !isInput(event->type()))
        return false;
    if (m_custom && within(widget, m_custom))
        return false;
    // A message opened meanwhile (EXIT's failed save) is answered, or nothing could go on.
    for (const QPointer<QWidget>& opened : m_openedWhileHeld)
        if (opened && within(widget, opened))
            return false;
    if (widget == m_clock &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return !passesWhileSounding(mouse->position().toPoint());
    }
    return true;
}

// ---- The shake ----

void AlarmFiring::shakeTo(QPoint offsetTwips) {
    // Sent at once: the shake processes no events.
    if (m_place.shakeTo(offsetTwips))
        flushWindowSystem();
}

void AlarmFiring::shake() {
    // Five steps per cycle, in units of S twips: round the corners of a square and back to the start.
    struct Step {
        int left, top;
    };
    constexpr Step kSteps[] = {{40, 40}, {-80, 0}, {80, -80}, {-80, 0}, {40, 40}};
    constexpr int kCycles = 20;
    const int speed = m_state.settings().ShakeSpeed;
    m_place.shakeBegin();
    // Kept in twips from the start, so that rounding to pixels never drifts the window away.
    QPoint offset;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        for (const Step& step : kSteps) {
            if (step.left != 0) {
                offset.rx() += step.left * speed;
                shakeTo(offset);
            }
            if (step.top != 0) {
                offset.ry() += step.top * speed;
                shakeTo(offset);
            }
            std::this_thread::sleep_for(kShakePause);
        }
    }
    shakeTo(QPoint());
}

} // namespace morvantis
