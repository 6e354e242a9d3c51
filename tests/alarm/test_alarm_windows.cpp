#include "alarm/frmCustom.h"
#include "clock/FacePainter.h"
#include "clock/frmMain.h"
#include "platform/QtPrompts.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/AlarmSettings.h"
#include "support/ClockWindowTest.h"
#include "support/ModalDriver.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::FakeSound;
using morvantis::test::TestServices;

namespace {

// An armed alarm for 7:05:00 PM on Friday 1 March 2002; the clock one second before it.
class AlarmWindows : public morvantis::test::ClockWindowTest {
protected:
    AlarmWindows() {
        env.clock.set(2002, 3, 1, 19, 4, 59);
        state.load(morvantis::test::alarmAt(7, 5, 0, "PM"));
        state.set(&Settings::AlarmPath, "/prog/alarm.wav");
        state.set(&Settings::ShakeSpeed, 5);
        morvantis::test::setStored(state, AlarmKey::Green, true);
        state.setLight(true);
        window.move(100, 100);
        window.show();
        probe(window).Timer1_Timer();
    }
    ~AlarmWindows() override { delete alert(); }
    bool armed() const { return window.face().isVisible(Element::imgLight); }
    std::vector<FakeSound::Request>& played() { return env.sound.played; }
    // The alert window while it is loaded: it has no parent, so that no dialog of the clock blocks it.
    static frmCustom* alert() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* custom = qobject_cast<frmCustom*>(w); custom && custom->objectName() == "frmCustom")
                return custom;
        return nullptr;
    }
    template <class T> T* control(const char* name) const {
        return alert() ? alert()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    // Snooze from the keyboard, then its first entry (1 Min).
    void snoozeOneMinuteByKeyboard() {
        // Shown by the alarm, it takes the activation from the event loop: the keys go to it.
        // Snooze is keyed as Space on its button, as Windows needs it (Qt's test keys carry no
        // native key code, by which Windows looks a shortcut up).
        alert()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(alert()));
        QTest::keyClick(control<QPushButton>("cmdSnooz"), Qt::Key_Space);
        QTest::keyClick(control<QMenu>("mnuSnooz"), Qt::Key_1);
    }
    // Until the clock no longer holds still, the event loop turning.
    bool released() {
        return QTest::qWaitFor([&] { return !probe(window).holdingStill(); }, 10000);
    }
    void fireMessage() {
        morvantis::test::setStored(state, AlarmKey::Message, true);
        env.clock.advance(1);
        probe(window).Timer1_Timer();
        ASSERT_TRUE(alert() && alert()->isVisible());
    }
};

using Mode = Sound::Mode;

// Calls back at each move of a widget, as the window system reports it.
class OnMove final : public QObject {
public:
    OnMove(QWidget& widget, std::function<void()> moved) : m_moved(std::move(moved)) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move)
            m_moved();
        return false;
    }

private:
    std::function<void()> m_moved;
};

} // namespace

TEST_F(AlarmWindows, ShakeGoesRoundTheCornersAndEndsWhereItStarted) {
    morvantis::test::setStored(state, AlarmKey::BolShake, true);
    std::vector<QPoint> moves;
    std::vector<std::size_t> soundsDuringShake;
    const OnMove onMove(window, [&] {
        moves.push_back(window.pos());
        soundsDuringShake.push_back(played().size());
    });
    env.sound.onPlay = [&](const std::string&, Mode) {
        if (played().size() == 2) {
            EXPECT_FALSE(armed()) << "disarmed before the second playing";
        }
        probe(window).Timer1_Timer(); // a tick inside the alert does nothing
    };
    probe(window).Timer1_Timer();
    ASSERT_TRUE(played().empty()) << "not yet due";
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(released());

    // 200 twips are 13 pixels: the four corners of the square, then the start, each cycle; from
    // one to the next the window moves across first, then up or down.
    const QPoint corners[] = {{113, 113}, {87, 113}, {113, 87}, {87, 87}, {100, 100}};
    std::vector<QPoint> path;
    QPoint at(100, 100);
    for (int step = 0; step < 100; ++step) {
        const QPoint corner = corners[step % 5];
        if (corner.x() != at.x())
            path.emplace_back(corner.x(), at.y());
        if (corner.y() != at.y())
            path.push_back(corner);
        at = corner;
    }
    EXPECT_EQ(moves, path);
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    EXPECT_EQ(soundsDuringShake, std::vector<std::size_t>(path.size(), 1u));
    ASSERT_EQ(played().size(), 2u);
    EXPECT_EQ(played()[0].path, "/prog/alarm.wav");
    EXPECT_EQ(played()[0].mode, Mode::Asynchronous);
    EXPECT_FALSE(played()[0].tellsEnd);
    EXPECT_EQ(played()[1].path, "/prog/alarm.wav");
    EXPECT_TRUE(played()[1].tellsEnd) << "the second is waited for";
    EXPECT_FALSE(armed());
    EXPECT_EQ(window.face().caption(), "alarm did not set");
    EXPECT_EQ(alert(), nullptr);

    probe(window).Timer1_Timer(); // the same second, now disarmed
    EXPECT_EQ(played().size(), 2u);
}

TEST_F(AlarmWindows, WhileItsSoundPlaysOnlyTheAlertAnswersAndAnsweringStopsIt) {
    morvantis::test::setStored(state, AlarmKey::Message, true);
    int ticks = 0;
    QObject::connect(&timer("Timer1"), &QTimer::timeout, [&] { ++ticks; });
    QObject::connect(&timer("Timer2"), &QTimer::timeout, [&] { ++ticks; });
    const struct {
        const char* what;
        std::function<void()> answer;
        bool armedAfter;
    } cases[] = {
        {"OK", [&] { QTest::mouseClick(control<QPushButton>("cmdOk"), Qt::LeftButton); }, false},
        {"Snooze, then a minute", [&] { snoozeOneMinuteByKeyboard(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last case's alert
        state.setLight(true);
        state.load(morvantis::test::alarmAt(7, 5, 0, "PM"));
        morvantis::test::setStored(state, AlarmKey::Message, true);
        env.clock.set(2002, 3, 1, 19, 5, 0);
        env.sound.played.clear();
        env.sound.stops = env.sound.waits = 0;
        env.sound.endLater = nullptr; // it sounds until answered
        bool armedAtStop = false;
        env.sound.onStop = [&] {
            if (env.sound.stops == 1)
                armedAtStop = armed();
        };
        timer("Timer1").start(1);
        timer("Timer2").start(1);
        probe(window).Timer1_Timer();
        ASSERT_TRUE(env.sound.playing());
        const int ticksBefore = ticks;
        // The face's ALARM button would put the light out: it must not answer now.
        QTest::mouseClick(&window, Qt::LeftButton, {}, FacePainter::rectOf(Element::imgAlarmBut).center());
        QTest::qWait(20);
        EXPECT_EQ(ticks, ticksBefore) << "the clock does not tick while the alarm sounds";
        EXPECT_TRUE(armed());
        c.answer();
        EXPECT_FALSE(probe(window).holdingStill());
        timer("Timer1").stop();
        timer("Timer2").stop();
        EXPECT_GE(env.sound.stops, 1);
        EXPECT_TRUE(armedAtStop) << "the sound stops before the answer acts";
        EXPECT_EQ(armed(), c.armedAfter);
        EXPECT_FALSE(alert() && alert()->isVisible());
    }
}

TEST_F(AlarmWindows, RingingUntilAnsweredPlaysTheSoundAgainUntilOkOrSnoozeStopsIt) {
    const struct {
        const char* what;
        std::function<void()> answer;
    } cases[] = {
        {"OK", [&] { QTest::mouseClick(control<QPushButton>("cmdOk"), Qt::LeftButton); }},
        {"Snooze", [&] { snoozeOneMinuteByKeyboard(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last case's alert
        env.clock.set(2002, 3, 1, 19, 5, 0);
        const Settings record = morvantis::test::alarmAt(7, 5, 0, "PM");
        state.setAlarm(morvantis::test::withStored(record.alarm, AlarmKey::Message, true));
        state.set(&Settings::RingUntilAnswered, true);
        state.setLight(true);
        env.sound.played.clear();
        env.sound.stops = 0;
        env.sound.endLater = nullptr;
        // The first sound ends by itself; the second, a second after the first began, is answered
        // while it plays.
        probe(window).Timer1_Timer();
        ASSERT_TRUE(env.sound.end());
        EXPECT_TRUE(probe(window).holdingStill());
        ASSERT_TRUE(QTest::qWaitFor([&] { return played().size() == 2; }, 5000));
        c.answer();
        EXPECT_FALSE(probe(window).holdingStill());
        EXPECT_EQ(played().size(), 2u);
        EXPECT_EQ(env.sound.stops, 1);
        EXPECT_FALSE(alert() && alert()->isVisible());
    }
}

TEST_F(AlarmWindows, ExitEndsTheProgramWhileTheSoundAfterAShakePlays) {
    morvantis::test::setStored(state, AlarmKey::BolShake, true);
    env.sound.endLater = nullptr;
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return env.sound.playing(); }, 5000)) << "the sound after the shake";
    QTest::mouseClick(&window, Qt::LeftButton, {}, FacePainter::rectOf(Element::imgExitBut).center());
    EXPECT_EQ(exitStatus, 0);
    EXPECT_GE(env.sound.stops, 1);
    EXPECT_TRUE(env.store.read("StartUp", "LightOn").has_value()) << "EXIT saved";
}

TEST_F(AlarmWindows, ExitsFailureMessageWhileTheSoundPlaysIsAnswered) {
    morvantis::test::setStored(state, AlarmKey::Message, true);
    env.store.failCommit = true;
    bool stoppedFirst = false;
    // The real message box, answered with Return as a user would; a box that cannot be answered
    // is closed by the driver's time limit, and the test fails.
    morvantis::test::ModalDriver driver(
        [](QWidget* box) { QTest::keyClick(box->windowHandle(), Qt::Key_Return); }, 3000);
    env.prompts.onMessage = [&](const morvantis::test::FakePrompts::Shown& shown) {
        stoppedFirst = env.sound.stops > 0;
        QtPrompts().message(shown.text, shown.title, shown.icon, shown.buttons);
    };
    env.sound.endLater = nullptr;
    testing::internal::CaptureStderr();
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(env.sound.playing());
    // Clicked, the clock is the active window: the message is the clock's.
    QApplication::setActiveWindow(&window);
    QTest::mouseClick(&window, Qt::LeftButton, {}, FacePainter::rectOf(Element::imgExitBut).center());
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.timedOut()) << "the message took no answer";
    EXPECT_TRUE(stoppedFirst) << "the sound stops before the message shows";
    EXPECT_EQ(exitStatus, 1);
}

namespace {
// A click as the window system queues it: delivered by the next processing of events.
void queueClick(QWidget& w, QPoint at) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            &w, new QMouseEvent(type, at, w.mapToGlobal(at), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
}
} // namespace

TEST_F(AlarmWindows, AClickDuringTheShakeDoesNotActWhileTheSoundPlays) {
    morvantis::test::setStored(state, AlarmKey::BolShake, true);
    // ALARM, clicked as the alarm's sound starts and the shake begins: it would light the light
    // and open the dialog.
    bool clicked = false;
    env.sound.onPlay = [&](const std::string&, Sound::Mode mode) {
        if (mode == Sound::Mode::Asynchronous && !std::exchange(clicked, true))
            queueClick(window, FacePainter::rectOf(Element::imgAlarmBut).center());
    };
    // Any window it opened nested in the alarm is closed, and the test fails.
    std::optional<morvantis::test::ModalDriver> driver;
    driver.emplace([](QWidget*) { ADD_FAILURE() << "a modal window opened while the alarm sounded"; }, 2000);
    bool litWhileSounding = false;
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            litWhileSounding = litWhileSounding || (env.sound.playing() && armed()); // after the shake
            return !probe(window).holdingStill();
        },
        10000));
    QTest::qWait(20);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(litWhileSounding);
    EXPECT_FALSE(armed()) << "the click was held with the rest of the input";
    EXPECT_FALSE(driver->acted());
}

TEST_F(AlarmWindows, EveryWayOutOfTheSoundLetsTheFacesInputThroughAgainAndOtherWindowsNeverWait) {
    QLineEdit other; // any other window of the program
    other.show();
    const auto typed = [&] {
        other.clear();
        QTest::keyClick(&other, Qt::Key_A);
        return other.text() == QStringLiteral("a");
    };
    const struct {
        const char* way;
        bool shake;
        std::function<void()> out;
    } ways[] = {
        {"the sound over", false, [&] { env.sound.end(); }},
        {"OK", false, [&] { QTest::mouseClick(control<QPushButton>("cmdOk"), Qt::LeftButton); }},
        {"EXIT after a shake", true,
         [&] {
             QTest::mouseClick(&window, Qt::LeftButton, {},
                               FacePainter::rectOf(Element::imgExitBut).center());
         }},
    };
    env.sound.endLater = nullptr;
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        state.load(morvantis::test::alarmAt(7, 5, 0, "PM"));
        morvantis::test::setStored(state, AlarmKey::Message, !w.shake);
        morvantis::test::setStored(state, AlarmKey::BolShake, w.shake);
        state.setLight(true);
        env.clock.set(2002, 3, 1, 19, 5, 0);
        env.sound.stops = 0;
        probe(window).Timer1_Timer();
        ASSERT_TRUE(QTest::qWaitFor([&] { return env.sound.playing(); }, 5000));
        EXPECT_TRUE(probe(window).holdingStill());
        EXPECT_TRUE(typed()) << "the rest of the program answers while the alarm sounds";
        w.out();
        EXPECT_FALSE(probe(window).holdingStill());
        if (w.way == ways[0].way) {
            EXPECT_EQ(env.sound.stops, 0) << "a sound that ends is not cut";
        }
    }
}

TEST_F(AlarmWindows, MessageAlarmShowsTheWindowOnEveryTickOfItsSecond) {
    morvantis::test::setStored(state, AlarmKey::Message, true);
    std::vector<bool> shownWhilePlaying;
    env.sound.onPlay = [&](const std::string&, Mode) {
        shownWhilePlaying.push_back(alert() && alert()->isVisible());
        probe(window).Timer1_Timer(); // a tick inside the alert does nothing
    };
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(released());
    ASSERT_NE(alert(), nullptr);
    frmCustom* first = alert();
    EXPECT_EQ(first->windowTitle(), "Custom Message");
    EXPECT_EQ(first->size(), QSize(427, 125));
    const QPoint off =
        first->frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 4) << off.x() << "," << off.y();
    EXPECT_TRUE(armed());

    first->hide();
    probe(window).Timer1_Timer(); // still 7:05:00 PM
    ASSERT_TRUE(released());
    EXPECT_EQ(alert(), first);
    EXPECT_TRUE(first->isVisible());
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    EXPECT_EQ(shownWhilePlaying, std::vector<bool>({true, true}));
    EXPECT_TRUE(armed());
}

TEST_F(AlarmWindows, AnAlarmMissedByABusyTickFiresLate) {
    morvantis::test::setStored(state, AlarmKey::Message, true);
    env.clock.advance(40);
    probe(window).Timer1_Timer();
    EXPECT_TRUE(alert() && alert()->isVisible());
    probe(window).Timer1_Timer();
    EXPECT_EQ(played().size(), 1u);
}

TEST_F(AlarmWindows, AnAlarmHiddenByTheClocksOwnLongChimeFiresWhenItEnds) {
    env.clock.set(2002, 3, 1, 13, 59, 59);
    const Settings record = morvantis::test::alarmAt(2, 0, 5, "PM");
    state.setAlarm(morvantis::test::withStored(record.alarm, AlarmKey::Message, true));
    state.set(&Settings::HourlyPlay, true);
    probe(window).Timer1_Timer();
    env.sound.onPlay = [&](const std::string&, Mode) {
        if (played().size() == 1)
            env.clock.advance(100); // the chime of 2 PM lasts 100 s
    };
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(released());
    ASSERT_EQ(played().size(), 1u) << "the chime";
    EXPECT_FALSE(alert()) << "the chime held the clock past the alarm";
    probe(window).Timer1_Timer();
    EXPECT_TRUE(alert() && alert()->isVisible()) << "fired once the chime ended";
    probe(window).Timer1_Timer();
    EXPECT_EQ(played().size(), 2u) << "once";
}

TEST_F(AlarmWindows, OkDisarmsAndClosesTheAlarmDialogToo) {
    state.setLight(false); // ALARM lights it and opens the dialog
    bool dialogOpen = false;
    morvantis::test::ModalDriver driver([&](QWidget* modal) {
        EXPECT_STREQ(modal->metaObject()->className(), "morvantis::frmMusic");
        morvantis::test::setStored(state, AlarmKey::Message, true);
        env.clock.advance(1);
        probe(window).Timer1_Timer(); // the alarm goes off above the open dialog
        ASSERT_TRUE(alert() && alert()->isVisible());
        QTest::mouseClick(control<QPushButton>("cmdOk"), Qt::LeftButton);
        dialogOpen = modal->isVisible();
    });
    probe(window).imgAlarmBut_MouseUp(); // returns at once, the dialog open
    driver.settle();
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(dialogOpen);
    EXPECT_FALSE(armed());
    EXPECT_EQ(window.face().caption(), "alarm did not set");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(alert(), nullptr);
}

TEST_F(AlarmWindows, SnoozeMenuReArmsAndTheNextAlertShowsTheSameContent) {
    morvantis::test::setStored(state, AlarmKey::CustomBol, true);
    morvantis::test::setStored(state, AlarmKey::Custom, "Tea");
    fireMessage();
    frmCustom* first = alert();
    morvantis::test::setStored(state, AlarmKey::Custom, "Changed meanwhile");

    QTest::mouseClick(control<QPushButton>("cmdSnooz"), Qt::LeftButton);
    auto* menu = control<QMenu>("mnuSnooz");
    ASSERT_TRUE(menu && menu->isVisible());
    EXPECT_EQ(menu->pos(), first->mapToGlobal(QPoint(280, 121)));
    QStringList captions;
    for (QAction* a : menu->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"&1 Min", "&2 Min", "&5Min", "1&0 Min", "15 &Min"}));
    QTest::keyClick(menu, Qt::Key_5);

    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(armed());
    EXPECT_EQ(window.face().caption(), "alarm set to: 7:10:0   2002/March    Friday");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Min), "10");

    env.clock.set(2002, 3, 1, 19, 10, 0);
    probe(window).Timer1_Timer();
    EXPECT_EQ(alert(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(control<QLabel>("lblCustom")->text(), "Tea");
    EXPECT_EQ(played().size(), 2u);
}

TEST_F(AlarmWindows, TheWindowManagersCloseIsRefused) {
    fireMessage();
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QApplication::sendEvent(alert(), &close);
    EXPECT_TRUE(alert() && alert()->isVisible());
    QTest::keyClick(alert(), Qt::Key_Escape);
    EXPECT_TRUE(alert() && alert()->isVisible());
}

TEST_F(AlarmWindows, ReturnAnswersOk) {
    fireMessage();
    QApplication::setActiveWindow(alert());
    ASSERT_TRUE(QTest::qWaitForWindowActive(alert()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(alert() && alert()->isVisible());
    EXPECT_FALSE(armed());
    EXPECT_EQ(window.face().caption(), "alarm did not set");
}

// Above other programs' windows from the ring to the answer, whatever the clock's own keep on top
// does meanwhile; the next ring raises it again.
TEST_F(AlarmWindows, TheAlertStaysAboveOtherWindowsUntilAnswered) {
    const auto onTop = [] { return alert() && alert()->windowHandle() &&
                                   alert()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    state.set(&Settings::KeepOnTop, true);
    fireMessage();
    EXPECT_TRUE(onTop());
    state.set(&Settings::KeepOnTop, false);
    EXPECT_TRUE(onTop()) << "the clock's keep on top turned off leaves the ringing alert above";
    snoozeOneMinuteByKeyboard();
    EXPECT_FALSE(onTop());
    env.clock.advance(60);
    probe(window).Timer1_Timer();
    ASSERT_TRUE(alert() && alert()->isVisible());
    EXPECT_TRUE(onTop());
    QTest::mouseClick(control<QPushButton>("cmdOk"), Qt::LeftButton);
    EXPECT_FALSE(onTop());
}

TEST_F(AlarmWindows, SignAndText) {
    const struct {
        bool green, yellow, red;
        const char* shown; // nullptr: none
    } cases[] = {
        {true, false, false, "imgGreen"}, {false, true, false, "imgYellow"}, {false, false, true, "imgRed"},
        {true, true, false, "imgYellow"}, {true, true, true, "imgRed"},      {false, false, false, nullptr},
    };
    FaceModel face;
    for (const auto& c : cases) {
        // As a store holding the three flags reads them.
        AlarmTexts texts = formatAlarm(state.settings().alarm);
        texts[static_cast<std::size_t>(AlarmKey::Green)] = formatTruth(c.green);
        texts[static_cast<std::size_t>(AlarmKey::Yellow)] = formatTruth(c.yellow);
        texts[static_cast<std::size_t>(AlarmKey::Red)] = formatTruth(c.red);
        state.set(&Settings::alarm, parseAlarm(texts));
        frmCustom w(state.settings());
        w.show();
        for (const char* name : {"imgGreen", "imgYellow", "imgRed"}) {
            auto* sign = w.findChild<QLabel*>(name);
            EXPECT_EQ(sign->isVisible(), c.shown && std::string(name) == c.shown) << name;
            EXPECT_FALSE(sign->pixmap().isNull());
        }
    }

    // The label reads "Automatic Alert..." unless the custom text is chosen; markup stays text.
    const QString markup = "<b>Wake</b> &amp; <i>go</i>";
    morvantis::test::setStored(state, AlarmKey::Custom, markup.toStdString());
    frmCustom fixed(state.settings());
    EXPECT_EQ(fixed.findChild<QLabel*>("lblCustom")->text(), "Automatic Alert...");
    morvantis::test::setStored(state, AlarmKey::CustomBol, true);
    frmCustom custom(state.settings());
    custom.show();
    auto* label = custom.findChild<QLabel*>("lblCustom");
    QLabel literal(&custom);
    literal.setGeometry(label->geometry());
    literal.setAlignment(label->alignment());
    literal.setWordWrap(true);
    literal.setTextFormat(Qt::RichText);
    literal.setText(markup.toHtmlEscaped());
    EXPECT_EQ(label->grab().toImage(), literal.grab().toImage());
}
