#include "clock/frmMain.h"

#include "alarm/AlarmRules.h"
#include "clock/TickPlan.h"
#include "platform/Autostart.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"
#include "platform/Say.h"
#include "platform/Sound.h"
#include "settings/SettingsFormat.h"
#include "sound/SoundRules.h"
#include "sound/SpokenTime.h"

#include <QApplication>
#include <QPaintEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace morvantis {

namespace {

std::int16_t roundToInt16(float v) {
    const float r = std::round(v);
    return static_cast<std::int16_t>(std::clamp(r, -32768.0f, 32767.0f));
}

} // namespace

frmMain::frmMain(Services& services, ClockState& state, ClockEnd& end, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services), m_end(end), m_state(state),
      m_settings(m_state.settings()), m_hold(new ClockHold(*this)), m_input(*this, m_face, m_end),
      m_place(*this), m_dialogs(new ClockDialogs(services, m_state, *this)),
      m_skins(services, m_state, m_face, *this, *m_dialogs, m_end),
      m_firing(new AlarmFiring(services, m_state, m_end, *m_hold, m_face, m_input, m_place, this)) {
    m_hold->setParent(this);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Main"));
    setFixedSize(twipsSize(kFaceWidthTwips, kFaceHeightTwips));
    if (windowSystemPlacesWindows()) {
        // The compositor shows the window's pixels as they are: where the skin or the shaking face
        // leaves the case, the window must be see-through, not black.
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    setMouseTracking(false);
    // Takes the keyboard when clicked: the menu key opens the buttons' menu.
    setFocusPolicy(Qt::StrongFocus);

    // Each tick plans the next: the face wakes the thread only when it can change. Both tick from
    // the window's creation on, shown or not.
    const auto startTimer = [this](QTimer& timer, const char* name, int ms, void (frmMain::*tick)()) {
        timer.setParent(this);
        timer.setObjectName(QLatin1String(name));
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(ms);
        connect(&timer, &QTimer::timeout, this, tick);
        timer.start();
    };
    startTimer(m_timer1, "Timer1", kTickMs, &frmMain::Timer1_Timer);
    startTimer(m_timer2, "Timer2", kBlinkMs, &frmMain::Timer2_Timer);
    connect(m_hold, &ClockHold::began, this, &frmMain::holdBegan);
    connect(m_hold, &ClockHold::released, this, &frmMain::holdReleased);

    connect(&m_end, &ClockEnd::begins, this, &frmMain::finish);
    connect(&m_state, &ClockState::loaded, this, &frmMain::takeLoadedState);
    connect(&m_state, &ClockState::saving, this, [this] {
        const auto [left, top] = m_place.toStore();
        m_state.setPosition(left, top);
    });
    connect(m_firing, &AlarmFiring::faceChanged, this, &frmMain::flushFace);
    connect(m_firing, &AlarmFiring::alarmDismissed, m_dialogs, &ClockDialogs::closeAlarm);
    connect(&m_input, &FaceInput::elementDown, this, &frmMain::elementDown);
    // The menu's choices too: while the clock holds still they wait or are dropped like clicks.
    connect(&m_input, &FaceInput::elementUp, this, &frmMain::pressButton);
    connect(&m_input, &FaceInput::caseDown, this, &frmMain::Form_MouseDown);
    connect(&m_input, &FaceInput::caseMove, this, &frmMain::Form_MouseMove);
    m_input.menuChecks = [this] { return menuChecks(); };
    connect(&m_input, &FaceInput::checkChosen, this, &frmMain::menuCheckChosen);

    // The face follows the state; the blink follows its setting. Until the saved alarm is read,
    // no alarm is set.
    if (m_state.caption().empty())
        m_state.setCaption(std::string(kAlarmNotSet));
    m_face.setCaption(m_state.caption());
    connect(&m_state, &ClockState::lightChanged, this, [this](bool on) {
        m_face.setVisible(Element::imgLight, on);
        flushFace();
    });
    connect(&m_state, &ClockState::captionChanged, this, [this](const QString& caption) {
        m_face.setCaption(caption.toStdString());
        flushFace();
    });
    connect(&m_state, &ClockState::settingChanged, this, [this](SettingId key) {
        switch (key) {
        case SettingId::Blink:
            applyBlink();
            flushFace();
            break;
        case SettingId::ShowSec:
        case SettingId::Hours24:
            renderNow();
            break;
        case SettingId::KeepOnTop:
            m_keepOnTop.set(m_settings.KeepOnTop);
            break;
        case SettingId::AllWorkspaces:
            if (isVisible())
                setOnEveryWorkspace(*this, m_settings.AllWorkspaces, true);
            break;
        default:
            break; // the rest is read where it acts: the tick, the chime, the alarm, the skin
        }
    });
    // The tick sleeps to the next second: a date box, or Cancel's restore, is drawn now instead.
    connect(&m_state, &ClockState::dateFieldsChanged, this, &frmMain::renderNow);
    connect(m_dialogs, &ClockDialogs::skinChosen, this, [this](int index) { m_skins.choose(index); });
}

frmMain::~frmMain() = default;

// ---- The tick ----

namespace {
// A planned tick wakes this long after its moment, so that it reads the second that has begun.
constexpr int kWakeAfterMs = 2;
} // namespace

void frmMain::Timer1_Timer() {
    SetTime();
    if (m_blinkSteps.tickSteps(m_services.clock.now()) && m_timer2.isActive())
        blinkColons(m_face, m_settings.ShowSec); // the blink's step on the second
    CheckMusic();
    CheckHourly();
    flushFace();
    const LocalTime now = m_services.clock.now();
    if (m_timer1.isActive())
        m_timer1.setInterval(msToNextTick(now, m_settings.HourlyPlay, m_firing->ringsIn(now)) + kWakeAfterMs);
}

void frmMain::Timer2_Timer() {
    blinkColons(m_face, m_settings.ShowSec);
    flushFace();
    if (m_timer2.isActive())
        m_timer2.setInterval(msToNextBlink(m_services.clock.now()) + kWakeAfterMs);
}

void frmMain::SetTime() {
    renderFace(m_face, readFaceTexts(m_services.clock),
               {m_settings.ShowSec, m_settings.Hours24, m_state.dateFields()});
}

void frmMain::renderNow() {
    // Holding still, the face stays as it stands: the tick after renders what changed meanwhile.
    if (ending() || m_hold->holding())
        return;
    SetTime();
    flushFace();
}

void frmMain::CheckHourly() {
    const LocalTime first = m_services.clock.now();
    const LocalTime second = m_services.clock.now();
    if (!chimeDue(first, second, m_settings.HourlyPlay))
        return;
    // The face just rendered is shown as the clock holds still; the clicks meanwhile wait.
    flushFace();
    m_hold->begin(ClockHold::Input::Waits);
    m_services.sound.playThen(m_settings.SoundPath, [this] { m_hold->release(); });
}

void frmMain::SayTime() {
    // The clock holds still while it speaks; a click meanwhile (SAY TIME again) acts afterwards.
    flushFace();
    m_hold->begin(ClockHold::Input::Waits);
    sayTime(m_services.clock, m_services.sound, m_services.files.programFolder(),
            [this] { m_hold->release(); });
}

void frmMain::holdBegan() {
    m_timersRan = m_timer1.isActive();
    m_timer1.stop();
    m_timer2.stop();
}

void frmMain::holdReleased() {
    if (ending() || !m_timersRan)
        return;
    // Ticks missed meanwhile are not made up: the next renders the time as it is now.
    m_timer1.start(0);
    if (m_settings.Blink)
        m_timer2.start(msToNextBlink(m_services.clock.now()) + kWakeAfterMs);
}

// ---- Options ----

void frmMain::applyBlink() {
    if (m_settings.Blink) {
        // Holding still, the colons blink again when the clock does.
        if (!m_timer2.isActive() && !m_hold->holding())
            m_timer2.start();
    } else {
        // Steady colons.
        m_timer2.stop();
        m_face.show(Element::imgDDot);
        m_face.show(Element::imgDDot2);
    }
}

// ---- The end ----

void frmMain::finish() {
    m_hold->drop();
    m_services.sound.stop();
    m_timer1.stop();
    m_timer2.stop();
    m_dialogs->closeAlarm(); // the program's own close: the alarm stays as it is
    closeAllWindows();
}

// ---- The menu's check items ----

namespace {
struct MenuCheckItem {
    const char* text;
    const char* name;
    SettingField<bool> setting;
    bool (*available)();
};
bool always() {
    return true;
}
// Shown below the six buttons, in this order; their keys differ from the buttons'.
constexpr MenuCheckItem kMenuChecks[] = {
    {"&Keep on top", "mnuKeepOnTop", &Settings::KeepOnTop, canKeepOnTop},
    {"On every &workspace", "mnuAllWorkspaces", &Settings::AllWorkspaces, canShowOnEveryWorkspace},
    {"Start at &login", "mnuStartAtLogin", &Settings::StartAtLogin, always},
    {"&Ring until answered", "mnuRingUntilAnswered", &Settings::RingUntilAnswered, always},
};
} // namespace

std::vector<FaceInput::MenuCheck> frmMain::menuChecks() {
    followAutostart(); // it may have changed from the command line meanwhile
    std::vector<FaceInput::MenuCheck> checks;
    for (const MenuCheckItem& item : kMenuChecks)
        checks.push_back({QString::fromLatin1(item.text), QString::fromLatin1(item.name),
                          m_settings.*item.setting.field, item.available()});
    return checks;
}

void frmMain::menuCheckChosen(int index, bool checked) {
    if (index < 0 || static_cast<std::size_t>(index) >= std::size(kMenuChecks))
        return;
    const MenuCheckItem& item = kMenuChecks[index];
    if (item.setting.id == SettingId::StartAtLogin) {
        QString error;
        if (!setAutostart(checked, QCoreApplication::applicationFilePath(), error)) {
            m_services.prompts.message((autostartEntryPath() + QStringLiteral(": ") + error).toStdString(),
                                       std::string(), Prompts::Icon::Critical, Prompts::Buttons::Ok);
            return;
        }
    }
    m_state.set(item.setting, checked);
}

void frmMain::followAutostart() {
    m_state.set(&Settings::StartAtLogin, autostartIsOn());
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Before the map: the window manager puts it on every workspace from the start.
    if (!event->spontaneous() && m_settings.AllWorkspaces)
        setOnEveryWorkspace(*this, true, false);
}

// ---- Settings ----

void frmMain::takeLoadedState() {
    followAutostart();
    m_place.restore(m_state.position().left, m_state.position().top);
    const DerivedAlarm alarm = deriveAlarmState(m_settings, m_services.clock);
    m_state.setLight(alarm.lightOn);
    m_state.setCaption(alarm.caption);
}

// ---- Position and dragging ----

void frmMain::Form_MouseDown(int, float x, float y) {
    m_pressX = roundToInt16(x);
    m_pressY = roundToInt16(y);
}

void frmMain::Form_MouseMove(int buttonState, float x, float y) {
    if (buttonState != LeftButton)
        return;
    m_place.setLeft(Left() + x - m_pressX);
    m_place.setTop(Top() + y - m_pressY);
}

// ---- Buttons ----

void frmMain::imgAlarmBut_MouseDown() {
    m_face.show(Element::imgAlarmButP);
}
void frmMain::imgAlarmBut_MouseUp() {
    m_face.hide(Element::imgAlarmButP);
    if (m_state.light()) {
        m_state.setLight(false);
        return;
    }
    m_state.setLight(true);
    flushFace();
    // The clock keeps ticking, and checking the armed alarm, while it is open.
    m_dialogs->openAlarm();
}

void frmMain::imgOptBut_MouseDown() {
    m_face.show(Element::imgOptButP);
}
void frmMain::imgOptBut_MouseUp() {
    m_face.hide(Element::imgOptButP);
    // Modeless; shown again it only comes to the front, keeping what its controls hold.
    m_dialogs->showOptions();
}

void frmMain::imgMontBut_MouseDown() {
    m_face.show(Element::imgMontButP);
}
void frmMain::imgMontBut_MouseUp() {
    m_face.hide(Element::imgMontButP);
    skinChooser(); // created, it loads skin ThemeNo, which may end the program
    if (!ending())
        m_dialogs->showChooser();
}

void frmMain::imgDateBut_MouseDown() {
    m_face.show(Element::imgDateButP);
}
void frmMain::imgDateBut_MouseUp() {
    m_face.hide(Element::imgDateButP);
    SayTime();
}

void frmMain::imgYearBut_MouseDown() {
    m_face.show(Element::imgYearButP);
}
void frmMain::imgYearBut_MouseUp() {
    m_face.hide(Element::imgYearButP);
    flushFace();
    // The clock keeps ticking underneath and takes no input until it closes.
    m_dialogs->openAbout(QString::fromStdString(m_services.files.programFolder()));
}

void frmMain::imgExitBut_MouseDown() {
    m_face.show(Element::imgExitButP);
}
void frmMain::imgExitBut_MouseUp() {
    m_face.hide(Element::imgExitButP);
    flushFace();
    saveAndEnd();
}

void frmMain::saveAndEnd() {
    // A second close while the failed save's message is open would save and tell again.
    if (m_saving || m_end.announced())
        return;
    m_saving = true;
    m_end.saveAndEnd([this](const std::string& error) {
        // A lost save is no normal exit: the user is told, and the exit status says so. An
        // alarm sound playing stops first: the program ends whatever the answer.
        m_services.sound.stop();
        m_services.prompts.message(error, std::string(), Prompts::Icon::Critical, Prompts::Buttons::Ok);
    });
}

// The handlers of kFaceButtons, row for row; a press on any other element does nothing of its own.
struct frmMain::ButtonHandlers {
    Element button;
    void (frmMain::*down)();
    void (frmMain::*up)();
};

const frmMain::ButtonHandlers* frmMain::buttonOf(Element e) {
    static constexpr ButtonHandlers kButtons[] = {
        {Element::imgAlarmBut, &frmMain::imgAlarmBut_MouseDown, &frmMain::imgAlarmBut_MouseUp},
        {Element::imgOptBut, &frmMain::imgOptBut_MouseDown, &frmMain::imgOptBut_MouseUp},
        {Element::imgMontBut, &frmMain::imgMontBut_MouseDown, &frmMain::imgMontBut_MouseUp},
        {Element::imgYearBut, &frmMain::imgYearBut_MouseDown, &frmMain::imgYearBut_MouseUp},
        {Element::imgDateBut, &frmMain::imgDateBut_MouseDown, &frmMain::imgDateBut_MouseUp},
        {Element::imgExitBut, &frmMain::imgExitBut_MouseDown, &frmMain::imgExitBut_MouseUp},
    };
    static_assert(
        std::ranges::equal(kButtons, kFaceButtons, {}, &ButtonHandlers::button, &FaceButton::element));
    const std::size_t i = findFaceButton(e);
    return i < kFaceButtonCount ? &kButtons[i] : nullptr;
}

void frmMain::elementDown(Element e) {
    if (const ButtonHandlers* b = buttonOf(e))
        (this->*b->down)();
    flushFace();
}

void frmMain::elementUp(Element e) {
    if (const ButtonHandlers* b = buttonOf(e))
        (this->*b->up)();
    if (!ending())
        flushFace();
}

// ---- Input: routed to the elements and the case ----

bool frmMain::event(QEvent* event) {
    // The window system holds the shape in device pixels: a screen of another ratio needs it anew.
    if (event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        || event->type() == QEvent::DevicePixelRatioChange
#endif
    )
        m_shapeRatio = FacePainter::reshape(*this);
    else if (event->type() == QEvent::Show && m_shapeRatio == 0)
        m_shapeRatio = devicePixelRatioF();
    return m_hold->takes(*event) || QWidget::event(event);
}

void frmMain::pressButton(Element button) {
    if (m_hold->takes([this, button] { pressButton(button); }, m_firing->passesWhileSounding(button)))
        return;
    elementUp(button);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    if (!m_input.key(*event))
        QWidget::keyPressEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closed by the window manager, a taskbar or the compositor: the user's last way out keeps
    // what was set, as EXIT does. The program's own close comes once the end has begun.
    if (!ending())
        saveAndEnd();
    // The end closes every other window, and this one as the event is accepted; while a failed
    // save is being told, the window stays.
    if (ending())
        QWidget::closeEvent(event);
    else
        event->ignore();
}

// ---- Painting ----

void frmMain::flushFace() {
    FacePainter::flush(*this, m_face);
    // Only while a screen reader listens: nothing is computed or sent otherwise.
    emit faceShown();
}

void frmMain::paintEvent(QPaintEvent* event) {
    // A ratio can also change with no change of screen (the screen's own scale set anew), and then
    // the whole window is painted again: its shape follows once the paint is over.
    if (m_shapeRatio != 0 && devicePixelRatioF() != m_shapeRatio && !m_reshaping) {
        m_reshaping = true;
        QTimer::singleShot(0, this, [this] {
            m_reshaping = false;
            m_shapeRatio = FacePainter::reshape(*this);
        });
    }
    m_painter.paintWindow(*this, m_face, event->rect(), m_place.faceOffset());
}

// ---- Screen readers ----

QString frmMain::displayTime() const {
    return QString::fromStdString(
        displayedTime(m_services.clock.now(), m_settings.Hours24, m_settings.ShowSec));
}

QString frmMain::displayDate() const {
    return QString::fromStdString(displayedDate(m_services.clock.now(), m_state.dateFields()));
}

} // namespace morvantis
