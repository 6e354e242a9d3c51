#pragma once

#include "platform/Pictures.h"
#include "platform/PixelCache.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

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
//
// A file that is still the one a picture on the face was decoded from (the same device, inode,
// size, modification and change times) gives that picture again instead of a new decode: the
// start-up loads its skin twice within milliseconds, and reopening the chooser reloads it. A file
// changed within settle of the read is not trusted to show its next change in its times.
//
// Given a cache folder, the pictures of a folder's files are also kept there, one cache file per
// folder, and taken from it at later starts while the files are still the same ones. What one
// turn of the event loop loaded is written once that turn is over, or at the end.
class QtPictures final : public Pictures {
public:
    static constexpr int AllocationLimitMb = 64;
    // A GIF this large is not a skin picture.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
    explicit QtPictures(std::chrono::milliseconds settle = std::chrono::seconds(2), QString cacheFolder = {});
    // A clock ended right after its start still keeps what it decoded.
    ~QtPictures() override;
    PictureHandle load(const std::string& path, std::uint64_t maxPixels) override;
    // Writes the cache files of the folders whose pictures were decoded anew and lets go of the
    // cache files read. Without an event loop to do it, the owner calls it.
    void saveCache();

private:
    using Identity = std::array<std::int64_t, 7>;
    struct Decoded {
        std::weak_ptr<const Picture> picture;
        QSize declared;
    };
    struct Folder {
        std::vector<CachedPicture> stored; // what its cache file held
        std::vector<CachedPicture> loaded; // what was loaded from the folder since
        bool read = false;
        bool decoded = false; // whether any of those was decoded anew
    };
    Folder& folderOf(const std::string& path, bool stored);
    void keep(Folder& folder, CachedPicture picture, bool decoded);
    std::chrono::milliseconds m_settle;
    std::map<Identity, Decoded> m_decoded;
    QString m_cacheFolder;
    std::map<QString, Folder> m_folders;
    QTimer m_save;
};

// The folder in the user's cache that keeps the decoded skin pictures.
QString pictureCacheFolder();

// A picture of the program's own resources, read as the format its name ends with: no other
// image format plugin is loaded to find out what the file is.
QImage readResourcePicture(const QString& path);

} // namespace morvantis
