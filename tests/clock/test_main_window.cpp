#include "app/frmSplash.h"
#include "clock/frmMain.h"
#include "info/frmAbout.h"
#include "platform/QtPictures.h"
#include "settings/SettingsFormat.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/ClockWindowTest.h"
#include "support/Controls.h"
#include "support/ModalDriver.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::FakePrompts;
using morvantis::test::TestServices;

namespace {

class MainWindow : public morvantis::test::ClockWindowTest {
protected:
    MainWindow() {
        startWith([](Settings& s) {
            s.ShowSec = s.ShowYear = s.ShowDay = s.ShowDate = s.ShowMonth = true;
            s.Hours24 = false;
            s.Blink = true;
        });
    }
    QPoint centre(Element e) const { return FacePainter::rectOf(e).center(); }
    // A mouse event with an explicit button state, as the window system delivers it.
    void send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent ev(type, QPointF(pos), window.mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&window, &ev);
    }
};

bool visible(const frmMain& w, Element e) {
    return w.face().isVisible(e);
}

} // namespace

TEST_F(MainWindow, TickRendersTheClockIntoTheFace) {
    EXPECT_EQ(window.face().caption(), "alarm did not set"); // no alarm read yet
    probe(window).Timer1_Timer();
    EXPECT_TRUE(visible(window, Element::imgDH1_Off));
    EXPECT_TRUE(visible(window, Element::imgDH2_1));
    EXPECT_TRUE(visible(window, Element::imgPM));
    EXPECT_TRUE(visible(window, Element::imgDM1_4));
    EXPECT_TRUE(visible(window, Element::imgDS2_7));
    EXPECT_TRUE(visible(window, Element::imgDD_SUN));
    EXPECT_FALSE(visible(window, Element::imgDH2_3));

    state.set(&Settings::Hours24, true);
    probe(window).imgOptBut_MouseUp();
    auto* options = clockWindow<frmOptions>("frmOptions");
    ASSERT_TRUE(options);
    morvantis::test::control<QCheckBox>(*options, "chkMonth")
        ->setChecked(false); // the date fields follow the options dialog's boxes
    env.clock.advance(3600);
    probe(window).Timer1_Timer();
    EXPECT_TRUE(visible(window, Element::imgDH1_1));
    EXPECT_TRUE(visible(window, Element::imgDH2_4));
    EXPECT_FALSE(visible(window, Element::imgPM));
    EXPECT_FALSE(visible(window, Element::imgDMT2_9));
}

TEST_F(MainWindow, BlinkKeepsColonsInStepAndOnlyTheFirstWithoutSeconds) {
    window.face().hide(Element::imgDDot);
    for (int i = 0; i < 3; ++i) {
        probe(window).Timer2_Timer();
        EXPECT_EQ(visible(window, Element::imgDDot), visible(window, Element::imgDDot2));
    }
    state.set(&Settings::ShowSec, false);
    probe(window).Timer1_Timer();
    const bool before = visible(window, Element::imgDDot);
    probe(window).Timer2_Timer();
    EXPECT_NE(visible(window, Element::imgDDot), before);
    EXPECT_FALSE(visible(window, Element::imgDDot2));
    EXPECT_EQ(timer("Timer1").interval(), 100);
    EXPECT_EQ(timer("Timer2").interval(), 500);
}

TEST_F(MainWindow, TheFirstTickOfEachSecondStepsTheRunningBlink) {
    timer("Timer2").start();
    const bool lit = visible(window, Element::imgDDot);
    probe(window).Timer1_Timer();
    EXPECT_NE(visible(window, Element::imgDDot), lit);
    probe(window).Timer1_Timer(); // the same second
    EXPECT_NE(visible(window, Element::imgDDot), lit);
    env.clock.advance(1);
    probe(window).Timer1_Timer();
    EXPECT_EQ(visible(window, Element::imgDDot), lit);
    EXPECT_EQ(visible(window, Element::imgDDot), visible(window, Element::imgDDot2));
}

TEST_F(MainWindow, DragFollowsTheLeftButtonAlone) {
    window.move(100, 100);
    probe(window).Form_MouseDown(LeftButton, 300, 240);
    probe(window).Form_MouseMove(LeftButton, 450, 240);
    EXPECT_FLOAT_EQ(probe(window).Left(), 1500 + 150);
    EXPECT_FLOAT_EQ(probe(window).Top(), 1500);

    probe(window).Form_MouseDown(RightButton, 300, 240);
    probe(window).Form_MouseMove(RightButton, 600, 600);
    EXPECT_FLOAT_EQ(probe(window).Left(), 1650);
    probe(window).Form_MouseMove(LeftButton | RightButton, 600, 600);
    EXPECT_FLOAT_EQ(probe(window).Left(), 1650);
    probe(window).Form_MouseMove(LeftButton, 315, 255); // the right button is up again
    EXPECT_FLOAT_EQ(probe(window).Left(), 1665);
    EXPECT_FLOAT_EQ(probe(window).Top(), 1515);
}

TEST_F(MainWindow, PressPointIsRoundedToWholeTwips) {
    window.move(100, 100);
    probe(window).Form_MouseDown(LeftButton, 299.6f, 240.4f);
    probe(window).Form_MouseMove(LeftButton, 300, 240);
    EXPECT_FLOAT_EQ(probe(window).Left(), 1500);
    EXPECT_FLOAT_EQ(probe(window).Top(), 1500);
}

TEST_F(MainWindow, BackgroundDragThroughMouseEventsAndElementsDoNotDrag) {
    window.move(100, 100);
    const QPoint bg(5, 5); // the bezel: no element there
    ASSERT_FALSE(FacePainter::elementAt(window.face(), bg));
    send(QEvent::MouseButtonPress, bg, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, bg + QPoint(10, 4), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, bg + QPoint(10, 4), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), QPoint(110, 104));

    const QPoint lcd(150, 125); // the panel
    ASSERT_EQ(FacePainter::elementAt(window.face(), lcd), Element::imgLCD);
    send(QEvent::MouseButtonPress, lcd, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, lcd + QPoint(20, 20), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, lcd + QPoint(20, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), QPoint(110, 104));
}

TEST_F(MainWindow, ButtonsShowTheirPressedPictureWhileHeld) {
    const struct {
        Element normal, pressed;
    } buttons[] = {{Element::imgOptBut, Element::imgOptButP},
                   {Element::imgMontBut, Element::imgMontButP},
                   {Element::imgDateBut, Element::imgDateButP}};
    for (const auto& b : buttons) {
        for (Qt::MouseButton mb : {Qt::LeftButton, Qt::RightButton}) {
            send(QEvent::MouseButtonPress, centre(b.normal), mb, mb);
            EXPECT_TRUE(visible(window, b.pressed)) << info(b.normal).name;
            // Released off the button: the release still belongs to it.
            send(QEvent::MouseButtonRelease, QPoint(2, 2), mb, Qt::NoButton);
            EXPECT_FALSE(visible(window, b.pressed)) << info(b.normal).name;
            // SAY TIME holds the clock still until its words are over.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !probe(window).holdingStill(); }));
        }
    }
}

TEST_F(MainWindow, AlarmButtonArmsAndDisarms) {
    EXPECT_FALSE(visible(window, Element::imgLight));
    probe(window).imgAlarmBut_MouseDown();
    EXPECT_TRUE(visible(window, Element::imgAlarmButP));
    // The light is on while the alarm dialog is open; Cancel puts it out, Enter (OK) keeps it.
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
        QString opened;
        bool lit = false;
        morvantis::test::ModalDriver driver([&](QWidget* modal) {
            opened = modal->objectName();
            lit = visible(window, Element::imgLight);
            // The focus may not have arrived yet on a loaded machine: the dialog takes the key then.
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : modal, key);
        });
        probe(window).imgAlarmBut_MouseUp();
        driver.settle();
        EXPECT_TRUE(driver.acted());
        EXPECT_EQ(opened, "frmMusic");
        EXPECT_TRUE(lit);
        EXPECT_EQ(visible(window, Element::imgLight), key == Qt::Key_Return);
    }
    EXPECT_FALSE(visible(window, Element::imgAlarmButP));
    EXPECT_EQ(window.face().caption(), "alarm set to: 1:45:7 PM   2001/September    Sunday");

    state.setCaption("alarm set to: 7:5:0 PM   2002/March    Friday");
    probe(window).imgAlarmBut_MouseDown();
    probe(window).imgAlarmBut_MouseUp();
    EXPECT_FALSE(visible(window, Element::imgLight));
    EXPECT_TRUE(QApplication::topLevelWidgets().size() <= 1); // no dialog opened
    probe(window).Timer1_Timer();
    EXPECT_EQ(window.face().caption(), "alarm did not set");
}

TEST_F(MainWindow, ExitClosesEveryWindowIncludingHiddenOnes) {
    QWidget hidden;
    hidden.setAttribute(Qt::WA_DontShowOnScreen);
    QWidget shown;
    shown.show();
    window.show();
    bool hiddenClosed = false;
    struct CloseSpy : QObject {
        bool* flag;
        explicit CloseSpy(bool* f) : flag(f) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Close)
                *flag = true;
            return false;
        }
    } spy(&hiddenClosed);
    hidden.installEventFilter(&spy);

    probe(window).imgExitBut_MouseDown();
    EXPECT_TRUE(visible(window, Element::imgExitButP));
    probe(window).imgExitBut_MouseUp();
    EXPECT_FALSE(visible(window, Element::imgExitButP));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(shown.isVisible());
    EXPECT_TRUE(hiddenClosed);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(env.store.commits, 1);
}

TEST_F(MainWindow, ATickRepaintsOnlyWhatChanged) {
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.installEventFilter(&spy);
    const auto tick = [&] {
        spy.painted = QRegion();
        probe(window).Timer1_Timer();
        QCoreApplication::processEvents();
        return spy.painted;
    };
    tick();
    EXPECT_TRUE(tick().isEmpty()); // nothing changed: nothing painted

    env.clock.advance(1); // 13:45:08
    const QRegion r = tick();
    EXPECT_TRUE(r.contains(FacePainter::rectOf(Element::imgDS2_8)));
    for (Element e : {Element::imgDH2_1, Element::imgDH1_Off, Element::imgDM2_5, Element::imgDDT2_3,
                      Element::imgDD_SUN, Element::imgDY4_1, Element::imgPM})
        EXPECT_FALSE(r.intersects(FacePainter::rectOf(e))) << info(e).name;
}

TEST_F(MainWindow, IsABorderlessWindowOfTheFaceSize) {
    EXPECT_EQ(window.size(), QSize(575, 240));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowTitle(), "Main");
}

TEST_F(MainWindow, StartUpReadsEverySettingAndPlacesTheWindow) {
    readState();
    EXPECT_EQ(window.pos(), QPoint(100, 100)); // 1500 twips when none is stored
    EXPECT_TRUE(state.settings().ShowSec);
    EXPECT_TRUE(state.settings().Hours24);
    EXPECT_EQ(state.settings().ThemeNo, 1);
    EXPECT_EQ(state.settings().AlarmPath, env.files.programFolder() + "/alarm.wav");
    EXPECT_FALSE(visible(window, Element::imgLight));
    EXPECT_EQ(window.face().caption(), "alarm did not set");
}

TEST_F(MainWindow, APositionOnNoScreenComesBackCentred) {
    env.store.write("StartUp", "Left", "99990");
    env.store.write("StartUp", "Top", "-30000");
    readState();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 2);
    window.move(0, 0); // still on screen at the edge: left alone
    env.store.write("StartUp", "Left", "15");
    env.store.write("StartUp", "Top", "15");
    readState();
    EXPECT_EQ(window.pos(), QPoint(1, 1));
}

TEST_F(MainWindow, AnArmedAlarmComesBackWithItsCaption) {
    env.clock.set(2002, 3, 1, 12, 0, 0); // Friday 1 March 2002, noon
    for (const auto& [k, v] : {std::pair{"LightOn", "True"},
                               {"MusicHour", "7"},
                               {"MusicMin", "5"},
                               {"MusicSec", "0"},
                               {"MusicAMPM", "PM"},
                               {"MusicDay", "Friday"},
                               {"MusicMonth", "March"},
                               {"MusicYear", "2002"}})
        env.store.write("StartUp", k, v);
    readState();
    EXPECT_TRUE(visible(window, Element::imgLight));
    EXPECT_EQ(window.face().caption(), "alarm set to: 7:5:0 PM   2002/March    Friday");
}

TEST_F(MainWindow, ExitWritesEveryKeyInOrderWithTheLightAndPosition) {
    readState();
    window.move(40, 60);
    state.setLight(true);
    env.store.writes.clear();
    probe(window).imgExitBut_MouseDown();
    probe(window).imgExitBut_MouseUp();
    std::vector<std::string> order;
    for (const SettingKey& k : kSettingKeys)
        order.emplace_back(k.name);
    EXPECT_EQ(env.store.writes, order);
    EXPECT_EQ(env.store.commits, 1);
    EXPECT_EQ(env.store.read("StartUp", "Left"), "600");
    EXPECT_EQ(env.store.read("StartUp", "Top"), "900");
    EXPECT_EQ(env.store.read("StartUp", "LightOn"), "True");
    EXPECT_EQ(env.store.read("StartUp", "Path"), env.files.programFolder());
}

TEST_F(MainWindow, AFailedSaveIsShownAndEndsWithStatusOne) {
    env.store.failCommit = true;
    window.show();
    testing::internal::CaptureStderr();
    bool visibleWhileShown = false;
    env.prompts.onMessage = [&](const FakePrompts::Shown&) { visibleWhileShown = window.isVisible(); };
    probe(window).imgExitBut_MouseUp();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    ASSERT_EQ(env.prompts.shown.size(), 1u);
    EXPECT_EQ(env.prompts.shown[0].text, "disk full"); // the store's own words
    EXPECT_EQ(env.prompts.shown[0].icon, Prompts::Icon::Critical);
    EXPECT_TRUE(visibleWhileShown);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(MainWindow, ClosedByTheWindowSystemSavesOnceAsExitDoes) {
    readState();
    window.show();
    window.move(40, 60);
    window.close();
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(env.store.commits, 1);
    EXPECT_EQ(env.store.read("StartUp", "Left"), "600");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindow, ClosedByTheWindowSystemWithAFailedSaveTellsAndEndsWithStatusOne) {
    env.store.failCommit = true;
    window.show();
    testing::internal::CaptureStderr();
    window.close();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(env.prompts.shown.size(), 1u);
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(MainWindow, YearButtonOpensTheAboutWindowModallyWhileTheClockTicks) {
    timer("Timer1").setInterval(10);
    timer("Timer1").start();
    probe(window).Timer1_Timer();
    QString opened;
    bool ticked = false;
    morvantis::test::ModalDriver driver([&](QWidget* modal) {
        opened = modal->metaObject()->className();
        env.clock.advance(1); // the face follows the clock while the window is open, at its next tick
        ticked = QTest::qWaitFor([&] { return visible(window, Element::imgDS2_8); }, 2000);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    probe(window).imgYearBut_MouseDown();
    EXPECT_TRUE(visible(window, Element::imgYearButP));
    probe(window).imgYearBut_MouseUp(); // returns at once, the about window open
    driver.settle();
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(opened, "morvantis::frmAbout");
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(visible(window, Element::imgYearButP));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The rest of start-up holds the thread for as long as the skin takes to load: by then the splash
// must be on screen with its picture, not an empty window. A window system may draw it a while
// after it is shown.
TEST(Splash, TheRestOfStartUpWaitsForItsFirstPaint) {
    struct HoldPaint : QObject {
        bool hold = true;
        bool eventFilter(QObject*, QEvent* event) override { return hold && event->type() == QEvent::Paint; }
    } notYetDrawn;
    QImage onScreen;
    QPointer<frmSplash> splash;
    splash = new frmSplash([&] { onScreen = splash->screen()->grabWindow(splash->winId()).toImage(); });
    splash->installEventFilter(&notYetDrawn);
    splash->show();
    splash->Timer1_Timer();
    EXPECT_TRUE(onScreen.isNull()) << "start-up went on before the splash was drawn";

    notYetDrawn.hold = false;
    splash->update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !onScreen.isNull(); }, 5000)) << "start-up did not go on";
    const QImage picture = readResourcePicture(QStringLiteral(":/img/splash.ppm"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
    splash->close();
}

// The program's end closes every window, the splash too, even while start-up is inside the
// splash's own show: its ticks then neither show it again nor go on with start-up.
TEST(Splash, ClosedBeforeItsFirstTickItStaysClosed) {
    bool wentOn = false;
    frmSplash splash([&] { wentOn = true; });
    splash.setAttribute(Qt::WA_DeleteOnClose, false); // on the stack here
    splash.show();
    splash.close();
    QTest::qWait(50); // many of its 1 ms ticks
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(wentOn);
}

// The window's shape follows the background's alpha as Qt's own mask of it does, outside the
// display and the buttons, which it always holds.
TEST(FaceShape, FollowsTheBackgroundsAlphaAsQtsMask) {
    QImage picture(61, 7, QImage::Format_ARGB32_Premultiplied); // rows of no whole number of bytes
    const int alphas[] = {0, 1, 127, 128, 200, 255};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qPremultiply(qRgba(90, 160, 40, alphas[(x * 5 + y) % 6])));
    const std::optional<QRegion> shape = FacePainter::shapeOf(picture, picture.size());
    ASSERT_TRUE(shape);
    const QRegion reference(QBitmap::fromImage(picture.createAlphaMask()));
    QRegion always = FacePainter::rectOf(Element::imgLCD);
    for (const FaceButton& button : kFaceButtons)
        always |= FacePainter::rectOf(button.element);
    int compared = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (!always.contains(QPoint(x, y))) {
                EXPECT_EQ(shape->contains(QPoint(x, y)), reference.contains(QPoint(x, y))) << x << "," << y;
                ++compared;
            }
    EXPECT_GT(compared, picture.width() * picture.height() / 2);
}

TEST_F(MainWindow, TheStateAnnouncesEachChangeTheWindowsAskForAndTheFaceFollows) {
    readState();
    QStringList keys;
    std::vector<bool> lights;
    QStringList captions;
    QObject::connect(&state, &ClockState::settingChanged, [&](SettingId k) {
        keys << QString::fromLatin1(settingName(k).data(), static_cast<qsizetype>(settingName(k).size()));
    });
    QObject::connect(&state, &ClockState::lightChanged, [&](bool on) { lights.push_back(on); });
    QObject::connect(&state, &ClockState::captionChanged, [&](const QString& c) { captions << c; });

    // The alarm dialog, opened by ALARM and left with OK: the record, the light, the caption.
    env.clock.set(2001, 9, 16, 13, 30, 0);
    morvantis::test::ModalDriver ok([](QWidget* modal) { modal->findChild<QPushButton*>("cmdOK")->click(); });
    probe(window).imgAlarmBut_MouseDown();
    probe(window).imgAlarmBut_MouseUp();
    ok.settle();
    ASSERT_TRUE(ok.acted());
    EXPECT_TRUE(keys.contains("MusicHour")) // the alarm record, named by its first key
        << keys.join(' ').toStdString();
    EXPECT_EQ(lights, std::vector<bool>{true});
    ASSERT_EQ(captions.size(), 1);
    EXPECT_TRUE(captions[0].startsWith("alarm set to: "));
    EXPECT_TRUE(visible(window, Element::imgLight));
    EXPECT_EQ(window.face().caption(), captions[0].toStdString());

    // The options' OK: the settings its controls changed, and nothing else.
    keys.clear();
    timer("Timer2").start(); // blinking, as Blink says
    probe(window).imgOptBut_MouseUp();
    ASSERT_TRUE(clockWindow<frmOptions>("frmOptions"));
    frmOptions& options = *clockWindow<frmOptions>("frmOptions");
    options.findChild<QCheckBox*>("chkBlink")->click();
    options.findChild<QCheckBox*>("chkSec")->click();
    options.findChild<QPushButton*>("cmdOK")->click();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"Blink", "ShowSec"}));
    EXPECT_FALSE(timer("Timer2").isActive()) << "the blink follows its setting";

    // ALARM again puts the light out; the next tick sets the caption back.
    probe(window).imgAlarmBut_MouseDown();
    probe(window).imgAlarmBut_MouseUp();
    probe(window).Timer1_Timer();
    EXPECT_EQ(lights, (std::vector<bool>{true, false}));
    EXPECT_EQ(captions.back(), "alarm did not set");
    EXPECT_FALSE(visible(window, Element::imgLight));
    EXPECT_EQ(window.face().caption(), "alarm did not set");
}
