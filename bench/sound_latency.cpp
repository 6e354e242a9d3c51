// Measures the wave player through a private PulseAudio null sink:
//  - the time from a play call to its first recorded sample (median of 20, after one first call
//    that loads the player);
//  - the silence between words played one after another as the spoken time plays them;
//  - a server that comes back: from its return (thawed after a freeze that made the player
//    give a request up) to the first sample of a sound asked for at that moment, and the play
//    call to first sample of the first sound after a restart (a new connection).
// Usage: sound_latency <player module> <wave folder>
#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "support/SoundCheck.h"
#include "support/WaveFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <thread>

using namespace morvantis;
using namespace morvantis::test;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sound_latency <player module> <wave folder>\n");
        return 2;
    }
    PulseServer server;
    if (!server.running()) {
        std::fprintf(stderr, "PulseAudio could not start: %s\n", server.why().c_str());
        return 1;
    }
    Recorder recorder(server);
    recorder.waitFor(0.5);
    QTemporaryDir dir;
    const std::string tone = dir.filePath(QStringLiteral("tone.wav")).toStdString();
    writeTone(tone, 440.0, 0.2);
    QtFiles files(dir.path().toStdString());
    LazySound sound(files, argv[1]);

    // Latency: asynchronous calls, each into silence.
    std::vector<Clock::time_point> calls;
    for (int i = 0; i < 21; ++i) {
        calls.push_back(Clock::now());
        sound.play(tone, Sound::Mode::Asynchronous);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    recorder.waitFor(recorder.secondsAt(Clock::now()) + 0.2);
    auto segments = findSegments(recorder.mono());
    std::vector<double> latencies;
    double first = -1.0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        // The first sound recorded after the call (the recording's own time runs a little ahead
        // of the clock, so the search starts somewhat before it).
        const double from = recorder.secondsAt(calls[i]) - 0.1;
        const auto s =
            std::find_if(segments.begin(), segments.end(), [&](const Segment& x) { return x.start >= from; });
        if (s == segments.end())
            continue;
        const double ms =
            std::chrono::duration<double, std::milli>(recorder.arrivalOf(s->start) - calls[i]).count();
        if (i == 0)
            first = ms;
        else
            latencies.push_back(ms);
    }
    std::printf("play call to first recorded sample (its arrival from parec): median %.1f ms over %zu calls "
                "(min %.1f, max %.1f); first call, loading the player: %.1f ms\n",
                median(latencies), latencies.size(),
                latencies.empty() ? 0.0 : *std::min_element(latencies.begin(), latencies.end()),
                latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()), first);

    // Gaps: "time nine twenty one p m", each word synchronously, ten times. No word holds a
    // millisecond of silence, so sounds 1 ms apart are words; words recorded without any
    // gap between them come out as one sound and count as gaps of 0.
    const std::string words[] = {"time.WAV", "9.WAV", "20.WAV", "1.WAV", "pm.WAV"};
    std::vector<double> gaps;
    for (int round = 0; round < 10; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const double from = recorder.secondsAt(Clock::now()) - 0.1;
        for (const std::string& w : words)
            sound.play(std::string(argv[2]) + "/" + w, Sound::Mode::Synchronous);
        recorder.waitFor(recorder.secondsAt(Clock::now()) + 0.2);
        std::vector<Segment> phrase;
        for (const Segment& s : findSegments(recorder.mono(), kRecordRate, 0.001))
            if (s.start >= from)
                phrase.push_back(s);
        for (std::size_t i = 1; i < phrase.size(); ++i)
            gaps.push_back(1000.0 * (phrase[i].start - phrase[i - 1].end()));
        for (std::size_t i = phrase.size(); i < std::size(words); ++i)
            gaps.push_back(0.0);
    }
    std::printf("silence between two words: median %.1f ms over %zu gaps (min %.1f, max %.1f)\n",
                median(gaps), gaps.size(), gaps.empty() ? 0.0 : *std::min_element(gaps.begin(), gaps.end()),
                gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));

    // The first sound recorded at or after a moment: when its first sample arrived, in ms after it.
    const auto firstSoundAfter = [](const Recorder& r, Clock::time_point t) -> double {
        r.waitFor(r.secondsAt(Clock::now()) + 0.3);
        const double from = r.secondsAt(t) - 0.1;
        for (const Segment& s : findSegments(r.mono()))
            if (s.start >= from)
                return std::chrono::duration<double, std::milli>(r.arrivalOf(s.start) - t).count();
        return -1.0;
    };
    std::vector<double> thawed;
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        server.freeze();
        sound.play(tone, Sound::Mode::Synchronous); // given up after the player's bound
        const auto back = Clock::now();
        server.thaw();
        sound.play(tone, Sound::Mode::Asynchronous);
        if (const double ms = firstSoundAfter(recorder, back); ms >= 0)
            thawed.push_back(ms);
    }
    std::printf("a frozen server that comes back: its return to the first sample of a sound asked for then: "
                "median %.1f ms over %zu\n",
                median(thawed), thawed.size());
    std::vector<double> restarted;
    for (int i = 0; i < 5; ++i) {
        server.stop();
        sound.play(tone, Sound::Mode::Synchronous); // no server: given up at once
        if (!server.start())
            break;
        const Recorder again(server);
        again.waitFor(0.3);
        const auto called = Clock::now();
        sound.play(tone, Sound::Mode::Asynchronous);
        if (const double ms = firstSoundAfter(again, called); ms >= 0)
            restarted.push_back(ms);
    }
    std::printf(
        "a restarted server: play call to first recorded sample of the first sound (a new connection): "
        "median %.1f ms over %zu\n",
        median(restarted), restarted.size());
    return 0;
}
