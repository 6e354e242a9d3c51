#pragma once

#include "face/FaceModel.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QRegion>

#include <optional>
#include <unordered_map>

class QPainter;
class QWidget;

namespace morvantis {

// Draws the face. Pictures are scaled into their rectangles once per picture,
// size and device-pixel ratio, never on every paint. A picture is known by its image's
// cache key, never by its address: a skin switch frees pictures and the next load may
// get the same addresses for other ones.
class FacePainter {
public:
    static QRect rectOf(Element e);
    // A rectangle's device pixels at a ratio: every edge rounded alone, as Qt rounds a widget's
    // clip and its window's shape, so neighbours meet and elements land on the background's pixels.
    static QRect deviceRect(const QRect& rect, qreal devicePixelRatio);
    // The frontmost visible element under a point in pixels, or nothing (the case).
    static std::optional<Element> elementAt(const FaceModel& face, QPoint pixels);
    // One rectangle bounding the changed elements: separate small rectangles make Qt split the
    // fill across threads.
    static QRect dirtyRect(const FaceModel::Changes& changes);
    // The window's shape for its background picture: the picture's outline, but always the
    // display and the six buttons (no skin may leave its user without a way to reach EXIT), and
    // all of a window larger than the picture. Nothing when the picture has no see-through pixel.
    static std::optional<QRegion> shapeOf(const QImage& background, QSize window);
    // Paints the face moved by offset pixels inside the window (a shake where the window cannot
    // move); what it uncovers is see-through when the window can be, else black.
    void paintMoved(QPainter& painter, const FaceModel& face, QRect window, QPoint offset, bool seeThrough,
                    qreal devicePixelRatio);
    // The alarm caption's font: the longest caption the alarm can write fits its label.
    static QFont captionFont();
    void paint(QPainter& painter, const FaceModel& face, const QRect& dirty, qreal devicePixelRatio);

    // The face's window: what changed on the face since the last call is queued for repainting
    // (with a new background, all of it and the window's shape); a tick that changes nothing
    // paints nothing.
    static void flush(QWidget& window, FaceModel& face);
    // Paints the window's dirty rectangle, black where no background covers it; with the face
    // moved by offset pixels (a shake inside the window), all of it.
    void paintWindow(QWidget& window, const FaceModel& face, const QRect& dirty, QPoint offset);
    // The window system holds the shape in device pixels: on a screen of another ratio it is given
    // again. Returns the ratio the window's shape now stands for.
    static qreal reshape(QWidget& window);

private:
    // The pixmap of an element's picture at the device size of its rectangle.
    const QPixmap& scaled(const QImage& image, QSize deviceSize, qreal devicePixelRatio);

    struct Key {
        qint64 image;
        int width, height;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept {
            return std::hash<qint64>()(k.image) ^ (static_cast<std::size_t>(k.width) << 16) ^
                   static_cast<std::size_t>(k.height);
        }
    };
    std::unordered_map<Key, QPixmap, KeyHash> m_cache;
    qreal m_cacheRatio = 0;
    qint64 m_backgroundImage = 0;
    qreal m_backgroundRatio = 0;
    QPixmap m_background;
};

} // namespace morvantis
