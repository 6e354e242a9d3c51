// Pictures that belong to the program's windows rather than to a skin.

#include "Paint.h"
#include "Segments.h"
#include "SkinArt.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <cmath>

namespace {

const QColor kAboutBlue(0, 50, 101);        // about window background
const QColor kDialogGrey(0xef, 0xef, 0xef); // usual dialog background behind the signs

// The clock itself, as a small picture: a dark case with a grey-green display.
// Used by the icon, the about picture and the splash, at any size.
void drawMiniClock(QPainter& p, const QRectF& body, const QString& digits, bool withLight) {
    const double u = body.height() / 100.0; // one unit: a hundredth of the case height
    const double radius = std::max(1.5, 14 * u);

    QPainterPath caseShape;
    caseShape.addRoundedRect(body, radius, radius);
    QLinearGradient caseFill(body.topLeft(), body.bottomLeft());
    caseFill.setColorAt(0, QColor(0x55, 0x5a, 0x60));
    caseFill.setColorAt(1, QColor(0x1c, 0x1e, 0x21));
    p.fillPath(caseShape, caseFill);
    p.strokePath(caseShape, QPen(QColor(0x0a, 0x0b, 0x0c), std::max(1.0, 2.2 * u)));

    const double inset = std::max(2.0, 12 * u);
    QRectF panel = body.adjusted(inset, inset, -inset, -inset);
    if (withLight)
        panel.setTop(body.top() + std::max(4.0, 24 * u));
    QLinearGradient glass(panel.topLeft(), panel.bottomLeft());
    glass.setColorAt(0, QColor(0xcc, 0xd7, 0xb5));
    glass.setColorAt(1, QColor(0xa6, 0xb4, 0x8e));
    p.fillRect(panel, glass);
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0c), std::max(1.0, 1.5 * u)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel);
    p.setPen(Qt::NoPen);

    if (withLight) {
        const double r = std::max(1.6, 5.5 * u);
        const QPointF c(panel.left() + r, body.top() + (panel.top() - body.top()) / 2);
        QRadialGradient led(c - QPointF(r / 3, r / 3), r * 1.2);
        led.setColorAt(0, QColor(0xff, 0x9a, 0x8a));
        led.setColorAt(0.5, QColor(0xf0, 0x30, 0x20));
        led.setColorAt(1, QColor(0x90, 0x10, 0x08));
        p.setBrush(led);
        p.drawEllipse(c, r, r);
    }

    // Digits with a colon in the middle, centred on the panel.
    const int count = int(digits.size());
    const double slant = 0.07;
    // Width of the row per unit of digit height; the row fills the panel's
    // height or 86 % of its width, whichever is reached first.
    const double perHeight = 0.55 * (count * 1.38 - 0.38 + (count >= 4 ? 0.75 : 0)) + slant;
    const double h = std::min(panel.height() * 0.66, panel.width() * 0.86 / perHeight);
    const double w = h * 0.55;
    const double pitch = w * 1.38;
    const double colon = count >= 4 ? w * 0.75 : 0;
    SegmentStyle style{std::max(0.9, h * 0.14), std::max(0.25, h * 0.03), slant};
    const double total = count * pitch - (pitch - w) + colon + slant * h;
    double x = panel.center().x() - total / 2;
    const double y = panel.center().y() - h / 2;
    const QColor ink(0x1b, 0x23, 0x19);
    p.setBrush(ink);
    for (int i = 0; i < count; ++i) {
        p.drawPath(sevenSegmentPath(QRectF(x, y, w, h), digitSegments(digits.at(i).digitValue()), style));
        x += pitch;
        if (colon > 0 && i == count / 2 - 1) {
            const double dot = style.thickness;
            const double cx = x - (pitch - w) / 2 + colon / 2 - slant * h / 2;
            p.drawPath(colonPath(cx, y + h * 0.28 - dot / 2, y + h * 0.72 - dot / 2, dot, slant, y + h));
            x += colon;
        }
    }
}

QImage drawIcon(int size) {
    QImage img = canvas(QSize(size, size));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF body(s * 0.03, s * 0.17, s * 0.94, s * 0.66);

    // A soft shadow under the case on the larger sizes.
    if (size >= 48) {
        QImage shade = canvas(img.size());
        QPainter sp(&shade);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(0, 0, 0, 110));
        sp.drawRoundedRect(body.translated(0, s * 0.03), s * 0.09, s * 0.09);
        sp.end();
        p.drawImage(0, 0, blurred(shade, std::max(1, size / 40), 3));
    }
    drawMiniClock(p, body, size >= 48 ? QStringLiteral("1200") : QStringLiteral("12"), size >= 48);
    return img;
}

// The icon as vectors for the scalable icon theme folder: the same clock, without the
// blurred shadow, which has no vector form.
void saveIconSvg(const QString& path) {
    const int size = 256;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(size, size));
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(QStringLiteral("Morvantis"));
    QPainter p(&svg);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    drawMiniClock(p, QRectF(s * 0.03, s * 0.17, s * 0.94, s * 0.66), QStringLiteral("1200"), true);
}

// ---------------------------------------------------------------- signs

QPainterPath exclamation(QPointF top, double height, double width) {
    QPainterPath path;
    const double bar = height * 0.66;
    QPainterPath stem;
    stem.moveTo(top + QPointF(-width / 2, 0));
    stem.lineTo(top + QPointF(width / 2, 0));
    stem.lineTo(top + QPointF(width * 0.32, bar));
    stem.lineTo(top + QPointF(-width * 0.32, bar));
    stem.closeSubpath();
    path.addPath(stem);
    path.addEllipse(top + QPointF(0, height - width * 0.55), width * 0.55, width * 0.55);
    return path;
}

QImage drawSign(int level) {
    QImage img = canvas(QSize(39, 39));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(19.5, 19.5);
    QPainterPath shape;
    QColor light, dark, mark;
    if (level == 0) {
        shape.addEllipse(c, 17.5, 17.5);
        light = QColor(0x7e, 0xd8, 0x6a);
        dark = QColor(0x1f, 0x86, 0x2a);
        mark = Qt::white;
    } else if (level == 1) {
        shape.moveTo(19.5, 2.5);
        shape.lineTo(37, 34.5);
        shape.lineTo(2, 34.5);
        shape.closeSubpath();
        light = QColor(0xff, 0xe4, 0x5c);
        dark = QColor(0xe8, 0xa8, 0x00);
        mark = QColor(0x2a, 0x22, 0x10);
    } else {
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45 * i) * M_PI / 180;
            oct << c + QPointF(std::cos(a) * 18, std::sin(a) * 18);
        }
        shape.addPolygon(oct);
        shape.closeSubpath();
        light = QColor(0xff, 0x6a, 0x5a);
        dark = QColor(0xc0, 0x16, 0x10);
        mark = Qt::white;
    }
    QLinearGradient fill(0, 2, 0, 37);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(dark.darker(150), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    if (level == 0) {
        // "i": a dot and a stem
        p.drawEllipse(QPointF(19.5, 11), 2.6, 2.6);
        p.drawRoundedRect(QRectF(17.2, 15.5, 4.6, 14), 1.2, 1.2);
    } else if (level == 1) {
        p.drawPath(exclamation(QPointF(19.5, 12), 19, 4.8));
    } else {
        p.drawPath(exclamation(QPointF(19.5, 8.5), 22, 5.4));
    }
    p.end();
    return flattenAlpha(img, kDialogGrey, 0.3);
}

// ---------------------------------------------------------------- about

QImage drawAboutLogo() {
    QImage img = canvas(QSize(145, 47));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f = fontOf(Face::GothicDemi, 31, 0.3);
    p.setFont(f);
    QLinearGradient ink(0, 8, 0, 34);
    ink.setColorAt(0, Qt::white);
    ink.setColorAt(1, QColor(0xb8, 0xd4, 0xf2));
    QPainterPath text;
    text.addText(QPointF(0, 0), f, QStringLiteral("Morvantis"));
    const QRectF b = text.boundingRect();
    text.translate(std::round((145 - b.width()) / 2 - b.left()), 31);
    p.fillPath(text, ink);
    // An unlit-and-lit segment bar under the name: the clock's own display.
    p.setPen(Qt::NoPen);
    const double left = (145 - b.width()) / 2;
    p.setBrush(QColor(0x9c, 0xc4, 0x6e));
    p.drawRoundedRect(QRectF(left + 1, 38, b.width() * 0.62, 3), 1.5, 1.5);
    p.setBrush(QColor(0x3d, 0x6a, 0x9a));
    p.drawRoundedRect(QRectF(left + 3 + b.width() * 0.62, 38, b.width() * 0.38 - 4, 3), 1.5, 1.5);
    p.end();
    return flattenAlpha(img, kAboutBlue, 0.12);
}

QImage drawAboutArt() {
    QImage img(QSize(105, 100), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(QPointF(52, 40), 80);
    sky.setColorAt(0, QColor(0x1d, 0x5c, 0xa0));
    sky.setColorAt(1, QColor(0x03, 0x2a, 0x58));
    p.fillRect(img.rect(), sky);

    // Desk surface
    QLinearGradient desk(0, 78, 0, 100);
    desk.setColorAt(0, QColor(0x0a, 0x24, 0x45));
    desk.setColorAt(1, QColor(0x02, 0x14, 0x2c));
    p.fillRect(QRectF(0, 78, 105, 22), desk);

    // Alarm waves above the clock
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(255, 214, 120, 220 - i * 60), 2.2, Qt::SolidLine, Qt::RoundCap));
        const double r = 7 + i * 6;
        p.drawArc(QRectF(80 - r, 22 - r, 2 * r, 2 * r), 20 * 16, 70 * 16);
        p.drawArc(QRectF(25 - r, 22 - r, 2 * r, 2 * r), 90 * 16, 70 * 16);
    }

    // Shadow, feet and the clock
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QRectF(10, 78, 85, 8));
    p.setBrush(QColor(0x15, 0x16, 0x18));
    p.drawRoundedRect(QRectF(18, 72, 12, 8), 2, 2);
    p.drawRoundedRect(QRectF(75, 72, 12, 8), 2, 2);
    drawMiniClock(p, QRectF(7, 28, 91, 48), QStringLiteral("0645"), true);
    p.end();
    return img;
}

// ---------------------------------------------------------------- others

QImage drawOk() {
    QImage img = canvas(QSize(32, 32));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(6, 17);
    tick.lineTo(13, 24);
    tick.lineTo(26, 8);
    p.strokePath(tick.translated(0.6, 1.2),
                 QPen(QColor(0, 0, 0, 70), 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(tick, QPen(QColor(0x16, 0x6b, 0x1e), 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(0, 8, 0, 25);
    g.setColorAt(0, QColor(0x8c, 0xe6, 0x6e));
    g.setColorAt(1, QColor(0x2f, 0xa8, 0x34));
    p.strokePath(tick, QPen(QBrush(g), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return img;
}

QImage drawSplash() {
    const QSize size(360, 160);
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(0xfa, 0xfa, 0xf7));
    bg.setColorAt(1, QColor(0xe4, 0xe5, 0xe0));
    p.fillRect(img.rect(), bg);

    // Clock on the left with its shadow.
    const QRectF body(20, 36, 136, 74);
    QImage shade = canvas(size);
    {
        QPainter sp(&shade);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(0, 0, 0, 90));
        sp.drawRoundedRect(body.translated(0, 5), 10, 10);
    }
    p.drawImage(0, 0, blurred(shade, 3, 3));
    drawMiniClock(p, body, QStringLiteral("1200"), true);

    // Name and a line of what it is.
    p.setPen(QColor(0x26, 0x29, 0x2d));
    p.setFont(fontOf(Face::GothicDemi, 34, 0.4));
    p.drawText(QPointF(172, 74), QStringLiteral("Morvantis"));
    p.setPen(QColor(0x6a, 0x6e, 0x72));
    p.setFont(fontOf(Face::Sans, 11, 0.2));
    p.drawText(QPointF(174, 94), QStringLiteral("desk clock and alarm"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8d, 0xb0, 0x6e));
    p.drawRoundedRect(QRectF(174, 82, 150, 2), 1, 1);

    // The version is part of the picture: the splash shows it without starting the program's fonts.
    // A new version means generating the pictures again.
    p.setPen(QColor(40, 44, 52));
    p.setFont(fontOf(Face::Sans, 12));
    p.drawText(QRectF(0, 0, size.width() - 12, size.height() - 8), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("Version " MORVANTIS_VERSION));

    p.setPen(QPen(QColor(0xa0, 0xa2, 0x9c), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return img;
}

// A white hand with a black outline pointing up; the fingertip is at 13,5.
QImage drawHand() {
    QImage img = canvas(QSize(32, 32));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.moveTo(10.5, 17);
    hand.lineTo(10.5, 6);
    hand.arcTo(QRectF(10.5, 3.5, 6, 5), 180, -180); // fingertip
    hand.lineTo(16.5, 13);
    hand.arcTo(QRectF(16.5, 10.5, 4, 4), 180, -180); // middle knuckle
    hand.lineTo(20.5, 13.5);
    hand.arcTo(QRectF(20.5, 11.5, 4, 4), 180, -180); // ring knuckle
    hand.lineTo(24.5, 15);
    hand.arcTo(QRectF(24.5, 13.5, 3.5, 3.5), 180, -180); // little finger
    hand.lineTo(28, 22);
    hand.cubicTo(28, 25.5, 26.5, 27, 25, 28.5);
    hand.lineTo(13.5, 28.5);
    hand.cubicTo(11.5, 26, 8.5, 22.5, 5.2, 19.2);
    hand.cubicTo(3.8, 17.8, 5.5, 15.6, 7.5, 16.8); // thumb tip
    hand.lineTo(10.5, 19);
    hand.closeSubpath();
    p.fillPath(hand, Qt::white);
    p.strokePath(hand, QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setPen(QPen(Qt::black, 1.0));
    p.drawLine(QPointF(16.5, 13), QPointF(16.5, 17));
    p.drawLine(QPointF(20.5, 13.5), QPointF(20.5, 17));
    p.drawLine(QPointF(24.5, 15), QPointF(24.5, 18));
    return img;
}

} // namespace

void drawWindowArt(const QString& gifSourceDir, const QString& imgDir) {
    savePng(drawSign(0), gifSourceDir + "/green.png");
    savePng(drawSign(1), gifSourceDir + "/yellow.png");
    savePng(drawSign(2), gifSourceDir + "/red.png");
    savePng(drawAboutLogo(), gifSourceDir + "/about_logo.png");
    // Opaque already; through the same path only so that it ends up a GIF.
    savePng(drawAboutArt(), gifSourceDir + "/about_art.png");

    for (int size : {32, 48, 128, 256})
        savePng(drawIcon(size), imgDir + QString("/icon%1.png").arg(size));
    saveIconSvg(imgDir + "/icon.svg");
    savePng(drawOk(), imgDir + "/ok.png");
    // Raw pixels, compressed in the program's resources all the same: decoding a PNG of it was a
    // large part of the time the clock takes to show.
    saveImage(drawSplash().convertToFormat(QImage::Format_RGB32), imgDir + "/splash.ppm", "PPM");
    savePng(drawHand(), imgDir + "/hand.png");
}
