#include "alarm/frmMusic.h"
#include "support/AlarmSettings.h"
#include "support/ModalDriver.h"
#include "support/TestServices.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::ModalDriver;
using morvantis::test::TestServices;

// Readable failures.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QStringList entries(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

class MusicDialog : public ::testing::Test {
protected:
    MusicDialog() { env.clock.set(2001, 12, 19, 10, 58, 30); } // a Wednesday morning
    ~MusicDialog() override { delete dialog.data(); }

    // A fresh dialog, shown and active, loaded at the given instant.
    void open(int year, int month, int day, int hour, int minute, int second = 30) {
        env.clock.set(year, month, day, hour, minute, second);
        open();
    }
    void open() {
        delete dialog.data();
        state.setLight(true); // ALARM lights it as it opens the dialog
        dialog = new frmMusic(env.services, state);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    template <class T = QWidget> T* get(const char* name) {
        T* w = dialog->findChild<T*>(QLatin1String(name));
        if (!w)
            ADD_FAILURE() << "no control " << name;
        return w;
    }
    QComboBox* list(const char* name) { return get<QComboBox>(name); }
    QString text(const char* name) { return get<QLineEdit>(name)->text(); }
    // The user picks an entry: a click opens the list, the arrow keys move to the entry, Enter takes it.
    void choose(const char* name, int index) {
        QComboBox* c = list(name);
        QTest::mouseClick(c, Qt::LeftButton);
        QAbstractItemView* view = c->view();
        ASSERT_TRUE(view->window()->isVisible());
        while (view->currentIndex().row() != index) {
            const int row = view->currentIndex().row();
            QTest::keyClick(view, row < index ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_NE(view->currentIndex().row(), row);
        }
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_FALSE(view->window()->isVisible());
        ASSERT_EQ(c->currentIndex(), index);
    }
    // Replaces a field's text as a user would: focus, select all, type.
    void type(const char* name, const QString& keys) {
        QLineEdit* f = get<QLineEdit>(name);
        f->setFocus(Qt::MouseFocusReason);
        f->selectAll();
        if (keys.isEmpty())
            QTest::keyClick(f, Qt::Key_Delete);
        else
            QTest::keyClicks(f, keys);
    }
    // The focus in the dialog: under Wine another program's window may hold the activation for a
    // moment, and the application then has no focus widget while the dialog keeps its own.
    static QWidget* focused() {
        if (QWidget* w = QApplication::focusWidget())
            return w;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<frmMusic*>(top) && top->isVisible())
                return top->focusWidget();
        return nullptr;
    }
    void tab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    // A click on an option button's circle.
    void clickOption(const char* name) {
        QWidget* o = get(name);
        QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
    }
    void pressEnter() { QTest::keyClick(focused(), Qt::Key_Return); }

    TestServices env;
    ClockState state;
    QPointer<frmMusic> dialog;
    int lightOffs = 0;
    QString caption;
    const QMetaObject::Connection lightWatch =
        QObject::connect(&state, &ClockState::lightChanged, [this](bool on) {
            if (!on)
                ++lightOffs;
        });
    const QMetaObject::Connection captionWatch =
        QObject::connect(&state, &ClockState::captionChanged, [this](const QString& c) { caption = c; });
};

} // namespace

TEST_F(MusicDialog, IsTheFixedAlarmDialogWithItsLimits) {
    open();
    EXPECT_EQ(dialog->objectName(), "frmMusic");
    EXPECT_EQ(dialog->windowTitle(), "Alarm");
    EXPECT_EQ(dialog->size(), QSize(410, 196));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_FALSE(flags &
                 (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint));
    for (const char* name : {"txtHour", "txtMin", "txtSec"})
        EXPECT_EQ(get<QLineEdit>(name)->maxLength(), 2) << name;
    EXPECT_EQ(get<QLineEdit>("txtCustom")->maxLength(), 350);

    // Tab visits the groups in turn; the option buttons are one stop.
    QStringList visited;
    QWidget* start = focused();
    ASSERT_NE(start, nullptr);
    do {
        visited << focused()->objectName();
        QTest::keyClick(focused(), Qt::Key_Tab);
    } while (focused() != start && visited.size() < 20);
    EXPECT_EQ(visited, (QStringList{"cboFastSelect", "txtHour", "txtMin", "txtSec", "cboAmPm", "cboDay",
                                    "cboMonth", "cboYear", "optWin", "cboImportance", "cmdOK", "cmdCancel"}));
}

TEST_F(MusicDialog, LoadFillsTheListsAndTheTimeFromNow) {
    open(2001, 12, 19, 22, 7, 5);
    EXPECT_EQ(entries(list("cboDay")),
              (QStringList{"<Today>", "Thursday", "Friday", "Saturday", "Sunday", "Monday", "Tuesday"}));
    EXPECT_EQ(entries(list("cboMonth")),
              (QStringList{"<This Month>", "January", "February", "March", "April", "May", "June", "July",
                           "August", "September", "October", "November"}));
    const QStringList years = entries(list("cboYear"));
    ASSERT_EQ(years.size(), 21);
    EXPECT_EQ(years.first(), "<This Year>");
    EXPECT_EQ(years[1], "2002");
    EXPECT_EQ(years.last(), "2021");
    EXPECT_EQ(entries(list("cboFastSelect")), (QStringList{" ", "5 Min Later", "10 Min Later", "15 Min Later",
                                                           "20 Min Later", "30 Min Later", "45 Min Later"}));
    for (const char* name : {"cboDay", "cboMonth", "cboYear", "cboFastSelect", "cboImportance"})
        EXPECT_EQ(list(name)->currentIndex(), 0) << name;
    EXPECT_EQ(list("cboImportance")->currentText(), "Low(Green)");
    EXPECT_EQ(text("txtHour"), "10");
    EXPECT_EQ(text("txtMin"), "07");
    EXPECT_EQ(text("txtSec"), "05");
    EXPECT_EQ(list("cboAmPm")->currentText(), "PM");
    EXPECT_TRUE(get<QRadioButton>("optWin")->isChecked());
    EXPECT_FALSE(get("txtCustom")->isEnabled());
    EXPECT_TRUE(get("cboImportance")->isEnabled());

    open(2001, 12, 19, 0, 0, 0);
    EXPECT_EQ(text("txtHour"), "12");
    EXPECT_EQ(list("cboAmPm")->currentText(), "AM");
}

TEST_F(MusicDialog, FastSelectCarriesIntoTheHourHalfAndDate) {
    const struct {
        const char* what;
        int month, day, hour, minute, entry;
        const char *h, *m, *ampm, *dayText, *monthText, *yearText;
    } cases[] = {
        {"before noon", 12, 19, 10, 58, 1, "11", "3", "AM", "<Today>", "<This Month>", "<This Year>"},
        {"into noon", 12, 19, 11, 58, 1, "12", "3", "PM", "<Today>", "<This Month>", "<This Year>"},
        {"past midnight", 12, 19, 23, 50, 3, "12", "5", "AM", "Thursday", "<This Month>", "<This Year>"},
        {"past midnight on the last of the year", 12, 31, 23, 50, 3, "12", "5", "AM", "Tuesday", "January",
         "2002"},
        {"without a carry", 12, 19, 10, 20, 5, "10", "50", "AM", "<Today>", "<This Month>", "<This Year>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open(2001, c.month, c.day, c.hour, c.minute);
        choose("cboFastSelect", c.entry);
        EXPECT_EQ(text("txtHour"), c.h);
        EXPECT_EQ(text("txtMin"), c.m);
        EXPECT_EQ(text("txtSec"), "30");
        EXPECT_EQ(list("cboAmPm")->currentText(), c.ampm);
        EXPECT_EQ(list("cboDay")->currentText(), c.dayText);
        EXPECT_EQ(list("cboMonth")->currentText(), c.monthText);
        EXPECT_EQ(list("cboYear")->currentText(), c.yearText);
    }
    // On 31 December the alarm lands on 1 January, a Tuesday.
    open(2001, 12, 31, 23, 50);
    choose("cboFastSelect", 3);
    pressEnter();
    EXPECT_EQ(caption, "alarm set to: 12:5:30 AM   2002/January    Tuesday");
    EXPECT_FALSE(dialog && dialog->isVisible());

    // The arrow keys pass two carrying entries: the date moves once.
    open(2001, 12, 19, 23, 50);
    list("cboFastSelect")->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(list("cboFastSelect"), Qt::Key_Down);
    EXPECT_EQ(list("cboFastSelect")->currentIndex(), 3);
    EXPECT_EQ(list("cboDay")->currentText(), "Thursday");

    // The blank entry chosen by the user puts back now's minute.
    open(2001, 12, 19, 10, 20);
    choose("cboFastSelect", 5);
    EXPECT_EQ(text("txtMin"), "50");
    choose("cboFastSelect", 0);
    EXPECT_EQ(text("txtMin"), "20");
}

TEST_F(MusicDialog, KeyAndFocusRules) {
    open(2001, 12, 19, 10, 20);
    // Typing in a time field blanks the fast select without undoing its minute.
    choose("cboFastSelect", 5);
    for (int i = 0; i < 3; ++i)
        tab(); // over the hour and the minute into the seconds
    EXPECT_EQ(focused()->objectName(), "txtSec");
    QTest::keyClicks(focused(), "4");
    EXPECT_EQ(list("cboFastSelect")->currentIndex(), 0);
    EXPECT_EQ(text("txtMin"), "50");
    EXPECT_EQ(text("txtSec"), "4");

    // A date or AM/PM list taking focus blanks the fast select.
    choose("cboFastSelect", 2);
    QTest::mouseClick(list("cboMonth"), Qt::LeftButton);
    QTest::keyClick(list("cboMonth")->view(), Qt::Key_Escape);
    EXPECT_EQ(list("cboFastSelect")->currentIndex(), 0);
    EXPECT_EQ(text("txtMin"), "30");

    // The fast select taking focus puts the date lists back on their current entries.
    QTest::keyClick(list("cboMonth"), Qt::Key_Down);
    QTest::keyClick(list("cboMonth"), Qt::Key_Tab); // into cboYear
    QTest::keyClick(list("cboYear"), Qt::Key_Down);
    list("cboDay")->setCurrentIndex(3);
    QTest::keyClick(dialog, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(focused()->objectName(), "cboFastSelect");
    for (const char* name : {"cboDay", "cboMonth", "cboYear"})
        EXPECT_EQ(list(name)->currentIndex(), 0) << name;

    // A time field reached by Tab or Shift+Tab comes selected whole, wherever its caret stood.
    QTest::keyClick(list("cboFastSelect"), Qt::Key_Tab);
    EXPECT_EQ(get<QLineEdit>("txtHour")->selectedText(), "10");
    get<QLineEdit>("txtHour")->setCursorPosition(1);
    QTest::keyClick(get("txtHour"), Qt::Key_Tab);
    QTest::keyClick(get("txtMin"), Qt::Key_Backtab);
    EXPECT_EQ(get<QLineEdit>("txtHour")->selectedText(), "10");

    // Seconds changing turn a minute of 0 into "00" and leave text alone.
    type("txtMin", "0");
    type("txtSec", "1");
    EXPECT_EQ(text("txtMin"), "00");
    type("txtMin", "ab");
    type("txtSec", "2");
    EXPECT_EQ(text("txtMin"), "ab");
}

TEST_F(MusicDialog, PastCheckOnlyForTodayInThisMonthAndYear) {
    open(2001, 12, 19, 10, 0, 0);
    type("txtHour", "9");
    pressEnter();
    ASSERT_EQ(env.prompts.shown.size(), 1u);
    EXPECT_EQ(env.prompts.shown[0].text, "Your selected time is past.");
    EXPECT_EQ(env.prompts.shown[0].title, "Invalid Time");
    EXPECT_EQ(env.prompts.shown[0].icon, Prompts::Icon::Information);
    EXPECT_TRUE(dialog->isVisible());

    choose("cboMonth", 1);
    pressEnter();
    EXPECT_EQ(env.prompts.shown.size(), 1u);
    EXPECT_FALSE(dialog && dialog->isVisible());
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Month), "January");
    EXPECT_EQ(caption, "alarm set to: 9:0:0 AM   2001/January    Wednesday");
}

TEST_F(MusicDialog, OkRefusesBadFieldsAndKeepsWhatItRead) {
    const struct {
        const char *field, *typed;
        const char* message;
        Prompts::Icon icon;
        const char* focus; // where the cursor goes; nullptr: stays on OK
        int hour, min;     // the record afterwards
    } cases[] = {
        {"txtHour", "0", "Hour must be between 1 to 12", Prompts::Icon::Information, "txtHour", 0, 0},
        {"txtMin", "75", "Min must be between 0 to 59", Prompts::Icon::Information, "txtMin", 10, 75},
        {"txtSec", "60", "Sec must be between 0 to 59", Prompts::Icon::Information, "txtSec", 10, 58},
        {"txtSec", "", "Invalid Time!\nPlease Try Again.", Prompts::Icon::None, nullptr, 10, 58},
        {"txtHour", "ab", "Invalid Time!\nPlease Try Again.", Prompts::Icon::None, nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.typed + "'");
        state.load(Settings());
        env.prompts.shown.clear();
        open(2001, 12, 19, 10, 58);
        type(c.field, c.typed);
        QTest::mouseClick(get<QPushButton>("cmdOK"), Qt::LeftButton);
        ASSERT_EQ(env.prompts.shown.size(), 1u);
        EXPECT_EQ(env.prompts.shown[0].text, c.message);
        EXPECT_EQ(env.prompts.shown[0].title, "Morvantis");
        EXPECT_EQ(env.prompts.shown[0].icon, c.icon);
        EXPECT_EQ(env.prompts.shown[0].buttons, Prompts::Buttons::Ok);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(focused()->objectName(), c.focus ? c.focus : "cmdOK");
        if (c.focus) { // back in the field, its text selected: what is typed next replaces it
            EXPECT_EQ(get<QLineEdit>(c.focus)->selectedText(), c.typed);
        }
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Hour), std::to_string(c.hour));
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Min), std::to_string(c.min));
        EXPECT_TRUE(morvantis::test::stored(state.settings().alarm, AlarmKey::Day).empty());
    }
}

TEST_F(MusicDialog, KeysAloneMendAFieldTheMessageNamed) {
    open(2001, 12, 19, 10, 58);
    type("txtHour", "13");
    pressEnter();
    ASSERT_EQ(env.prompts.shown.size(), 1u);
    QTest::keyClicks(focused(), "11");
    EXPECT_EQ(text("txtHour"), "11");
    pressEnter();
    EXPECT_FALSE(dialog && dialog->isVisible());
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Hour), "11");
}

TEST_F(MusicDialog, OkStoresTheWeekdayForTodayAndTheChosenOne) {
    open(2001, 12, 19, 10, 58, 30);
    choose("cboImportance", 1);
    pressEnter();
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Day), "Wednesday");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Month), "December");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Year), "2001");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::AmPm), "AM");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Yellow), "True");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Message), "True");
    EXPECT_EQ(caption, "alarm set to: 10:58:30 AM   2001/December    Wednesday");
    EXPECT_EQ(lightOffs, 0);

    open();
    choose("cboDay", 2);
    pressEnter();
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Day), "Friday");

    // An evening user setting 7 AM is woken the next morning.
    open(2001, 12, 19, 21, 0);
    type("txtHour", "7");
    choose("cboAmPm", 0);
    pressEnter();
    EXPECT_TRUE(env.prompts.shown.empty());
    EXPECT_EQ(caption, "alarm set to: 7:0:30 AM   2001/December    Thursday");
}

TEST_F(MusicDialog, OptionButtonsWriteTheirFlagsAtOnceAndCancelDisarms) {
    const struct {
        const char* option;
        bool shake, custom, customField, importance;
        const char* day;
    } cases[] = {
        {"optShake", true, false, false, false, "Monday"},
        {"optCus", false, true, true, true, "Tuesday"},
        {"optWin", false, false, false, true, "Wednesday"},
    };
    open();
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        morvantis::test::setStored(state, AlarmKey::BolShake, !c.shake);
        morvantis::test::setStored(state, AlarmKey::CustomBol, !c.custom);
        morvantis::test::setStored(state, AlarmKey::Day,
                                   c.day); // changed meanwhile, as a snooze from the alert does
        clickOption(c.option);
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::BolShake), formatTruth(c.shake));
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::CustomBol),
                  formatTruth(c.custom));
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Day), c.day)
            << "the report is made from the settings of that moment";
        for (const auto& [name, on] :
             {std::pair{"txtCustom", c.customField}, {"cboImportance", c.importance}}) {
            EXPECT_EQ(get(name)->isEnabled(), on) << name;
            EXPECT_EQ(get(name)->palette().color(QPalette::Base), on ? window : buttonFace) << name;
        }
    }
    clickOption("optShake");
    QTest::mouseClick(get<QPushButton>("cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(lightOffs, 1);
    EXPECT_FALSE(dialog && dialog->isVisible());
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::BolShake), "True");
    EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Message),
              "False"); // only OK writes it
    EXPECT_TRUE(caption.isEmpty());
}

TEST_F(MusicDialog, EnterEscapeAndCloseEndTheModalDialog) {
    const struct {
        const char* what;
        // 0: closed by another window of the program, found by its name; -1: by the window system;
        // -2: through its QWindow, as Qt's Wayland plugin hands on a compositor's close
        int key;
        int result, lightOffs;
        bool stored;
    } cases[] = {
        {"Enter is OK", Qt::Key_Return, QDialog::Accepted, 0, true},
        {"Escape is Cancel", Qt::Key_Escape, QDialog::Rejected, 1, false},
        {"closed by the program", 0, QDialog::Rejected, 0, false},
        {"a title bar's close is Cancel", -1, QDialog::Rejected, 1, false},
        {"a compositor's close is Cancel", -2, QDialog::Rejected, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        state.load(Settings());
        lightOffs = 0;
        state.setLight(true);
        QPointer<frmMusic> modal = new frmMusic(env.services, state);
        ModalDriver driver([&](QWidget* w) {
            ASSERT_EQ(w, modal.data());
            if (c.key > 0) {
                QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, static_cast<Qt::Key>(c.key));
                return;
            }
            if (c.key == -2) {
                w->windowHandle()->close();
                return;
            }
            if (c.key < 0) {
                QCloseEvent close;
                QSpontaneKeyEvent::setSpontaneous(&close);
                qApp->notify(
                    w, &close); // as the window system delivers it: sendEvent would make it the program's own
                return;
            }
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* music = qobject_cast<frmMusic*>(top))
                    music->unload();
        });
        EXPECT_EQ(modal->exec(), c.result);
        EXPECT_TRUE(driver.acted());
        EXPECT_TRUE(modal.isNull()) << "it deletes itself when it closes";
        delete modal.data();
        EXPECT_EQ(lightOffs, c.lightOffs);
        EXPECT_EQ(morvantis::test::stored(state.settings().alarm, AlarmKey::Day).empty(), !c.stored);
    }
}

TEST_F(MusicDialog, AccessKeysReachTheirControls) {
    const struct {
        Qt::Key key;
        const char* focus;
    } cases[] = {
        {Qt::Key_T, "cboFastSelect"}, {Qt::Key_F, "cboFastSelect"}, {Qt::Key_M, "txtMin"},
        {Qt::Key_S, "txtSec"},        {Qt::Key_A, "cboAmPm"},       {Qt::Key_D, "cboDay"},
        {Qt::Key_Y, "cboDay"},        {Qt::Key_R, "cboYear"},       {Qt::Key_E, "optWin"},
        {Qt::Key_I, "cboImportance"}, {Qt::Key_N, "cboImportance"}, {Qt::Key_K, "optShake"},
        {Qt::Key_U, "optCus"},        {Qt::Key_W, "optWin"},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        get("cmdCancel")->setFocus();
        QTest::keyClick(dialog, c.key, Qt::AltModifier);
        if (QString(c.focus).startsWith("opt")) {
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return get<QRadioButton>(c.focus)->isChecked();
            })); // it clicks after its press animation
        }
        EXPECT_EQ(focused()->objectName(), c.focus);
    }
    // Two captions share H: it goes to each in turn.
    QStringList reached;
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(dialog, Qt::Key_H, Qt::AltModifier);
        reached << focused()->objectName();
    }
    reached.sort();
    EXPECT_EQ(reached, (QStringList{"cboMonth", "txtHour"}));
    // OK and Cancel by their keys.
    QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog || !dialog->isVisible(); }));
    EXPECT_FALSE(morvantis::test::stored(state.settings().alarm, AlarmKey::Day).empty());
    open();
    QTest::keyClick(dialog, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog || !dialog->isVisible(); }));
    EXPECT_EQ(lightOffs, 1);
}
