// GIF pictures as skins bring them: what is drawn and what is refused, by the pixel budget and
// by what the file holds. Every GIF here is made by the test.
#include "platform/PixelCache.h"
#include "platform/QtPictures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <vector>

using namespace morvantis;

namespace {

// LZW data for 4-colour pixels, without compression: a clear code before the table would
// make the codes wider, so that every pixel is a code of three bits.
QByteArray lzwOf(const std::vector<int>& pixels, bool end = true) {
    constexpr int kClear = 4;
    QByteArray out;
    std::uint32_t bits = 0;
    int held = 0;
    const auto put = [&](int code) {
        bits |= static_cast<std::uint32_t>(code) << held;
        held += 3;
        while (held >= 8) {
            out.append(static_cast<char>(bits & 0xff));
            bits >>= 8;
            held -= 8;
        }
    };
    int sinceClear = kClear - 2; // a clear code first
    for (const int p : pixels) {
        if (sinceClear == kClear - 2) {
            put(kClear);
            sinceClear = 0;
        }
        put(p);
        ++sinceClear;
    }
    if (end)
        put(kClear + 1);
    if (held > 0)
        out.append(static_cast<char>(bits & 0xff));
    return out;
}

// A GIF of one w x h image with a 4-colour table, its LZW data in blocks of up to 255 bytes;
// closed (the empty block and the trailer) or not.
QByteArray gifOf(int w, int h, const QByteArray& lzw, bool closed = true) {
    QByteArray g("GIF89a");
    const auto le16 = [&](int v) { g.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8)); };
    le16(w);
    le16(h);
    g.append("\x81\x00\x00", 3); // a global table of four colours
    g.append("\x00\x00\x00\xff\x00\x00\x00\xff\x00\x00\x00\xff", 12);
    g.append(',');
    le16(0);
    le16(0);
    le16(w);
    le16(h);
    g.append('\x00');
    g.append('\x02'); // the LZW code size
    for (qsizetype i = 0; i < lzw.size(); i += 255) {
        const QByteArray block = lzw.mid(i, 255);
        g.append(static_cast<char>(block.size())).append(block);
    }
    if (closed)
        g.append("\x00;", 2);
    return g;
}

std::vector<int> pattern(int n) {
    std::vector<int> p(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        p[static_cast<std::size_t>(i)] = (i * 7 + i / 5) % 4;
    return p;
}

} // namespace

TEST(Pictures, GifsAsOtherReadersDrawThem) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.gif"));
    QtPictures pictures;
    const QByteArray whole = lzwOf(pattern(16));
    const QByteArray closed = gifOf(4, 4, whole);
    const QByteArray wide = gifOf(65535, 1, lzwOf(pattern(65535)));
    const struct {
        const char* what;
        QByteArray gif;
        std::uint64_t budget;
        int width; // 0: refused
    } cases[] = {
        {"closed", closed, 16, 4},
        {"without the trailer", closed.left(closed.size() - 1), 16, 4},
        {"without the block that closes the image, whole", gifOf(4, 4, whole, false), 16, 4},
        {"the same without the end code", gifOf(4, 4, lzwOf(pattern(16), false), false), 16, 4},
        {"unclosed and cut short", gifOf(4, 4, lzwOf(pattern(9), false), false), 16, 0},
        {"cut inside a block", closed.left(closed.size() - 4), 16, 0},
        {"codes the table does not hold", gifOf(4, 4, QByteArray("\x3c\xff\xff", 3), false), 16, 0},
        {"past the budget", closed, 15, 0},
        {"one side far longer than the other, within the budget", wide, 65535, 65535},
        {"the same past the budget", wide, 65534, 0},
    };
    QImage reference;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.gif);
        file.close();
        const PictureHandle p = pictures.load(path.toStdString(), c.budget);
        if (c.width == 0) {
            EXPECT_FALSE(p);
            continue;
        }
        ASSERT_TRUE(p);
        EXPECT_EQ(p->width(), c.width);
        const QImage& image = static_cast<const QtPicture&>(*p).image();
        if (c.width == 4) {
            if (reference.isNull())
                reference = image;
            EXPECT_EQ(image, reference) << "drawn as the closed picture is";
        }
    }
}

// A picture still held (on the face) is given again for its file while the file is the same one,
// unchanged: the start-up loads its skin twice, and reopening the chooser loads it again. Any
// change to the file is read again, and a file changed just now is not trusted to show its next
// change in its times.
TEST(Pictures, AFileStillTheSameGivesThePictureDecodedFromIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.gif"));
    const QString spare = dir.filePath(QStringLiteral("spare.gif"));
    const QByteArray first = gifOf(4, 4, lzwOf(pattern(16)));
    std::vector<int> others = pattern(16);
    for (int& p : others)
        p = 3 - p;
    const QByteArray second = gifOf(4, 4, lzwOf(others));
    ASSERT_EQ(first.size(), second.size());
    const QDateTime then = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    const auto write = [&](const QString& to, const QByteArray& gif, const QDateTime& modified) {
        QFile file(to);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(gif);
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    const auto pixels = [](const PictureHandle& p) { return static_cast<const QtPicture&>(*p).image(); };
    const struct {
        const char* what;
        std::function<void()> change;
        bool readAgain;
    } cases[] = {
        {"unchanged", [] {}, false},
        {"rewritten in place, same size, another time", [&] { write(path, second, then.addSecs(1)); }, true},
        {"replaced by another file of the same size and time",
         [&] {
             write(spare, second, then);
             std::error_code error;
             std::filesystem::rename(spare.toStdWString(), path.toStdWString(), error);
             ASSERT_FALSE(error) << error.message();
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        write(path, first, then);
        QtPictures pictures(std::chrono::milliseconds(0));
        const PictureHandle held = pictures.load(path.toStdString(), 16);
        ASSERT_TRUE(held);
        const QImage before = pixels(held);
        c.change();
        const PictureHandle again = pictures.load(path.toStdString(), 16);
        ASSERT_TRUE(again);
        EXPECT_EQ(again == held, !c.readAgain);
        EXPECT_EQ(pixels(again) == before, !c.readAgain);
        EXPECT_FALSE(pictures.load(path.toStdString(), 15)) << "the budget still holds";
    }

    // Written just now, whatever time it claims: decoded afresh each time.
    QtPictures pictures;
    const PictureHandle held = pictures.load(path.toStdString(), 16);
    EXPECT_NE(pictures.load(path.toStdString(), 16), held);
}

namespace {

// A cache file's bytes, made by hand: one entry that claims a picture of w x h pixels and holds
// `held` bytes of them.
QByteArray cacheClaiming(std::uint32_t count, int w, int h, qsizetype held) {
    QByteArray b("MVPIXEL1");
    const auto u32 = [&](std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    u32(0x01020304);
    u32(count);
    u32(5);
    b.append("a.gif");
    b.append(7 * 8, '\0');
    for (const int v : {w, h, w, h})
        u32(static_cast<std::uint32_t>(v));
    b.append(held, '\x7f');
    return pixelcache::sealed(b);
}

} // namespace

// The decoded pictures kept between starts are a hint, never trusted: an entry is taken only for
// the same file, whole and within the budget; anything else in its place is read as nothing,
// the file decides, and the cache file is made again.
TEST(Pictures, TheCacheFileIsTakenOnlyWholeAndForTheSameFile) {
    const QByteArray gif = gifOf(4, 4, lzwOf(pattern(16)));
    std::vector<int> others = pattern(16);
    for (int& p : others)
        p = 3 - p;
    const QImage forged = [] {
        QImage i(4, 4, QImage::Format_ARGB32_Premultiplied);
        i.fill(0x80402010);
        return i;
    }();
    const auto with = [&](const QImage& image, const char* name = "a.gif") {
        return std::vector<CachedPicture>{{name, {}, QSize(4, 4), image}};
    };
    enum class Given { Forged, File };
    const struct {
        const char* what;
        std::function<void(QByteArray& cache, const QString& picture)> change;
        Given given;
    } cases[] = {
        {"whole and the file's", [](QByteArray&, const QString&) {}, Given::Forged},
        {"stale: the picture rewritten since",
         [&](QByteArray&, const QString& picture) {
             QFile file(picture);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(gifOf(4, 4, lzwOf(others)));
             ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(1'000'000'001),
                                          QFileDevice::FileModificationTime));
         },
         Given::File},
        {"truncated", [](QByteArray& cache, const QString&) { cache.chop(9); }, Given::File},
        {"a pixel damaged", [](QByteArray& cache, const QString&) { cache[cache.size() - 20] ^= 1; },
         Given::File},
        {"foreign: another program's file", [&](QByteArray& cache, const QString&) { cache = gif; },
         Given::File},
        {"foreign: another folder's entry",
         [&](QByteArray& cache, const QString&) {
             auto entries = *pixelcache::read(cache);
             entries[0].name = "b.gif";
             cache = pixelcache::write(entries);
         },
         Given::File},
        {"hostile: an entry past the budget",
         [&](QByteArray& cache, const QString&) {
             auto entries = *pixelcache::read(cache);
             entries[0].image = QImage(5, 4, QImage::Format_ARGB32_Premultiplied);
             entries[0].image.fill(0);
             cache = pixelcache::write(entries);
         },
         Given::File},
        {"hostile: an entry whose file declared more than the budget",
         [&](QByteArray& cache, const QString&) {
             auto entries = *pixelcache::read(cache);
             entries[0].declared = QSize(5, 4);
             cache = pixelcache::write(entries);
         },
         Given::File},
        {"hostile: claims pixels it does not hold",
         [](QByteArray& cache, const QString&) { cache = cacheClaiming(1, 32767, 32767, 64); }, Given::File},
        {"hostile: claims more entries than it holds",
         [](QByteArray& cache, const QString&) { cache = cacheClaiming(0xffffffff, 4, 4, 64); }, Given::File},
#ifndef Q_OS_WIN
        {"a named pipe in its place", [](QByteArray& cache, const QString&) { cache.clear(); }, Given::File},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Skin")));
        const QString picture = dir.filePath(QStringLiteral("Skin/a.gif"));
        const QString cacheFolder = dir.filePath(QStringLiteral("cache"));
        const QString cacheFile = pixelcache::fileFor(cacheFolder, dir.filePath(QStringLiteral("Skin/")));
        {
            QFile file(picture);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(gif);
            ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(1'000'000'000),
                                         QFileDevice::FileModificationTime));
        }
        {
            QtPictures first(std::chrono::milliseconds(0), cacheFolder);
            ASSERT_TRUE(first.load(picture.toStdString(), 16));
            first.saveCache();
        }
        // The entry kept for the file, its pixels forged: a picture drawn from them came from the cache.
        QFile file(cacheFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto kept = pixelcache::read(file.readAll());
        file.close();
        ASSERT_TRUE(kept && kept->size() == 1);
        auto forgedEntries = with(forged);
        forgedEntries[0].identity = (*kept)[0].identity;
        QByteArray cache = pixelcache::write(forgedEntries);
        c.change(cache, picture);
        QFile::remove(cacheFile);
        if (cache.isEmpty()) {
#ifndef Q_OS_WIN
            ASSERT_EQ(::mkfifo(QFile::encodeName(cacheFile).constData(), 0600), 0);
#endif
        } else {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(cache);
            file.close();
        }

        const QImage real =
            static_cast<const QtPicture&>(*QtPictures().load(picture.toStdString(), 16)).image();
        QtPictures pictures(std::chrono::milliseconds(0), cacheFolder);
        const PictureHandle p = pictures.load(picture.toStdString(), 16);
        ASSERT_TRUE(p);
        EXPECT_EQ(static_cast<const QtPicture&>(*p).image(), c.given == Given::Forged ? forged : real);
        EXPECT_FALSE(pictures.load(picture.toStdString(), 15)) << "the budget still holds";
        pictures.saveCache();

        // Made again from the file, unless it was taken as it stood.
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto after = pixelcache::read(file.readAll());
        ASSERT_TRUE(after && after->size() == 1);
        EXPECT_EQ((*after)[0].image, c.given == Given::Forged ? forged : real);
    }
}

// The program's own PPM pictures are read without an image reader where they are plainly
// written; whatever the file, the picture is the one Qt's reader makes of it.
TEST(Pictures, OwnPpmPicturesReadAsQtsReaderReadsThem) {
    QByteArray pixels;
    for (int i = 0; i < 7 * 3 * 3; ++i)
        pixels.append(static_cast<char>(i * 37 % 256));
    const struct {
        const char* what;
        QByteArray ppm;
    } cases[] = {
        {"as written", "P6\n7 3\n255\n" + pixels},
        {"blanks of other kinds", "P6 7\t3\r\n255 " + pixels},
        {"a comment in the header", "P6\n# made here\n7 3\n255\n" + pixels},
        {"cut short", "P6\n7 3\n255\n" + pixels.left(40)},
        {"sixteen bits a sample", "P6\n7 3\n65535\n" + pixels + pixels},
        {"not a PPM", pixels},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.ppm"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.ppm);
        file.close();
        QImageReader reader(path, "ppm");
        const QImage expected = reader.read();
        const QImage image = readResourcePicture(path);
        ASSERT_EQ(image.isNull(), expected.isNull());
        if (!expected.isNull()) {
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
                      expected.convertToFormat(QImage::Format_RGB32));
        }
    }
}

// Skin folders come and go (copies made and removed again): the cache folder keeps only the files
// written last, the one just written among them.
TEST(Pictures, TheCacheFolderKeepsTheFilesWrittenLast) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Skin")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("cache")));
    const QString picture = dir.filePath(QStringLiteral("Skin/a.gif"));
    const QString cacheFolder = dir.filePath(QStringLiteral("cache"));
    QFile gif(picture);
    ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
    gif.write(gifOf(4, 4, lzwOf(pattern(16))));
    gif.close();
    const QDateTime now = QDateTime::currentDateTime();
    for (int age = 1; age <= pixelcache::KeptFiles + 1; ++age) {
        QFile other(cacheFolder + QStringLiteral("/skin-other%1.pixels").arg(age));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("x");
        other.flush(); // or closing it would write it now
        ASSERT_TRUE(other.setFileTime(now.addDays(-age), QFileDevice::FileModificationTime));
    }
    QtPictures pictures(std::chrono::milliseconds(0), cacheFolder);
    ASSERT_TRUE(pictures.load(picture.toStdString(), 16));
    pictures.saveCache();

    const QStringList kept =
        QDir(cacheFolder).entryList({QStringLiteral("skin-*.pixels")}, QDir::Files, QDir::Time);
    ASSERT_EQ(kept.size(), pixelcache::KeptFiles);
    EXPECT_EQ(cacheFolder + QLatin1Char('/') + kept.front(),
              pixelcache::fileFor(cacheFolder, dir.filePath(QStringLiteral("Skin/"))));
    EXPECT_EQ(kept.back(), QStringLiteral("skin-other%1.pixels").arg(pixelcache::KeptFiles - 1));
}
