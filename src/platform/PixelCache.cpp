#include "platform/PixelCache.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <cstring>

namespace morvantis::pixelcache {

namespace {

constexpr char kMagic[8] = {'M', 'V', 'P', 'I', 'X', 'E', 'L', '1'};
// Written in the machine's own order: a file from a machine of the other order reads as foreign.
constexpr std::uint32_t kOrder = 0x01020304;

// Tells a file cut short or damaged from a whole one; it guards against accidents, not forgery
// (the folder is the user's own). Cheap enough to run over every pixel at each start. Taken in
// pieces as the file is read or written, the same as over the whole.
class Sum {
public:
    void add(const char* data, std::size_t size) {
        m_size += size;
        for (; size > 0 && m_held > 0; --size)
            take(*data++);
        for (; size >= 8; data += 8, size -= 8) {
            std::uint64_t word;
            std::memcpy(&word, data, 8);
            fold(word);
        }
        for (; size > 0; --size)
            take(*data++);
    }
    std::uint64_t value() const {
        std::uint64_t a = m_a, b = m_b;
        for (int i = 0; i < m_held; ++i) {
            a += static_cast<unsigned char>(m_word[i]);
            b += a;
        }
        return a ^ (b * 0x9E3779B97F4A7C15ull) ^ m_size;
    }

private:
    void fold(std::uint64_t word) {
        m_a += word;
        m_b += m_a;
    }
    void take(char byte) {
        m_word[m_held++] = byte;
        if (m_held == 8) {
            std::uint64_t word;
            std::memcpy(&word, m_word, 8);
            fold(word);
            m_held = 0;
        }
    }
    std::uint64_t m_a = 1, m_b = 0, m_size = 0;
    char m_word[8] = {};
    int m_held = 0;
};

class Writer {
public:
    explicit Writer(QIODevice& out) : m_out(out) {}
    bool bytes(const char* data, qint64 size) {
        m_sum.add(data, static_cast<std::size_t>(size));
        return m_out.write(data, size) == size;
    }
    template <typename T> bool put(T value) {
        return bytes(reinterpret_cast<const char*>(&value), sizeof value);
    }
    bool seal() {
        const std::uint64_t sum = m_sum.value();
        return m_out.write(reinterpret_cast<const char*>(&sum), sizeof sum) == sizeof sum;
    }

private:
    QIODevice& m_out;
    Sum m_sum;
};

// Reads the body (all but the closing sum) straight into where it goes: no copy of the whole
// file is ever held.
class Reader {
public:
    Reader(QIODevice& in, qint64 body) : m_in(in), m_left(body) {}
    bool bytes(char* to, qint64 size) {
        if (size < 0 || size > m_left || m_in.read(to, size) != size)
            return false;
        m_left -= size;
        m_sum.add(to, static_cast<std::size_t>(size));
        return true;
    }
    template <typename T> bool get(T& value) { return bytes(reinterpret_cast<char*>(&value), sizeof value); }
    qint64 left() const { return m_left; }
    std::uint64_t sum() const { return m_sum.value(); }

private:
    QIODevice& m_in;
    qint64 m_left;
    Sum m_sum;
};

bool sideOk(std::int32_t side) {
    return side > 0 && side <= MaxSide;
}

} // namespace

bool write(QIODevice& device, const std::vector<CachedPicture>& pictures) {
    Writer out(device);
    bool ok = out.bytes(kMagic, sizeof kMagic) && out.put(kOrder) &&
              out.put(static_cast<std::uint32_t>(pictures.size()));
    for (const CachedPicture& p : pictures) {
        const QImage image = p.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ok = ok && out.put(static_cast<std::uint32_t>(p.name.size())) &&
             out.bytes(p.name.data(), static_cast<qint64>(p.name.size()));
        for (const std::int64_t v : p.identity)
            ok = ok && out.put(v);
        ok = ok && out.put(static_cast<std::int32_t>(p.declared.isValid() ? p.declared.width() : -1)) &&
             out.put(static_cast<std::int32_t>(p.declared.isValid() ? p.declared.height() : -1)) &&
             out.put(static_cast<std::int32_t>(image.width())) &&
             out.put(static_cast<std::int32_t>(image.height()));
        const auto row = static_cast<qint64>(image.width()) * 4;
        for (int y = 0; ok && y < image.height(); ++y)
            ok = out.bytes(reinterpret_cast<const char*>(image.constScanLine(y)), row);
    }
    return ok && out.seal();
}

QByteArray write(const std::vector<CachedPicture>& pictures) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer, pictures);
    return bytes;
}

QByteArray sealed(QByteArray bytes) {
    Sum sum;
    sum.add(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::uint64_t value = sum.value();
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    return bytes;
}

std::optional<std::vector<CachedPicture>> read(QIODevice& device, qint64 size) {
    constexpr qint64 kSumBytes = sizeof(std::uint64_t);
    if (size > MaxFileBytes || size < static_cast<qint64>(sizeof kMagic) + 8 + kSumBytes)
        return std::nullopt;
    Reader in(device, size - kSumBytes);
    char magic[sizeof kMagic];
    std::uint32_t order = 0, count = 0;
    if (!in.bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || !in.get(order) ||
        order != kOrder || !in.get(count) || count > MaxEntries)
        return std::nullopt;
    std::vector<CachedPicture> pictures;
    pictures.reserve(count);
    for (std::uint32_t n = 0; n < count; ++n) {
        CachedPicture p;
        std::uint32_t nameBytes = 0;
        if (!in.get(nameBytes) || nameBytes == 0 || nameBytes > MaxNameBytes || nameBytes > in.left())
            return std::nullopt;
        p.name.resize(nameBytes);
        if (!in.bytes(p.name.data(), nameBytes))
            return std::nullopt;
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
        const qint64 pixelBytes = static_cast<qint64>(w) * h * 4;
        if (pixelBytes > in.left())
            return std::nullopt;
        p.image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        if (p.image.isNull() || p.image.sizeInBytes() != pixelBytes ||
            !in.bytes(reinterpret_cast<char*>(p.image.bits()), pixelBytes))
            return std::nullopt;
        pictures.push_back(std::move(p));
    }
    std::uint64_t sum = 0;
    if (in.left() != 0 || device.read(reinterpret_cast<char*>(&sum), kSumBytes) != kSumBytes ||
        sum != in.sum())
        return std::nullopt;
    return pictures;
}

std::optional<std::vector<CachedPicture>> read(QByteArrayView bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, data.size());
}

QString fileFor(const QString& cacheFolder, const QString& folder) {
    const QByteArray key =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return cacheFolder + QLatin1String("/skin-") + QLatin1String(key) + QLatin1String(".pixels");
}

} // namespace morvantis::pixelcache
