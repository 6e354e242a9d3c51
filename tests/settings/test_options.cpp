#include "clock/frmMain.h"
#include "settings/frmOptions.h"
#include "support/ClockWindowTest.h"
#include "support/Controls.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::TestServices;

namespace {

// The clock with its options dialog, ticked by hand; the dialog is reached as a user does,
// through the face's options button.
class Options : public morvantis::test::ClockWindowTest {
protected:
    Options() {
        startWith([this](Settings& s) {
            s.ShowSec = s.ShowYear = s.ShowDay = s.ShowDate = s.ShowMonth = s.Blink = s.HourlyPlay =
                s.Hours24 = true;
            s.DefaultAlarm = s.DefaultSound = true;
            s.AlarmPath = s.SoundPath = folder() + "/alarm.wav";
            s.ShakeSpeed = 5;
        });
    }
    const Settings& settings() const { return state.settings(); }
    frmOptions* optionsWindow() { return clockWindow<frmOptions>("frmOptions"); }
    std::string folder() const { return env.files.programFolder(); }
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent ev(type, QPointF(pos), window.mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons,
                       Qt::NoModifier);
        QApplication::sendEvent(&window, &ev);
    }
    frmOptions& open() {
        const QPoint button = FacePainter::rectOf(Element::imgOptBut).center();
        mouse(QEvent::MouseButtonPress, button, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, button, Qt::NoButton);
        frmOptions* shown = optionsWindow();
        EXPECT_TRUE(shown && shown->isVisible());
        return *shown;
    }
    // A click as the user makes it; the dialog may be gone afterwards.
    // (Near the left edge: a radio button or check box takes clicks on its indicator and text only.)
    static void click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(8, b->width() / 2), b->height() / 2));
    }
    bool yearShown() const { return window.face().isVisible(Element::imgDY4_1); }
};

// The dialog's controls by name and kind; reaching one builds them, as showing the dialog does.
using morvantis::test::control;
QRadioButton* option(frmOptions& d, const char* name) {
    return control<QRadioButton>(d, name);
}
QCheckBox* box(frmOptions& d, const char* name) {
    return control<QCheckBox>(d, name);
}
QLineEdit* pathBox(frmOptions& d, const char* name) {
    return control<QLineEdit>(d, name);
}
QPushButton* button(frmOptions& d, const char* name) {
    return control<QPushButton>(d, name);
}
QSlider* slider(frmOptions& d) {
    return control<QSlider>(d, "Slider1");
}

QColor base(const QLineEdit* path) {
    return path->palette().color(QPalette::Base);
}
QColor systemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

} // namespace

TEST_F(Options, IsAFixedDialogCreatedHidden) {
    frmOptions dialog(env.services, state, &window);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.size(), QSize(451, 266));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(button(dialog, "cmdOK")->geometry(), QRect(272, 233, 73, 25)); // 4080, 3495, 1095, 375 twips
    EXPECT_EQ(slider(dialog)->minimum(), 0);
    EXPECT_EQ(slider(dialog)->maximum(), 10);
    EXPECT_EQ(slider(dialog)->singleStep(), 1);
    EXPECT_EQ(slider(dialog)->pageStep(), 5);
}

TEST_F(Options, LoadingShowsTheStoredValues) {
    const struct Case {
        const char* what;
        std::function<void(Settings&)> stored;
        std::function<void(frmOptions&)> expect;
    } cases[] = {
        {"24Hours false selects AM/PM", [](Settings& s) { s.Hours24 = false; },
         [](frmOptions& d) {
             EXPECT_TRUE(option(d, "optAMPM")->isChecked());
             EXPECT_FALSE(option(d, "opt24")->isChecked());
         }},
        {"a custom alarm shows its path, ready to edit",
         [](Settings& s) {
             s.DefaultAlarm = false;
             s.AlarmPath = "/music/wake.wav";
         },
         [](frmOptions& d) {
             EXPECT_TRUE(option(d, "optACustom")->isChecked());
             EXPECT_EQ(pathBox(d, "txtFileA")->text(), "/music/wake.wav");
             EXPECT_TRUE(pathBox(d, "txtFileA")->isEnabled());
             EXPECT_TRUE(button(d, "cmdShowA")->isEnabled());
             EXPECT_EQ(base(pathBox(d, "txtFileA")), systemColour(QPalette::Base));
             EXPECT_FALSE(pathBox(d, "txtFileH")->isEnabled()); // the chime is still the default
             EXPECT_FALSE(button(d, "cmdShowH")->isEnabled());
         }},
        {"a default sound shows an empty, greyed box",
         [](Settings& s) {
             s.DefaultSound = true;
             s.SoundPath = "/music/chime.wav";
         },
         [](frmOptions& d) {
             EXPECT_TRUE(option(d, "optHDefault")->isChecked());
             EXPECT_EQ(pathBox(d, "txtFileH")->text(), "");
             EXPECT_FALSE(pathBox(d, "txtFileH")->isEnabled());
             EXPECT_FALSE(button(d, "cmdShowH")->isEnabled());
             EXPECT_EQ(base(pathBox(d, "txtFileH")), systemColour(QPalette::Button));
         }},
        {"a custom chime", [](Settings& s) { s.DefaultSound = false, s.SoundPath = "c.wav"; },
         [](frmOptions& d) {
             EXPECT_EQ(pathBox(d, "txtFileH")->text(), "c.wav");
             EXPECT_TRUE(button(d, "cmdShowH")->isEnabled());
         }},
        {"check boxes follow their settings",
         [](Settings& s) { s.ShowSec = s.ShowMonth = s.HourlyPlay = s.Blink = false; },
         [](frmOptions& d) {
             for (const QCheckBox* off :
                  {box(d, "chkSec"), box(d, "chkMonth"), box(d, "chkHourly"), box(d, "chkBlink")})
                 EXPECT_EQ(off->checkState(), Qt::Unchecked) << off->objectName().toStdString();
             for (const QCheckBox* on : {box(d, "ChkDate"), box(d, "chkDay"), box(d, "chkYear")})
                 EXPECT_EQ(on->checkState(), Qt::Checked) << on->objectName().toStdString();
         }},
        {"shake speed", [](Settings& s) { s.ShakeSpeed = 7; },
         [](frmOptions& d) { EXPECT_EQ(slider(d)->value(), 7); }},
        {"a stored shake speed beyond the slider shows at its end", [](Settings& s) { s.ShakeSpeed = 300; },
         [](frmOptions& d) { EXPECT_EQ(slider(d)->value(), 10); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s = settings();
        c.stored(s);
        ClockState stored(s);
        frmOptions dialog(env.services, stored);
        c.expect(dialog);
    }
}

TEST_F(Options, BrowsingAcceptsOnlyNamesEndingInLowerCaseWav) {
    const struct Case {
        std::optional<std::string> chosen;
        bool accepted;
    } cases[] = {
        {"/music/BELL.WAV", false}, {"/music/bell.wav", true},  {std::nullopt, false}, // cancelled
        {"/music/bell.Wav", false}, {"/music/bell.mp3", false}, {"av", false},
    };
    frmOptions& dialog = open();
    for (auto [custom, path, browse] :
         {std::tuple{option(dialog, "optACustom"), pathBox(dialog, "txtFileA"), button(dialog, "cmdShowA")},
          std::tuple{option(dialog, "optHCustom"), pathBox(dialog, "txtFileH"),
                     button(dialog, "cmdShowH")}}) {
        click(custom);
        ASSERT_TRUE(browse->isEnabled());
        path->setText("/before.wav");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.chosen.value_or("(cancelled)") + " via " +
                         browse->parentWidget()->objectName().toStdString());
            env.prompts.shown.clear();
            env.prompts.files.push_back(c.chosen);
            click(browse);
            EXPECT_TRUE(env.prompts.files.empty()); // the file dialog was asked
            EXPECT_EQ(env.prompts.filters.back(), "Wave Files (*.wav)");
            if (c.accepted) {
                EXPECT_TRUE(env.prompts.shown.empty());
                EXPECT_EQ(path->text().toStdString(), *c.chosen);
                path->setText("/before.wav");
            } else {
                ASSERT_EQ(env.prompts.shown.size(), 1u);
                EXPECT_EQ(env.prompts.shown[0].text, "Not a wave file");
                EXPECT_EQ(env.prompts.shown[0].title, "Invalid file");
                EXPECT_EQ(env.prompts.shown[0].icon, Prompts::Icon::Information);
                EXPECT_EQ(env.prompts.shown[0].buttons, Prompts::Buttons::Ok);
                EXPECT_EQ(path->text(), "/before.wav");
            }
        }
    }
}

TEST_F(Options, OkStoresTheControls) {
    const struct Case {
        const char* what;
        std::function<void(frmOptions&)> edit;
        std::function<void(const Settings&)> expect;
    } cases[] = {
        {"Default stores the program's wave, whatever the box shows",
         [](frmOptions& d) {
             click(option(d, "optHCustom"));
             pathBox(d, "txtFileH")->setText("/music/chime.wav");
             click(option(d, "optHDefault"));
         },
         [this](const Settings& s) {
             EXPECT_EQ(s.SoundPath, folder() + "/alarm.wav");
             EXPECT_TRUE(s.DefaultSound);
         }},
        {"Custom with an empty box stores an empty path",
         [](frmOptions& d) {
             click(option(d, "optACustom"));
             click(option(d, "optHCustom"));
         },
         [](const Settings& s) {
             EXPECT_EQ(s.AlarmPath, "");
             EXPECT_EQ(s.SoundPath, "");
             EXPECT_FALSE(s.DefaultAlarm);
             EXPECT_FALSE(s.DefaultSound);
         }},
        {"a typed custom path is stored unchecked",
         [](frmOptions& d) {
             click(option(d, "optACustom"));
             QTest::keyClicks(pathBox(d, "txtFileA"), "nowhere");
         },
         [](const Settings& s) { EXPECT_EQ(s.AlarmPath, "nowhere"); }},
        {"the display choices",
         [](frmOptions& d) {
             click(option(d, "optAMPM"));
             for (const char* name : {"chkSec", "chkMonth", "chkDay", "ChkDate", "chkYear", "chkHourly"})
                 click(box(d, name));
             slider(d)->setValue(9);
         },
         [](const Settings& s) {
             EXPECT_FALSE(s.Hours24);
             EXPECT_FALSE(s.ShowSec || s.ShowMonth || s.ShowDay || s.ShowDate || s.ShowYear || s.HourlyPlay);
             EXPECT_EQ(s.ShakeSpeed, 9);
         }},
        {"a greyed box counts as cleared",
         [](frmOptions& d) {
             box(d, "chkYear")->setCheckState(Qt::PartiallyChecked);
             box(d, "chkHourly")->setCheckState(Qt::PartiallyChecked);
         },
         [](const Settings& s) {
             EXPECT_FALSE(s.ShowYear);
             EXPECT_FALSE(s.HourlyPlay);
             EXPECT_TRUE(s.ShowMonth);
         }},
    };
    const Settings before = settings();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startWith([&](Settings& s) { s = before; });
        probe(window).Timer1_Timer();
        frmOptions& dialog = open(); // a fresh dialog from these settings
        c.edit(dialog);
        state.set(&Settings::ThemeNo, std::int16_t{4}); // changed elsewhere meanwhile: kept
        click(button(dialog, "cmdOK"));
        EXPECT_FALSE(optionsWindow());
        c.expect(settings());
        EXPECT_EQ(settings().ThemeNo, 4);
    }
}

TEST_F(Options, BlinkOffStopsTheBlinkingWithBothColonsLitAndOnRestartsIt) {
    timer("Timer2").start();
    window.face().hide(Element::imgDDot);
    window.face().hide(Element::imgDDot2);
    frmOptions& dialog = open();
    click(box(dialog, "chkBlink"));
    EXPECT_TRUE(timer("Timer2").isActive()); // not before OK
    click(button(dialog, "cmdOK"));
    EXPECT_FALSE(settings().Blink);
    EXPECT_FALSE(timer("Timer2").isActive());
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot));
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot2));

    probe(window).Timer1_Timer(); // no step of the blink from the tick either
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot) && window.face().isVisible(Element::imgDDot2));
    frmOptions& again = open();
    EXPECT_EQ(box(again, "chkBlink")->checkState(), Qt::Unchecked);
    click(box(again, "chkBlink"));
    click(button(again, "cmdOK"));
    EXPECT_TRUE(settings().Blink);
    EXPECT_TRUE(timer("Timer2").isActive());
}

TEST_F(Options, CancelEscapeAndTheCloseBoxChangeNothing) {
    const std::function<void(frmOptions&)> ways[] = {
        [](frmOptions& d) { click(button(d, "cmdCancel")); },
        [](frmOptions& d) { QTest::keyClick(box(d, "chkMonth"), Qt::Key_Escape); },
        [](frmOptions& d) { d.close(); },
    };
    const Settings before = settings();
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        probe(window).Timer1_Timer();
        frmOptions& dialog = open();
        QPointer<frmOptions> gone(&dialog);
        click(option(dialog, "optAMPM"));
        click(box(dialog, "chkSec"));
        click(box(dialog, "chkMonth"));
        click(option(dialog, "optACustom"));
        pathBox(dialog, "txtFileA")->setText("x.wav");
        slider(dialog)->setValue(0);
        ways[i](dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(optionsWindow());
        EXPECT_EQ(settings(), before);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone.isNull());

        probe(window).Timer1_Timer();
        frmOptions& reopened = open();
        EXPECT_TRUE(option(reopened, "opt24")->isChecked());
        EXPECT_EQ(box(reopened, "chkSec")->checkState(), Qt::Checked);
        EXPECT_EQ(box(reopened, "chkMonth")->checkState(), Qt::Checked);
        EXPECT_TRUE(option(reopened, "optADefault")->isChecked());
        EXPECT_EQ(slider(reopened)->value(), 5);
        click(button(reopened, "cmdCancel"));
    }
}

TEST_F(Options, ReturnPressesOkButNotOnACheckBox) {
    state.set(&Settings::DefaultAlarm, false); // its path box and browse button enabled
    const struct {
        const char* focus;
        bool stored, closed;
        std::size_t browsed; // file dialogs opened
    } cases[] = {
        {"chkMonth", false, false, 0}, // going through the boxes never closes the dialog
        {"Slider1", true, true, 0},    {"opt24", true, true, 0},      {"txtFileA", true, true, 0},
        {"cmdOK", true, true, 0},      {"cmdCancel", false, true, 0}, {"cmdShowA", false, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        state.set(&Settings::ShowSec, true);
        env.prompts.filters.clear();
        frmOptions& dialog = open();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_TRUE(button(dialog, "cmdOK")->isDefault());
        click(box(dialog, "chkSec"));
        auto* w = dialog.findChild<QWidget*>(c.focus);
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_EQ(!settings().ShowSec, c.stored);
        EXPECT_EQ(!optionsWindow(), c.closed);
        EXPECT_EQ(env.prompts.filters.size(), c.browsed);
        if (frmOptions* left = optionsWindow())
            click(button(*left, "cmdCancel"));
    }
}

TEST_F(Options, ExitWhileItIsOpenSavesTheSettingsInForce) {
    frmOptions& dialog = open();
    click(box(dialog, "chkSec"));
    click(box(dialog, "chkYear"));
    probe(window).imgExitBut_MouseDown();
    probe(window).imgExitBut_MouseUp();
    EXPECT_FALSE(optionsWindow());
    EXPECT_EQ(env.store.read("StartUp", "ShowSec"), "True");
    EXPECT_EQ(env.store.read("StartUp", "ShowYear"), "True");
}

TEST_F(Options, DateBoxesActOnTheFaceAtOnceTheSecondsOnlyAfterOk) {
    probe(window).Timer1_Timer();
    ASSERT_TRUE(yearShown());
    frmOptions& dialog = open();
    click(box(dialog, "chkYear"));
    // At the click: the tick may be asleep until the next second.
    EXPECT_FALSE(yearShown());
    click(box(dialog, "chkSec"));
    probe(window).Timer1_Timer();
    EXPECT_FALSE(yearShown());
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(window.face().isVisible(elementAt(static_cast<std::size_t>(Element::imgDY1_0) + i)));
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7)); // seconds still shown

    click(button(dialog, "cmdCancel"));
    EXPECT_TRUE(yearShown()); // Cancel's restore, at once too
    probe(window).Timer1_Timer();
    EXPECT_TRUE(yearShown());
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7));

    frmOptions& again = open();
    click(box(again, "chkSec"));
    probe(window).Timer1_Timer();
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7));
    click(button(again, "cmdOK"));
    probe(window).Timer1_Timer();
    EXPECT_FALSE(window.face().isVisible(Element::imgDS2_7));
}

TEST_F(Options, ASecondPressOnlyBringsItToTheFront) {
    frmOptions& dialog = open();
    click(box(dialog, "chkDay"));
    slider(dialog)->setValue(2);
    frmOptions& again = open();
    EXPECT_EQ(&again, &dialog);
    EXPECT_EQ(box(again, "chkDay")->checkState(), Qt::Unchecked);
    EXPECT_EQ(slider(again)->value(), 2);
}

TEST_F(Options, TabOrderAndAccessKeys) {
    frmOptions& dialog = open();
    click(option(dialog, "optACustom"));
    click(option(dialog, "optHCustom"));
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    // Tab goes through the groups row by row, then OK and Cancel; a pair of option buttons is one
    // stop (named here by its group).
    // The dialog's own focus: another program's window may take the activation for a moment.
    const auto stop = [&] {
        QWidget* w = dialog.focusWidget();
        return (qobject_cast<QRadioButton*>(w) ? w->parentWidget() : w)->objectName();
    };
    option(dialog, "opt24")->setFocus();
    QStringList order{stop()};
    for (int i = 0; i < 17; ++i) {
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        order << stop();
    }
    EXPECT_EQ(order.join(' ').toStdString(),
              "fraStyle chkHourly chkMonth ChkDate chkYear chkDay chkSec chkBlink Slider1 fraAlarm txtFileA "
              "cmdShowA fraHourly txtFileH cmdShowH cmdOK cmdCancel fraStyle");

    const struct Key {
        Qt::Key key;
        const char* focus; // where the key leaves the focus
        std::function<bool()> done;
    } keys[] = {
        {Qt::Key_Y, "chkYear", [&] { return box(dialog, "chkYear")->checkState() == Qt::Unchecked; }},
        {Qt::Key_M, "chkMonth", [&] { return box(dialog, "chkMonth")->checkState() == Qt::Unchecked; }},
        {Qt::Key_D, "ChkDate", [&] { return box(dialog, "ChkDate")->checkState() == Qt::Unchecked; }},
        {Qt::Key_B, "chkBlink", [&] { return box(dialog, "chkBlink")->checkState() == Qt::Unchecked; }},
        {Qt::Key_H, "chkHourly", [&] { return box(dialog, "chkHourly")->checkState() == Qt::Unchecked; }},
        {Qt::Key_F, "optADefault", [&] { return option(dialog, "optADefault")->isChecked(); }},
        {Qt::Key_C, "optACustom", [&] { return option(dialog, "optACustom")->isChecked(); }},
        {Qt::Key_E, "optHDefault", [&] { return option(dialog, "optHDefault")->isChecked(); }},
        {Qt::Key_U, "optHCustom", [&] { return option(dialog, "optHCustom")->isChecked(); }},
        {Qt::Key_2, "opt24", [&] { return option(dialog, "opt24")->isChecked(); }},
        {Qt::Key_P, "Slider1", [] { return true; }},
        {Qt::Key_L, "opt24", [] { return true; }},      // a group's key: its first control
        {Qt::Key_S, "optACustom", [] { return true; }}, // "Alarm &Sound": its selected choice
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.focus);
        QApplication::setActiveWindow(&dialog); // access keys answer in the active window
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(dialog.focusWidget(), k.key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor(k.done, 1000));
        ASSERT_TRUE(dialog.focusWidget());
        EXPECT_EQ(dialog.focusWidget()->objectName().toStdString(), k.focus);
    }
}

TEST_F(Options, TicksMakeNoDialogAndItsMonthBoxIsPreviewedByTheStateUntilCancel) {
    for (int i = 0; i < 50; ++i) {
        probe(window).Timer1_Timer();
        env.clock.advance(1);
    }
    EXPECT_FALSE(optionsWindow()) << "the face reads the state, not a hidden dialog";
    const auto monthShown = [&] { return window.face().isVisible(Element::imgDMT2_9); }; // September
    ASSERT_TRUE(monthShown());

    frmOptions& dialog = open();
    click(box(dialog, "chkMonth"));
    EXPECT_FALSE(state.dateFields().month);
    EXPECT_TRUE(state.settings().ShowMonth);
    EXPECT_FALSE(monthShown()); // at once, without a tick
    click(button(dialog, "cmdCancel"));
    EXPECT_TRUE(state.dateFields().month);
    EXPECT_TRUE(monthShown());
}
