// A downloaded skin folder in which one picture is a mutated GIF, put on the face by the
// real loader and Qt's GIF decoder. The first byte picks the picture, the rest is its file.

#include "FuzzSupport.h"
#include "face/FaceModel.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "skins/SkinLoader.h"
#include "skins/SkinRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#ifndef MORVANTIS_SOURCE_DIR
#error "MORVANTIS_SOURCE_DIR names the source tree"
#endif

using namespace morvantis;

namespace {

struct SkinCopy {
    std::filesystem::path folder;
    std::vector<std::string_view> files; // the distinct pictures, in load order
    std::vector<std::string> original;   // their bytes
};

const SkinCopy& skin() {
    static const SkinCopy copy = [] {
        SkinCopy c;
        c.folder = fuzz::scratch() / "Digital Age";
        std::filesystem::copy(std::filesystem::path(MORVANTIS_SOURCE_DIR) / "data/Skins/Digital Age",
                              c.folder);
        for (const SkinStep& step : kSkinLoadPlan) {
            if (!step.file.empty() && std::find(c.files.begin(), c.files.end(), step.file) == c.files.end()) {
                c.files.push_back(step.file);
                std::ifstream in(c.folder / step.file, std::ios::binary);
                c.original.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        }
        return c;
    }();
    return copy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const SkinCopy& s = skin();
    const std::size_t which = data[0] % s.files.size();
    const auto picture = s.folder / s.files[which];
    fuzz::writeFile(picture, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    QtFiles files(fuzz::scratch().string());
    QtPictures pictures;
    SkinLoader loader(files, pictures);
    FaceModel face;
    if (loader.load(face, s.folder.string())) {
        fuzz::check(face.background() != nullptr, "a loaded skin has a background");
        std::vector<const Picture*> distinct;
        std::uint64_t pixels = 0;
        for (const SkinStep& step : kSkinLoadPlan) {
            const PictureHandle& p = step.background ? face.background() : face.picture(step.element);
            if (step.file.empty())
                continue;
            fuzz::check(p != nullptr, "a loaded skin sets every picture");
            fuzz::check(p->width() > 0 && p->height() > 0, "every picture has a size");
            if (std::find(distinct.begin(), distinct.end(), p.get()) == distinct.end()) {
                distinct.push_back(p.get());
                pixels += static_cast<std::uint64_t>(p->width()) * static_cast<std::uint64_t>(p->height());
            }
        }
        fuzz::check(pixels <= loader.pixelBudget(), "the decoded pictures keep to the skin's pixel budget");
    }
    fuzz::writeFile(picture, s.original[which]);
    return 0;
}
