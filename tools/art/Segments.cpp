#include "Segments.h"

#include <QLineF>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

namespace {

// A bar along p0-p1 with pointed 45-degree ends, pulled back by `gap` so that
// neighbouring bars meeting at a corner stay visibly apart.
QPolygonF pointedBar(QPointF p0, QPointF p1, double t, double gap) {
    const QLineF line(p0, p1);
    const double len = line.length();
    const QPointF u = (p1 - p0) / len;
    const QPointF n(-u.y(), u.x());
    const QPointF a = p0 + u * gap;
    const QPointF b = p1 - u * gap;
    const double h = t / 2;
    return QPolygonF({a, a + u * h + n * h, b - u * h + n * h, b, b - u * h - n * h, a + u * h - n * h});
}

// A bar with square ends, for the diagonals of a fourteen-segment cell.
QPolygonF flatBar(QPointF p0, QPointF p1, double t) {
    const QLineF line(p0, p1);
    const QPointF u = (p1 - p0) / line.length();
    const QPointF n(-u.y() * t / 2, u.x() * t / 2);
    return QPolygonF({p0 + n, p1 + n, p1 - n, p0 - n});
}

QTransform leanAndPlace(const QRectF& box, double slant) {
    // x' = x + slant * (height - y): the bottom stays put, the top moves right.
    return QTransform(1, 0, -slant, 1, 0, 0) *
           QTransform::fromTranslate(box.left() + slant * box.height(), box.top());
}

QPainterPath build(const QRectF& box, unsigned segs, const SegmentStyle& s, bool fourteen) {
    const double w = box.width();
    const double hgt = box.height();
    const double t = s.thickness;
    const double g = s.gap;
    const double h = t / 2;
    const double midY = hgt / 2;
    const double midX = w / 2;

    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    auto add = [&](unsigned bits, const QPolygonF& poly) {
        if ((segs & bits) == bits)
            path.addPolygon(poly), path.closeSubpath();
    };

    add(SegA, pointedBar({h, h}, {w - h, h}, t, g));
    add(SegD, pointedBar({h, hgt - h}, {w - h, hgt - h}, t, g));
    add(SegF, pointedBar({h, h}, {h, midY}, t, g));
    add(SegE, pointedBar({h, midY}, {h, hgt - h}, t, g));
    add(SegB, pointedBar({w - h, h}, {w - h, midY}, t, g));
    add(SegC, pointedBar({w - h, midY}, {w - h, hgt - h}, t, g));
    if (fourteen) {
        add(SegG1, pointedBar({h, midY}, {midX, midY}, t, g));
        add(SegG2, pointedBar({midX, midY}, {w - h, midY}, t, g));
    } else {
        add(SegG, pointedBar({h, midY}, {w - h, midY}, t, g));
    }
    add(SegI, pointedBar({midX, h}, {midX, midY}, t, g));
    add(SegL, pointedBar({midX, midY}, {midX, hgt - h}, t, g));

    const double td = t * 0.9;
    const double in = t + g;              // clear of the outer bars
    const double cx = midX - h - g * 0.8; // clear of the centre bars
    const double cy = midY - h - g * 0.8;
    add(SegH, flatBar({in, in}, {cx, cy}, td));
    add(SegJ, flatBar({w - in, in}, {w - cx, cy}, td));
    add(SegK, flatBar({in, hgt - in}, {cx, hgt - cy}, td));
    add(SegM, flatBar({w - in, hgt - in}, {w - cx, hgt - cy}, td));

    return leanAndPlace(box, s.slant).map(path);
}

} // namespace

unsigned digitSegments(int digit) {
    static constexpr unsigned table[10] = {
        SegA | SegB | SegC | SegD | SegE | SegF,
        SegB | SegC,
        SegA | SegB | SegG | SegE | SegD,
        SegA | SegB | SegG | SegC | SegD,
        SegF | SegG | SegB | SegC,
        SegA | SegF | SegG | SegC | SegD,
        SegA | SegF | SegG | SegE | SegD | SegC,
        SegA | SegB | SegC,
        SevenAll,
        SegA | SegB | SegC | SegD | SegF | SegG,
    };
    return digit >= 0 && digit <= 9 ? table[digit] : 0;
}

unsigned letterSegments(char letter) {
    switch (letter) {
    case 'A':
        return SegA | SegB | SegC | SegE | SegF | SegG;
    case 'D':
        return SegA | SegB | SegC | SegD | SegI | SegL;
    case 'E':
        return SegA | SegD | SegE | SegF | SegG1;
    case 'F':
        return SegA | SegE | SegF | SegG1;
    case 'H':
        return SegB | SegC | SegE | SegF | SegG;
    case 'I':
        return SegA | SegD | SegI | SegL;
    case 'M':
        return SegB | SegC | SegE | SegF | SegH | SegJ;
    case 'N':
        return SegB | SegC | SegE | SegF | SegH | SegM;
    case 'O':
        return SegA | SegB | SegC | SegD | SegE | SegF;
    case 'R':
        return SegA | SegB | SegE | SegF | SegG | SegM;
    case 'S':
        return SegA | SegF | SegG | SegC | SegD;
    case 'T':
        return SegA | SegI | SegL;
    case 'U':
        return SegB | SegC | SegD | SegE | SegF;
    case 'W':
        return SegB | SegC | SegE | SegF | SegK | SegM;
    default:
        return 0;
    }
}

QPainterPath sevenSegmentPath(const QRectF& box, unsigned segments, const SegmentStyle& style) {
    return build(box, segments & SevenAll, style, false);
}

QPainterPath fourteenSegmentPath(const QRectF& box, unsigned segments, const SegmentStyle& style) {
    return build(box, segments, style, true);
}

QPainterPath colonPath(double centreX, double topY, double bottomY, double dot, double slant, double baseY) {
    QPainterPath path;
    for (double y : {topY, bottomY}) {
        const double lean = slant * (baseY - (y + dot / 2));
        QPolygonF sq({{centreX - dot / 2 + lean, y},
                      {centreX + dot / 2 + lean, y},
                      {centreX + dot / 2 + lean - slant * dot, y + dot},
                      {centreX - dot / 2 + lean - slant * dot, y + dot}});
        path.addPolygon(sq);
        path.closeSubpath();
    }
    return path;
}
