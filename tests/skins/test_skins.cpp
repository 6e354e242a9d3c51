#include "clock/frmMain.h"
#include "info/URLLink.h"
#include "settings/frmOptions.h"
#include "skins/SkinRules.h"
#include "skins/frmChoseSkin.h"
#include "support/ClockWindowTest.h"
#include "support/Controls.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::control;
using morvantis::test::FakePrompts;
using morvantis::test::TestServices;

namespace {

QString sourceDir() {
    return qEnvironmentVariable("MORVANTIS_SOURCE_DIR", QStringLiteral(MORVANTIS_SOURCE_DIR_DEFAULT));
}

bool copyDir(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir src(from);
    for (const QString& f : src.entryList(QDir::Files))
        if (!QFile::copy(src.filePath(f), to + "/" + f))
            return false;
    return true;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A program folder of the test's own with a Skins folder built from the shipped default skin.
class Skins : public morvantis::test::ClockWindowTest {
protected:
    Skins() { state.set(&Settings::ThemeNo, std::int16_t{0}); }
    QString skins() const { return env.dir.path() + "/Skins"; }
    QString addSkin(const QString& name) {
        const QString to = skins() + "/" + name;
        EXPECT_TRUE(copyDir(sourceDir() + "/data/Skins/Digital Age", to));
        return to;
    }
    std::vector<const FakePrompts::Shown*> messages(std::string_view title) const {
        std::vector<const FakePrompts::Shown*> out;
        for (const auto& m : env.prompts.shown)
            if (m.title == title)
                out.push_back(&m);
        return out;
    }
    std::string themePath(const QString& name) const {
        return env.dir.path().toStdString() + "/Skins/" + name.toStdString();
    }
};

std::uint32_t colourOf(const std::string& line) {
    return *infoColour(line);
}

} // namespace

TEST_F(Skins, ListIsOrderedByNameWithoutCaseAndThemeNoPicksTheSkin) {
    addSkin("digital Age");
    addSkin("Blue");
    const QString zebra = addSkin("Zebra");
    writeFile(zebra + "/info.txt", "255 000 000 Stripes.");
    state.set(&Settings::ThemeNo, 2);
    window.SetThemeElse();
    QListWidget* list = control<QListWidget>(probe(window).skinChooser(), "List1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Blue");
    EXPECT_EQ(list->item(1)->text(), "digital Age");
    EXPECT_EQ(list->item(2)->text(), "Zebra");
    EXPECT_EQ(state.settings().ThemePath, themePath("Zebra"));
    EXPECT_EQ(state.settings().ThemeNo, 2);
    EXPECT_EQ(window.face().captionColor(), 0xff0000u);
    EXPECT_EQ(control<QPlainTextEdit>(probe(window).skinChooser(), "Text1")->toPlainText(), "Stripes.");
    EXPECT_FALSE(probe(window).skinChooser().isVisible()); // created hidden
    EXPECT_TRUE(env.prompts.shown.empty());
}

TEST_F(Skins, TheChooserSelectsAlikeBeforeAndAfterItsListIsBuilt) {
    addSkin("A");
    addSkin("B");
    window.SetThemeElse();
    frmChoseSkin& chooser = probe(window).skinChooser();
    ASSERT_FALSE(chooser.findChild<QListWidget*>()); // start-up builds no list
    for (const bool built : {false, true}) {
        SCOPED_TRACE(built ? "built" : "names only");
        if (built) {
            ASSERT_EQ(control<QListWidget>(chooser, "List1")->currentRow(), chooser.listIndex());
        }
        int selected = 0;
        const auto c = QObject::connect(&chooser, &frmChoseSkin::skinSelected, [&] { ++selected; });
        chooser.setListIndex(chooser.listIndex()); // the current entry again
        chooser.setListIndex(chooser.count());
        chooser.setListIndex(1 - chooser.listIndex());
        QObject::disconnect(c);
        EXPECT_EQ(selected, 1);
        EXPECT_EQ(state.settings().ThemePath, themePath(chooser.listIndex() ? "B" : "A"));
        EXPECT_EQ(chooser.selectedText(), chooser.listIndex() ? "B" : "A");
    }
}

TEST_F(Skins, ASuccessfulLoadGivesEveryElementItsPicture) {
    addSkin("Digital Age");
    window.SetThemeElse();
    const FaceModel& f = window.face();
    ASSERT_TRUE(f.background());
    EXPECT_EQ(f.background()->width(), 575);
    EXPECT_EQ(f.picture(Element::imgExitBut), f.picture(Element::imgOptBut));
    EXPECT_EQ(f.picture(Element::imgExitButP), f.picture(Element::imgOptButP));
    EXPECT_EQ(f.picture(Element::imgMontBut), f.picture(Element::imgDateBut));
    EXPECT_EQ(f.picture(Element::imgMontBut), f.picture(Element::imgYearBut));
    EXPECT_EQ(f.picture(Element::imgDH2_3), f.picture(Element::imgDS1_3));
    EXPECT_EQ(f.picture(Element::imgDMT1_1), f.picture(Element::imgDY4_1));
    EXPECT_NE(f.picture(Element::imgDH2_1), f.picture(Element::imgDMT1_1));
    EXPECT_TRUE(f.picture(Element::imgLight_Off));
    for (Element e :
         {Element::imgAM_Off, Element::imgPM_Off, Element::imgDH1_Off, Element::imgDH2_Off,
          Element::imgDDot_Off, Element::imgDDot2_Off, Element::imgDMT1_Off, Element::imgDDT1_Off})
        EXPECT_FALSE(f.picture(e)) << info(e).name;
    std::size_t withPicture = 0;
    for (std::size_t i = 1; i < kElementCount; ++i)
        withPicture += f.picture(elementAt(i)) != nullptr;
    EXPECT_EQ(withPicture, 135u);
}

TEST_F(Skins, AMissingPictureFallsBackToTheDefaultSkin) {
    addSkin("Digital Age");
    const QString broken = addSkin("Broken");
    writeFile(broken + "/info.txt", "255 255 255 White.");
    QFile::remove(broken + "/7s.gif");
    state.set(&Settings::ThemeNo, 0); // Broken sorts first
    window.SetThemeElse();
    const auto shown = messages(kSkinLoadErrorTitle);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->text, skinLoadErrorText(themePath("Broken")));
    EXPECT_EQ(shown[0]->icon, Prompts::Icon::Information);
    EXPECT_EQ(shown[0]->buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(state.settings().ThemePath, env.dir.path().toStdString() + "/Skins/Digital Age");
    EXPECT_EQ(state.settings().ThemeNo, 0); // still the failing skin
    QFile info(sourceDir() + "/data/Skins/Digital Age/info.txt");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_EQ(window.face().captionColor(), colourOf(info.readLine().toStdString()));
    EXPECT_TRUE(window.face().picture(Element::imgDDT2_7));
    EXPECT_FALSE(window.ending());
}

namespace {

// A GIF whose logical screen is w x h pixels, drawn by a single pixel: tiny on disk, large decoded.
QByteArray gifOfSize(int w, int h) {
    QByteArray g("GIF89a");
    g.append(char(w & 0xff)).append(char(w >> 8)).append(char(h & 0xff)).append(char(h >> 8));
    g.append("\x80\x00\x00", 3);                           // two colours
    g.append("\x00\x00\x00\xff\xff\xff", 6);               // black, white
    g.append(",\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10); // one pixel at 0,0
    g.append("\x02\x02\x44\x01\x00;", 6);                  // clear, 0, end
    return g;
}

} // namespace

TEST_F(Skins, UntrustedFilesGoDownTheFailurePath) {
    addSkin("Digital Age");
    const auto readAll = [](const QString& file) {
        QFile f(sourceDir() + "/data/Skins/Digital Age/" + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray gif = readAll("0.gif");
    const QByteArray base = readAll("base.gif");
    QByteArray huge("GIF89a");
    huge.append("\xff\xff\xff\xff\x00\x00\x00", 7);
    huge.append(",\x00\x00\x00\x00\xff\xff\xff\xff\x00\x02\x02\x44\x01\x00;", 17);
    using Make = std::function<void(const QString& dir)>;
    const auto bytes = [](const char* file, const QByteArray& b) -> Make {
        return [=](const QString& dir) { writeFile(dir + "/" + file, b); };
    };
    const auto pipe = [](const char* file) -> Make {
        return [=](const QString& dir) {
            QFile::remove(dir + "/" + file);
            ASSERT_EQ(mkfifo(QFile::encodeName(dir + "/" + file).constData(), 0644), 0);
        };
    };
    const struct {
        const char* what;
        Make make;
    } cases[] = {
        {"truncated", bytes("0.gif", gif.left(gif.size() / 3))},
        {"corrupt", bytes("0.gif", QByteArray("GIF89a") + QByteArray(200, '\xee'))},
        {"absurd declared size", bytes("0.gif", huge)},
        {"not a GIF", bytes("0.gif", QByteArray("\x89PNG\r\n\x1a\n", 8))},
        {"empty", bytes("base.gif", QByteArray())},
        {"no colour", bytes("info.txt", QByteArray("\x00\x01\x02\xff binary", 12))},
        {"no first line", bytes("info.txt", QByteArray())},
        {"cut inside the picture data", bytes("base.gif", base.left(base.size() * 2 / 3))},
        {"a named pipe for info.txt", pipe("info.txt")},
        {"a named pipe for a picture", pipe("base.gif")},
        {"one picture past the pixel budget", bytes("base.gif", gifOfSize(2048, 2048))},
        {"pictures past the pixel budget together",
         [](const QString& dir) {
             for (const char* n : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
                 writeFile(dir + "/" + n + ".gif", gifOfSize(240, 240));
         }},
    };
    int expected = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name =
            QStringLiteral("ZBad%1").arg(expected, 2, 10, QLatin1Char('0')); // after the default skin
        const QString dir = addSkin(name);
        c.make(dir);
        state.set(&Settings::ThemePath, themePath(name));
        // Select through the chooser so the whole path runs.
        QListWidget* list = control<QListWidget>(probe(window).skinChooser(), "List1");
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const int row = list->row(found[0]);
        probe(window).skinChooser().setListIndex(row);
        ++expected;
        EXPECT_EQ(messages(kSkinLoadErrorTitle).size(), static_cast<std::size_t>(expected));
        EXPECT_FALSE(window.ending());
        EXPECT_EQ(state.settings().ThemeNo, row); // the failing entry stays current
        EXPECT_EQ(state.settings().ThemePath, themePath("Digital Age"));
        delete &probe(window).skinChooser(); // the next case lists the new folder
        state.set(&Settings::ThemeNo, 0);
    }
}

TEST_F(Skins, TheBudgetLeavesRoomForGenerousSkins) {
    // Every picture twice the shipped size in each direction but the background: still a skin.
    addSkin("Digital Age");
    const QString big = addSkin("Big");
    const QString names[] = {"lcd",
                             "alarmbutton",
                             "alarmbuttonp",
                             "alarmon",
                             "alarmoff",
                             "OptionButton",
                             "OptionButtonp",
                             "but",
                             "butp",
                             "am",
                             "pm",
                             "dot",
                             "0",
                             "1",
                             "2",
                             "3",
                             "4",
                             "5",
                             "6",
                             "7",
                             "8",
                             "9",
                             "0s",
                             "1s",
                             "2s",
                             "3s",
                             "4s",
                             "5s",
                             "6s",
                             "7s",
                             "8s",
                             "9s",
                             "sun",
                             "mon",
                             "tue",
                             "wed",
                             "thu",
                             "fri",
                             "sat"};
    std::uint64_t total = 575 * 240;
    const int lcdWidth = QImage(big + "/lcd.gif").width();
    for (const QString& n : names) {
        const QImage shipped(big + "/" + n + ".gif");
        ASSERT_FALSE(shipped.isNull()) << n.toStdString();
        writeFile(big + "/" + n + ".gif", gifOfSize(2 * shipped.width(), 2 * shipped.height()));
        total += 4ull * shipped.width() * shipped.height();
    }
    ASSERT_LE(total, skinPixelBudget(1.0));
    state.set(&Settings::ThemeNo, 0); // Big sorts first
    window.SetThemeElse();
    EXPECT_TRUE(env.prompts.shown.empty()) << total;
    EXPECT_EQ(window.face().picture(Element::imgLCD)->width(), 2 * lcdWidth);
}

TEST_F(Skins, FolderLinksThatLoopAreListedOrSkippedButNeverHang) {
    addSkin("Digital Age");
    ASSERT_TRUE(QFile::link(skins(), skins() + "/Cycle"));          // a skin folder that is the skins folder
    ASSERT_TRUE(QFile::link(skins() + "/Self", skins() + "/Self")); // a link to itself
    state.set(&Settings::ThemeNo, 0);
    window.SetThemeElse();
    QListWidget* list = control<QListWidget>(probe(window).skinChooser(), "List1");
    ASSERT_EQ(list->item(0)->text(), "Cycle");
    EXPECT_EQ(messages(kSkinLoadErrorTitle).size(), 1u); // Cycle holds no pictures
    EXPECT_EQ(state.settings().ThemePath, themePath("Digital Age"));
    EXPECT_TRUE(list->findItems("Self", Qt::MatchExactly).isEmpty());
    EXPECT_FALSE(window.ending());
}

TEST_F(Skins, AVeryLongInfoLineIsReadOnlyInPart) {
    addSkin("Digital Age");
    const QString longLine = addSkin("Long");
    writeFile(longLine + "/info.txt", QByteArray("001 002 003 ") + QByteArray(8 * 1024 * 1024, 'x'));
    state.set(&Settings::ThemeNo, 1);
    window.SetThemeElse();
    EXPECT_TRUE(env.prompts.shown.empty());
    EXPECT_EQ(window.face().captionColor(), 0x010203u);
    EXPECT_LE(control<QPlainTextEdit>(probe(window).skinChooser(), "Text1")->toPlainText().size(),
              static_cast<int>(kInfoLineLimit));
}

TEST_F(Skins, NamesAreMatchedWithoutCase) {
    const QString dir = addSkin("Digital Age");
    QFile::rename(dir + "/0.gif", dir + "/0.GIF");
    QFile::rename(dir + "/OptionButton.gif", dir + "/optionbutton.gif");
    QFile::rename(dir + "/info.txt", dir + "/INFO.TXT");
    QDir().rename(skins(), env.dir.path() + "/SKINS");
    window.SetThemeElse();
    EXPECT_TRUE(env.prompts.shown.empty());
    EXPECT_TRUE(window.face().picture(Element::imgDH2_0));
    EXPECT_TRUE(window.face().picture(Element::imgOptBut));
}

TEST_F(Skins, ThemeNoPastTheEndLoadsTheSecondSkin) {
    addSkin("A");
    addSkin("B");
    addSkin("C");
    state.set(&Settings::ThemeNo, 7);
    window.SetThemeElse();
    EXPECT_EQ(state.settings().ThemeNo, 1);
    EXPECT_EQ(state.settings().ThemePath, themePath("B"));
    EXPECT_EQ(control<QListWidget>(probe(window).skinChooser(), "List1")->currentRow(), 1);
    EXPECT_TRUE(env.prompts.shown.empty());
}

TEST_F(Skins, ALoneSkinIsTakenAndNoSkinEndsTheProgram) {
    for (int skinsPresent : {0, 1}) {
        SCOPED_TRACE(skinsPresent);
        TestServices local;
        Settings s;
        s.ThemeNo = 5;
        ClockState localState(s);
        ClockEnd localEnd;
        QDir().mkpath(local.dir.path() + "/Skins");
        if (skinsPresent)
            copyDir(sourceDir() + "/data/Skins/Digital Age", local.dir.path() + "/Skins/Only");
        frmMain w(local.services, localState, localEnd);
        std::optional<int> status;
        QObject::connect(&localEnd, &ClockEnd::ended, [&](int code) { status = code; });
        w.SetThemeElse();
        EXPECT_EQ(local.store.writes.size(), 0u); // nothing saved
        if (skinsPresent) {
            EXPECT_EQ(status, std::nullopt);
            EXPECT_TRUE(local.prompts.shown.empty());
            EXPECT_EQ(localState.settings().ThemeNo, 0);
            EXPECT_TRUE(w.face().picture(Element::imgLCD));
            continue;
        }
        EXPECT_EQ(status, 1);
        ASSERT_EQ(local.prompts.shown.size(), 1u);
        EXPECT_EQ(local.prompts.shown[0].title, kNoSkinTitle);
        EXPECT_EQ(local.prompts.shown[0].text, kNoSkinText);
        EXPECT_EQ(local.prompts.shown[0].icon, Prompts::Icon::Critical);
    }
}

TEST_F(Skins, ABrokenDefaultSkinDoesNotLoop) {
    const QString dir = addSkin("Digital Age");
    addSkin("Other");
    QFile::remove(dir + "/lcd.gif");
    state.set(&Settings::ThemeNo, 0);
    window.SetThemeElse();
    EXPECT_EQ(messages(kSkinLoadErrorTitle).size(), 1u);
    EXPECT_TRUE(window.ending());
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(Skins, EscapeExitAndTheCloseBoxCloseTheChooserAndSkinsOpensItAfresh) {
    addSkin("Digital Age");
    window.SetThemeElse();
    window.show();
    const auto openChooser = [&] {
        const QPoint skins = FacePainter::rectOf(Element::imgMontBut).center();
        QTest::mouseClick(&window, Qt::LeftButton, {}, skins);
        std::vector<frmChoseSkin*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<frmChoseSkin*>(w); c && c->isVisible())
                shown.push_back(c);
        EXPECT_EQ(shown.size(), 1u);
        return shown.empty() ? nullptr : shown[0];
    };
    const std::pair<const char*, std::function<void(frmChoseSkin*)>> ways[] = {
        {"Escape",
         [](frmChoseSkin* c) { QTest::keyClick(control<QListWidget>(*c, "List1"), Qt::Key_Escape); }},
        {"Exit",
         [](frmChoseSkin* c) { QTest::mouseClick(control<QPushButton>(*c, "cmdExit"), Qt::LeftButton); }},
        {"close box", [](frmChoseSkin* c) { c->windowHandle()->close(); }},
    };
    const PictureHandle first = window.face().picture(Element::imgLCD);
    QPointer<frmChoseSkin> chooser = openChooser();
    EXPECT_EQ(window.face().picture(Element::imgLCD), first); // the chooser from start-up: nothing reloaded
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        ASSERT_TRUE(chooser);
        const PictureHandle before = window.face().picture(Element::imgLCD);
        close(chooser);
        EXPECT_FALSE(chooser && chooser->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(chooser);                                     // discarded
        EXPECT_EQ(window.face().picture(Element::imgLCD), before); // closing changes no skin
        // SKINS creates it afresh, which applies ThemeNo once more.
        chooser = openChooser();
        EXPECT_NE(window.face().picture(Element::imgLCD), before);
        EXPECT_EQ(state.settings().ThemeNo, 0);
    }
}

TEST_F(Skins, SelectingAnEntryAppliesItAtOnce) {
    addSkin("Digital Age");
    const QString red = addSkin("Red");
    writeFile(red + "/info.txt", "255 000 000");
    window.SetThemeElse();
    probe(window).skinChooser().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&probe(window).skinChooser()));
    QListWidget* list = control<QListWidget>(probe(window).skinChooser(), "List1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down); // the keyboard moves the selection
    EXPECT_EQ(state.settings().ThemeNo, 1);
    EXPECT_EQ(state.settings().ThemePath, themePath("Red"));
    EXPECT_EQ(window.face().captionColor(), 0xff0000u);
    EXPECT_EQ(control<QPlainTextEdit>(probe(window).skinChooser(), "Text1")->toPlainText().toStdString(),
              kNoDescription);
    EXPECT_EQ(control<URLLink>(probe(window).skinChooser(), "URLLink1")->Text(), "Get more skins");
    EXPECT_EQ(probe(window).skinChooser().windowTitle(), "Select Skin");
    // The link's whole text is inside the window, whatever the font.
    const URLLink* link = control<URLLink>(probe(window).skinChooser(), "URLLink1");
    const QRect text = link->lblURL()->geometry().translated(link->pos());
    EXPECT_TRUE(link->rect().contains(link->lblURL()->geometry())) << link->width();
    EXPECT_TRUE(probe(window).skinChooser().rect().contains(text)) << text.right();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(state.settings().ThemeNo, 0);
    EXPECT_EQ(state.settings().ThemePath, themePath("Digital Age"));
}

TEST_F(Skins, TheDescriptionBoxWrapsItsTextWithNoSidewaysScrolling) {
    writeFile(addSkin("Red") + "/info.txt", "255 000 000");
    window.SetThemeElse();
    probe(window).skinChooser().show(); // the first time, on a skin without a description
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&probe(window).skinChooser()));
    QPlainTextEdit* text = control<QPlainTextEdit>(probe(window).skinChooser(), "Text1");
    EXPECT_EQ(text->toPlainText().toStdString(), kNoDescription);
    EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
    text->setPlainText(QString("W").repeated(200)); // one word wider than the box
    EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
}

TEST_F(Skins, GetMoreSkinsIsReachedByTabAndOpenedByReturnOrSpace) {
    addSkin("Digital Age");
    window.SetThemeElse();
    frmChoseSkin& chooser = probe(window).skinChooser();
    chooser.show();
    QApplication::setActiveWindow(&chooser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    QListWidget* list = control<QListWidget>(chooser, "List1");
    URLLink* link = control<URLLink>(chooser, "URLLink1");
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), link);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(link, key);
    const std::string page = link->URL().toStdString();
    EXPECT_EQ(env.shell.opened, std::vector<std::string>({page, page}));
    QTest::keyClick(link, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QPushButton>(chooser, "cmdExit"));
}
