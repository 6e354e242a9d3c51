#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvantis {

// A picture as decoded from a file, and what told that file apart when it was decoded.
struct CachedPicture {
    std::string name; // in its folder
    std::array<std::int64_t, 7> identity{};
    QSize declared; // what the file's header said; invalid when it said nothing
    QImage image;   // premultiplied ARGB, as drawn
};

// The decoded pictures of a skin folder, kept in the user's cache folder between starts: decoding
// the same 40 GIF pictures at every start costs more than the rest of the start together. The file
// is only ever a hint: anything in it that is not whole and of this program's making reads as
// nothing, and an entry counts only for a file that is still the one it was made from.
namespace pixelcache {

// A cache file larger than this is not read at all.
constexpr qint64 MaxFileBytes = 128 * 1024 * 1024;
constexpr std::size_t MaxEntries = 256;
// Cache files kept in the folder, one per skin folder.
constexpr int KeptFiles = 8;
constexpr std::size_t MaxNameBytes = 1024;
constexpr int MaxSide = 32767;

// Written and read straight between the device and the pictures: a copy of the whole file held
// for a moment would leave the allocator keeping as much memory for good.
bool write(QIODevice& out, const std::vector<CachedPicture>& pictures);
QByteArray write(const std::vector<CachedPicture>& pictures);
// The bytes with what tells them whole after them, as write ends them.
QByteArray sealed(QByteArray bytes);
// The pictures in a cache file's bytes, or nothing when they are not such a file, whole.
std::optional<std::vector<CachedPicture>> read(QIODevice& in, qint64 size);
std::optional<std::vector<CachedPicture>> read(QByteArrayView bytes);
// The cache file that holds the pictures of the files in folder.
QString fileFor(const QString& cacheFolder, const QString& folder);

} // namespace pixelcache

} // namespace morvantis
