#include "platform/QtPictures.h"

#include <QImageReader>

namespace morvantis {

QtPictures::QtPictures() {
    QImageReader::setAllocationLimit(AllocationLimitMb);
}

PictureHandle QtPictures::load(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    // Skins are GIF pictures; anything else is refused, whatever its name.
    reader.setFormat("gif");
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return nullptr;
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > MaxSide || declared.height() > MaxSide))
        return nullptr;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return nullptr;
    return std::make_shared<QtPicture>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

} // namespace morvantis
