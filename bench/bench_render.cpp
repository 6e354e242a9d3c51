#include "face/TimeRenderer.h"
#include "platform/SystemClock.h"

#include <benchmark/benchmark.h>

#include "AllocationCount.h"

using namespace morvantis;

namespace {

// A clock that moves on by one second per render, so every render changes something.
class SteppingClock final : public Clock {
public:
    LocalTime now() const override {
        LocalTime t = m_t;
        t.second = static_cast<int>(m_n++ / 8 % 60);
        return t;
    }
    LocalTime at(std::int64_t) const override { return m_t; }

private:
    LocalTime m_t{2001, 9, 23, 13, 45, 7, 0};
    mutable unsigned long m_n = 0;
};

template <class C> void renderLoop(benchmark::State& state, const C& clock, bool hours24) {
    FaceModel face;
    const RenderOptions options{true, hours24, {}};
    renderFace(face, readFaceTexts(clock), options);
    const long before = g_allocations;
    for (auto _ : state) {
        renderFace(face, readFaceTexts(clock), options);
        benchmark::DoNotOptimize(face.takeChanges());
    }
    state.counters["allocs_per_render"] = benchmark::Counter(static_cast<double>(g_allocations - before) /
                                                             static_cast<double>(state.iterations()));
}

void BM_RenderFace(benchmark::State& state) {
    renderLoop(state, SteppingClock(), false);
}
BENCHMARK(BM_RenderFace);

// One tick's rules with the machine's clock: the render (eight clock readings), the
// disarmed alarm's caption check and the change list the window repaints from.
void BM_TickRules(benchmark::State& state) {
    SystemClock clock;
    FaceModel face;
    const RenderOptions options{true, true, {}};
    const std::string idle = "alarm did not set";
    const long before = g_allocations;
    for (auto _ : state) {
        renderFace(face, readFaceTexts(clock), options);
        if (!face.isVisible(Element::imgLight))
            face.setCaption(idle);
        blinkColons(face, true);
        benchmark::DoNotOptimize(face.takeChanges());
    }
    state.counters["allocs_per_tick"] = benchmark::Counter(static_cast<double>(g_allocations - before) /
                                                           static_cast<double>(state.iterations()));
}
BENCHMARK(BM_TickRules);

} // namespace

BENCHMARK_MAIN();
