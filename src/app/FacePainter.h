#pragma once

#include "face/FaceModel.h"

#include <QPixmap>
#include <QRect>

#include <unordered_map>

class QPainter;

namespace morvantis {

// Draws the face. Pictures are scaled into their rectangles once per picture,
// size and device-pixel ratio, never on every paint.
class FacePainter {
public:
    static QRect rectOf(Element e);
    void paint(QPainter& painter, const FaceModel& face, const QRect& dirty, qreal devicePixelRatio);
    // The pixmap of an element's picture at the size of its rectangle.
    const QPixmap& scaled(const Picture* picture, QSize size, qreal devicePixelRatio);

private:
    struct Key {
        const Picture* picture;
        int width, height;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept {
            return std::hash<const void*>()(k.picture) ^ (static_cast<std::size_t>(k.width) << 16) ^
                   static_cast<std::size_t>(k.height);
        }
    };
    std::unordered_map<Key, QPixmap, KeyHash> m_cache;
    qreal m_cacheRatio = 0;
    const Picture* m_backgroundPicture = nullptr;
    QPixmap m_background;
};

} // namespace morvantis
