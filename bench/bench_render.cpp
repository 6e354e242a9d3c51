#include "face/TimeRenderer.h"
#include "platform/SystemClock.h"

#include <benchmark/benchmark.h>

using namespace morvantis;

namespace {

// A clock that moves on by one second per reading, so every render changes something.
class SteppingClock final : public Clock {
public:
    LocalTime now() const override {
        LocalTime t = m_t;
        t.second = static_cast<int>(m_n++ / 8 % 60);
        return t;
    }

private:
    LocalTime m_t{2001, 9, 23, 13, 45, 7, 0};
    mutable unsigned long m_n = 0;
};

void BM_RenderFace(benchmark::State& state) {
    SteppingClock clock;
    FaceModel face;
    const RenderOptions options{true, false, {}};
    for (auto _ : state) {
        renderFace(face, readFaceTexts(clock), options);
        benchmark::DoNotOptimize(face.takeChanges());
    }
}
BENCHMARK(BM_RenderFace);

void BM_RenderFaceSystemClock(benchmark::State& state) {
    SystemClock clock;
    FaceModel face;
    const RenderOptions options{true, true, {}};
    for (auto _ : state) {
        renderFace(face, readFaceTexts(clock), options);
        benchmark::DoNotOptimize(face.takeChanges());
    }
}
BENCHMARK(BM_RenderFaceSystemClock);

} // namespace
