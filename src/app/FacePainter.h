#pragma once

#include "face/FaceModel.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRect>

#include <unordered_map>

class QPainter;

namespace morvantis {

// Draws the face. Pictures are scaled into their rectangles once per picture,
// size and device-pixel ratio, never on every paint. A picture is known by its image's
// cache key, never by its address: a skin switch frees pictures and the next load may
// get the same addresses for other ones.
class FacePainter {
public:
    static QRect rectOf(Element e);
    // The alarm caption's font: the longest caption the alarm can write fits its label.
    static QFont captionFont();
    void paint(QPainter& painter, const FaceModel& face, const QRect& dirty, qreal devicePixelRatio);

private:
    // The pixmap of an element's picture at the size of its rectangle.
    const QPixmap& scaled(const QImage& image, QSize size, qreal devicePixelRatio);

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
    QPixmap m_background;
};

} // namespace morvantis
