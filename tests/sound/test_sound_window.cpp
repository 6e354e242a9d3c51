#include "alarm/frmCustom.h"
#include "clock/frmMain.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/AlarmSettings.h"
#include "support/ClockWindowTest.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::TestServices;

namespace {

class SoundWindow : public morvantis::test::ClockWindowTest {
protected:
    SoundWindow() {}
    // Until the clock no longer holds still, the event loop turning.
    bool released() {
        return QTest::qWaitFor([&] { return !probe(window).holdingStill(); }, 10000);
    }
};

// What makes the clock hold still: the chime, the spoken time and both kinds of alarm, all at
// 7:00:00 PM on the alarm's Friday.
struct Holder {
    const char* what;
    void (*start)(frmMain&, ClockState&);
    bool inputWaits; // else it is dropped
};

void chime(frmMain& window, ClockState& state) {
    state.setLight(false);
    state.set(&Settings::HourlyPlay, true);
    probe(window).Timer1_Timer();
}
void speak(frmMain& window, ClockState& state) {
    state.setLight(false);
    window.pressButton(Element::imgDateBut);
}
void shake(frmMain& window, ClockState& state) {
    morvantis::test::setStored(state, AlarmKey::BolShake, true);
    probe(window).Timer1_Timer();
}
void message(frmMain& window, ClockState& state) {
    morvantis::test::setStored(state, AlarmKey::Message, true);
    probe(window).Timer1_Timer();
}

const Holder kHolders[] = {
    {"chime", chime, true}, {"spoken", speak, true}, {"shake", shake, false}, {"message", message, false}};

class HoldingStill : public SoundWindow, public ::testing::WithParamInterface<Holder> {
protected:
    HoldingStill() {
        env.sound.endLater = nullptr; // the test says when the sound is over
        env.clock.set(2002, 3, 1, 19, 0, 0);
        state.load(morvantis::test::alarmAt(7, 0, 0, "PM"));
        state.set(&Settings::HourlyPlay, false);
        state.set(&Settings::ShowSec, true);
        state.set(&Settings::Blink, true);
        state.setLight(true);
        window.show();
        probe(window).renderNow();
        timer("Timer1").start();
        timer("Timer2").start();
        GetParam().start(window, state);
        // The shake moves the window first, then plays the sound that tells its end.
        EXPECT_TRUE(QTest::qWaitFor([&] { return env.sound.playing(); }, 10000)) << GetParam().what;
        EXPECT_TRUE(probe(window).holdingStill());
    }
    bool shows(Element e) const { return window.face().isVisible(e); }
};

} // namespace

TEST_P(HoldingStill, TheFaceStandsAndItsInputWaitsOrIsDroppedThenTheNextTickShowsTheTimeNow) {
    EXPECT_FALSE(timer("Timer1").isActive());
    EXPECT_FALSE(timer("Timer2").isActive());
    ASSERT_TRUE(shows(Element::imgDS2_0));
    env.clock.advance(3);
    // OPTIONS clicked meanwhile: it waits for the sound, or is dropped with the alarm's input.
    const QPoint options = FacePainter::rectOf(Element::imgOptBut).center();
    QTest::mouseClick(&window, Qt::LeftButton, {}, options);
    QTest::qWait(50);
    EXPECT_TRUE(shows(Element::imgDS2_0)) << "the face stands";
    EXPECT_EQ(clockWindow<frmOptions>("frmOptions"), nullptr);

    ASSERT_TRUE(env.sound.end());
    while (env.sound.end()) {
    } // the spoken time's other words
    EXPECT_TRUE(released());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows(Element::imgDS2_3); }, 2000)) << "ticks not made up: now";
    EXPECT_TRUE(timer("Timer1").isActive());
    EXPECT_TRUE(timer("Timer2").isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return clockWindow<frmOptions>("frmOptions") != nullptr; }, 200) ==
                GetParam().inputWaits);
}

TEST_P(HoldingStill, TheWindowSystemsCloseSavesAndEndsAtOnceStoppingTheSound) {
    const int stops = env.sound.stops;
    window.close();
    EXPECT_EQ(exitStatus, 0);
    EXPECT_GT(env.sound.stops, stops);
    EXPECT_FALSE(env.sound.playing());
    EXPECT_FALSE(probe(window).holdingStill());
    EXPECT_EQ(env.store.commits, 1);
}

INSTANTIATE_TEST_SUITE_P(Sounds, HoldingStill, ::testing::ValuesIn(kHolders),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(SoundWindow, ChimeRepeatsWithinSecondZeroOnlyWhileItIsShorter) {
    struct Case {
        long chimeMs;
        bool on;
        int plays;
    };
    // Ticks every 100 ms from 14:00:00.000 for a second and a half; the chime holds the clock
    // as long as it sounds.
    const Case cases[] = {{300, true, 3}, {2000, true, 1}, {300, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chimeMs);
        env.sound.played.clear();
        env.clock.set(2001, 9, 23, 14, 0, 0);
        state.set(&Settings::HourlyPlay, c.on);
        state.set(&Settings::SoundPath, "C:\\chimes\\bell.wav");
        std::vector<long> playedAtMs;
        env.sound.onPlay = [&](const std::string&, Sound::Mode) {
            playedAtMs.push_back(env.clock.now().second * 1000 + env.clock.millis());
            env.clock.advanceMs(c.chimeMs);
        };
        while (env.clock.now().second < 2 && env.clock.now().minute == 0) {
            probe(window).Timer1_Timer();
            ASSERT_TRUE(released());
            env.clock.advanceMs(100);
        }
        ASSERT_EQ(static_cast<int>(env.sound.played.size()), c.plays);
        for (const auto& r : env.sound.played) {
            EXPECT_EQ(r.path, "C:\\chimes\\bell.wav");
            EXPECT_TRUE(r.tellsEnd);
        }
        for (long ms : playedAtMs)
            EXPECT_LT(ms, 1000);
    }
}

TEST_F(SoundWindow, DateButtonSpeaksTheTimeAndAPressMeanwhileSpeaksAgainAfterwards) {
    window.show();
    const QPoint button = FacePainter::rectOf(Element::imgDateBut).center();
    const std::string wave = env.files.programFolder() + "\\wave\\";
    const std::vector<std::string> words = {wave + "time.WAV", wave + "9.WAV", wave + "20.WAV",
                                            wave + "1.WAV", wave + "pm.WAV"};
    for (const bool hours24 : {false, true}) {
        state.set(&Settings::Hours24, hours24);
        env.clock.set(2001, 9, 23, 21, 21, 0);
        env.sound.played.clear();
        bool pressedAgain = false;
        env.sound.onPlay = [&](const std::string&, Sound::Mode) {
            if (pressedAgain)
                return;
            pressedAgain = true;
            // The user presses again while the first word sounds: queued, as the window system would.
            const QPointF at(button);
            QApplication::postEvent(&window,
                                    new QMouseEvent(QEvent::MouseButtonPress, at, window.mapToGlobal(at),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QApplication::postEvent(&window,
                                    new QMouseEvent(QEvent::MouseButtonRelease, at, window.mapToGlobal(at),
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        };
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, button);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, button);
        std::vector<std::string> twice = words;
        twice.insert(twice.end(), words.begin(), words.end());
        std::vector<std::string> paths;
        // The second press waits for the first words to end; then they come again, whole.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                paths.clear();
                for (const auto& r : env.sound.played)
                    paths.push_back(r.path);
                return paths.size() >= twice.size() && !probe(window).holdingStill();
            },
            10000));
        EXPECT_EQ(paths, twice) << "hours24 " << hours24;
    }
}
