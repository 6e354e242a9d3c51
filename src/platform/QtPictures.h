#pragma once

#include "platform/Pictures.h"

#include <QImage>
#include <QPixmap>

namespace morvantis {

// A decoded picture for the windows to draw.
class QtPicture final : public Picture {
public:
    explicit QtPicture(QImage image) : m_image(std::move(image)) {}
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    const QImage& image() const { return m_image; }

private:
    QImage m_image;
};

// Pictures from files. Skins are downloaded from anywhere: the pixel budget the caller gives
// bounds a picture by its declared size before it is decoded, Qt's allocation limit bounds
// what decoding may take whatever the file declares, and only the first frame of an
// animation is decoded.
class QtPictures final : public Pictures {
public:
    static constexpr int AllocationLimitMb = 64;
    // A GIF this large is not a skin picture.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
    QtPictures();
    PictureHandle load(const std::string& path, std::uint64_t maxPixels) override;
};

} // namespace morvantis
