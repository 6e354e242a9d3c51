#include "app/frmMain.h"
#include "settings/frmOptions.h"
#include "support/ClockWindowTest.h"
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
using morvantis::test::TestServices;

namespace {

// The clock with its options dialog, ticked by hand; the dialog is reached as a user does,
// through the face's options button.
class Options : public morvantis::test::ClockWindowTest {
protected:
    Options() {
        settings.ShowSec = settings.ShowYear = settings.ShowDay = settings.ShowDate = settings.ShowMonth =
            settings.Blink = settings.HourlyPlay = settings.Hours24 = true;
        settings.DefaultAlarm = settings.DefaultSound = true;
        settings.AlarmPath = settings.SoundPath = folder() + "/alarm.wav";
        settings.ShakeSpeed = 5;
    }
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
        EXPECT_TRUE(window.hasOptions());
        frmOptions& dialog = window.options();
        EXPECT_TRUE(dialog.isVisible());
        return dialog;
    }
    // A click as the user makes it; the dialog may be gone afterwards.
    // (Near the left edge: a radio button or check box takes clicks on its indicator and text only.)
    static void click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(8, b->width() / 2), b->height() / 2));
    }
    bool yearShown() const { return window.face().isVisible(Element::imgDY4_1); }
};

QColor base(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}
QColor systemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

} // namespace

TEST_F(Options, IsAFixedDialogCreatedHiddenAtTheFirstTick) {
    EXPECT_FALSE(window.hasOptions());
    window.Timer1_Timer();
    ASSERT_TRUE(window.hasOptions());
    frmOptions& dialog = window.options();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.size(), QSize(451, 266));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.cmdOK()->geometry(), QRect(272, 233, 73, 25)); // 4080, 3495, 1095, 375 twips
    EXPECT_EQ(dialog.Slider1()->minimum(), 0);
    EXPECT_EQ(dialog.Slider1()->maximum(), 10);
    EXPECT_EQ(dialog.Slider1()->singleStep(), 1);
    EXPECT_EQ(dialog.Slider1()->pageStep(), 5);
}

TEST_F(Options, LoadingShowsTheStoredValues) {
    const struct Case {
        const char* what;
        std::function<void(Settings&)> stored;
        std::function<void(const frmOptions&)> expect;
    } cases[] = {
        {"24Hours false selects AM/PM", [](Settings& s) { s.Hours24 = false; },
         [](const frmOptions& d) {
             EXPECT_TRUE(d.optAMPM()->isChecked());
             EXPECT_FALSE(d.opt24()->isChecked());
         }},
        {"a custom alarm shows its path, ready to edit",
         [](Settings& s) {
             s.DefaultAlarm = false;
             s.AlarmPath = "/music/wake.wav";
         },
         [](const frmOptions& d) {
             EXPECT_TRUE(d.optACustom()->isChecked());
             EXPECT_EQ(d.txtFileA()->text(), "/music/wake.wav");
             EXPECT_TRUE(d.txtFileA()->isEnabled());
             EXPECT_TRUE(d.cmdShowA()->isEnabled());
             EXPECT_EQ(base(d.txtFileA()), systemColour(QPalette::Base));
             EXPECT_FALSE(d.txtFileH()->isEnabled()); // the chime is still the default
             EXPECT_FALSE(d.cmdShowH()->isEnabled());
         }},
        {"a default sound shows an empty, greyed box",
         [](Settings& s) {
             s.DefaultSound = true;
             s.SoundPath = "/music/chime.wav";
         },
         [](const frmOptions& d) {
             EXPECT_TRUE(d.optHDefault()->isChecked());
             EXPECT_EQ(d.txtFileH()->text(), "");
             EXPECT_FALSE(d.txtFileH()->isEnabled());
             EXPECT_FALSE(d.cmdShowH()->isEnabled());
             EXPECT_EQ(base(d.txtFileH()), systemColour(QPalette::Button));
         }},
        {"a custom chime", [](Settings& s) { s.DefaultSound = false, s.SoundPath = "c.wav"; },
         [](const frmOptions& d) {
             EXPECT_EQ(d.txtFileH()->text(), "c.wav");
             EXPECT_TRUE(d.cmdShowH()->isEnabled());
         }},
        {"check boxes follow their settings",
         [](Settings& s) { s.ShowSec = s.ShowMonth = s.HourlyPlay = s.Blink = false; },
         [](const frmOptions& d) {
             for (const QCheckBox* off : {d.chkSec(), d.chkMonth(), d.chkHourly(), d.chkBlink()})
                 EXPECT_EQ(off->checkState(), Qt::Unchecked) << off->objectName().toStdString();
             for (const QCheckBox* on : {d.ChkDate(), d.chkDay(), d.chkYear()})
                 EXPECT_EQ(on->checkState(), Qt::Checked) << on->objectName().toStdString();
         }},
        {"shake speed", [](Settings& s) { s.ShakeSpeed = 7; },
         [](const frmOptions& d) { EXPECT_EQ(d.Slider1()->value(), 7); }},
        {"a stored shake speed beyond the slider shows at its end", [](Settings& s) { s.ShakeSpeed = 300; },
         [](const frmOptions& d) { EXPECT_EQ(d.Slider1()->value(), 10); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s = settings;
        c.stored(s);
        frmOptions dialog(env.services, s);
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
         {std::tuple{dialog.optACustom(), dialog.txtFileA(), dialog.cmdShowA()},
          std::tuple{dialog.optHCustom(), dialog.txtFileH(), dialog.cmdShowH()}}) {
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
             click(d.optHCustom());
             d.txtFileH()->setText("/music/chime.wav");
             click(d.optHDefault());
         },
         [this](const Settings& s) {
             EXPECT_EQ(s.SoundPath, folder() + "/alarm.wav");
             EXPECT_TRUE(s.DefaultSound);
         }},
        {"Custom with an empty box stores an empty path",
         [](frmOptions& d) {
             click(d.optACustom());
             click(d.optHCustom());
         },
         [](const Settings& s) {
             EXPECT_EQ(s.AlarmPath, "");
             EXPECT_EQ(s.SoundPath, "");
             EXPECT_FALSE(s.DefaultAlarm);
             EXPECT_FALSE(s.DefaultSound);
         }},
        {"a typed custom path is stored unchecked",
         [](frmOptions& d) {
             click(d.optACustom());
             QTest::keyClicks(d.txtFileA(), "nowhere");
         },
         [](const Settings& s) { EXPECT_EQ(s.AlarmPath, "nowhere"); }},
        {"the display choices",
         [](frmOptions& d) {
             click(d.optAMPM());
             for (QCheckBox* box :
                  {d.chkSec(), d.chkMonth(), d.chkDay(), d.ChkDate(), d.chkYear(), d.chkHourly()})
                 click(box);
             d.Slider1()->setValue(9);
         },
         [](const Settings& s) {
             EXPECT_FALSE(s.Hours24);
             EXPECT_FALSE(s.ShowSec || s.ShowMonth || s.ShowDay || s.ShowDate || s.ShowYear || s.HourlyPlay);
             EXPECT_EQ(s.ShakeSpeed, 9);
         }},
        {"a greyed box counts as cleared",
         [](frmOptions& d) {
             d.chkYear()->setCheckState(Qt::PartiallyChecked);
             d.chkHourly()->setCheckState(Qt::PartiallyChecked);
         },
         [](const Settings& s) {
             EXPECT_FALSE(s.ShowYear);
             EXPECT_FALSE(s.HourlyPlay);
             EXPECT_TRUE(s.ShowMonth);
         }},
    };
    const Settings before = settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings = before;
        window.Timer1_Timer(); // a fresh dialog from these settings
        frmOptions& dialog = open();
        c.edit(dialog);
        settings.ThemeNo = 4; // changed elsewhere meanwhile: kept
        click(dialog.cmdOK());
        EXPECT_FALSE(window.hasOptions());
        c.expect(settings);
        EXPECT_EQ(settings.ThemeNo, 4);
    }
}

TEST_F(Options, BlinkOffStopsTheBlinkingWithBothColonsLitAndOnRestartsIt) {
    window.Timer2()->start();
    window.face().hide(Element::imgDDot);
    window.face().hide(Element::imgDDot2);
    frmOptions& dialog = open();
    click(dialog.chkBlink());
    EXPECT_TRUE(window.Timer2()->isActive()); // not before OK
    click(dialog.cmdOK());
    EXPECT_FALSE(settings.Blink);
    EXPECT_FALSE(window.Timer2()->isActive());
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot));
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot2));

    window.Timer1_Timer(); // no step of the blink from the tick either
    EXPECT_TRUE(window.face().isVisible(Element::imgDDot) && window.face().isVisible(Element::imgDDot2));
    frmOptions& again = open();
    EXPECT_EQ(again.chkBlink()->checkState(), Qt::Unchecked);
    click(again.chkBlink());
    click(again.cmdOK());
    EXPECT_TRUE(settings.Blink);
    EXPECT_TRUE(window.Timer2()->isActive());
}

TEST_F(Options, CancelEscapeAndTheCloseBoxChangeNothing) {
    const std::function<void(frmOptions&)> ways[] = {
        [](frmOptions& d) { click(d.cmdCancel()); },
        [](frmOptions& d) { QTest::keyClick(d.chkMonth(), Qt::Key_Escape); },
        [](frmOptions& d) { d.close(); },
    };
    const Settings before = settings;
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        window.Timer1_Timer();
        frmOptions& dialog = open();
        QPointer<frmOptions> gone(&dialog);
        click(dialog.optAMPM());
        click(dialog.chkSec());
        click(dialog.chkMonth());
        click(dialog.optACustom());
        dialog.txtFileA()->setText("x.wav");
        dialog.Slider1()->setValue(0);
        ways[i](dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(window.hasOptions());
        EXPECT_EQ(settings, before);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone.isNull());

        window.Timer1_Timer();
        frmOptions& reopened = open();
        EXPECT_TRUE(reopened.opt24()->isChecked());
        EXPECT_EQ(reopened.chkSec()->checkState(), Qt::Checked);
        EXPECT_EQ(reopened.chkMonth()->checkState(), Qt::Checked);
        EXPECT_TRUE(reopened.optADefault()->isChecked());
        EXPECT_EQ(reopened.Slider1()->value(), 5);
        click(reopened.cmdCancel());
    }
}

TEST_F(Options, ReturnPressesOkButNotOnACheckBox) {
    settings.DefaultAlarm = false; // its path box and browse button enabled
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
        settings.ShowSec = true;
        env.prompts.filters.clear();
        frmOptions& dialog = open();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_TRUE(dialog.cmdOK()->isDefault());
        click(dialog.chkSec());
        auto* w = dialog.findChild<QWidget*>(c.focus);
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_EQ(!settings.ShowSec, c.stored);
        EXPECT_EQ(!window.hasOptions(), c.closed);
        EXPECT_EQ(env.prompts.filters.size(), c.browsed);
        if (window.hasOptions())
            click(window.options().cmdCancel());
    }
}

TEST_F(Options, ExitWhileItIsOpenSavesTheSettingsInForce) {
    frmOptions& dialog = open();
    click(dialog.chkSec());
    click(dialog.chkYear());
    window.imgExitBut_MouseDown();
    window.imgExitBut_MouseUp();
    EXPECT_FALSE(window.hasOptions());
    EXPECT_EQ(env.store.read("StartUp", "ShowSec"), "True");
    EXPECT_EQ(env.store.read("StartUp", "ShowYear"), "True");
}

TEST_F(Options, DateBoxesActOnTheFaceAtOnceTheSecondsOnlyAfterOk) {
    window.Timer1_Timer();
    ASSERT_TRUE(yearShown());
    frmOptions& dialog = open();
    click(dialog.chkYear());
    // At the click: the tick may be asleep until the next second.
    EXPECT_FALSE(yearShown());
    click(dialog.chkSec());
    window.Timer1_Timer();
    EXPECT_FALSE(yearShown());
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(window.face().isVisible(elementAt(static_cast<std::size_t>(Element::imgDY1_0) + i)));
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7)); // seconds still shown

    click(dialog.cmdCancel());
    EXPECT_TRUE(yearShown()); // Cancel's restore, at once too
    window.Timer1_Timer();
    EXPECT_TRUE(yearShown());
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7));

    frmOptions& again = open();
    click(again.chkSec());
    window.Timer1_Timer();
    EXPECT_TRUE(window.face().isVisible(Element::imgDS2_7));
    click(again.cmdOK());
    window.Timer1_Timer();
    EXPECT_FALSE(window.face().isVisible(Element::imgDS2_7));
}

TEST_F(Options, ASecondPressOnlyBringsItToTheFront) {
    frmOptions& dialog = open();
    click(dialog.chkDay());
    dialog.Slider1()->setValue(2);
    frmOptions& again = open();
    EXPECT_EQ(&again, &dialog);
    EXPECT_EQ(again.chkDay()->checkState(), Qt::Unchecked);
    EXPECT_EQ(again.Slider1()->value(), 2);
}

TEST_F(Options, TabOrderAndAccessKeys) {
    frmOptions& dialog = open();
    click(dialog.optACustom());
    click(dialog.optHCustom());
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    // Tab goes through the groups row by row, then OK and Cancel; a pair of option buttons is one
    // stop (named here by its group).
    const auto stop = [] {
        QWidget* w = QApplication::focusWidget();
        return (qobject_cast<QRadioButton*>(w) ? w->parentWidget() : w)->objectName();
    };
    dialog.opt24()->setFocus();
    QStringList order{stop()};
    for (int i = 0; i < 17; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
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
        {Qt::Key_Y, "chkYear", [&] { return dialog.chkYear()->checkState() == Qt::Unchecked; }},
        {Qt::Key_M, "chkMonth", [&] { return dialog.chkMonth()->checkState() == Qt::Unchecked; }},
        {Qt::Key_D, "ChkDate", [&] { return dialog.ChkDate()->checkState() == Qt::Unchecked; }},
        {Qt::Key_B, "chkBlink", [&] { return dialog.chkBlink()->checkState() == Qt::Unchecked; }},
        {Qt::Key_H, "chkHourly", [&] { return dialog.chkHourly()->checkState() == Qt::Unchecked; }},
        {Qt::Key_F, "optADefault", [&] { return dialog.optADefault()->isChecked(); }},
        {Qt::Key_C, "optACustom", [&] { return dialog.optACustom()->isChecked(); }},
        {Qt::Key_E, "optHDefault", [&] { return dialog.optHDefault()->isChecked(); }},
        {Qt::Key_U, "optHCustom", [&] { return dialog.optHCustom()->isChecked(); }},
        {Qt::Key_2, "opt24", [&] { return dialog.opt24()->isChecked(); }},
        {Qt::Key_P, "Slider1", [] { return true; }},
        {Qt::Key_L, "opt24", [] { return true; }},      // a group's key: its first control
        {Qt::Key_S, "optACustom", [] { return true; }}, // "Alarm &Sound": its selected choice
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.focus);
        QTest::keyClick(QApplication::focusWidget(), k.key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor(k.done, 1000));
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), k.focus);
    }
}
