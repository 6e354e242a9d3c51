// The cache of decoded skin pictures as it may be found: cut short, damaged, from another program
// or made to mislead. The input is the file's contents before its closing sum, which the target
// adds (a mutated sum would stop nearly every input at the first check); the input as it is is
// read too. The entries the input holds are also made to name the real picture file, so that
// they are taken where they pass.

#include "FuzzSupport.h"
#include "platform/FileState.h"
#include "platform/PixelCache.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#ifndef MORVANTIS_SOURCE_DIR
#error "MORVANTIS_SOURCE_DIR names the source tree"
#endif

using namespace morvantis;

namespace {

constexpr std::uint64_t kBudget = 4096;

struct Setup {
    std::filesystem::path picture;
    QString cacheFolder;
    QString cacheFile;
    QImage decoded;
};

const Setup& setup() {
    static const Setup s = [] {
        Setup c;
        const auto skin = fuzz::scratch() / "Skin";
        std::filesystem::create_directories(skin);
        c.picture = skin / "dot.gif";
        std::filesystem::copy_file(
            std::filesystem::path(MORVANTIS_SOURCE_DIR) / "data/Skins/Digital Age/dot.gif", c.picture);
        c.cacheFolder = QString::fromStdString((fuzz::scratch() / "cache").string());
        std::filesystem::create_directories(fuzz::scratch() / "cache");
        // The folder as the loader names it: the picture's path up to its last separator.
        const std::string picture = c.picture.string();
        c.cacheFile = pixelcache::fileFor(
            c.cacheFolder, QString::fromStdString(picture.substr(0, picture.find_last_of("/\\") + 1)));
        QtPictures plain;
        const PictureHandle p = plain.load(c.picture.string(), kBudget);
        fuzz::check(p != nullptr, "the real picture decodes");
        c.decoded = static_cast<const QtPicture&>(*p).image();
        return c;
    }();
    return s;
}

void writeCache(const QByteArray& bytes) {
    fuzz::writeFile(setup().cacheFile.toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

// Whatever the cache file holds, the real picture loads, and is the entry's only where one passed.
void loadThrough(const QByteArray& cache, const std::vector<CachedPicture>& entries) {
    const Setup& s = setup();
    writeCache(cache);
    QtPictures pictures(std::chrono::milliseconds(0), s.cacheFolder);
    const PictureHandle p = pictures.load(s.picture.string(), kBudget);
    fuzz::check(p != nullptr, "a cache file never keeps a good picture from loading");
    const QImage& image = static_cast<const QtPicture&>(*p).image();
    fuzz::check(static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height()) <=
                    kBudget,
                "a picture keeps to the budget");
    const auto fits = [](QSize size) {
        return static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) <=
               kBudget;
    };
    bool anEntry = image == s.decoded;
    for (const CachedPicture& e : entries)
        anEntry = anEntry ||
                  (e.name == "dot.gif" && image == e.image && (!e.declared.isValid() || fits(e.declared)));
    fuzz::check(anEntry, "the picture is the file's, or that of an entry for it that keeps to the budget");
    pictures.saveCache();
    QFile file(s.cacheFile);
    fuzz::check(file.open(QIODevice::ReadOnly), "the cache file is there");
    fuzz::check(pixelcache::read(file.readAll()).has_value(), "the cache file is whole after a load");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Setup& s = setup();
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray sealed = pixelcache::sealed(input);
    auto entries = pixelcache::read(sealed);
    if (entries)
        fuzz::check(pixelcache::write(*entries) == sealed, "a cache file read is written back the same");
    loadThrough(input, pixelcache::read(input).value_or(std::vector<CachedPicture>{}));
    loadThrough(sealed, entries.value_or(std::vector<CachedPicture>{}));
    if (entries && !entries->empty()) {
        QFile picture(QString::fromStdString(s.picture.string()));
        fuzz::check(picture.open(QIODevice::ReadOnly), "the picture opens");
        const auto state = fileStateOf(picture.handle());
        if (!state)
            return 0; // a system that does not tell: nothing is taken from the cache there
        for (CachedPicture& e : *entries)
            e.identity = state->identity;
        loadThrough(pixelcache::write(*entries), *entries);
    }
    return 0;
}
