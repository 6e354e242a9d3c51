#include "info/URLLink.h"
#include "platform/QtShell.h"
#include "support/FakePrompts.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace morvantis;
using morvantis::test::FakePrompts;
using morvantis::test::FakeShell;

namespace {

const QString kHome = QStringLiteral("/opt/morvantis/docs/skins.html");

// The pointer shape in force right now, or nothing when no override is set.
std::optional<Qt::CursorShape> overridePointer() {
    if (const QCursor* c = QApplication::overrideCursor())
        return c->shape();
    return std::nullopt;
}

// Notes the pointer in force while the desktop is asked to open an address.
class PointerProbeShell final : public Shell {
public:
    void openUrl(const std::string& address) override {
        opened.push_back(address);
        during.push_back(overridePointer());
    }
    std::vector<std::string> opened;
    std::vector<std::optional<Qt::CursorShape>> during;
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QApplication::overrideCursor(), nullptr);
        link.resize(300, 40);
        link.show();
    }
    void TearDown() override {
        // A leaked override would spoil every later test.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void press(Qt::MouseButton button) { QTest::mousePress(link.lblURL(), button, {}, QPoint(3, 3)); }
    void release(Qt::MouseButton button) { QTest::mouseRelease(link.lblURL(), button, {}, QPoint(3, 3)); }
    void click(Qt::MouseButton button) {
        press(button);
        release(button);
    }

    FakeShell shell;
    FakePrompts prompts;
    URLLink link{shell, prompts, kHome};
};

TEST_F(LinkTest, OnlyALeftPressOpensTheAddress) {
    link.setURL(QStringLiteral("https://example.org/skins"));
    int events = 0;
    QObject::connect(&link, &URLLink::GoToURL, [&](QString&, bool&) { ++events; });

    press(Qt::RightButton);
    press(Qt::MiddleButton);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(shell.opened.empty());
    release(Qt::MiddleButton);
    release(Qt::RightButton);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(shell.opened.empty());

    press(Qt::LeftButton);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.org/skins"});
    release(Qt::LeftButton);
    EXPECT_EQ(shell.opened.size(), 1u) << "the release must not open it again";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LinkTest, ADoubleClickOpensOnce) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&link));
    QTest::mouseDClick(link.windowHandle(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(LinkTest, ACancellingHandlerStopsTheOpeningAndLeavesThePointerAlone) {
    std::optional<Qt::CursorShape> duringHandler = Qt::ArrowCursor;
    QObject::connect(&link, &URLLink::GoToURL, [&](QString& url, bool& cancel) {
        EXPECT_FALSE(cancel);
        EXPECT_EQ(url, kHome);
        duringHandler = overridePointer();
        cancel = true;
    });
    click(Qt::LeftButton);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(duringHandler, std::nullopt);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LinkTest, AHandlerMayReplaceTheAddressWithoutChangingURL) {
    link.setURL(QStringLiteral("https://example.org/a"));
    QObject::connect(&link, &URLLink::GoToURL,
                     [](QString& url, bool&) { url += QStringLiteral("?lang=en"); });
    // A later handler sees what the earlier one left.
    QObject::connect(&link, &URLLink::GoToURL, [](QString& url, bool&) { url.replace("/a", "/b"); });
    click(Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.org/b?lang=en"});
    EXPECT_EQ(link.URL(), QStringLiteral("https://example.org/a"));

    // Each press starts again from the property.
    click(Qt::LeftButton);
    EXPECT_EQ(shell.opened.back(), "https://example.org/b?lang=en");
}

TEST(LinkPointer, BusyOnlyWhileOpening) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    PointerProbeShell probe;
    FakePrompts prompts;
    URLLink link(probe, prompts, kHome);
    link.show();
    QTest::mouseClick(link.lblURL(), Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(probe.opened, std::vector<std::string>{kHome.toStdString()});
    EXPECT_EQ(probe.during.front(), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LinkTest, AFailedOpeningIsReportedAndThePointerRestored) {
    link.setURL(QStringLiteral("mailto:someone"));
    shell.failWith = true;
    shell.failNumber = 5;
    shell.failDescription = "Invalid procedure call or argument";
    std::optional<Qt::CursorShape> whileShown = Qt::ArrowCursor;
    prompts.onMessage = [&](const FakePrompts::Shown&) { whileShown = overridePointer(); };

    click(Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 1u);
    const auto& m = prompts.shown.front();
    EXPECT_EQ(m.text, "Unable to load 'mailto:someone' : Invalid procedure call or argument (Error 5)");
    EXPECT_EQ(m.title, "");
    EXPECT_EQ(m.icon, Prompts::Icon::None);
    EXPECT_EQ(m.buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(whileShown, std::nullopt) << "no busy pointer over a box that waits for the user";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The address named is the one actually tried, after the handlers.
    QObject::connect(&link, &URLLink::GoToURL, [](QString& url, bool&) { url = QStringLiteral("x:y"); });
    click(Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown.back().text,
              "Unable to load 'x:y' : Invalid procedure call or argument (Error 5)");
}

TEST(LinkWithTheDesktop, NoHandlerToStartIsAFailedOpening) {
    // The real shell on a platform that can start no handler (here: the offscreen one).
    QtShell shell;
    FakePrompts prompts;
    URLLink link(shell, prompts, QStringLiteral("https://example.invalid/skins"));
    link.show();
    QTest::mouseClick(link.lblURL(), Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Unable to load 'https://example.invalid/skins' : No application is "
                                     "associated with the specified file for this operation (Error 31)");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LinkTest, TheLabelIsExactlyAsLargeAsItsText) {
    // The label's own font decides, not the control's.
    QFont big = link.font();
    big.setPointSize(40);
    link.setFont(big);

    link.setText(QStringLiteral("Get more skins"));
    QLabel* label = link.lblURL();
    EXPECT_EQ(label->pos(), QPoint(0, 0));
    EXPECT_EQ(label->size(), label->sizeHint());
    const int shortWidth = label->width();
    EXPECT_GT(shortWidth, 0);

    link.setText(QStringLiteral("Get more skins for the clock"));
    EXPECT_GT(label->width(), shortWidth);
    EXPECT_EQ(label->size(), label->sizeHint());

    link.setText(QString());
    EXPECT_EQ(label->width(), 0);
    EXPECT_EQ(link.size(), QSize(300, 40)) << "the control itself keeps its size";

    // Markup is shown as typed, and measured that way.
    link.setText(QStringLiteral("<b>bold</b>"));
    EXPECT_EQ(label->text(), QStringLiteral("<b>bold</b>"));
    EXPECT_EQ(label->size(), label->sizeHint());
}

TEST_F(LinkTest, LooksLikeALink) {
    const QLabel* label = link.lblURL();
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), link.palette().color(QPalette::Highlight));
    if (QPixmap(QStringLiteral(":/img/hand.png")).isNull())
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    else
        EXPECT_EQ(label->cursor().hotSpot(), QPoint(13, 5));

    // A new system highlight colour carries over to the link.
    QPalette p = link.palette();
    p.setColor(QPalette::Highlight, QColor(12, 34, 56));
    link.setPalette(p);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(12, 34, 56));
}

TEST_F(LinkTest, TheToolTipFollowsShowToolTipAndURL) {
    const QLabel* label = link.lblURL();
    EXPECT_TRUE(label->toolTip().isEmpty());

    link.setShowToolTip(true);
    EXPECT_EQ(label->toolTip(), kHome);
    link.setURL(QStringLiteral("https://example.org/new"));
    EXPECT_EQ(label->toolTip(), QStringLiteral("https://example.org/new"));

    link.setShowToolTip(false);
    EXPECT_TRUE(label->toolTip().isEmpty());
    link.setURL(QStringLiteral("https://example.org/other"));
    EXPECT_TRUE(label->toolTip().isEmpty());

    // An address that looks like markup is shown as written, never rendered.
    const QString odd = QStringLiteral("<img src=\"/etc/hostname\">&amp;");
    link.setURL(odd);
    link.setShowToolTip(true);
    QTextDocument shown;
    shown.setHtml(label->toolTip());
    EXPECT_EQ(shown.toPlainText(), odd);
}

TEST_F(LinkTest, EveryWriterNotifiesItsProperty) {
    QSignalSpy spy(&link, &URLLink::propertyChanged);
    link.setText(QStringLiteral("a"));
    link.setURL(QStringLiteral("b"));
    link.setShowToolTip(true);
    ASSERT_EQ(spy.size(), 3);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("Text"));
    EXPECT_EQ(spy.at(1).at(0).toString(), QStringLiteral("URL"));
    EXPECT_EQ(spy.at(2).at(0).toString(), QStringLiteral("ShowToolTip"));
}

TEST_F(LinkTest, MissingStoredPropertiesGiveTheDefaultAddress) {
    link.setText(QStringLiteral("changed"));
    link.setURL(QStringLiteral("changed"));
    link.setShowToolTip(true);

    link.ReadProperties({});
    EXPECT_EQ(link.Text(), kHome);
    EXPECT_EQ(link.URL(), kHome);
    EXPECT_FALSE(link.ShowToolTip());
    EXPECT_TRUE(link.lblURL()->toolTip().isEmpty());
    click(Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<std::string>{kHome.toStdString()});

    // Only some stored: the rest take their defaults; the tooltip shows the address just read.
    link.ReadProperties({{"ShowToolTip", true}, {"Text", QVariant()}});
    EXPECT_EQ(link.Text(), kHome);
    EXPECT_EQ(link.lblURL()->toolTip(), kHome);
}

TEST_F(LinkTest, StoredPropertiesReadBack) {
    link.ReadProperties(
        {{"Text", "Get more skins"}, {"URL", "https://example.org/skins"}, {"ShowToolTip", "True"}});
    EXPECT_EQ(link.Text(), QStringLiteral("Get more skins"));
    EXPECT_EQ(link.URL(), QStringLiteral("https://example.org/skins"));
    EXPECT_TRUE(link.ShowToolTip());
    EXPECT_EQ(link.lblURL()->toolTip(), QStringLiteral("https://example.org/skins"));

    // Flags as a text store keeps them.
    const struct {
        QVariant stored;
        bool expected;
    } flags[] = {{"true", true}, {" FALSE ", false}, {"-1", true}, {"0", false}, {1, true}, {0, false}};
    for (const auto& f : flags) {
        SCOPED_TRACE(f.stored.toString().toStdString());
        link.ReadProperties({{"ShowToolTip", f.stored}});
        EXPECT_EQ(link.ShowToolTip(), f.expected);
    }
}

TEST_F(LinkTest, ABadStoredPropertyFallsBackToTheDefaults) {
    const QVariantMap bad[] = {
        {{"Text", "Get more skins"}, {"ShowToolTip", "sometimes"}},
        {{"Text", "Get more skins"}, {"URL", QVariantList{1, 2}}},
        {{"Text", QVariantMap{{"a", 1}}}, {"URL", "https://example.org"}},
        {{"URL", "https://example.org"}, {"ShowToolTip", QStringList{"true"}}},
    };
    for (const QVariantMap& bag : bad) {
        SCOPED_TRACE(bag.keys().join(',').toStdString());
        link.setText(QStringLiteral("before"));
        link.setURL(QStringLiteral("before"));
        link.setShowToolTip(true);
        link.ReadProperties(bag);
        EXPECT_EQ(link.Text(), kHome);
        EXPECT_EQ(link.URL(), kHome);
        EXPECT_FALSE(link.ShowToolTip());
        EXPECT_TRUE(link.lblURL()->toolTip().isEmpty());
    }
}

TEST_F(LinkTest, WritingLeavesOutDefaultsAndRoundTrips) {
    EXPECT_TRUE(link.WriteProperties().isEmpty());

    link.setText(QStringLiteral("Get more skins"));
    link.setShowToolTip(true);
    QVariantMap bag = link.WriteProperties();
    EXPECT_EQ(bag.keys(), (QStringList{"ShowToolTip", "Text"}));

    link.setURL(QStringLiteral("https://example.org/skins"));
    bag = link.WriteProperties();
    EXPECT_EQ(bag.size(), 3);

    URLLink copy(shell, prompts, kHome);
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Text(), link.Text());
    EXPECT_EQ(copy.URL(), link.URL());
    EXPECT_EQ(copy.ShowToolTip(), link.ShowToolTip());

    link.setText(kHome);
    link.setURL(kHome);
    link.setShowToolTip(false);
    EXPECT_TRUE(link.WriteProperties().isEmpty());
}

TEST(LinkLifetime, AHandlerMayDestroyTheLink) {
    FakeShell shell;
    FakePrompts prompts;
    auto* link = new URLLink(shell, prompts, kHome);
    link->show();
    QObject::connect(link, &URLLink::GoToURL, [&](QString&, bool&) { delete link; });
    QTest::mousePress(link->lblURL(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(shell.opened.empty());
    QWidget elsewhere;
    QTest::mouseRelease(&elsewhere, Qt::LeftButton); // the button must not stay down for later tests
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
