#include "face/FaceModel.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "skins/SkinLoader.h"

#include <benchmark/benchmark.h>

using namespace morvantis;

namespace {

// A skin switch: 40 files decoded, 135 pictures assigned, 8 cleared, info.txt read. Two skins in
// turn, as the chooser switches: the pictures of the skin on the face are reused only by a load
// of that same skin.
void BM_SkinLoad(benchmark::State& state) {
    QtFiles files(MORVANTIS_SOURCE_DIR "/data");
    QtPictures pictures;
    SkinLoader loader(files, pictures);
    FaceModel face;
    const std::string paths[] = {files.programFolder() + "/Skins/Digital Age",
                                 files.programFolder() + "/Skins/Midnight Blue"};
    std::size_t n = 0;
    for (auto _ : state) {
        if (!loader.load(face, paths[n++ % 2]))
            state.SkipWithError("the skin did not load");
        benchmark::DoNotOptimize(face.takeChanges());
    }
}
BENCHMARK(BM_SkinLoad)->Unit(benchmark::kMillisecond);

// The skin on the face loaded again (start-up's second load, the chooser reopened): its files are
// checked, not decoded.
void BM_SkinReload(benchmark::State& state) {
    QtFiles files(MORVANTIS_SOURCE_DIR "/data");
    QtPictures pictures(std::chrono::milliseconds(0));
    SkinLoader loader(files, pictures);
    FaceModel face;
    const std::string path = files.programFolder() + "/Skins/Digital Age";
    loader.load(face, path);
    for (auto _ : state) {
        if (!loader.load(face, path))
            state.SkipWithError("the skin did not load");
        benchmark::DoNotOptimize(face.takeChanges());
    }
}
BENCHMARK(BM_SkinReload)->Unit(benchmark::kMillisecond);

} // namespace
