#include "face/FaceModel.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "skins/SkinLoader.h"

#include <benchmark/benchmark.h>

using namespace morvantis;

namespace {

// A whole skin load: 40 files decoded, 135 pictures assigned, 8 cleared, info.txt read.
void BM_SkinLoad(benchmark::State& state) {
    QtFiles files(MORVANTIS_SOURCE_DIR "/data");
    QtPictures pictures;
    SkinLoader loader(files, pictures);
    FaceModel face;
    const std::string path = files.programFolder() + "/Skins/Digital Age";
    for (auto _ : state) {
        if (!loader.load(face, path))
            state.SkipWithError("the skin did not load");
        benchmark::DoNotOptimize(face.takeChanges());
    }
}
BENCHMARK(BM_SkinLoad)->Unit(benchmark::kMillisecond);

} // namespace
