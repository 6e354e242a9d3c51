#include "app/frmMain.h"

#include "alarm/AlarmRules.h"
#include "alarm/TickPlan.h"
#include "alarm/frmCustom.h"
#include "alarm/frmMusic.h"
#include "app/FaceAccessible.h"
#include "app/FaceMenu.h"
#include "app/frmSplash.h"
#include "info/frmAbout.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "platform/QtPictures.h"
#include "platform/QtTwips.h"
#include "platform/Sound.h"
#include "settings/SettingsFormat.h"
#include "skins/SkinRules.h"
#include "skins/frmChoseSkin.h"
#include "sound/SoundRules.h"
#include "sound/SpokenTime.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace morvantis {

namespace {

bool windowSystemPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

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

// Hidden windows too: the program ends with its last window.
void closeAllWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (QApplication::topLevelWidgets().contains(w))
            w->close();
    }
}

std::int16_t roundToInt16(float v) {
    const float r = std::round(v);
    return static_cast<std::int16_t>(std::clamp(r, -32768.0f, 32767.0f));
}

} // namespace

frmMain::frmMain(Services& services, Settings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services), m_settings(settings),
      m_loader(services.files, services.pictures),
      m_firing(new AlarmFiring(services, settings, m_face, *this, this)) {
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
    FaceAccessible::install();

    // Each tick plans the next: the face wakes the thread only when it can change.
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kTickMs);
    connect(&m_timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setTimerType(Qt::PreciseTimer);
    m_timer2.setInterval(kBlinkMs);
    connect(&m_timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    // Both tick from the window's creation on, shown or not.
    m_timer1.start();
    m_timer2.start();
    m_firing->holdTicksOf({&m_timer1, &m_timer2});
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
    if (m_timer1.isActive())
        m_timer1.setInterval(
            msToNextTick(m_services.clock.now(), m_settings, m_face.isVisible(Element::imgLight)) +
            kWakeAfterMs);
}

void frmMain::Timer2_Timer() {
    blinkColons(m_face, m_settings.ShowSec);
    flushFace();
    if (m_timer2.isActive())
        m_timer2.setInterval(msToNextBlink(m_services.clock.now()) + kWakeAfterMs);
}

void frmMain::SetTime() {
    renderFace(m_face, readFaceTexts(m_services.clock),
               {m_settings.ShowSec, m_settings.Hours24, dateFields()});
}

DateFields frmMain::dateFields() {
    // The options dialog's boxes, not the settings: they act on the face before OK.
    return options().dateFields();
}

// ---- Options ----

frmOptions& frmMain::options() {
    if (m_options)
        return *m_options;
    auto* options = new frmOptions(m_services, m_settings, this);
    m_options = options;
    connect(options, &frmOptions::stored, this, &frmMain::applyOptions);
    connect(options, &frmOptions::closed, this, [this] { m_options = nullptr; });
    return *options;
}

void frmMain::applyOptions(const Settings& changed) {
    m_settings = changed;
    applyBlink();
    flushFace();
}

void frmMain::applyBlink() {
    if (m_settings.Blink) {
        if (!m_timer2.isActive())
            m_timer2.start();
    } else {
        // Steady colons.
        m_timer2.stop();
        m_face.show(Element::imgDDot);
        m_face.show(Element::imgDDot2);
    }
}

void frmMain::CheckMusic() {
    // The alert processes events and plays sounds: the ticks that come meanwhile do nothing.
    if (m_firing->firing())
        return;
    const bool armed = m_face.isVisible(Element::imgLight);
    const AlarmDue::Verdict verdict = m_due.tick(m_settings, armed, m_services.clock.now());
    if (verdict == AlarmDue::Verdict::NotArmed) {
        m_face.setCaption(kAlarmNotSet);
        return;
    }
    if (verdict == AlarmDue::Verdict::NotDue)
        return;
    m_firing->fire(m_due.firedMoment());
    m_due.ownBlockEnded();
}

frmCustom* frmMain::alertWindow() const {
    return m_firing->alertWindow();
}

// ---- The shake ----

void frmMain::shakeBegin() {
    m_shakeStart = QPoint(x(), y());
}

void frmMain::pauseShake() {
    if (shakePause)
        shakePause();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(12));
}

void frmMain::shakeTo(QPoint offsetTwips) {
    const QPoint pixels(twipsToPixels(offsetTwips.x()), twipsToPixels(offsetTwips.y()));
    if (shakeInsideWindow || windowSystemPlacesWindows()) {
        if (pixels == m_faceOffset)
            return;
        m_faceOffset = pixels;
        repaint();
    } else {
        const QPoint target = m_shakeStart + pixels;
        if (target == pos())
            return;
        move(target);
    }
    flushWindowSystem();
}

void frmMain::closeAlarmDialog() {
    if (m_music)
        m_music->close(); // the program's own close: it leaves the alarm as it is
}

bool frmMain::passesWhileSounding(QPoint pixels) const {
    // EXIT still ends the program while the alarm sounds after a shake.
    const std::optional<Element> e = FacePainter::elementAt(m_face, pixels);
    return (e && *e == Element::imgExitBut) || m_pressedElement == Element::imgExitBut;
}

void frmMain::CheckHourly() {
    const LocalTime first = m_services.clock.now();
    const LocalTime second = m_services.clock.now();
    if (!chimeDue(first, second, m_settings.HourlyPlay))
        return;
    // The face just rendered is shown before the sound holds the clock still.
    flushFace();
    QCoreApplication::processEvents();
    if (m_ending) // EXIT was pressed in there
        return;
    m_services.sound.play(m_settings.SoundPath, Sound::Mode::Synchronous);
    m_due.ownBlockEnded();
}

void frmMain::SayTime() {
    // Blocks the clock while it speaks; input that arrives meanwhile is handled afterwards.
    sayTime(m_services.clock, m_services.sound, m_services.files.programFolder());
    m_due.ownBlockEnded();
}

// ---- Skins ----

frmChoseSkin& frmMain::skinChooser() {
    if (m_chooser)
        return *m_chooser;
    // Known before its creation steps run: they load a skin, which asks for the chooser again.
    auto* chooser = new frmChoseSkin(m_services, m_settings, this);
    m_chooser = chooser;
    // The chooser says what was selected; loading it is this window's business.
    connect(chooser, &frmChoseSkin::skinSelected, this,
            [this, alive = QPointer<frmChoseSkin>(chooser)](int index, const QString& path) {
                m_settings.ThemePath = path.toStdString();
                SetThemeElse();
                if (alive)
                    m_settings.ThemeNo = static_cast<std::int16_t>(index);
            });
    // A closed chooser is gone for good: the next request creates it afresh.
    connect(chooser, &QDialog::finished, this, [this, chooser] {
        if (m_chooser == chooser)
            m_chooser = nullptr;
    });
    chooser->Form_Load();
    return *chooser; // alive until the event loop deletes it, even if the load closed it
}

namespace {} // namespace

void frmMain::SetThemeElse() {
    // Loading a skin may run message boxes, and with them anything else, such as the end of the program.
    const QPointer<frmChoseSkin> chooser = &skinChooser();
    if (m_ending || !chooser)
        return;
    if (chooser->selectedText().empty()) {
        // No selection: with no skin at all nothing can be shown.
        chooser->setListIndex(firstRunEntry(chooser->count()));
        if (m_ending || !chooser)
            return;
        if (!chooser->selectedText().empty()) {
            SetThemeElse();
            closeSplash();
            return;
        }
        closeSplash();
        m_services.prompts.message(std::string(kNoSkinText), std::string(kNoSkinTitle),
                                   Prompts::Icon::Critical, Prompts::Buttons::Ok);
        endProgram(1);
        return;
    }
    // The budget of decoded pixels follows the sharpest screen the face may be drawn on.
    double ratio = 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        ratio = std::max(ratio, screen->devicePixelRatio());
    m_loader.setPixelBudget(skinPixelBudget(ratio));
    const SkinOutcome outcome =
        afterSkinLoad(m_loader.load(m_face, m_settings.ThemePath), m_fallingBack, m_settings.ThemePath);
    flushFace();
    closeSplash();
    if (outcome == SkinOutcome::Loaded)
        return;
    m_services.prompts.message(skinLoadErrorText(m_settings.ThemePath), std::string(kSkinLoadErrorTitle),
                               Prompts::Icon::Information, Prompts::Buttons::Ok);
    if (outcome == SkinOutcome::DefaultBroken)
        endProgram(1);
    if (m_ending)
        return;
    m_settings.ThemePath = skinsFolderOf(m_services.files.programFolder()) + '/' + std::string(kDefaultSkin);
    m_fallingBack = true;
    SetThemeElse();
    m_fallingBack = false;
}

void frmMain::endProgram(int status) {
    if (m_ending)
        return;
    m_ending = true;
    m_timer1.stop();
    m_timer2.stop();
    closeAllWindows();
    onEnd(status);
}

// ---- Settings ----

void frmMain::GetMySetting() {
    const std::string folder = m_services.files.programFolder();
    const StoredPosition pos = readSettings(m_services.store, m_settings, folder);
    reformDefaultSounds(m_settings, folder, [this](const std::string& path) {
        return m_services.files.resolve(path).has_value();
    });
    m_storedLeft = pos.left;
    m_storedTop = pos.top;
    if (!windowSystemPlacesWindows()) {
        if (pos.left)
            setLeft(*pos.left);
        if (pos.top)
            setTop(*pos.top);
        keepOnScreen();
    }
    const DerivedAlarm alarm = deriveAlarmState(m_settings, m_services.clock);
    m_face.setVisible(Element::imgLight, alarm.lightOn);
    m_face.setCaption(alarm.caption);
}

void frmMain::keepOnScreen() {
    // A monitor may have gone since the last run: a window on no screen comes back centred.
    const QRect frame(pos(), size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        if (visible.width() >= 40 && visible.height() >= 40)
            return;
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

bool frmMain::SaveMySetting(std::string& error) {
    m_settings.LightOn = m_face.isVisible(Element::imgLight);
    float left = Left(), top = Top();
    if (windowSystemPlacesWindows()) {
        // The window system does not tell where the window is: keep what was stored.
        left = m_storedLeft.value_or(1500.0f);
        top = m_storedTop.value_or(1500.0f);
    }
    if (writeSettings(m_services.store, m_settings, left, top, m_services.files.programFolder(), error))
        return true;
    std::fprintf(stderr, "morvantis: %s\n", error.c_str());
    return false;
}

void frmMain::CheckIfBefore(bool& past) {
    past = checkIfBefore(m_settings, m_services.clock);
}

// ---- Position ----

float frmMain::Left() const {
    return pixelsToTwips(x());
}
float frmMain::Top() const {
    return pixelsToTwips(y());
}
void frmMain::setLeft(float twips) {
    move(twipsToPixels(twips), y());
}
void frmMain::setTop(float twips) {
    move(x(), twipsToPixels(twips));
}

// ---- Dragging ----

void frmMain::Form_MouseDown(int, float x, float y) {
    m_pressX = roundToInt16(x);
    m_pressY = roundToInt16(y);
}

void frmMain::Form_MouseMove(int buttonState, float x, float y) {
    if (buttonState != LeftButton)
        return;
    setLeft(Left() + x - m_pressX);
    setTop(Top() + y - m_pressY);
}

// ---- Buttons ----

void frmMain::imgAlarmBut_MouseDown() {
    m_face.show(Element::imgAlarmButP);
}
void frmMain::imgAlarmBut_MouseUp() {
    m_face.hide(Element::imgAlarmButP);
    if (m_face.isVisible(Element::imgLight)) {
        m_face.hide(Element::imgLight);
        return;
    }
    m_face.show(Element::imgLight);
    flushFace();
    // Modal: the clock keeps ticking, and checking the armed alarm, while it is open. It deletes itself.
    // Modal to the clock's windows only, so that the alarm's alert, which has no parent, answers above it.
    auto* dialog = new frmMusic(m_services, m_settings, this);
    dialog->setWindowModality(Qt::WindowModal);
    m_music = dialog;
    connect(dialog, &frmMusic::lightOff, this, [this] {
        m_face.hide(Element::imgLight);
        flushFace();
    });
    connect(dialog, &frmMusic::captionChanged, this, [this](const QString& caption) {
        m_face.setCaption(caption.toStdString());
        flushFace();
    });
    dialog->exec();
}

void frmMain::imgOptBut_MouseDown() {
    m_face.show(Element::imgOptButP);
}
void frmMain::imgOptBut_MouseUp() {
    m_face.hide(Element::imgOptButP);
    // Modeless; shown again it only comes to the front, keeping what its controls hold.
    frmOptions& dialog = options();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void frmMain::imgMontBut_MouseDown() {
    m_face.show(Element::imgMontButP);
}
void frmMain::imgMontBut_MouseUp() {
    m_face.hide(Element::imgMontButP);
    frmChoseSkin& chooser = skinChooser();
    if (m_ending)
        return;
    chooser.show();
    chooser.raise();
    chooser.activateWindow();
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
    // Modal: the clock keeps ticking underneath and takes no input until it closes. It deletes itself.
    auto* about = new frmAbout(this, QString::fromStdString(m_services.files.programFolder()));
    about->setWindowModality(Qt::WindowModal); // the alarm's alert answers above it
    about->exec();
}

void frmMain::imgExitBut_MouseDown() {
    m_face.show(Element::imgExitButP);
}
void frmMain::imgExitBut_MouseUp() {
    m_face.hide(Element::imgExitButP);
    flushFace();
    std::string error;
    if (!SaveMySetting(error)) {
        // A lost save is no normal exit: the user is told, and the exit status says so.
        m_services.prompts.message(error, std::string(), Prompts::Icon::Critical, Prompts::Buttons::Ok);
        endProgram(1);
        return;
    }
    endProgram(0);
}

namespace {
// The six buttons and their handlers; a press on any other element does nothing of its own.
struct ButtonHandlers {
    Element normal;
    void (frmMain::*down)();
    void (frmMain::*up)();
};
constexpr ButtonHandlers kButtons[] = {
    {Element::imgAlarmBut, &frmMain::imgAlarmBut_MouseDown, &frmMain::imgAlarmBut_MouseUp},
    {Element::imgOptBut, &frmMain::imgOptBut_MouseDown, &frmMain::imgOptBut_MouseUp},
    {Element::imgExitBut, &frmMain::imgExitBut_MouseDown, &frmMain::imgExitBut_MouseUp},
    {Element::imgMontBut, &frmMain::imgMontBut_MouseDown, &frmMain::imgMontBut_MouseUp},
    {Element::imgDateBut, &frmMain::imgDateBut_MouseDown, &frmMain::imgDateBut_MouseUp},
    {Element::imgYearBut, &frmMain::imgYearBut_MouseDown, &frmMain::imgYearBut_MouseUp},
};
const ButtonHandlers* buttonOf(Element e) {
    for (const ButtonHandlers& b : kButtons)
        if (b.normal == e)
            return &b;
    return nullptr;
}
} // namespace

void frmMain::elementMouseDown(Element e) {
    if (const ButtonHandlers* b = buttonOf(e))
        (this->*b->down)();
    flushFace();
}

void frmMain::elementMouseUp(Element e) {
    if (const ButtonHandlers* b = buttonOf(e))
        (this->*b->up)();
    if (!m_ending)
        flushFace();
}

// ---- Splash ----

void frmMain::setSplash(frmSplash* splash) {
    m_splash = splash;
}

void frmMain::closeSplash() {
    if (m_splash)
        m_splash->close();
}

// ---- Mouse routing: a press goes to the frontmost visible element under it, else to the background ----

void frmMain::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    if (event->buttons() == event->button()) {
        // No other button is held: whatever an earlier press left behind is over (a compositor
        // keeps the release that ends a system move).
        m_pressedElement.reset();
        m_pressOnBackground = false;
    }
    if (!m_pressedElement && !m_pressOnBackground) {
        m_pressedElement = FacePainter::elementAt(m_face, pos.toPoint());
        m_pressOnBackground = !m_pressedElement;
    }
    if (m_pressedElement) {
        elementMouseDown(*m_pressedElement);
        return;
    }
    Form_MouseDown(buttonState(event->button()), pixelsToTwips(pos.x()), pixelsToTwips(pos.y()));
    if (event->button() == Qt::LeftButton && windowSystemPlacesWindows() && windowHandle() &&
        windowHandle()->startSystemMove()) {
        // The compositor moves the window and keeps the release: the press ends here.
        m_pressOnBackground = false;
    }
}

void frmMain::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressOnBackground)
        return;
    const QPointF pos = event->position();
    Form_MouseMove(buttonState(event->buttons()), pixelsToTwips(pos.x()), pixelsToTwips(pos.y()));
}

void frmMain::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<Element> pressed = m_pressedElement;
    if (event->buttons() == Qt::NoButton) {
        m_pressedElement.reset();
        m_pressOnBackground = false;
    }
    // The release goes to the element that received the press, wherever the pointer is now.
    if (pressed)
        elementMouseUp(*pressed);
}

void frmMain::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // Closed by the window system or the desktop: the program ends, saving nothing.
    endProgram(0);
}

// ---- Painting ----

void frmMain::flushFace() {
    const bool background = m_face.backgroundChanged();
    const FaceModel::Changes changes = m_face.takeChanges();
    if (background) {
        updateMask();
        update();
        return;
    }
    if (!changes.none())
        update(FacePainter::dirtyRect(changes));
}

void frmMain::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_faceOffset.isNull()) {
        m_painter.paintMoved(painter, m_face, rect(), m_faceOffset,
                             testAttribute(Qt::WA_TranslucentBackground), devicePixelRatioF());
        return;
    }
    const QRect dirty = event->rect();
    const Picture* bg = m_face.background().get();
    if (!bg || bg->width() < width() || bg->height() < height())
        painter.fillRect(dirty, Qt::black);
    m_painter.paint(painter, m_face, dirty, devicePixelRatioF());
}

void frmMain::updateMask() {
    const auto* bg = static_cast<const QtPicture*>(m_face.background().get());
    if (const std::optional<QRegion> shape = bg ? FacePainter::shapeOf(bg->image(), size()) : std::nullopt)
        setMask(*shape);
    else
        clearMask();
}

// ---- Keyboard, context menu, screen readers ----

void frmMain::keyPressEvent(QKeyEvent* event) {
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        // Below the alarm light, where the face's controls begin.
        showFaceMenu(mapToGlobal(FacePainter::rectOf(Element::imgAlarmBut).bottomLeft()));
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        showFaceMenu(mapToGlobal(FacePainter::rectOf(Element::imgAlarmBut).bottomLeft()));
        return;
    }
    // The right button on the case, not on the display or a button (they keep their own meaning),
    // and not while the left button drags the clock.
    if (FacePainter::elementAt(m_face, event->pos()) || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    showFaceMenu(event->globalPos());
}

void frmMain::showFaceMenu(QPoint globalPos) {
    if (m_ending)
        return;
    const std::optional<Element> chosen = chooseFaceButton(this, globalPos);
    // The menu took the release of the button that opened it: no press is pending any more.
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        m_pressedElement.reset();
        m_pressOnBackground = false;
    }
    if (!chosen || m_ending)
        return;
    // After the menu has closed: the action may open a modal dialog or end the program.
    elementMouseUp(*chosen);
}

QString frmMain::displayTime() const {
    return QString::fromStdString(
        displayedTime(m_services.clock.now(), m_settings.Hours24, m_settings.ShowSec));
}

QString frmMain::displayDate() {
    return QString::fromStdString(displayedDate(m_services.clock.now(), dateFields()));
}

} // namespace morvantis
