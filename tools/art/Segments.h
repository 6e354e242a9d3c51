#pragma once

// Segment-display glyphs as vector paths, so that a lit digit and the faint
// unlit segments printed on the panel share exactly the same shapes.

#include <QPainterPath>
#include <QRectF>

struct SegmentStyle {
    double thickness = 4.0;
    double gap = 1.0;   // between neighbouring segments
    double slant = 0.0; // horizontal lean of the top relative to the bottom, per pixel of height
};

// Seven-segment bits: a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
enum : unsigned {
    SegA = 1u << 0,
    SegB = 1u << 1,
    SegC = 1u << 2,
    SegD = 1u << 3,
    SegE = 1u << 4,
    SegF = 1u << 5,
    SegG1 = 1u << 6,
    SegG2 = 1u << 7,
    // the extra strokes of a fourteen-segment cell
    SegH = 1u << 8,  // upper left diagonal
    SegI = 1u << 9,  // upper centre
    SegJ = 1u << 10, // upper right diagonal
    SegK = 1u << 11, // lower left diagonal
    SegL = 1u << 12, // lower centre
    SegM = 1u << 13, // lower right diagonal
    SegG = SegG1 | SegG2,
    SevenAll = SegA | SegB | SegC | SegD | SegE | SegF | SegG,
    FourteenAll = SevenAll | SegH | SegI | SegJ | SegK | SegL | SegM
};

unsigned digitSegments(int digit);
unsigned letterSegments(char letter); // upper-case letters used by the weekday names

// The glyph's upright box is `box`; a slant leans its top to the right, so the
// drawn shape reaches box.right() + slant * box.height().
QPainterPath sevenSegmentPath(const QRectF& box, unsigned segments, const SegmentStyle& style);
QPainterPath fourteenSegmentPath(const QRectF& box, unsigned segments, const SegmentStyle& style);

// Two colon dots of side `dot`, centred horizontally on centreX, leaning like the digits.
QPainterPath colonPath(double centreX, double topY, double bottomY, double dot, double slant, double baseY);
