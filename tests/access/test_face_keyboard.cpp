// The face without a mouse: its menu from the keyboard and the case, and what a screen reader finds.
#include "access/FaceAccessible.h"
#include "clock/frmMain.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/ClockWindowTest.h"
#include "support/TestServices.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::TestServices;

namespace {

class FaceKeyboard : public morvantis::test::ClockWindowTest {
protected:
    // Before any window, as start-up does.
    static void SetUpTestSuite() { FaceAccessible::install(); }
    FaceKeyboard() {
        startWith([](Settings& s) {
            s.ShowSec = s.ShowYear = s.ShowDay = s.ShowDate = s.ShowMonth = true;
            s.Hours24 = false;
        });
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ~FaceKeyboard() override {
        if (frmOptions* o = options())
            o->close();
    }
    frmOptions* options() { return clockWindow<frmOptions>("frmOptions"); }
    // The menu is a popup, which Qt closes at once in an application that is not active; under
    // Wine a dialog that closes, or another program's window, may leave the activation elsewhere.
    void activate() {
        window.activateWindow(); // through the window system, which may think another active
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    bool optionsShown() {
        frmOptions* o = options();
        return o && o->isVisible();
    }
    QPoint centre(Element e) const { return FacePainter::rectOf(e).center(); }

    // Runs act; the first menu that pops up meanwhile is read and answered with key (0: closed).
    // Returns the menu's entries, or nothing when no menu came up.
    std::optional<QStringList> answeringMenu(const std::function<void()>& act, int key) {
        std::optional<QStringList> entries;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            entries.emplace();
            for (const QAction* a : menu->actions())
                entries->append(a->text());
            if (key)
                QTest::keyClick(menu, static_cast<Qt::Key>(key));
            else
                menu->close();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "a menu was still open after the time limit";
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        poll.start();
        watchdog.start(5000);
        act();
        return entries;
    }
};

const QStringList kEntries = {"&Alarm",
                              "&Options",
                              "&Skins",
                              "A&bout",
                              "Say &Time",
                              "E&xit",
                              "",
                              "&Keep on top",
                              "On every &workspace",
                              "Start at &login",
                              "&Ring until answered"};

} // namespace

TEST_F(FaceKeyboard, TheMenuKeyAndShiftF10OpenTheButtonsMenu) {
    // The clock takes the keyboard when clicked.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), &window);

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Menu, Qt::NoModifier}, {Qt::Key_F10, Qt::ShiftModifier}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        activate();
        const auto entries =
            answeringMenu([&] { QTest::keyClick(&window, k.key, k.modifiers); }, Qt::Key_O); // Options
        EXPECT_EQ(entries, kEntries);
        const QPointer<frmOptions> shown = options();
        ASSERT_TRUE(shown);
        EXPECT_TRUE(shown->isVisible());
        shown->close();
        // Its window goes when it is deleted, later: Windows then hands the activation on, which
        // would close a menu opened meanwhile.
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown.isNull(); }));
    }
    // Exit from the menu saves and ends the program, as the button does.
    activate();
    answeringMenu([&] { QTest::keyClick(&window, Qt::Key_Menu); }, Qt::Key_X);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(env.store.commits, 1);
}

TEST_F(FaceKeyboard, ARightClickOnTheCaseOpensTheMenuOnlyThere) {
    const struct {
        const char* where;
        QPoint at;
        bool leftHeld, menu;
    } cases[] = {
        {"case", QPoint(5, 5), false, true},
        {"case, dragging", QPoint(5, 5), true, false},
        {"display", centre(Element::imgLCD), false, false},
        {"digit", centre(Element::imgDH2_1), false, false},
        {"button", centre(Element::imgOptBut), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        QWindow* w = window.windowHandle();
        if (c.leftHeld)
            QTest::mousePress(w, Qt::LeftButton, {}, c.at);
        // The menu opens on the press on Linux, on the release on Windows.
        const auto entries = answeringMenu(
            [&] {
                QTest::mousePress(w, Qt::RightButton, {}, c.at);
                QTest::mouseRelease(w, Qt::RightButton, {}, c.at);
            },
            0);
        EXPECT_EQ(entries.has_value(), c.menu);
        if (entries) {
            EXPECT_EQ(*entries, kEntries);
        }
        if (c.leftHeld)
            QTest::mouseRelease(w, Qt::LeftButton, {}, c.at);
    }
    // The presses the menu swallowed leave no state behind: a button still answers its click.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre(Element::imgOptBut));
    EXPECT_TRUE(optionsShown());
}

TEST_F(FaceKeyboard, AScreenReaderFindsTheButtonsTheLightAndTheTime) {
    state.setLight(true);
    state.setCaption("alarm set to: 7:5:0 PM   2002/March    Friday");
    probe(window).Timer1_Timer();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    ASSERT_TRUE(face);
    QMap<QString, QAccessibleInterface*> byName;
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface* c = face->child(i);
        ASSERT_TRUE(c && c->isValid());
        EXPECT_EQ(c->parent(), face);
        EXPECT_EQ(face->indexOfChild(c), i);
        byName[c->text(QAccessible::Name)] = c;
    }
    const struct {
        const char* name;
        Element element;
    } buttons[] = {{"Alarm", Element::imgAlarmBut},   {"Options", Element::imgOptBut},
                   {"Skins", Element::imgMontBut},    {"About", Element::imgYearBut},
                   {"Say Time", Element::imgDateBut}, {"Exit", Element::imgExitBut}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        QAccessibleInterface* c = byName.value(b.name);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->role(), QAccessible::Button);
        const QRect r = FacePainter::rectOf(b.element);
        EXPECT_EQ(c->rect(), QRect(window.mapToGlobal(r.topLeft()), r.size()));
        EXPECT_EQ(face->childAt(c->rect().center().x(), c->rect().center().y()), c);
        ASSERT_TRUE(c->actionInterface());
        EXPECT_EQ(c->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
    }
    QAccessibleInterface* light = byName.value("Alarm light");
    ASSERT_TRUE(light);
    EXPECT_EQ(light->role(), QAccessible::CheckBox);
    EXPECT_TRUE(light->state().checked && light->state().checkable && light->state().readOnly);
    EXPECT_EQ(light->text(QAccessible::Description), "alarm set to: 7:5:0 PM   2002/March    Friday");
    ASSERT_TRUE(byName.value("alarm set to: 7:5:0 PM   2002/March    Friday")); // the caption
    // Sunday 23 September 2001, 13:45:07
    QAccessibleInterface* display = byName.value("1:45:07 PM, Sunday 23 September 2001");
    ASSERT_TRUE(display);
    EXPECT_EQ(display->role(), QAccessible::StaticText);
    EXPECT_EQ(byName.size(), 9);
    EXPECT_EQ(face->text(QAccessible::Name), "Morvantis");

    // Pressing through the screen reader answers at once and then runs the button's action.
    byName.value("Options")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(optionsShown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return optionsShown(); }, 2000));
}
