#include "platform/QtPictures.h"

#include "platform/FileState.h"
#include "platform/QtFiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <array>
#include <cstdint>
#include <optional>

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

// Whether LZW-coded GIF data gives at least `pixels` pixels before it ends. Only the lengths
// of the table's strings are followed, not their pixels.
bool lzwGives(const QByteArray& data, int minCodeSize, std::uint64_t pixels) {
    if (minCodeSize < 1 || minCodeSize > 11)
        return false;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::array<std::uint32_t, 4096> length{};
    for (int i = 0; i < clear; ++i)
        length[static_cast<std::size_t>(i)] = 1;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::uint64_t given = 0;
    std::uint32_t bits = 0;
    int held = 0;
    for (const char byte : data) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(byte)) << held;
        held += 8;
        while (held >= codeSize) {
            const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
            bits >>= codeSize;
            held -= codeSize;
            if (code == clear) {
                codeSize = minCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                return given >= pixels;
            std::uint32_t n = 0;
            if (previous < 0 && code < clear)
                n = 1;
            else if (previous >= 0 && code < next)
                n = length[static_cast<std::size_t>(code)];
            else if (previous >= 0 && code == next)
                n = length[static_cast<std::size_t>(previous)] + 1;
            else
                return false; // a code the table does not hold: broken data
            given += n;
            if (given >= pixels)
                return true;
            if (previous >= 0 && next < 4096) {
                length[static_cast<std::size_t>(next)] = length[static_cast<std::size_t>(previous)] + 1;
                if (++next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
            previous = code;
        }
    }
    return given >= pixels;
}

// A GIF whose data stops right after a sub-block of its first image, without the empty block
// that closes them (and the trailer), although its codes give the whole image: other readers
// draw it, so it is taken as closed. Qt's reader cannot tell it from a picture cut short.
bool wholeButUnclosed(const QByteArray& gif) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(gif[i]); };
    const qsizetype size = gif.size();
    if (size < 13)
        return false;
    qsizetype pos = 13;
    if (at(10) & 0x80)
        pos += 3 * (2 << (at(10) & 7)); // the global colour table
    const auto skipBlocks = [&] {
        while (pos < size) {
            const int n = at(pos++);
            if (n == 0)
                return true;
            pos += n;
        }
        return false;
    };
    while (pos < size) {
        const int introducer = at(pos++);
        if (introducer == 0x21) { // an extension: its label, then its blocks
            ++pos;
            if (!skipBlocks())
                return false;
            continue;
        }
        if (introducer != 0x2c || pos + 10 > size)
            return false;
        const std::uint64_t width = at(pos + 4) | at(pos + 5) << 8;
        const std::uint64_t height = at(pos + 6) | at(pos + 7) << 8;
        const int flags = at(pos + 8);
        pos += 9;
        if (flags & 0x80)
            pos += 3 * (2 << (flags & 7)); // the image's own colour table
        if (pos >= size)
            return false;
        const int minCodeSize = at(pos++);
        QByteArray data;
        while (pos < size) {
            const int n = at(pos++);
            if (n == 0 || pos + n > size)
                return false; // closed as it should be, or cut inside a block
            data.append(gif.constData() + pos, n);
            pos += n;
        }
        return pos == size && width * height > 0 && lzwGives(data, minCodeSize, width * height);
    }
    return false;
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

} // namespace

QtPictures::QtPictures(std::chrono::milliseconds settle, QString cacheFolder)
    : m_settle(settle), m_cacheFolder(std::move(cacheFolder)) {
    QImageReader::setAllocationLimit(AllocationLimitMb);
    m_save.setSingleShot(true);
    m_save.setInterval(0);
    QObject::connect(&m_save, &QTimer::timeout, [this] { saveCache(); });
}

QtPictures::~QtPictures() {
    saveCache();
}

QString pictureCacheFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache) || QDir::cleanPath(cache) == QLatin1String("/"))
        return {};
    return QDir::cleanPath(cache) + QLatin1String("/morvantis");
}

QtPictures::Folder& QtPictures::folderOf(const std::string& path, bool stored) {
    const QString name = QString::fromStdString(path.substr(0, path.find_last_of("/\\") + 1));
    const auto at = m_folders.try_emplace(name).first;
    // Read only when a picture is not already at hand: reopening the chooser needs none of it.
    if (stored && !at->second.read) {
        at->second.read = true;
        QFile file;
        if (openRegularFile(pixelcache::fileFor(m_cacheFolder, name), file) &&
            file.size() <= pixelcache::MaxFileBytes) {
            if (auto entries = pixelcache::read(file, file.size()))
                at->second.stored = std::move(*entries);
        }
    }
    // What was read is let go once this turn of the event loop is over.
    if (QCoreApplication::instance() && !m_save.isActive())
        m_save.start();
    return at->second;
}

void QtPictures::keep(Folder& folder, CachedPicture picture, bool decoded) {
    std::erase_if(folder.loaded, [&](const CachedPicture& p) { return p.name == picture.name; });
    folder.loaded.push_back(std::move(picture));
    folder.decoded = folder.decoded || decoded;
}

void QtPictures::saveCache() {
    m_save.stop();
    bool wrote = false;
    for (const auto& [name, folder] : m_folders) {
        if (!folder.decoded)
            continue;
        QDir().mkpath(QFileInfo(m_cacheFolder).absolutePath());
        QDir().mkdir(m_cacheFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString target = pixelcache::fileFor(m_cacheFolder, name);
        // Written aside and renamed: a clock starting meanwhile reads the old file or none.
        const QString aside = target + QLatin1Char('.') +
                              QString::number(QCoreApplication::applicationPid()) + QLatin1String(".tmp");
        QFile file(aside);
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                             pixelcache::write(file, folder.loaded) && file.flush();
        file.close();
        if (!written ||
            !(QFile::rename(aside, target) || (QFile::remove(target) && QFile::rename(aside, target))))
            QFile::remove(aside);
        wrote = true;
    }
    m_folders.clear();
    if (!wrote)
        return;
    // Every skin folder ever seen (copies made and removed again, say) would otherwise leave its
    // file for good: the most recently written are kept.
    const QFileInfoList files =
        QDir(m_cacheFolder).entryInfoList({QStringLiteral("skin-*.pixels")}, QDir::Files, QDir::Time);
    for (qsizetype i = pixelcache::KeptFiles; i < files.size(); ++i)
        QFile::remove(files[i].filePath());
}

namespace {

// A binary PPM as our own pictures are written ("P6", width, height, 255, one blank, the pixels),
// taken row by row into the picture the screen wants, without an image reader going through it
// pixel by pixel and without a copy of the file. Anything else, a null picture.
QImage plainPpm(const uchar* data, qsizetype size) {
    qsizetype at = 0;
    const auto space = [&] { return at < size && QChar::isSpace(data[at]); };
    const auto number = [&]() -> int {
        while (space())
            ++at;
        int n = 0;
        const qsizetype first = at;
        for (; at < size && data[at] >= '0' && data[at] <= '9' && at - first < 6; ++at)
            n = n * 10 + (data[at] - '0');
        return at > first ? n : -1;
    };
    if (size < 2 || data[0] != 'P' || data[1] != '6')
        return {};
    at = 2;
    const int w = number(), h = number(), max = number();
    if (w <= 0 || h <= 0 || max != 255 || !space())
        return {};
    ++at;
    const qsizetype row = static_cast<qsizetype>(w) * 3;
    if (size - at != row * h)
        return {};
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < h; ++y) {
        const uchar* in = data + at + y * row;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x, in += 3)
            out[x] = qRgb(in[0], in[1], in[2]);
    }
    return image;
}

} // namespace

QImage readResourcePicture(const QString& path) {
    const QByteArray format = path.section(QLatin1Char('.'), -1).toLatin1().toLower();
    if (format == "ppm") {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            // A resource maps to the data it holds; a file that does not map is read.
            QImage image;
            if (const uchar* data = file.map(0, file.size()))
                image = plainPpm(data, file.size());
            else if (const QByteArray bytes = file.readAll(); !bytes.isEmpty())
                image = plainPpm(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
            if (!image.isNull())
                return image;
        }
    }
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

PictureHandle QtPictures::load(const std::string& path, std::uint64_t maxPixels) {
    QFile file;
    if (!openRegularFile(QString::fromStdString(path), file))
        return nullptr;
    const qint64 size = file.size();
    if (size > MaxFileBytes)
        return nullptr;
    const auto fits = [maxPixels](QSize s) {
        return s.width() > 0 && s.height() > 0 &&
               static_cast<std::uint64_t>(s.width()) * static_cast<std::uint64_t>(s.height()) <= maxPixels;
    };
    const std::optional<FileState> state = fileStateOf(file.handle());
    const bool settled = state && state->age >= m_settle;
    const auto cached = [&](const PictureHandle& picture, QSize declared, bool decoded) {
        if (settled && !m_cacheFolder.isEmpty())
            keep(folderOf(path, false),
                 {nameOf(path), state->identity, declared, static_cast<const QtPicture&>(*picture).image()},
                 decoded);
    };
    if (state) {
        const auto known = m_decoded.find(state->identity);
        if (known != m_decoded.end()) {
            if (PictureHandle picture = known->second.picture.lock()) {
                const bool declaredFits = !known->second.declared.isValid() || fits(known->second.declared);
                if (!declaredFits || !fits({picture->width(), picture->height()}))
                    return nullptr;
                cached(picture, known->second.declared, false);
                return picture;
            }
            m_decoded.erase(known);
        }
    }
    if (settled && !m_cacheFolder.isEmpty()) {
        // Taken only when it would pass as the decoded picture would; otherwise the file decides.
        for (const CachedPicture& c : folderOf(path, true).stored) {
            if (c.name != nameOf(path) || c.identity != state->identity ||
                (c.declared.isValid() && !fits(c.declared)) || !fits(c.image.size()))
                continue;
            PictureHandle picture = std::make_shared<QtPicture>(c.image);
            std::erase_if(m_decoded, [](const auto& entry) { return entry.second.picture.expired(); });
            m_decoded[state->identity] = {picture, c.declared};
            cached(picture, c.declared, false);
            return picture;
        }
    }
    NoEndBuffer data;
    QByteArray bytes = file.read(size); // what the file held when it was opened, no more
    file.close();
    if (wholeButUnclosed(bytes))
        bytes.append("\x00\x3b", 2);
    data.setData(bytes);
    data.open(QIODevice::ReadOnly);
    QImageReader reader(&data, "gif");
    // Skins are GIF pictures; anything else is refused, whatever its name. No other reader is
    // asked what the data is: that would also load every image format plugin there is.
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        return nullptr;
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
    PictureHandle picture = std::make_shared<QtPicture>(std::move(converted));
    if (settled) {
        std::erase_if(m_decoded, [](const auto& entry) { return entry.second.picture.expired(); });
        m_decoded[state->identity] = {picture, declared};
        cached(picture, declared, true);
    }
    return picture;
}

} // namespace morvantis
