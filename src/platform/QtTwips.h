#pragma once

#include "platform/Twips.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace morvantis {

// A window's rectangles, sizes and points from twips.
inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
inline QSize twipsSize(int width, int height) {
    return {twipsToPixels(width), twipsToPixels(height)};
}
inline QPoint twipsPoint(int left, int top) {
    return {twipsToPixels(left), twipsToPixels(top)};
}

} // namespace morvantis
