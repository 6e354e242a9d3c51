// The face at device-pixel ratios other than 1, on two virtual screens at 1 and 1.5.
#include "platform/QtPictures.h"
#include "support/ClockWindowTest.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTransform>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace morvantis;
using morvantis::test::probe;

namespace {

QRgb colourOf(std::size_t i) {
    return qRgb(static_cast<int>(40 + i * 37 % 200), static_cast<int>(20 + i * 71 % 220),
                static_cast<int>(10 + i * 113 % 240));
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
}

// A background with rounded, see-through corners and a soft band of alphas around them; all
// blue, which no element is.
QImage background() {
    const int w = kFaceWidthTwips / 15, h = kFaceHeightTwips / 15;
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
            const int d = dx + dy;
            const int alpha = d < 9 ? 0 : d < 13 ? (d - 9) * 64 : 255;
            image.setPixel(x, y, qRgba((x * 7) & 0xff, (y * 5) & 0xff, 255, alpha));
        }
    return image;
}

} // namespace

// Every element fills exactly its rectangle's device pixels, as the background's pixels and the
// window's shape are mapped, so neighbours meet without a gap or an overlap; the background is
// opaque exactly where Qt's scaled shape lets the window be seen.
TEST(FaceAtARatio, ElementsMeetTheBackgroundsPixelsAndTheShapeItsOpaqueOnes) {
    const QImage bg = background();
    FaceModel face;
    face.setBackground(std::make_shared<QtPicture>(bg));
    for (std::size_t i = 1; i < kElementCount; ++i) {
        const QRect r = FacePainter::rectOf(elementAt(i));
        // Pictures of their rectangle's size and of twice and of an odd size: each way of scaling.
        const QSize size = i % 3 == 0 ? r.size() : i % 3 == 1 ? r.size() * 2 : r.size() + QSize(3, 1);
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colourOf(i));
        face.setPicture(elementAt(i), std::make_shared<QtPicture>(picture));
    }
    const QRegion shape = *FacePainter::shapeOf(bg, bg.size());
    for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        SCOPED_TRACE(ratio);
        FacePainter painter;
        const QRect device = FacePainter::deviceRect(bg.rect(), ratio);
        QImage out(device.size(), QImage::Format_ARGB32_Premultiplied);
        out.setDevicePixelRatio(ratio);
        out.fill(Qt::transparent);
        {
            QPainter p(&out);
            painter.paint(p, face, bg.rect(), ratio);
        }
        // What the window system is given for the shape (QHighDpi's mapping of a window's mask).
        const QRegion deviceShape = QTransform::fromScale(ratio, ratio).map(shape);
        // The frontmost element over each device pixel, 0 for none.
        std::vector<std::size_t> front(static_cast<std::size_t>(out.width() * out.height()), 0);
        for (std::size_t i = kElementCount; i-- > 1;)
            if (face.isVisible(elementAt(i))) {
                const QRect r =
                    FacePainter::deviceRect(FacePainter::rectOf(elementAt(i)), ratio) & out.rect();
                for (int y = r.top(); y <= r.bottom(); ++y)
                    std::fill_n(front.begin() + y * out.width() + r.left(), r.width(), i);
            }
        int wrong = 0, elements = 0;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const QRgb got = out.pixel(x, y);
                const std::size_t i = front[static_cast<std::size_t>(y * out.width() + x)];
                // Unscaled, the background keeps its own alphas.
                const int alpha = ratio == 1                           ? qAlpha(bg.pixel(x, y))
                                  : deviceShape.contains(QPoint(x, y)) ? 255
                                                                       : 0;
                const bool right =
                    i ? near(got, colourOf(i))
                      : qAlpha(got) == alpha && (alpha == 0 || qBlue(qUnpremultiply(got)) >= 253);
                elements += i ? 1 : 0;
                if (!right && wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " "
                                  << (i ? info(elementAt(i)).name : "background") << " " << std::hex << got;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(elements, out.width() * out.height() / 4);
    }
}

// The window's shape is given to the window system again when the window goes to a screen of
// another ratio, and back: told by the change of screen, or else seen at the next paint.
TEST(FaceAtARatio, TheShapeFollowsTheWindowToAScreenOfAnotherRatio) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "two virtual screens from tests/clock/two_screens.json";
    ASSERT_EQ(screens[1]->devicePixelRatio(), 1.5);
    // Drops the window's news of a change of screen.
    struct Untold : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            return event->type() == QEvent::ScreenChangeInternal;
        }
    };
    for (const bool told : {true, false}) {
        SCOPED_TRACE(told ? "told" : "seen at the paint");
        morvantis::test::TestServices env;
        ClockEnd end;
        ClockState state;
        frmMain window{env.services, state, end};
        Untold untold;
        if (!told)
            window.installEventFilter(&untold);
        window.show();
        window.setMask(QRegion(0, 0, 50, 50));
        ASSERT_TRUE(window.windowHandle());
        EXPECT_EQ(probe(window).shapeRatio(), 1);
        for (QScreen* screen : {screens[1], screens[0], screens[1]}) {
            window.windowHandle()->setScreen(screen);
            window.grab(); // the paint that follows a change of ratio
            QCoreApplication::processEvents();
            ASSERT_EQ(window.devicePixelRatioF(), screen->devicePixelRatio());
            EXPECT_EQ(probe(window).shapeRatio(), screen->devicePixelRatio());
        }
        end.begin(0);
    }
}
