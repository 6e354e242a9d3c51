#pragma once

#include <cmath>

namespace morvantis {

// Window geometry is given in twips: 15 to a pixel at 96 dots per inch (Qt's high-DPI scaling does
// the rest). Every window converts with these, to the nearest pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    const int half = kTwipsPerPixel / 2;
    return (twips >= 0 ? twips + half : twips - half) / kTwipsPerPixel;
}
inline int twipsToPixels(float twips) {
    return static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel)));
}
constexpr float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}
// A pointer's position may fall between pixels when the screen is scaled.
constexpr float pixelsToTwips(double pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

} // namespace morvantis
