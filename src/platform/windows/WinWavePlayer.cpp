// The wave player on Windows, through winmm's waveOut: on every Windows, it takes 16-bit PCM
// at the file's own rate and converts to the mixer's format itself (WASAPI's shared mode
// takes only the mixer's), and it tells when each buffer has been played, which is what a
// synchronous sound waits for. One worker thread decodes each request and drives the device;
// callers only post requests and wait on the shared state.
#include "platform/Sound.h"
#include "platform/WaveDecoder.h"
#include "platform/player/PlayerRequests.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

namespace morvantis {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Each buffer given to the device holds this much sound: a stop is heard within one.
constexpr double kBufferSeconds = 0.1;
// After a sound the device is given silence in pieces this long, one always ahead of what it
// has played, until it closes: the next sound waits behind no more than that, and a device
// never runs dry, which some do not do cleanly (Wine's stream gives the last milliseconds of
// a sound after a pause, heard as a click).
constexpr double kSilenceSeconds = 0.01;
// A device that plays none of a sound for this long past the sound's own length is stuck.
constexpr auto kStuckBound = 3s;
// The device stays open this long after a sound, so that the next one (the spoken time's next
// word) follows at once in the same format.
constexpr auto kLinger = 1s;
// How often the worker looks at the buffers and at new requests while the device is open.
constexpr auto kPoll = 10ms;
// The callers' own bound on a worker that shows no progress (a device call that does not return).
constexpr auto kWorkerBound = 3s;
constexpr auto kQuitBound = 300ms;
// How long a sound that has been reported played is let finish before the device closes (the
// program ends, the next sound needs another format).
constexpr auto kDrainBound = 500ms;
constexpr int kAlertRate = 44100;
// The format tried when a device refuses a sound's own: the usual mixer's.
constexpr int kCommonRate = 48000;
constexpr int kCommonChannels = 2;
// The alert's formats when the device refuses that too.
constexpr struct { int rate, channels; } kAlertFormats[] = {{kAlertRate, 1}, {22050, 1}, {8000, 1}};

using PlayerState = PlayerRequests;

class Worker {
public:
    explicit Worker(std::shared_ptr<PlayerState> state)
        : m_state(std::move(state)), m_event(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~Worker() {
        // The device reports a sound played as it takes its last frames: let it finish them.
        const auto until = Clock::now() + kDrainBound;
        while (m_device && !finished() && Clock::now() < until) {
            feed();
            WaitForSingleObject(m_event, static_cast<DWORD>(kPoll.count()));
        }
        closeDevice();
        if (m_event)
            CloseHandle(m_event);
        m_state->markFinished();
    }

    void run() {
        for (;;) {
            // An open device is looked at every kPoll, to keep it fed, until it has lingered.
            const auto wake = std::min(m_lingerUntil, Clock::now() + kPoll);
            const auto next = m_state->next(m_handled, m_device != nullptr, wake);
            if (next.what == PlayerRequests::Next::Quit)
                return;
            if (next.what == PlayerRequests::Next::LingerOver) {
                if (Clock::now() >= m_lingerUntil)
                    closeDevice(); // lingered long enough
                else
                    feed();
                continue;
            }
            if (!next.stopOnly && !interrupted(next.gen))
                play(next.gen, next.path);
            m_state->markEnded(next.gen);
        }
    }

private:
    // A sound or a piece of silence given to the device, with its buffers, until the device
    // gives them back.
    struct Queued {
        Wave wave;
        bool silence = false;
        std::vector<WAVEHDR> headers;
        std::size_t prepared = 0;
        bool done() const {
            return std::all_of(headers.begin(), headers.begin() + static_cast<std::ptrdiff_t>(prepared),
                               [](const WAVEHDR& h) { return (h.dwFlags & WHDR_DONE) != 0; });
        }
    };

    void play(std::uint64_t gen, const std::string& path) {
        std::optional<Wave> decoded = decodeWave(path, kMaxWaveSeconds, [&] {
            alive();
            return !interrupted(gen);
        });
        if (interrupted(gen))
            return;
        // A file that gives nothing: the alert, in the open device's format so that it sounds at once.
        auto queued = std::make_unique<Queued>();
        queued->wave = decoded ? std::move(*decoded)
                       : m_device
                           ? builtInAlert(static_cast<int>(m_format.nSamplesPerSec), m_format.nChannels)
                           : builtInAlert(kAlertRate, 1);
        if (!openFor(gen, queued->wave))
            return;
        Queued& sound = *queued;
        const double seconds = sound.wave.seconds();
        const bool failed = !give(std::move(queued));
        const std::uint64_t end = m_framesWritten;
        m_soundEnd = end;
        // Heard when the device has played its last frame (the buffers come back later, and the
        // next word must not wait for that); stopped by a newer request; given up on a device
        // that stalls.
        const auto stuckAt =
            Clock::now() +
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)) + kStuckBound;
        bool stuck = false;
        for (;;) {
            reap();
            // Let go once over: it is not read after that.
            const bool gone = std::none_of(m_queued.begin(), m_queued.end(),
                                           [&](const auto& q) { return q.get() == &sound; });
            if (failed || gone || sound.done() || position() >= end)
                break;
            if (interrupted(gen)) {
                resetDevice();
                return;
            }
            if (Clock::now() >= stuckAt) {
                stuck = true;
                break;
            }
            feed();
            alive();
            WaitForSingleObject(m_event, static_cast<DWORD>(kPoll.count()));
        }
        if (failed || stuck) {
            // A device that has gone away or stalls: the next request opens the one there is then.
            warn(failed ? "the audio device refused the sound" : "the audio device does not play");
            closeDevice();
            return;
        }
        feed();
        m_warned = false;
        m_lingerUntil = Clock::now() + kLinger;
    }

    // Gives the sound to the device in buffers of kBufferSeconds; false when the device refuses one.
    bool give(std::unique_ptr<Queued> queued) {
        Wave& wave = queued->wave;
        const std::size_t perBuffer = static_cast<std::size_t>(std::max(1.0, kBufferSeconds * wave.rate)) *
                                      static_cast<std::size_t>(wave.channels);
        queued->headers.resize((wave.samples.size() + perBuffer - 1) / perBuffer);
        for (std::size_t i = 0; i < queued->headers.size(); ++i) {
            const std::size_t first = i * perBuffer;
            WAVEHDR& h = queued->headers[i];
            h = {};
            h.lpData = reinterpret_cast<LPSTR>(wave.samples.data() + first);
            h.dwBufferLength =
                static_cast<DWORD>(std::min(perBuffer, wave.samples.size() - first) * sizeof(std::int16_t));
        }
        // Where it ends in the device's count of played frames. A device that counts only what it
        // was given, or also the silence while it had nothing, either way.
        m_framesWritten = std::max(m_framesWritten, position()) + wave.frames();
        bool given = true;
        for (WAVEHDR& h : queued->headers) {
            if (waveOutPrepareHeader(m_device, &h, sizeof h) != MMSYSERR_NOERROR) {
                given = false;
                break;
            }
            if (waveOutWrite(m_device, &h, sizeof h) != MMSYSERR_NOERROR) {
                // Never queued, so never given back: let go of it here.
                waveOutUnprepareHeader(m_device, &h, sizeof h);
                given = false;
                break;
            }
            ++queued->prepared;
        }
        m_queued.push_back(std::move(queued));
        return given;
    }

    // Silence queued up to kSilenceSeconds ahead of what the device has played.
    void feed() {
        if (!m_device || m_feedFailed)
            return;
        reap();
        const auto piece = static_cast<std::size_t>(kSilenceSeconds * m_format.nSamplesPerSec);
        while (m_device && m_framesWritten < position() + piece) {
            auto silence = std::make_unique<Queued>();
            silence->silence = true;
            silence->wave.rate = static_cast<int>(m_format.nSamplesPerSec);
            silence->wave.channels = m_format.nChannels;
            silence->wave.samples.assign(piece * m_format.nChannels, 0);
            if (!give(std::move(silence))) {
                m_feedFailed = true; // the sound's own buffers tell of a device gone
                return;
            }
        }
    }

    // The sounds given to the device have been played and given back.
    bool finished() {
        reap();
        return std::none_of(m_queued.begin(), m_queued.end(), [](const auto& q) { return !q->silence; }) &&
               position() >= m_soundEnd;
    }

    // Frames played since the device was opened or reset.
    std::uint64_t position() {
        MMTIME time{};
        time.wType = TIME_SAMPLES;
        if (!m_device || waveOutGetPosition(m_device, &time, sizeof time) != MMSYSERR_NOERROR)
            return 0;
        if (time.wType == TIME_SAMPLES)
            return time.u.sample;
        if (time.wType == TIME_BYTES && m_format.nBlockAlign)
            return time.u.cb / m_format.nBlockAlign;
        return 0;
    }

    // Buffers the device has given back are let go.
    void reap() {
        while (!m_queued.empty() && m_queued.front()->done()) {
            for (std::size_t i = 0; i < m_queued.front()->prepared; ++i)
                waveOutUnprepareHeader(m_device, &m_queued.front()->headers[i], sizeof(WAVEHDR));
            m_queued.pop_front();
        }
    }

    // Stops what plays; the device stays open.
    void resetDevice() {
        waveOutReset(m_device); // every buffer comes back at once
        const auto until = Clock::now() + kStuckBound;
        while (reap(), !m_queued.empty() && Clock::now() < until)
            WaitForSingleObject(m_event, static_cast<DWORD>(kPoll.count()));
        m_framesWritten = m_soundEnd = 0;
        if (!m_queued.empty()) {
            // A driver that keeps buffers even after a reset may still read them: they are left
            // to it, and the device is not used again.
            for (auto& q : m_queued)
                q.release();
            m_queued.clear();
            m_device = nullptr;
            warn("the audio device does not let go of a sound");
        }
    }

    // The device open in the sound's format. One open in another lets what it plays finish
    // first (a newer request or a stop cuts it, and nothing plays). A device that refuses the
    // format gets the sound in the common one, and failing that the alert in any format it
    // takes; one that takes none is said once.
    bool openFor(std::uint64_t gen, Wave& wave) {
        if (m_device && static_cast<int>(m_format.nSamplesPerSec) == wave.rate &&
            m_format.nChannels == wave.channels)
            return true;
        if (m_device) {
            const auto until = Clock::now() + kDrainBound;
            while (!finished() && Clock::now() < until) {
                if (interrupted(gen)) {
                    resetDevice();
                    return false;
                }
                feed();
                alive();
                WaitForSingleObject(m_event, static_cast<DWORD>(kPoll.count()));
            }
            closeDevice();
        }
        const MMRESULT refused = open(wave.rate, wave.channels);
        if (refused == MMSYSERR_NOERROR)
            return true;
        if ((wave.rate != kCommonRate || wave.channels != kCommonChannels) &&
            open(kCommonRate, kCommonChannels) == MMSYSERR_NOERROR) {
            alive();
            wave = convertWave(wave, kCommonRate, kCommonChannels);
            return true;
        }
        for (const auto& f : kAlertFormats) {
            if (open(f.rate, f.channels) == MMSYSERR_NOERROR) {
                wave = builtInAlert(f.rate, f.channels);
                return true;
            }
        }
        char text[MAXERRORLENGTH] = "";
        waveOutGetErrorTextA(refused, text, sizeof text);
        warn(text[0] ? text : "no audio device");
        return false;
    }

    MMRESULT open(int rate, int channels) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(channels);
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        ResetEvent(m_event);
        const MMRESULT opened = waveOutOpen(&m_device, WAVE_MAPPER, &format,
                                            reinterpret_cast<DWORD_PTR>(m_event), 0, CALLBACK_EVENT);
        if (opened != MMSYSERR_NOERROR) {
            m_device = nullptr;
            return opened;
        }
        m_format = format;
        m_framesWritten = m_soundEnd = 0;
        m_feedFailed = false;
        return opened;
    }

    void closeDevice() {
        if (!m_device)
            return;
        resetDevice();
        if (m_device)
            waveOutClose(m_device);
        m_device = nullptr;
    }

    void alive() { m_state->alive(); }
    bool interrupted(std::uint64_t gen) { return m_state->interrupted(gen); }

    // Said once; again only after sounds were heard in between.
    void warn(const char* why) {
        if (m_warned)
            return;
        m_warned = true;
        std::fprintf(stderr, "morvantis: sounds are not played: %s\n", why);
        std::fflush(stderr);
    }

    std::shared_ptr<PlayerState> m_state;
    HANDLE m_event;
    std::deque<std::unique_ptr<Queued>> m_queued;
    std::uint64_t m_framesWritten = 0; // where what was given ends, in the device's count
    std::uint64_t m_soundEnd = 0;      // where the last sound ends
    bool m_feedFailed = false;
    HWAVEOUT m_device = nullptr;
    WAVEFORMATEX m_format{};
    Clock::time_point m_lingerUntil;
    std::uint64_t m_handled = 0;
    bool m_warned = false;
};

class WaveOutPlayer final : public Sound {
public:
    WaveOutPlayer() : m_state(std::make_shared<PlayerState>()) {
        m_worker = std::thread([state = m_state] { Worker(state).run(); });
    }

    // Never waits long on the device: a worker that does not end at once is left behind.
    ~WaveOutPlayer() override { m_state->endWorker(m_worker, kQuitBound); }
    WaveOutPlayer(const WaveOutPlayer&) = delete;
    WaveOutPlayer& operator=(const WaveOutPlayer&) = delete;

    void play(const std::string& path, Mode mode) override {
        m_state->request(path, false);
        if (mode == Mode::Synchronous)
            while (!waitEnd(1s)) {
            }
    }

    // ended is called on the worker's thread.
    void playThen(const std::string& path, Ended ended) override {
        m_state->request(path, false, std::move(ended));
    }
    void stop() override { m_state->request({}, true); }

    bool waitEnd(std::chrono::milliseconds timeout) override {
        return m_state->waitEnd(timeout, kWorkerBound);
    }

private:
    std::shared_ptr<PlayerState> m_state;
    std::thread m_worker;
};

} // namespace

} // namespace morvantis

// The module's one entry point, looked up by name when the first sound is asked for.
extern "C" __declspec(dllexport) morvantis::Sound* morvantis_create_player() {
    return new morvantis::WaveOutPlayer();
}
