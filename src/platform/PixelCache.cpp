#include "platform/PixelCache.h"

#include <QCryptographicHash>

#include <cstring>

namespace morvantis::pixelcache {

namespace {

constexpr char kMagic[8] = {'M', 'V', 'P', 'I', 'X', 'E', 'L', '1'};
// Written in the machine's own order: a file from a machine of the other order reads as foreign.
constexpr std::uint32_t kOrder = 0x01020304;

// Tells a file cut short or damaged from a whole one; it guards against accidents, not forgery
// (the folder is the user's own). Cheap enough to run over every pixel at each start.
std::uint64_t sumOf(const char* data, std::size_t size) {
    std::uint64_t a = 1, b = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        a += word;
        b += a;
    }
    for (; i < size; ++i) {
        a += static_cast<unsigned char>(data[i]);
        b += a;
    }
    return a ^ (b * 0x9E3779B97F4A7C15ull) ^ size;
}

template <typename T> void put(QByteArray& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    template <typename T> bool get(T& value) {
        if (left() < sizeof value)
            return false;
        std::memcpy(&value, m_bytes.data() + m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    const char* take(std::size_t n) {
        if (left() < n)
            return nullptr;
        const char* p = m_bytes.data() + m_at;
        m_at += n;
        return p;
    }
    std::size_t left() const { return static_cast<std::size_t>(m_bytes.size()) - m_at; }

private:
    QByteArrayView m_bytes;
    std::size_t m_at = 0;
};

bool sideOk(std::int32_t side) {
    return side > 0 && side <= MaxSide;
}

} // namespace

QByteArray write(const std::vector<CachedPicture>& pictures) {
    QByteArray out;
    out.append(kMagic, sizeof kMagic);
    put(out, kOrder);
    put(out, static_cast<std::uint32_t>(pictures.size()));
    for (const CachedPicture& p : pictures) {
        const QImage image = p.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        put(out, static_cast<std::uint32_t>(p.name.size()));
        out.append(p.name.data(), static_cast<qsizetype>(p.name.size()));
        for (const std::int64_t v : p.identity)
            put(out, v);
        put(out, static_cast<std::int32_t>(p.declared.isValid() ? p.declared.width() : -1));
        put(out, static_cast<std::int32_t>(p.declared.isValid() ? p.declared.height() : -1));
        put(out, static_cast<std::int32_t>(image.width()));
        put(out, static_cast<std::int32_t>(image.height()));
        const auto row = static_cast<qsizetype>(image.width()) * 4;
        for (int y = 0; y < image.height(); ++y)
            out.append(reinterpret_cast<const char*>(image.constScanLine(y)), row);
    }
    return sealed(std::move(out));
}

QByteArray sealed(QByteArray bytes) {
    put(bytes, sumOf(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return bytes;
}

std::optional<std::vector<CachedPicture>> read(QByteArrayView bytes) {
    constexpr std::size_t kSumBytes = sizeof(std::uint64_t);
    if (bytes.size() > MaxFileBytes || static_cast<std::size_t>(bytes.size()) < sizeof kMagic + 8 + kSumBytes)
        return std::nullopt;
    const auto body = static_cast<std::size_t>(bytes.size()) - kSumBytes;
    std::uint64_t sum;
    std::memcpy(&sum, bytes.data() + body, kSumBytes);
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 || sum != sumOf(bytes.data(), body))
        return std::nullopt;
    Reader in(bytes.first(static_cast<qsizetype>(body)));
    in.take(sizeof kMagic);
    std::uint32_t order = 0, count = 0;
    if (!in.get(order) || order != kOrder || !in.get(count) || count > MaxEntries)
        return std::nullopt;
    std::vector<CachedPicture> pictures;
    pictures.reserve(count);
    for (std::uint32_t n = 0; n < count; ++n) {
        CachedPicture p;
        std::uint32_t nameBytes = 0;
        if (!in.get(nameBytes) || nameBytes == 0 || nameBytes > MaxNameBytes)
            return std::nullopt;
        const char* name = in.take(nameBytes);
        if (!name)
            return std::nullopt;
        p.name.assign(name, nameBytes);
        for (std::int64_t& v : p.identity)
            if (!in.get(v))
                return std::nullopt;
        std::int32_t dw = 0, dh = 0, w = 0, h = 0;
        if (!in.get(dw) || !in.get(dh) || !in.get(w) || !in.get(h) || !sideOk(w) || !sideOk(h))
            return std::nullopt;
        if (!(dw == -1 && dh == -1) && !(sideOk(dw) && sideOk(dh)))
            return std::nullopt;
        p.declared = dw == -1 ? QSize() : QSize(dw, dh);
        // The pixels must be there before anything is allocated for them.
        const std::size_t row = static_cast<std::size_t>(w) * 4;
        const char* pixels = in.take(row * static_cast<std::size_t>(h));
        if (!pixels)
            return std::nullopt;
        p.image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        if (p.image.isNull())
            return std::nullopt;
        for (int y = 0; y < h; ++y)
            std::memcpy(p.image.scanLine(y), pixels + static_cast<std::size_t>(y) * row, row);
        pictures.push_back(std::move(p));
    }
    if (in.left() != 0)
        return std::nullopt;
    return pictures;
}

QString fileFor(const QString& cacheFolder, const QString& folder) {
    const QByteArray key =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return cacheFolder + QLatin1String("/skin-") + QLatin1String(key) + QLatin1String(".pixels");
}

} // namespace morvantis::pixelcache
