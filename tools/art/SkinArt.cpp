#include "SkinArt.h"

#include "Geometry.h"
#include "Paint.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------- glyph boxes
// Each glyph sits inside its element's rectangle at the same spot in every
// skin; only thickness and lean vary.

constexpr double kBigGlyphTop = 7;
constexpr double kBigGlyphHeight = 39;
constexpr double kBigGlyphWidth = 22;
constexpr double kSmallGlyphTop = 2;
constexpr double kSmallGlyphHeight = 19;
constexpr double kSmallGlyphWidth = 10;
constexpr double kLetterWidth = 12;
constexpr double kLetterPitch = 16;
constexpr double kColonTop = 1;   // first dot, from the top of the colon's rectangle
constexpr double kColonStep = 11; // first dot to second dot

QRectF bigGlyphBox(QPointF elem, const SegmentStyle& s) {
    const double lean = s.slant * kBigGlyphHeight;
    const double left = (geo::kBigDigitSize.width() - (kBigGlyphWidth + lean)) / 2;
    return QRectF(elem.x() + left, elem.y() + kBigGlyphTop, kBigGlyphWidth, kBigGlyphHeight);
}

QRectF smallGlyphBox(QPointF elem, const SegmentStyle& s) {
    const double lean = s.slant * kSmallGlyphHeight;
    const double left = (geo::kSmallDigitSize.width() - (kSmallGlyphWidth + lean)) / 2;
    return QRectF(elem.x() + left, elem.y() + kSmallGlyphTop, kSmallGlyphWidth, kSmallGlyphHeight);
}

QRectF letterBox(QPointF elem, int index, const SegmentStyle& s) {
    const double lean = s.slant * kSmallGlyphHeight;
    const double total = 2 * kLetterPitch + kLetterWidth + lean;
    const double left = (geo::kWeekdaySize.width() - total) / 2;
    return QRectF(elem.x() + left + index * kLetterPitch, elem.y() + kSmallGlyphTop, kLetterWidth,
                  kSmallGlyphHeight);
}

QPainterPath colonDots(QPointF elem, const SkinStyle& s) {
    // Lean the dots about the digits' baseline so they follow the same slant.
    const double digitBase = geo::kBigDigitY + kBigGlyphTop + kBigGlyphHeight - geo::kColon1.y();
    const double midY = kColonTop + (kColonStep + s.colonDot) / 2;
    const double centreX = geo::kColonSize.width() / 2.0 - s.big.slant * (digitBase - midY);
    QPainterPath path =
        colonPath(centreX, kColonTop, kColonTop + kColonStep, s.colonDot, s.big.slant, digitBase);
    path.translate(elem);
    return path;
}

QPainterPath weekdayPath(QPointF elem, const QString& name, const SegmentStyle& s, bool allSegments) {
    QPainterPath path;
    for (int i = 0; i < 3; ++i) {
        const unsigned segs = allSegments ? unsigned(FourteenAll) : letterSegments(name.at(i).toLatin1());
        path.addPath(fourteenSegmentPath(letterBox(elem, i, s), segs, s));
    }
    return path;
}

constexpr double kMarkPixel = 1;
constexpr double kMarkSpacing = 2;

QPointF markOrigin(QPointF elem) {
    const double w = pixelTextWidth(QStringLiteral("AM"), kMarkPixel, kMarkSpacing);
    return elem + QPointF(std::floor((geo::kMarkSize.width() - w) / 2), 2);
}

// ---------------------------------------------------------------- panel

QImage panelBackground(const SkinStyle& s) {
    QImage img(geo::kLcd.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = img.rect();

    QLinearGradient base(r.topLeft(), r.bottomLeft());
    base.setColorAt(0, s.panelTop);
    base.setColorAt(1, s.panelBottom);
    p.fillRect(r, base);

    if (s.backlight.alpha() > 0) {
        // A lamp behind the glass lights the middle more than the corners.
        QRadialGradient lamp(r.center(), r.width() * 0.62);
        lamp.setColorAt(0, s.backlight);
        lamp.setColorAt(1, withAlpha(s.backlight, 0));
        p.fillRect(r, lamp);
    }

    // The glass sits below the case: its top and left edges are in shadow.
    QLinearGradient top(0, 0, 0, 7);
    top.setColorAt(0, QColor(0, 0, 0, s.innerShadow));
    top.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, r.width(), 7), top);
    QLinearGradient left(0, 0, 4, 0);
    left.setColorAt(0, QColor(0, 0, 0, s.innerShadow * 2 / 3));
    left.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, 4, r.height()), left);
    QLinearGradient right(r.width() - 3, 0, r.width(), 0);
    right.setColorAt(0, QColor(0, 0, 0, 0));
    right.setColorAt(1, QColor(0, 0, 0, s.innerShadow / 3));
    p.fillRect(QRectF(r.width() - 3, 0, 3, r.height()), right);
    return img;
}

// Window rectangles of every element drawn on the panel, per kind.
QRect bigDigitsArea() {
    return QRect(QPoint(geo::kBigDigitX[0], geo::kBigDigitY), geo::kBigDigitSize)
        .united(QRect(QPoint(geo::kBigDigitX[5], geo::kBigDigitY), geo::kBigDigitSize));
}

QRect dateArea() {
    return QRect(geo::kMonthTensX, geo::kDateY,
                 geo::kYearX[3] + geo::kSmallDigitSize.width() - geo::kMonthTensX,
                 geo::kSmallDigitSize.height());
}

QRect toPanel(const QRect& window) {
    return window.translated(-geo::kLcd.topLeft());
}

QImage drawLcd(const SkinStyle& s) {
    QImage img = panelBackground(s);
    if (s.segOff.alpha() == 0)
        return img;

    // Every segment the clock can light is printed faintly on the glass, so a
    // blank position still reads as part of the display.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-QPointF(geo::kLcd.topLeft()));
    p.setPen(Qt::NoPen);
    p.setBrush(s.segOff);
    QPainterPath ghosts;
    for (int x : geo::kBigDigitX)
        ghosts.addPath(sevenSegmentPath(bigGlyphBox(QPointF(x, geo::kBigDigitY), s.big), SevenAll, s.big));
    ghosts.addPath(colonDots(geo::kColon1, s));
    ghosts.addPath(colonDots(geo::kColon2, s));
    for (int x : {geo::kMonthTensX, geo::kMonthUnitsX, geo::kDayTensX, geo::kDayUnitsX, geo::kYearX[0],
                  geo::kYearX[1], geo::kYearX[2], geo::kYearX[3]})
        ghosts.addPath(sevenSegmentPath(smallGlyphBox(QPointF(x, geo::kDateY), s.small), SevenAll, s.small));
    ghosts.addPath(weekdayPath(QPointF(geo::kWeekdayX, geo::kDateY), {}, s.letter, true));
    p.drawPath(ghosts);
    drawPixelText(p, QStringLiteral("AM"), markOrigin(geo::kAm), kMarkPixel, kMarkSpacing);
    drawPixelText(p, QStringLiteral("PM"), markOrigin(geo::kPm), kMarkPixel, kMarkSpacing);
    return img;
}

// ---------------------------------------------------------------- lit marks

// A lit mark on a transparent picture of the element's size; soft edges and
// the glow are blended against the panel colour found under that element.
QImage litMark(const SkinStyle& s, QSize size, const QPainterPath& path, const QColor& matte) {
    QImage mark = canvas(size);
    {
        QPainter p(&mark);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(path, s.segOn);
    }
    if (s.glow.alpha() > 0) {
        QImage glow = canvas(size);
        {
            QPainter p(&glow);
            p.setRenderHint(QPainter::Antialiasing);
            p.fillPath(path, s.glow);
        }
        glow = blurred(glow, 1, 3);
        QPainter p(&glow);
        p.drawImage(0, 0, mark);
        p.end();
        mark = glow;
    }
    return flattenAlpha(mark, matte, 0.14);
}

QImage litPixelMark(const SkinStyle& s, const QString& text, const QColor& matte) {
    QImage mark = canvas(geo::kMarkSize);
    QPainter p(&mark);
    p.setBrush(s.segOn);
    drawPixelText(p, text, markOrigin({0, 0}), kMarkPixel, kMarkSpacing);
    p.end();
    return flattenAlpha(mark, matte);
}

// ---------------------------------------------------------------- case parts

struct ButtonLook {
    QColor top, bottom, edge, icon;
};

QImage drawButton(const SkinStyle& s, const ButtonLook& look, QSize size, double radius, bool pressed,
                  bool bell) {
    QImage img = canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(img.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);

    QLinearGradient face(r.topLeft(), r.bottomLeft());
    if (pressed) {
        face.setColorAt(0, look.bottom.darker(128));
        face.setColorAt(1, look.top.darker(112));
    } else {
        face.setColorAt(0, look.top);
        face.setColorAt(1, look.bottom);
    }
    p.fillPath(shape, face);

    p.save();
    p.setClipPath(shape);
    if (pressed) {
        // Pushed in: the upper rim throws a shadow onto the face.
        QLinearGradient shadow(r.topLeft(), r.topLeft() + QPointF(0, 5));
        shadow.setColorAt(0, QColor(0, 0, 0, 140));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(r, shadow);
    } else {
        // Raised: light catches the top edge, the bottom edge falls away.
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.drawLine(QPointF(r.left() + radius * 0.6, r.top() + 1),
                   QPointF(r.right() - radius * 0.6, r.top() + 1));
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.drawLine(QPointF(r.left() + radius * 0.6, r.bottom() - 1),
                   QPointF(r.right() - radius * 0.6, r.bottom() - 1));
    }
    p.restore();
    p.setPen(QPen(look.edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);

    if (bell) {
        const QPointF c = r.center() + QPointF(0, pressed ? 1 : 0);
        QPainterPath b;
        b.moveTo(c + QPointF(-5.5, 4));
        b.cubicTo(c + QPointF(-4, 2.5), c + QPointF(-5.5, -6.5), c + QPointF(0, -6.5));
        b.cubicTo(c + QPointF(5.5, -6.5), c + QPointF(4, 2.5), c + QPointF(5.5, 4));
        b.closeSubpath();
        b.addRoundedRect(QRectF(c + QPointF(-6.5, 3.2), QSizeF(13, 2)), 1, 1);
        b.addEllipse(c + QPointF(0, 6.6), 1.5, 1.5);
        b.addEllipse(c + QPointF(0, -7.2), 1.2, 1.2);
        b.setFillRule(Qt::WindingFill);
        p.fillPath(b, pressed ? look.icon.darker(115) : look.icon);
    }
    p.end();
    return flattenAlpha(img, s.well, 0.35);
}

QImage drawLight(const SkinStyle& s, bool on) {
    QImage img = canvas(geo::kLightSize);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(8.5, 8.5);

    QLinearGradient ring(0, 0, 0, 17);
    ring.setColorAt(0, s.ledRing.lighter(140));
    ring.setColorAt(1, s.ledRing.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(c, 8, 8);

    const QColor lens = on ? s.ledOn : s.ledOff;
    QRadialGradient g(c + QPointF(-1.2, -1.5), 7.5);
    g.setColorAt(0, on ? lens.lighter(150) : lens.lighter(125));
    g.setColorAt(0.55, lens);
    g.setColorAt(1, lens.darker(on ? 150 : 140));
    p.setBrush(g);
    p.drawEllipse(c, 6.2, 6.2);

    p.setBrush(QColor(255, 255, 255, on ? 190 : 80));
    p.drawEllipse(QRectF(5.2, 4.6, 4.2, 2.8));
    p.end();
    return flattenAlpha(img, s.well, 0.3);
}

void drawWell(QPainter& p, const SkinStyle& s, const QRectF& r, double radius, bool round) {
    QPainterPath well;
    // The light brings its own metal ring, so its opening is tighter; that
    // also keeps it apart from the alarm button's opening next to it.
    const double margin = round ? 1 : 2;
    const QRectF w = r.adjusted(-margin, -margin, margin, margin);
    if (round)
        well.addEllipse(w);
    else
        well.addRoundedRect(w, radius + 2, radius + 2);
    p.fillPath(well, s.well);
    // The lower lip of the opening catches the light.
    QLinearGradient lip(w.topLeft(), w.bottomLeft());
    lip.setColorAt(0, QColor(0, 0, 0, 0));
    lip.setColorAt(0.6, QColor(255, 255, 255, 0));
    lip.setColorAt(1, QColor(255, 255, 255, s.sheen + 20));
    QPainterPath outer;
    const QRectF o = w.adjusted(-1, -1, 1, 1);
    if (round)
        outer.addEllipse(o);
    else
        outer.addRoundedRect(o, radius + 3, radius + 3);
    p.fillPath(outer.subtracted(well), lip);
}

void drawLabels(QPainter& p, const SkinStyle& s) {
    p.setFont(fontOf(Face::SansBold, 9, 1.0));
    p.setPen(s.labelInk);
    auto centreOf = [](QPoint pos, QSize size) { return pos.x() + size.width() / 2.0; };

    drawCentredText(p, QStringLiteral("ALARM"), centreOf(geo::kAlarmButtonPos, geo::kAlarmButtonSize),
                    geo::kAlarmButtonPos.y() + geo::kAlarmButtonSize.height() + 13);
    drawCentredText(p, QStringLiteral("OPTIONS"), centreOf(geo::kOptionsButton, geo::kOptionButtonSize),
                    geo::kOptionsButton.y() - 6);
    drawCentredText(p, QStringLiteral("EXIT"), centreOf(geo::kExitButton, geo::kOptionButtonSize),
                    geo::kExitButton.y() - 6);
    drawCentredText(p, QStringLiteral("SKINS"), centreOf(geo::kMonthButton, geo::kSmallButtonSize),
                    geo::kMonthButton.y() - 5);
    drawCentredText(p, QStringLiteral("SAY TIME"), centreOf(geo::kDateButton, geo::kSmallButtonSize),
                    geo::kDateButton.y() - 5);
    drawCentredText(p, QStringLiteral("ABOUT"), centreOf(geo::kYearButton, geo::kSmallButtonSize),
                    geo::kYearButton.y() - 5);
}

void drawGrille(QPainter& p, const SkinStyle& s, const QRectF& area) {
    if (s.grille == SkinStyle::Grille::Holes) {
        const double step = 7;
        int row = 0;
        for (double y = area.top(); y <= area.bottom(); y += step * 0.87, ++row) {
            const double shift = (row % 2) ? step / 2 : 0;
            for (double x = area.left() + shift; x <= area.right(); x += step) {
                p.setBrush(QColor(255, 255, 255, s.sheen + 10));
                p.drawEllipse(QPointF(x, y + 0.6), 2.0, 2.0);
                p.setBrush(s.well);
                p.drawEllipse(QPointF(x, y), 1.9, 1.9);
            }
        }
    } else {
        for (double y = area.top(); y <= area.bottom(); y += 7) {
            const QRectF slot(area.left(), y - 1.5, area.width(), 3);
            p.setBrush(QColor(255, 255, 255, s.sheen + 40));
            p.drawRoundedRect(slot.translated(0, 0.8), 1.5, 1.5);
            p.setBrush(s.well);
            p.drawRoundedRect(slot, 1.5, 1.5);
        }
    }
}

void drawScrew(QPainter& p, const SkinStyle& s, QPointF c) {
    QLinearGradient g(c - QPointF(0, 3), c + QPointF(0, 3));
    g.setColorAt(0, mix(s.bodyTop, Qt::white, 0.25));
    g.setColorAt(1, mix(s.bodyBottom, Qt::black, 0.3));
    p.setBrush(s.well);
    p.drawEllipse(c, 3.6, 3.6);
    p.setBrush(g);
    p.drawEllipse(c, 2.8, 2.8);
    p.setPen(QPen(s.well, 1.1));
    p.drawLine(c + QPointF(-1.9, 1.1), c + QPointF(1.9, -1.1));
    p.setPen(Qt::NoPen);
}

QImage drawBase(const SkinStyle& s) {
    QImage img = canvas(geo::kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF outline = QRectF(img.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath body;
    body.addRoundedRect(outline, s.radius, s.radius);
    QLinearGradient fill(outline.topLeft(), outline.bottomLeft());
    fill.setColorAt(0, s.bodyTop);
    fill.setColorAt(1, s.bodyBottom);
    p.fillPath(body, fill);

    // A broad soft highlight across the upper case and a bevel along its edge.
    p.save();
    p.setClipPath(body);
    QLinearGradient sheen(0, 0, 0, 110);
    sheen.setColorAt(0, QColor(255, 255, 255, s.sheen));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, outline.width() + 1, 110), sheen);
    QPainterPath inner;
    inner.addRoundedRect(outline.adjusted(2, 2, -2, -2), s.radius - 2, s.radius - 2);
    QLinearGradient bevel(0, 0, 0, outline.height());
    bevel.setColorAt(0, QColor(255, 255, 255, s.sheen * 3));
    bevel.setColorAt(0.15, QColor(255, 255, 255, s.sheen));
    bevel.setColorAt(0.5, QColor(255, 255, 255, 0));
    bevel.setColorAt(1, QColor(0, 0, 0, 70));
    p.strokePath(inner, QPen(QBrush(bevel), 1.6));
    p.restore();
    p.strokePath(body, QPen(s.rim, 1.2));

    p.setPen(Qt::NoPen);

    // The opening for the display: a dark frame, shaded like a recess.
    const QRectF lcd = geo::kLcd;
    const QRectF frame = lcd.adjusted(-8, -8, 8, 8);
    QPainterPath opening;
    opening.addRoundedRect(frame, 7, 7);
    QLinearGradient lip(frame.topLeft(), frame.bottomLeft());
    lip.setColorAt(0, QColor(0, 0, 0, 90));
    lip.setColorAt(0.5, QColor(0, 0, 0, 0));
    lip.setColorAt(1, QColor(255, 255, 255, s.sheen + 40));
    QPainterPath lipRing;
    lipRing.addRoundedRect(frame.adjusted(-1.5, -1.5, 1.5, 1.5), 8.5, 8.5);
    p.fillPath(lipRing.subtracted(opening), lip);
    QLinearGradient rec(frame.topLeft(), frame.bottomLeft());
    rec.setColorAt(0, s.recess.darker(130));
    rec.setColorAt(1, s.recess);
    p.fillPath(opening, rec);
    p.fillRect(lcd.adjusted(-1, -1, 1, 1), s.recess.darker(170));

    drawWell(p, s, QRectF(geo::kLightPos, geo::kLightSize), 0, true);
    drawWell(p, s, QRectF(geo::kAlarmButtonPos, geo::kAlarmButtonSize), 5, false);
    drawWell(p, s, QRectF(geo::kOptionsButton, geo::kOptionButtonSize), 5, false);
    drawWell(p, s, QRectF(geo::kExitButton, geo::kOptionButtonSize), 5, false);
    for (QPoint b : {geo::kMonthButton, geo::kDateButton, geo::kYearButton})
        drawWell(p, s, QRectF(b, geo::kSmallButtonSize), 5.5, false);

    drawGrille(p, s, QRectF(32, 82, 72, 42));
    if (s.screws)
        for (QPointF c : {QPointF(17, 17), QPointF(558, 17), QPointF(17, 223), QPointF(558, 223)})
            drawScrew(p, s, c);

    drawLabels(p, s);

    // Maker's mark under the display.
    const double mid = lcd.center().x();
    p.setPen(s.brandInk);
    p.setFont(fontOf(Face::GothicDemi, 14, 3.5));
    const QRectF name = drawCentredText(p, QStringLiteral("MORVANTIS"), mid, 206);
    p.setFont(fontOf(Face::SansBold, 7, 1.6));
    p.setPen(mix(s.brandInk, s.bodyBottom, 0.25));
    drawCentredText(p, QStringLiteral("LCD ALARM CLOCK"), mid, 219);
    p.setPen(Qt::NoPen);
    p.setBrush(s.accent);
    p.drawRoundedRect(QRectF(name.left(), 210, name.width(), 1.6), 0.8, 0.8);
    p.end();

    // Outside the rounded case is the one transparent colour: the window takes
    // the case's shape.
    return flattenAlpha(img, s.rim, 0.5);
}

// ---------------------------------------------------------------- output

void writeInfo(const SkinStyle& s, const QString& skinDir) {
    QDir().mkpath(skinDir);
    QFile f(skinDir + QStringLiteral("/info.txt"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "morvantis-art: cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
    const QString line =
        QString::asprintf("%03d %03d %03d ", s.caption.red(), s.caption.green(), s.caption.blue()) +
        s.description + QLatin1Char('\n');
    f.write(line.toUtf8());
}

} // namespace

void drawSkin(const SkinStyle& s, const QString& gifSourceDir, const QString& skinDir) {
    auto out = [&](const QString& name, const QImage& img) {
        savePng(img, gifSourceDir + QLatin1Char('/') + name + ".png");
    };

    const QImage panel = panelBackground(s);
    const QColor bigMatte = averageColour(panel, toPanel(bigDigitsArea()));
    const QColor smallMatte = averageColour(panel, toPanel(dateArea()));
    const QColor colonMatte = averageColour(panel, toPanel(QRect(geo::kColon1, geo::kColonSize)));
    const QColor markMatte = averageColour(
        panel, toPanel(QRect(geo::kAm, geo::kMarkSize).united(QRect(geo::kPm, geo::kMarkSize))));
    const QColor weekdayMatte =
        averageColour(panel, toPanel(QRect(QPoint(geo::kWeekdayX, geo::kDateY), geo::kWeekdaySize)));

    out(QStringLiteral("base"), drawBase(s));
    out(QStringLiteral("lcd"), drawLcd(s));

    for (int d = 0; d <= 9; ++d) {
        const QPainterPath big = sevenSegmentPath(bigGlyphBox({0, 0}, s.big), digitSegments(d), s.big);
        out(QString::number(d), litMark(s, geo::kBigDigitSize, big, bigMatte));
        const QPainterPath small =
            sevenSegmentPath(smallGlyphBox({0, 0}, s.small), digitSegments(d), s.small);
        out(QString::number(d) + QLatin1Char('s'), litMark(s, geo::kSmallDigitSize, small, smallMatte));
    }
    out(QStringLiteral("dot"), litMark(s, geo::kColonSize, colonDots({0, 0}, s), colonMatte));
    out(QStringLiteral("am"), litPixelMark(s, QStringLiteral("AM"), markMatte));
    out(QStringLiteral("pm"), litPixelMark(s, QStringLiteral("PM"), markMatte));
    for (const char* day : {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}) {
        const QString name = QString::fromLatin1(day);
        out(name.toLower(),
            litMark(s, geo::kWeekdaySize, weekdayPath({0, 0}, name, s.letter, false), weekdayMatte));
    }

    out(QStringLiteral("alarmon"), drawLight(s, true));
    out(QStringLiteral("alarmoff"), drawLight(s, false));
    const ButtonLook plain{s.buttonTop, s.buttonBottom, s.buttonEdge, s.buttonIcon};
    const ButtonLook alarm =
        s.alarmTop.isValid() ? ButtonLook{s.alarmTop, s.alarmBottom, s.buttonEdge, s.alarmIcon} : plain;
    out(QStringLiteral("alarmbutton"), drawButton(s, alarm, geo::kAlarmButtonSize, 5, false, true));
    out(QStringLiteral("alarmbuttonp"), drawButton(s, alarm, geo::kAlarmButtonSize, 5, true, true));
    out(QStringLiteral("OptionButton"), drawButton(s, plain, geo::kOptionButtonSize, 5, false, false));
    out(QStringLiteral("OptionButtonp"), drawButton(s, plain, geo::kOptionButtonSize, 5, true, false));
    out(QStringLiteral("but"), drawButton(s, plain, geo::kSmallButtonSize, 5.5, false, false));
    out(QStringLiteral("butp"), drawButton(s, plain, geo::kSmallButtonSize, 5.5, true, false));

    writeInfo(s, skinDir);
}

std::vector<SkinStyle> allSkins() {
    std::vector<SkinStyle> skins;

    {
        SkinStyle s;
        s.folder = QStringLiteral("Digital Age");
        s.description =
            QStringLiteral("A grey-green liquid-crystal display with dark segments in a charcoal case.");
        s.caption = QColor(30, 45, 30);
        s.bodyTop = QColor(0x4a, 0x4e, 0x53);
        s.bodyBottom = QColor(0x1f, 0x21, 0x24);
        s.rim = QColor(0x0c, 0x0d, 0x0e);
        s.recess = QColor(0x17, 0x18, 0x1a);
        s.well = QColor(0x12, 0x13, 0x14);
        s.labelInk = QColor(0xd2, 0xd6, 0xda);
        s.brandInk = QColor(0x9a, 0xa0, 0xa6);
        s.accent = QColor(0x8d, 0xb0, 0x6e);
        s.panelTop = QColor(0xc4, 0xcf, 0xae);
        s.panelBottom = QColor(0xad, 0xba, 0x96);
        s.backlight = QColor(0, 0, 0, 0);
        s.segOn = QColor(0x1b, 0x23, 0x19);
        s.segOff = QColor(0x1b, 0x23, 0x19, 22);
        s.glow = QColor(0, 0, 0, 0);
        s.big = {5.0, 1.0, 0.08};
        s.small = {2.8, 0.7, 0.08};
        s.letter = {2.2, 0.6, 0.08};
        s.ledOn = QColor(0xff, 0x3a, 0x2c);
        s.ledOff = QColor(0x4a, 0x1e, 0x1a);
        s.ledRing = QColor(0x5a, 0x5e, 0x62);
        s.buttonTop = QColor(0x62, 0x67, 0x6d);
        s.buttonBottom = QColor(0x35, 0x39, 0x3d);
        s.buttonEdge = QColor(0x0e, 0x0f, 0x10);
        s.buttonIcon = QColor(0xd8, 0xdc, 0xe0);
        skins.push_back(s);
    }
    {
        SkinStyle s;
        s.folder = QStringLiteral("Midnight Blue");
        s.description =
            QStringLiteral("A blue backlit display with bright white segments in a midnight-blue case.");
        s.caption = QColor(235, 243, 255);
        s.bodyTop = QColor(0x24, 0x33, 0x54);
        s.bodyBottom = QColor(0x0b, 0x11, 0x20);
        s.rim = QColor(0x04, 0x06, 0x0c);
        s.sheen = 26;
        s.recess = QColor(0x07, 0x0b, 0x16);
        s.well = QColor(0x06, 0x09, 0x12);
        s.labelInk = QColor(0xc4, 0xd4, 0xf0);
        s.brandInk = QColor(0x7d, 0x95, 0xc4);
        s.accent = QColor(0x4a, 0x9a, 0xff);
        s.panelTop = QColor(0x1f, 0x52, 0xc4);
        s.panelBottom = QColor(0x17, 0x3c, 0x9e);
        s.backlight = QColor(0x4d, 0x8d, 0xff, 120);
        s.innerShadow = 110;
        s.segOn = QColor(0xf6, 0xf9, 0xff);
        s.segOff = QColor(0x00, 0x10, 0x50, 40);
        s.glow = QColor(0xb8, 0xd6, 0xff, 150);
        s.big = {4.4, 1.0, 0.0};
        s.small = {2.6, 0.7, 0.0};
        s.letter = {2.2, 0.6, 0.0};
        s.colonDot = 4.6;
        s.ledOn = QColor(0x4c, 0xc8, 0xff);
        s.ledOff = QColor(0x12, 0x26, 0x40);
        s.ledRing = QColor(0x3a, 0x4a, 0x6a);
        s.buttonTop = QColor(0x36, 0x4e, 0x80);
        s.buttonBottom = QColor(0x17, 0x24, 0x42);
        s.buttonEdge = QColor(0x03, 0x05, 0x0a);
        s.buttonIcon = QColor(0xd4, 0xe4, 0xff);
        skins.push_back(s);
    }
    {
        SkinStyle s;
        s.folder = QStringLiteral("Amber Glow");
        s.description =
            QStringLiteral("Warm amber segments glowing on a black display in a dark bronze case.");
        s.caption = QColor(255, 176, 48);
        s.bodyTop = QColor(0x3a, 0x31, 0x29);
        s.bodyBottom = QColor(0x15, 0x11, 0x0e);
        s.rim = QColor(0x07, 0x05, 0x04);
        s.sheen = 24;
        s.recess = QColor(0x0b, 0x09, 0x07);
        s.well = QColor(0x09, 0x07, 0x06);
        s.labelInk = QColor(0xe6, 0xbc, 0x7e);
        s.brandInk = QColor(0xb0, 0x88, 0x52);
        s.accent = QColor(0xff, 0x9a, 0x1a);
        s.panelTop = QColor(0x17, 0x11, 0x0b);
        s.panelBottom = QColor(0x0d, 0x09, 0x06);
        s.backlight = QColor(0x40, 0x22, 0x00, 40);
        s.innerShadow = 120;
        s.segOn = QColor(0xff, 0xb0, 0x2e);
        s.segOff = QColor(0xff, 0x90, 0x20, 16);
        s.glow = QColor(0xff, 0x7a, 0x00, 170);
        s.big = {5.6, 1.1, 0.11};
        s.small = {3.0, 0.7, 0.11};
        s.letter = {2.3, 0.6, 0.11};
        s.colonDot = 5.2;
        s.ledOn = QColor(0xff, 0x55, 0x1e);
        s.ledOff = QColor(0x3c, 0x1c, 0x0e);
        s.ledRing = QColor(0x6e, 0x55, 0x3c);
        s.buttonTop = QColor(0x5a, 0x49, 0x3a);
        s.buttonBottom = QColor(0x2a, 0x21, 0x19);
        s.buttonEdge = QColor(0x08, 0x06, 0x05);
        s.buttonIcon = QColor(0xf0, 0xbe, 0x74);
        skins.push_back(s);
    }
    {
        SkinStyle s;
        s.folder = QStringLiteral("Paper White");
        s.description =
            QStringLiteral("A light paper-white display with crisp black segments in a pale grey case.");
        s.caption = QColor(45, 50, 60);
        s.bodyTop = QColor(0xf2, 0xf0, 0xeb);
        s.bodyBottom = QColor(0xd2, 0xcf, 0xc7);
        s.rim = QColor(0x8a, 0x86, 0x7e);
        s.sheen = 40;
        s.radius = 26;
        s.recess = QColor(0x9c, 0x98, 0x90);
        s.well = QColor(0xa9, 0xa5, 0x9c);
        s.labelInk = QColor(0x3c, 0x3c, 0x3a);
        s.brandInk = QColor(0x6a, 0x66, 0x60);
        s.accent = QColor(0xe2, 0x58, 0x2c);
        s.grille = SkinStyle::Grille::Slots;
        s.screws = false;
        s.panelTop = QColor(0xf6, 0xf4, 0xee);
        s.panelBottom = QColor(0xe6, 0xe3, 0xd9);
        s.backlight = QColor(0, 0, 0, 0);
        s.innerShadow = 60;
        s.segOn = QColor(0x1a, 0x1a, 0x1a);
        s.segOff = QColor(0, 0, 0, 9);
        s.glow = QColor(0, 0, 0, 0);
        s.big = {4.2, 1.0, 0.0};
        s.small = {2.5, 0.7, 0.0};
        s.letter = {2.1, 0.6, 0.0};
        s.colonDot = 4.4;
        s.ledOn = QColor(0xff, 0x5a, 0x1f);
        s.ledOff = QColor(0xc9, 0xc2, 0xb8);
        s.ledRing = QColor(0xb8, 0xb4, 0xac);
        s.buttonTop = QColor(0xfd, 0xfc, 0xf9);
        s.buttonBottom = QColor(0xdb, 0xd7, 0xce);
        s.buttonEdge = QColor(0x86, 0x82, 0x7a);
        s.buttonIcon = QColor(0x4a, 0x4a, 0x48);
        s.alarmTop = QColor(0xf5, 0x85, 0x55);
        s.alarmBottom = QColor(0xd2, 0x50, 0x26);
        s.alarmIcon = QColor(0xff, 0xfb, 0xf5);
        skins.push_back(s);
    }
    return skins;
}
