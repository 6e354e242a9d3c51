#pragma once

// Small drawing helpers shared by the skin and window art.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

// A transparent canvas to draw on with antialiasing.
QImage canvas(QSize size);

// GIF keeps one fully transparent colour and nothing in between. Soft edges
// are therefore blended here against the colour the picture will sit on, and
// whatever is fainter than minAlpha becomes the transparent colour.
QImage flattenAlpha(const QImage& image, const QColor& matte, double minAlpha = 0.12);

// Blurred copy, for glows and soft shadows.
QImage blurred(const QImage& image, int radius, int passes = 3);

// Average colour of a region of an opaque picture.
QColor averageColour(const QImage& image, const QRect& area);

QColor mix(const QColor& a, const QColor& b, double t);
QColor withAlpha(QColor c, int alpha);

// Fonts come from fixed files so that a rerun gives the same pictures.
enum class Face { Sans, SansBold, Gothic, GothicDemi };
QFont fontOf(Face face, double pixelSize, double letterSpacing = 0.0);

// Text centred on a point horizontally, with the baseline at y. Returns the
// rectangle its ink covers.
QRectF drawCentredText(QPainter& p, const QString& text, double centreX, double baselineY);

// Saves a picture; creates the folder. Aborts the run on failure.
void savePng(const QImage& image, const QString& path);
// Any format Qt writes, named as QImage::save names it.
void saveImage(const QImage& image, const QString& path, const char* format);

// A five-by-seven pixel glyph for the tiny AM and PM marks, one square per pixel.
void drawPixelText(QPainter& p, const QString& text, QPointF topLeft, double pixel, double spacing);
double pixelTextWidth(const QString& text, double pixel, double spacing);
