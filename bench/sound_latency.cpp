// Measures the wave player on one server set-up (a PulseAudio null sink at its own latency,
// one with norewinds=1, or PipeWire's pulse server):
//  - the time from a play call to its first recorded sample (median of 20), for a sound into a
//    stream left from the last one and for one that opens a stream afresh;
//  - the time from the last sample written to the end confirmed (median and max of 20);
//  - the silence between words played one after another as the spoken time plays them;
//  - on PulseAudio, a server that comes back: from its return (thawed after a freeze that made
//    the player give a request up) to the first sample of a sound asked for at that moment, and
//    the play call to first sample of the first sound after a restart (a new connection).
// Usage: sound_latency <wave folder> <default|norewinds|pipewire>
#include "platform/linux/WavePlayer.h"
#include "support/SoundCheck.h"
#include "support/WaveFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

double maxOf(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The first sound recorded at or after a moment: when its first sample arrived, in ms after it.
double firstSoundAfter(const Recorder& r, Clock::time_point t) {
    r.waitFor(r.secondsAt(Clock::now()) + 0.3);
    const double from = r.secondsAt(t) - 0.1;
    for (const Segment& s : findSegments(r.mono()))
        if (s.start >= from)
            return ms(r.arrivalOf(s.start) - t);
    return -1.0;
}

// Play call to first recorded sample of twenty calls this far apart.
std::vector<double> startLatencies(WavePlayer& player, const Recorder& recorder, const std::string& tone,
                                   std::chrono::milliseconds apart) {
    std::vector<double> out;
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(apart);
        const auto called = Clock::now();
        player.play(tone, Sound::Mode::Synchronous);
        if (const double t = firstSoundAfter(recorder, called); t >= 0)
            out.push_back(t);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const ServerSetup setups[] = {ServerSetup::PulseDefaultLatency, ServerSetup::PulseNoRewinds,
                                  ServerSetup::PipeWire};
    const char* names[] = {"default", "norewinds", "pipewire"};
    const auto chosen = argc < 3 ? std::end(names)
                                 : std::find_if(std::begin(names), std::end(names),
                                                [&](const char* n) { return std::strcmp(n, argv[2]) == 0; });
    if (chosen == std::end(names)) {
        std::fprintf(stderr, "usage: sound_latency <wave folder> <default|norewinds|pipewire>\n");
        return 2;
    }
    const ServerSetup setup = setups[chosen - std::begin(names)];
    const std::string waves = argv[1];
    // The server's environment is this process's own: the player connects to it.
    std::unique_ptr<SoundServer> server = startServer(setup);
    if (!server->running()) {
        std::fprintf(stderr, "%s could not start: %s\n", setupName(setup), server->why().c_str());
        return 1;
    }
    for (const std::string& e : server->environment()) {
        const auto eq = e.find('=');
        ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    std::printf("== %s\n", setupName(setup));
    QTemporaryDir dir;
    const std::string tone = dir.filePath(QStringLiteral("tone.wav")).toStdString();
    writeTone(tone, 440.0, 0.15, 22050);
    WavePlayer player;
    {
        // Timed by arrival: a recorder with a short latency (on the sink at its own latency it
        // lowers the sink's, which is what a sound asked for does as well).
        const Recorder recorder(*server);
        recorder.waitFor(0.5);
        player.play(tone, Sound::Mode::Synchronous); // connects
        const auto reused = startLatencies(player, recorder, tone, std::chrono::milliseconds(300));
        const auto fresh = startLatencies(player, recorder, tone, std::chrono::milliseconds(1500));
        std::printf("play call to first recorded sample: median %.1f ms (max %.1f) into the stream left "
                    "from the last sound; median %.1f ms (max %.1f) on a stream opened afresh\n",
                    median(reused), maxOf(reused), median(fresh), maxOf(fresh));
    }
    std::vector<double> confirm;
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        player.play(tone, Sound::Mode::Synchronous);
        const WavePlayer::Timeline t = player.lastTimeline();
        confirm.push_back(ms(t.confirmed - t.lastWritten));
    }
    std::printf("last sample written to the end confirmed: median %.1f ms, max %.1f ms over %zu; buffer "
                "granted %.1f ms\n",
                median(confirm), maxOf(confirm), confirm.size(),
                std::chrono::duration<double, std::milli>(player.lastTimeline().granted).count());

    // Gaps: "time nine twenty one p m", each word synchronously, ten times, recorded with no
    // latency asked (the sink keeps its own). No word holds a millisecond of silence, so sounds
    // 1 ms apart are words; words recorded without any gap between them count as gaps of 0.
    {
        const Recorder recorder(*server, 0);
        recorder.waitFor(0.2);
        const std::string words[] = {"time.WAV", "9.WAV", "20.WAV", "1.WAV", "pm.WAV"};
        for (int round = 0; round < 10; ++round) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            for (const std::string& w : words)
                player.play(waves + "/" + w, Sound::Mode::Synchronous);
        }
        std::vector<float> mono;
        std::vector<Segment> phrases;
        for (const auto until = Clock::now() + std::chrono::seconds(10); Clock::now() < until;
             std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            mono = recorder.mono();
            phrases = findSegments(mono, kRecordRate, 0.2);
            if (phrases.size() >= 10 &&
                static_cast<double>(mono.size()) / kRecordRate > phrases.back().end() + 0.2)
                break;
        }
        std::vector<double> gaps;
        for (const Segment& phrase : phrases) {
            std::vector<Segment> heard;
            for (const Segment& s : findSegments(mono, kRecordRate, 0.001))
                if (s.start >= phrase.start - 1e-6 && s.end() <= phrase.end() + 1e-6)
                    heard.push_back(s);
            for (std::size_t i = 1; i < heard.size(); ++i)
                gaps.push_back(1000.0 * (heard[i].start - heard[i - 1].end()));
            for (std::size_t i = heard.size(); i < std::size(words); ++i)
                gaps.push_back(0.0);
        }
        std::printf("silence between two words: median %.1f ms, max %.1f ms over %zu gaps in %zu phrases\n",
                    median(gaps), maxOf(gaps), gaps.size(), phrases.size());
    }

    auto* pulse = dynamic_cast<PulseServer*>(server.get());
    if (!pulse)
        return 0;
    const Recorder recorder(*pulse);
    recorder.waitFor(0.3);
    std::vector<double> thawed;
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pulse->freeze();
        player.play(tone, Sound::Mode::Synchronous); // given up after the player's bound
        const auto back = Clock::now();
        pulse->thaw();
        player.play(tone, Sound::Mode::Asynchronous);
        if (const double t = firstSoundAfter(recorder, back); t >= 0)
            thawed.push_back(t);
    }
    std::printf("a frozen server that comes back: its return to the first sample of a sound asked for then: "
                "median %.1f ms over %zu\n",
                median(thawed), thawed.size());
    std::vector<double> restarted;
    for (int i = 0; i < 5; ++i) {
        pulse->stop();
        player.play(tone, Sound::Mode::Synchronous); // no server: given up at once
        if (!pulse->start())
            break;
        const Recorder again(*pulse);
        again.waitFor(0.3);
        const auto called = Clock::now();
        player.play(tone, Sound::Mode::Asynchronous);
        if (const double t = firstSoundAfter(again, called); t >= 0)
            restarted.push_back(t);
    }
    std::printf(
        "a restarted server: play call to first recorded sample of the first sound (a new connection): "
        "median %.1f ms over %zu\n",
        median(restarted), restarted.size());
    return 0;
}
