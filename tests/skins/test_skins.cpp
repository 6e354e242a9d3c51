#include "app/frmMain.h"
#include "info/URLLink.h"
#include "skins/SkinRules.h"
#include "skins/frmChoseSkin.h"
#include "support/TestServices.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

using namespace morvantis;
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
class Skins : public ::testing::Test {
protected:
    Skins() {
        settings.ThemeNo = 0;
        window.Timer1()->stop();
        window.Timer2()->stop();
        window.onEnd = [this](int status) { exitStatus = status; };
    }
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

    TestServices env;
    Settings settings;
    frmMain window{env.services, settings};
    std::optional<int> exitStatus;
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
    settings.ThemeNo = 2;
    window.SetThemeElse();
    QListWidget* list = window.skinChooser().List1();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Blue");
    EXPECT_EQ(list->item(1)->text(), "digital Age");
    EXPECT_EQ(list->item(2)->text(), "Zebra");
    EXPECT_EQ(settings.ThemePath, themePath("Zebra"));
    EXPECT_EQ(settings.ThemeNo, 2);
    EXPECT_EQ(window.face().captionColor(), 0xff0000u);
    EXPECT_EQ(window.skinChooser().Text1()->toPlainText(), "Stripes.");
    EXPECT_FALSE(window.skinChooser().isVisible()); // created hidden
    EXPECT_TRUE(env.prompts.shown.empty());
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
    settings.ThemeNo = 0; // Broken sorts first
    window.SetThemeElse();
    const auto shown = messages(kSkinLoadErrorTitle);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->text, skinLoadErrorText(themePath("Broken")));
    EXPECT_EQ(shown[0]->icon, Prompts::Icon::Information);
    EXPECT_EQ(shown[0]->buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(settings.ThemePath, env.dir.path().toStdString() + "/Skins/Digital Age");
    EXPECT_EQ(settings.ThemeNo, 0); // still the failing skin
    QFile info(sourceDir() + "/data/Skins/Digital Age/info.txt");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_EQ(window.face().captionColor(), colourOf(info.readLine().toStdString()));
    EXPECT_TRUE(window.face().picture(Element::imgDDT2_7));
    EXPECT_FALSE(window.ending());
}

TEST_F(Skins, UntrustedFilesGoDownTheFailurePath) {
    addSkin("Digital Age");
    QFile good(sourceDir() + "/data/Skins/Digital Age/0.gif");
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray gif = good.readAll();
    QByteArray huge("GIF89a");
    huge.append("\xff\xff\xff\xff\x00\x00\x00", 7);
    huge.append(",\x00\x00\x00\x00\xff\xff\xff\xff\x00\x02\x02\x44\x01\x00;", 17);
    const struct {
        const char* file;
        QByteArray bytes;
    } cases[] = {
        {"0.gif", gif.left(gif.size() / 3)},                       // truncated
        {"0.gif", QByteArray("GIF89a") + QByteArray(200, '\xee')}, // corrupt
        {"0.gif", huge},                                           // absurd declared size
        {"0.gif", QByteArray("\x89PNG\r\n\x1a\n", 8)},             // not a GIF
        {"base.gif", QByteArray()},                                // empty
        {"info.txt", QByteArray("\x00\x01\x02\xff binary", 12)},   // no colour
        {"info.txt", QByteArray()},                                // no first line
    };
    int expected = 0;
    for (const auto& c : cases) {
        const QString name =
            QStringLiteral("ZBad%1").arg(expected); // after the default skin, which ThemeNo 0 applies
        const QString dir = addSkin(name);
        writeFile(dir + "/" + c.file, c.bytes);
        settings.ThemePath = themePath(name);
        // Select through the chooser so the whole path runs.
        window.skinChooser();
        const int row = window.skinChooser().List1()->findItems(name, Qt::MatchExactly).value(0)
                            ? window.skinChooser().List1()->row(
                                  window.skinChooser().List1()->findItems(name, Qt::MatchExactly)[0])
                            : -1;
        ASSERT_GE(row, 0) << name.toStdString();
        window.skinChooser().setListIndex(row);
        ++expected;
        EXPECT_EQ(messages(kSkinLoadErrorTitle).size(), static_cast<std::size_t>(expected))
            << c.file << " " << expected;
        EXPECT_FALSE(window.ending());
        EXPECT_EQ(settings.ThemeNo, row); // the failing entry stays current
        delete &window.skinChooser();     // the next case lists the new folder
        settings.ThemeNo = 0;
    }
}

TEST_F(Skins, FolderLinksThatLoopAreListedOrSkippedButNeverHang) {
    addSkin("Digital Age");
    ASSERT_TRUE(QFile::link(skins(), skins() + "/Cycle"));          // a skin folder that is the skins folder
    ASSERT_TRUE(QFile::link(skins() + "/Self", skins() + "/Self")); // a link to itself
    settings.ThemeNo = 0;
    window.SetThemeElse();
    QListWidget* list = window.skinChooser().List1();
    ASSERT_EQ(list->item(0)->text(), "Cycle");
    EXPECT_EQ(messages(kSkinLoadErrorTitle).size(), 1u); // Cycle holds no pictures
    EXPECT_EQ(settings.ThemePath, themePath("Digital Age"));
    EXPECT_TRUE(list->findItems("Self", Qt::MatchExactly).isEmpty());
    EXPECT_FALSE(window.ending());
}

TEST_F(Skins, AVeryLongInfoLineIsReadOnlyInPart) {
    addSkin("Digital Age");
    const QString longLine = addSkin("Long");
    writeFile(longLine + "/info.txt", QByteArray("001 002 003 ") + QByteArray(8 * 1024 * 1024, 'x'));
    settings.ThemeNo = 1;
    window.SetThemeElse();
    EXPECT_TRUE(env.prompts.shown.empty());
    EXPECT_EQ(window.face().captionColor(), 0x010203u);
    EXPECT_LE(window.skinChooser().Text1()->toPlainText().size(), static_cast<int>(kInfoLineLimit));
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
    settings.ThemeNo = 7;
    window.SetThemeElse();
    EXPECT_EQ(settings.ThemeNo, 1);
    EXPECT_EQ(settings.ThemePath, themePath("B"));
    EXPECT_EQ(window.skinChooser().List1()->currentRow(), 1);
    EXPECT_TRUE(env.prompts.shown.empty());
}

TEST_F(Skins, ALoneSkinIsTakenAndNoSkinEndsTheProgram) {
    for (int skinsPresent : {0, 1}) {
        SCOPED_TRACE(skinsPresent);
        TestServices local;
        Settings s;
        s.ThemeNo = 5;
        QDir().mkpath(local.dir.path() + "/Skins");
        if (skinsPresent)
            copyDir(sourceDir() + "/data/Skins/Digital Age", local.dir.path() + "/Skins/Only");
        frmMain w(local.services, s);
        std::optional<int> status;
        w.onEnd = [&](int code) { status = code; };
        w.SetThemeElse();
        EXPECT_EQ(local.store.writes.size(), 0u); // nothing saved
        if (skinsPresent) {
            EXPECT_EQ(status, std::nullopt);
            EXPECT_TRUE(local.prompts.shown.empty());
            EXPECT_EQ(s.ThemeNo, 0);
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
    settings.ThemeNo = 0;
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
        {"Escape", [](frmChoseSkin* c) { QTest::keyClick(c->List1(), Qt::Key_Escape); }},
        {"Exit", [](frmChoseSkin* c) { QTest::mouseClick(c->cmdExit(), Qt::LeftButton); }},
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
        EXPECT_EQ(settings.ThemeNo, 0);
    }
}

TEST_F(Skins, SelectingAnEntryAppliesItAtOnce) {
    addSkin("Digital Age");
    const QString red = addSkin("Red");
    writeFile(red + "/info.txt", "255 000 000");
    window.SetThemeElse();
    window.skinChooser().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.skinChooser()));
    QListWidget* list = window.skinChooser().List1();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down); // the keyboard moves the selection
    EXPECT_EQ(settings.ThemeNo, 1);
    EXPECT_EQ(settings.ThemePath, themePath("Red"));
    EXPECT_EQ(window.face().captionColor(), 0xff0000u);
    EXPECT_EQ(window.skinChooser().Text1()->toPlainText().toStdString(), kNoDescription);
    EXPECT_EQ(window.skinChooser().URLLink1()->Text(), "Get more skins");
    EXPECT_EQ(window.skinChooser().windowTitle(), "Select Skin");
    // The link's whole text is inside the window, whatever the font.
    const URLLink* link = window.skinChooser().URLLink1();
    const QRect text = link->lblURL()->geometry().translated(link->pos());
    EXPECT_TRUE(link->rect().contains(link->lblURL()->geometry())) << link->width();
    EXPECT_TRUE(window.skinChooser().rect().contains(text)) << text.right();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(settings.ThemeNo, 0);
    EXPECT_EQ(settings.ThemePath, themePath("Digital Age"));
}
