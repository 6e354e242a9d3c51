#include "clock/frmMain.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/ClockWindowTest.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::TestServices;

namespace {

class SoundWindow : public morvantis::test::ClockWindowTest {
protected:
    SoundWindow() {}
};

} // namespace

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
            window.Timer1_Timer();
            env.clock.advanceMs(100);
        }
        ASSERT_EQ(static_cast<int>(env.sound.played.size()), c.plays);
        for (const auto& r : env.sound.played) {
            EXPECT_EQ(r.path, "C:\\chimes\\bell.wav");
            EXPECT_EQ(r.mode, Sound::Mode::Synchronous);
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
        std::vector<std::string> paths;
        for (const auto& r : env.sound.played)
            paths.push_back(r.path);
        EXPECT_EQ(paths, words) << "hours24 " << hours24;
        QApplication::processEvents();
        paths.clear();
        for (const auto& r : env.sound.played)
            paths.push_back(r.path);
        std::vector<std::string> twice = words;
        twice.insert(twice.end(), words.begin(), words.end());
        EXPECT_EQ(paths, twice) << "hours24 " << hours24;
    }
}
