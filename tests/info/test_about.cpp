#include "info/frmAbout.h"
#include "support/ModalDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace morvantis;
using morvantis::test::ModalDriver;

namespace {

// Lets the closed window's deferred deletion happen.
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* focusTarget(QWidget* window) {
    return window->focusWidget() ? window->focusWidget() : window;
}

TEST(About, EnterEscapeAndOKCloseAndDestroyIt) {
    const struct {
        const char* name;
        int key; // 0: click OK with the mouse
        Qt::KeyboardModifiers modifiers;
        bool focusInNotice;
    } cases[] = {
        {"Return on OK", Qt::Key_Return, Qt::NoModifier, false},
        {"keypad Enter on OK", Qt::Key_Enter, Qt::KeypadModifier, false},
        {"Escape on OK", Qt::Key_Escape, Qt::NoModifier, false},
        {"Return in the notice", Qt::Key_Return, Qt::NoModifier, true},
        {"Escape in the notice", Qt::Key_Escape, Qt::NoModifier, true},
        {"mouse on OK", 0, Qt::NoModifier, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<frmAbout> about = new frmAbout;
        ModalDriver driver([&](QWidget* modal) {
            ASSERT_EQ(modal, about.data());
            auto* ok = modal->findChild<QPushButton*>("cmdOK");
            ASSERT_NE(ok, nullptr);
            if (c.key == 0) {
                QTest::mouseClick(ok, Qt::LeftButton);
                return;
            }
            if (c.focusInNotice)
                modal->findChild<QPlainTextEdit*>("txtProtext")->setFocus();
            QWidget* target = focusTarget(modal);
            EXPECT_EQ(target->objectName(), c.focusInNotice ? "txtProtext" : "cmdOK");
            QTest::keyClick(target, static_cast<Qt::Key>(c.key), c.modifiers);
        });
        about->exec();
        EXPECT_TRUE(driver.acted());
        EXPECT_FALSE(driver.timedOut());
        flushDeletes();
        EXPECT_TRUE(about.isNull()) << "closing must dispose of the window";
        delete about.data(); // only when the test already failed
    }
}

TEST(About, TheClockKeepsTickingButTakesNoInputWhileItIsOpen) {
    QWidget clock;
    auto* button = new QPushButton(QStringLiteral("year"), &clock);
    button->setGeometry(0, 0, 80, 30);
    clock.resize(200, 100);
    clock.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clock));
    int presses = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++presses; });
    QTest::mouseClick(clock.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(presses, 1) << "the stand-in clock must take clicks to begin with";

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);

    int ticksWhenClosing = 0;
    auto* about = new frmAbout(&clock);
    ModalDriver driver([&](QWidget* modal) {
        QTest::mouseClick(clock.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        QTimer::singleShot(300, modal, [&, modal] {
            ticksWhenClosing = ticks;
            QTest::keyClick(focusTarget(modal), Qt::Key_Escape);
        });
    });
    about->exec();
    EXPECT_FALSE(driver.timedOut());
    EXPECT_GE(ticksWhenClosing, 5);
    EXPECT_EQ(presses, 1) << "the clock window must not react while the about window is open";

    flushDeletes();
    QCoreApplication::processEvents();
    QTest::mouseClick(clock.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(presses, 2) << "input resumes once it is closed";
}

TEST(About, FixedSizeAndLook) {
    frmAbout about;
    EXPECT_EQ(about.size(), QSize(382, 271));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    about.resize(600, 400);
    EXPECT_EQ(about.size(), QSize(382, 271));
    EXPECT_TRUE(about.windowTitle().isEmpty());

    const QImage face = about.grab().toImage();
    EXPECT_EQ(face.pixelColor(250, 140), QColor(0, 50, 101)) << "background";
    EXPECT_EQ(face.pixelColor(100, 155), QColor(128, 128, 128)) << "rule, dark line";
    EXPECT_EQ(face.pixelColor(100, 156), QColor(Qt::white)) << "rule, light line";

    // The framed picture keeps its own size inside 2 pixels of border.
    auto* art = about.findChild<QLabel*>("Image3");
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(art->geometry(), QRect(268, 7, 109, 104));
    const int m = art->margin();
    EXPECT_EQ(art->contentsRect().adjusted(m, m, -m, -m), QRect(2, 2, 105, 100));
    EXPECT_EQ(face.pixelColor(318, 7), QColor(Qt::white)) << "border line";
    EXPECT_EQ(face.pixelColor(318, 8), QColor(0, 50, 101)) << "space inside the line";
}

} // namespace

TEST(About, EveryOpeningDrawsItsIconsFromTheSameCachedPictures) {
    // Qt caches what it draws of an icon under the picture's identity: a new picture per
    // opening left a few kilobytes behind each time the window was opened.
    const auto keys = [] {
        frmAbout about;
        const auto* ok = about.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        return std::pair{about.windowIcon().pixmap(32, 32).cacheKey(), ok->icon().pixmap(32, 32).cacheKey()};
    };
    EXPECT_EQ(keys(), keys());
}

TEST(About, TheNoticeNamesTheSkinGuideAndTheReadmeWhereTheyAre) {
    QTemporaryDir root;
    const QString installed = root.path() + "/usr/share/morvantis";
    const QString readme = root.path() + "/usr/share/doc/morvantis/README.md";
    QDir().mkpath(QFileInfo(readme).path());
    ASSERT_TRUE(QFile(readme).open(QIODevice::WriteOnly));
    const QString built = root.path() + "/build";
    QDir().mkpath(built);
    const struct {
        const char* name;
        QString dataFolder;
        QString guide;
        QString readme; // empty: none to name
    } cases[] = {
        {"installed", installed, installed + "/docs/skins.html", readme},
        {"installed, named with ..", root.path() + "/usr/bin/../share/morvantis",
         installed + "/docs/skins.html", readme},
        {"run from the build folder", built, built + "/docs/skins.html", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmAbout about(nullptr, c.dataFolder);
        const QString notice = about.findChild<QPlainTextEdit*>("txtProtext")->toPlainText();
        EXPECT_TRUE(notice.contains("see " + c.guide + ".")) << notice.toStdString();
        if (c.readme.isEmpty())
            EXPECT_FALSE(notice.contains("README")) << notice.toStdString();
        else
            EXPECT_TRUE(notice.contains("see " + c.readme + ".")) << notice.toStdString();
        EXPECT_TRUE(notice.contains("Terms of use")) << "the terms must stay";
    }
}
