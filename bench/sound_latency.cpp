// Measures the wave player through a private PulseAudio null sink:
//  - the time from a play call to its first recorded sample (median of 20, after one first call
//    that loads the player);
//  - the silence between words played one after another as the spoken time plays them.
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

// The first sound that begins after a moment, in seconds into the recording, or -1.
double firstSoundAfter(const std::vector<Segment>& segments, double from) {
    for (const Segment& s : segments)
        if (s.start >= from - 0.005)
            return s.start;
    return -1.0;
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
        const double at = recorder.secondsAt(calls[i]);
        const double heard = firstSoundAfter(segments, at);
        if (heard < 0)
            continue;
        if (i == 0)
            first = 1000.0 * (heard - at);
        else
            latencies.push_back(1000.0 * (heard - at));
    }
    std::printf("play call to first recorded sample: median %.1f ms over %zu calls (min %.1f, max %.1f); "
                "first call, loading the player: %.1f ms\n",
                median(latencies), latencies.size(),
                latencies.empty() ? 0.0 : *std::min_element(latencies.begin(), latencies.end()),
                latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()), first);

    // Gaps: "time nine twenty one p m", each word synchronously, ten times.
    const std::string words[] = {"time.WAV", "9.WAV", "20.WAV", "1.WAV", "pm.WAV"};
    std::vector<double> gaps;
    for (int round = 0; round < 10; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto start = Clock::now();
        std::vector<double> returns;
        for (const std::string& w : words) {
            sound.play(std::string(argv[2]) + "/" + w, Sound::Mode::Synchronous);
            returns.push_back(recorder.secondsAt(Clock::now()));
        }
        recorder.waitFor(recorder.secondsAt(Clock::now()) + 0.2);
        const double from = recorder.secondsAt(start);
        segments = findSegments(recorder.mono(), kRecordRate, 0.001);
        std::erase_if(segments, [&](const Segment& s) { return s.start < from - 0.005; });
        // Each word is the sound around the moment its call returned; the gap is the silence
        // between one word's last sample and the next word's first.
        std::vector<std::pair<double, double>> spans; // first and last sample of each word
        for (std::size_t w = 0; w < returns.size(); ++w) {
            const double lo = w == 0 ? from : returns[w - 1];
            double begin = -1, end = -1;
            for (const Segment& s : segments)
                if (s.start >= lo - 0.02 && s.start < returns[w]) {
                    if (begin < 0)
                        begin = s.start;
                    end = s.end();
                }
            spans.emplace_back(begin, end);
        }
        for (std::size_t w = 1; w < spans.size(); ++w)
            if (spans[w].first >= 0 && spans[w - 1].second >= 0)
                gaps.push_back(1000.0 * (spans[w].first - spans[w - 1].second));
    }
    std::printf("silence between two words: median %.1f ms over %zu gaps (min %.1f, max %.1f)\n", median(gaps),
                gaps.size(), gaps.empty() ? 0.0 : *std::min_element(gaps.begin(), gaps.end()),
                gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));
    return 0;
}
