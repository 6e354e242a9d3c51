// The alarm's due check as the tick runs it, on the real clock window (offscreen).
#include "clock/frmMain.h"
#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "platform/QtPrompts.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/Sound.h"
#include "platform/SystemClock.h"

#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "AlarmSettings.h"
#include "AllocationCount.h"
#include "ClockProbe.h"

using namespace morvantis;
using morvantis::test::probe;

namespace {

struct Silent final : Sound {
    void play(const std::string&, Mode) override {}
    void playThen(const std::string&, Ended ended) override { QTimer::singleShot(0, std::move(ended)); }
};

struct Clockwork {
    QTemporaryDir dir;
    SystemClock clock;
    QtSettingsStore store{dir.filePath(QStringLiteral("bench.conf"))};
    QtFiles files{dir.path().toStdString()};
    QtPictures pictures;
    QtShell shell;
    QtPrompts prompts;
    Silent sound;
    Services services{clock, store, files, pictures, shell, prompts, sound};
    ClockEnd end;
    ClockState clockState;
    frmMain window{services, clockState, end};

    explicit Clockwork(bool armed) {
        for (QTimer* timer : window.findChildren<QTimer*>())
            timer->stop();
        // A whole record that is due next year: armed, the tick compares it with the clock.
        const std::string nextYear = std::to_string(clock.now().year + 1);
        Settings record = morvantis::test::alarmAt(7, 5, 0, "PM", "Friday", "March", nextYear.c_str());
        record.alarm.action = AlarmAction::Window;
        clockState.load(record);
        clockState.setLight(armed);
        probe(window).CheckMusic();
        window.face().takeChanges();
    }
};

void checkMusic(benchmark::State& state, bool armed) {
    Clockwork clock(armed);
    const long before = g_allocations;
    for (auto _ : state)
        probe(clock.window).CheckMusic();
    state.counters["allocs_per_tick"] = benchmark::Counter(static_cast<double>(g_allocations - before) /
                                                           static_cast<double>(state.iterations()));
}

void BM_CheckMusicArmedNotDue(benchmark::State& state) {
    checkMusic(state, true);
}
BENCHMARK(BM_CheckMusicArmedNotDue);

void BM_CheckMusicNotArmed(benchmark::State& state) {
    checkMusic(state, false);
}
BENCHMARK(BM_CheckMusicNotArmed);

} // namespace
