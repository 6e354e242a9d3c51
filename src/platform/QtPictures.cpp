#include "platform/QtPictures.h"

#include "platform/QtFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace morvantis {

namespace {

// Qt's GIF reader hands out a frame cut short (truncated, or stopped by an error in its
// data) as a good one when its device is at the end. Over a device that never says so,
// such a frame is a failed read.
class NoEndBuffer final : public QBuffer {
public:
    using QBuffer::QBuffer;
    bool atEnd() const override { return false; }
};

} // namespace

QtPictures::QtPictures() {
    QImageReader::setAllocationLimit(AllocationLimitMb);
}

PictureHandle QtPictures::load(const std::string& path, std::uint64_t maxPixels) {
    QFile file;
    if (!openRegularFile(QString::fromStdString(path), file))
        return nullptr;
    const qint64 size = file.size();
    if (size > MaxFileBytes)
        return nullptr;
    NoEndBuffer data;
    data.setData(file.read(size)); // what the file held when it was opened, no more
    file.close();
    data.open(QIODevice::ReadOnly);
    QImageReader reader(&data, "gif");
    // Skins are GIF pictures; anything else is refused, whatever its name.
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return nullptr;
    const auto fits = [maxPixels](QSize s) {
        return s.width() > 0 && s.height() > 0 && s.width() <= MaxSide && s.height() <= MaxSide &&
               static_cast<std::uint64_t>(s.width()) * static_cast<std::uint64_t>(s.height()) <= maxPixels;
    };
    // Refused before decoding when the declared size is already too large.
    const QSize declared = reader.size();
    if (declared.isValid() && !fits(declared))
        return nullptr;
    QImage image;
    if (!reader.read(&image) || image.isNull() || !fits(image.size()))
        return nullptr;
    // Out of memory, a conversion gives a null image: that is a failure, not a blank picture.
    QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull())
        return nullptr;
    return std::make_shared<QtPicture>(std::move(converted));
}

} // namespace morvantis
