#include "platform/linux/WavePlayer.h"

#include "platform/WaveDecoder.h"
#include "platform/player/PlayerRequests.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include <pthread.h>
#include <signal.h>

namespace morvantis {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The latency asked of the server: this much sound queued ahead, the sink allowed to lower its
// own buffer to suit it. A desktop's sink otherwise buffers up to 2 s.
constexpr pa_usec_t kLatencyUs = 80'000;
// A request the server leaves unanswered this long (connecting, opening a stream, asking where
// a sound stands): the server is not answering.
constexpr auto kServerBound = 2s;
// A server that answers but neither asks for sound nor plays any this long has a sink that
// does not run. A sink may take up to its whole buffer (2 s) before it starts a new stream.
constexpr auto kStuckBound = 4s;
// How often the server is asked where a playing sound stands; near its end, as soon as its last
// sample should have been read, but not more often than the second.
constexpr auto kProbeEvery = 150ms;
constexpr auto kProbeSoonest = 5ms;
// The longest believed wait after the server has read the last sample until it is heard.
constexpr auto kMaxTail = 3s;
// A stream stays this long after its sound, so that the next one (the spoken time's next word)
// follows at once, before the sink returns to its long buffer.
constexpr auto kLinger = 1s;
// The callers' own bound: a worker that shows no sign of progress this long (a file that stops
// reading) is given up, and its request with it.
constexpr auto kWorkerBound = kServerBound + 1s;
// How long the player's destructor waits for its worker before leaving it behind.
constexpr auto kQuitBound = 300ms;
// The alert's format when a file gives nothing.
constexpr int kAlertRate = 44100;

} // namespace

// Shared by the callers, the worker and the main loop's callbacks; it outlives all of them.
struct PlayerState : PlayerRequests {
    WavePlayer::Timeline timeline;
    // Counted up by the main loop's callbacks: something the worker may be waiting for.
    std::uint64_t events = 0;

    void bump() {
        {
            const std::lock_guard lock(mutex);
            ++events;
        }
        changed.notify_all();
    }
};

namespace {

// The main loop's lock, held while the worker touches libpulse objects. The main loop holds it
// only while it runs a callback, and no callback waits on anything.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

// One stream and the sound on its way through it. Its fields are touched with the main loop's
// lock held. The stream never runs dry while it lives: silence goes before its first sound and
// after each, as some sinks skip the start of a sound that follows a stream run dry (they count
// the time it ran dry as played).
struct Playback {
    PlayerState* state = nullptr;
    pa_stream* stream = nullptr;
    Wave wave;
    std::size_t sent = 0;         // bytes of the sound written
    std::size_t lead = 0;         // bytes of silence still to go before it
    std::size_t silenceAfter = 0; // bytes of silence written after it
    bool overQueued = false;      // it starts where the server reads, over the silence queued
    std::int64_t endIndex = -1;   // where its last byte stands in the stream, once known
    pa_operation* timing = nullptr;
    bool failed = false;
    bool heard = false; // the server has read the last sample and said when it is heard
    Clock::time_point heardAt;
    Clock::time_point askedAt;    // the last timing query sent
    Clock::time_point nextQuery;  // when to ask again
    Clock::time_point progressAt; // the server last asked for sound or read some
    std::int64_t readIndex = -1;  // where the server's reading stood at the last answer
    std::size_t tlength = 0;      // bytes: the stream's buffer
    Clock::time_point firstWritten, lastWritten;

    const char* bytes() const { return reinterpret_cast<const char*>(wave.samples.data()); }
    std::size_t size() const { return wave.samples.size() * sizeof(std::int16_t); }
    bool allSent() const { return sent == size(); }
};

void onContextState(pa_context*, void* user) {
    static_cast<PlayerState*>(user)->bump();
}

void onStreamState(pa_stream*, void* user) {
    static_cast<Playback*>(user)->state->bump();
}

void askTiming(pa_stream* s, Playback* p);

// Silence, at most n bytes; how much was written.
std::size_t writeSilence(pa_stream* s, Playback* p, std::size_t n) {
    void* data = nullptr;
    if (n == 0 || pa_stream_begin_write(s, &data, &n) != 0 || !data || n == 0)
        return 0;
    std::memset(data, 0, n);
    if (pa_stream_write(s, data, n, nullptr, 0, PA_SEEK_RELATIVE) != 0) {
        p->failed = true;
        return 0;
    }
    return n;
}

void onWrite(pa_stream* s, std::size_t wanted, void* user) {
    auto* p = static_cast<Playback*>(user);
    const auto now = Clock::now();
    while (wanted > 0 && !p->failed) {
        if (p->lead > 0) {
            const std::size_t n = writeSilence(s, p, std::min(wanted, p->lead));
            if (n == 0)
                break;
            p->lead -= n;
            wanted -= n;
        } else if (!p->allSent()) {
            const std::size_t n = std::min(wanted, p->size() - p->sent);
            const pa_seek_mode_t seek =
                p->sent == 0 && p->overQueued ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE;
            if (pa_stream_write(s, p->bytes() + p->sent, n, nullptr, 0, seek) != 0) {
                p->failed = true;
                break;
            }
            if (p->sent == 0)
                p->firstWritten = now;
            p->sent += n;
            p->lastWritten = now;
            p->progressAt = now;
            wanted -= n;
        } else {
            const std::size_t n = writeSilence(s, p, wanted);
            if (n == 0)
                break;
            p->silenceAfter += n;
            wanted -= n;
        }
    }
    // Its last byte sent: asked at once where it stands, so that its end is known in time.
    if (p->allSent() && p->endIndex < 0 && !p->timing && !p->failed)
        askTiming(s, p);
    if (p->failed)
        p->state->bump();
}

std::chrono::microseconds bytesToTime(std::int64_t bytes, const pa_sample_spec* format) {
    return std::chrono::microseconds(
        pa_bytes_to_usec(static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0)), format));
}

// Where the sound stands, as the server reports it.
void onTiming(pa_stream* s, int success, void* user) {
    auto* p = static_cast<Playback*>(user);
    pa_operation_unref(p->timing);
    p->timing = nullptr;
    const auto now = Clock::now();
    p->nextQuery = now + kProbeEvery;
    const pa_timing_info* info = success ? pa_stream_get_timing_info(s) : nullptr;
    const pa_sample_spec* format = pa_stream_get_sample_spec(s);
    if (!info || !format) {
        p->failed = true;
        p->state->bump();
        return;
    }
    if (!info->read_index_corrupt && info->read_index != p->readIndex) {
        p->readIndex = info->read_index;
        p->progressAt = now;
    }
    if (p->allSent() && p->endIndex < 0 && !info->write_index_corrupt)
        p->endIndex = info->write_index - static_cast<std::int64_t>(p->silenceAfter);
    if (p->endIndex >= 0 && !p->heard && !info->read_index_corrupt) {
        if (info->read_index >= p->endIndex) {
            // Read past its end: heard once the sink has played what it holds beyond that.
            const auto held = std::chrono::microseconds(info->sink_usec + info->transport_usec);
            const auto past = bytesToTime(info->read_index - p->endIndex, format);
            p->heardAt = now + std::min<Clock::duration>(std::max(held - past, std::chrono::microseconds(0)),
                                                         kMaxTail);
            p->heard = true;
        } else {
            // Asked again about when the server should have read it.
            p->nextQuery =
                now + std::clamp<Clock::duration>(bytesToTime(p->endIndex - info->read_index, format),
                                                  kProbeSoonest, kProbeEvery);
        }
    }
    p->state->bump();
}

void askTiming(pa_stream* s, Playback* p) {
    p->askedAt = Clock::now();
    p->timing = pa_stream_update_timing_info(s, onTiming, p);
    if (!p->timing)
        p->failed = true;
}

pa_proplist* properties(const char* mediaName) {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Morvantis");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "org.morvantis.Morvantis");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "org.morvantis.Morvantis");
    if (mediaName)
        pa_proplist_sets(props, PA_PROP_MEDIA_NAME, mediaName);
    return props;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The worker: takes up the latest request, decodes it and plays it, one at a time. Every
// libpulse object is made, used and dropped here; the callbacks only record and wake it.
class Worker {
public:
    explicit Worker(std::shared_ptr<PlayerState> state) : m_state(std::move(state)) {}

    void run() {
        for (;;) {
            // A stream left from the last sound goes when no sound follows soon.
            const auto next = m_state->next(m_handled, m_playback != nullptr, m_lingerUntil);
            if (next.what == PlayerRequests::Next::Quit)
                break;
            if (next.what == PlayerRequests::Next::LingerOver || next.stopOnly)
                closeStream();
            else
                play(next.gen, next.path);
            if (next.what == PlayerRequests::Next::Play)
                m_state->markEnded(next.gen);
        }
        shutDown();
        m_state->markFinished();
    }

private:
    enum class Woken { Event, Interrupted, Timeout };

    void play(std::uint64_t gen, const std::string& path) {
        // Each piece read is progress: a long file read slowly is not a worker held up.
        std::optional<Wave> wave = decodeWave(path, kMaxWaveSeconds, [&] {
            alive();
            return !interrupted(gen);
        });
        if (interrupted(gen))
            return;
        if (!wave)
            wave = alert();
        if (!startLoop())
            return;
        const auto deadline = Clock::now() + kServerBound;
        if (!connect(gen, deadline))
            return;
        if (!reuse(*wave, path) && !open(gen, std::move(*wave), path, deadline))
            return;
        finish(gen);
    }

    // Waits for the sound's end as the server reports it; gives up on a server that stops
    // answering, or answers but plays nothing.
    void finish(std::uint64_t gen) {
        for (;;) {
            const std::uint64_t seen = events();
            alive();
            std::optional<Clock::time_point> heardAt;
            bool gone = false, silent = false;
            Clock::time_point wake;
            {
                const LoopLock lock(m_loop);
                Playback& p = *m_playback;
                const auto now = Clock::now();
                if (p.failed || !PA_STREAM_IS_GOOD(pa_stream_get_state(p.stream))) {
                    gone = true;
                } else if (p.heard) {
                    heardAt = p.heardAt;
                } else if ((p.timing && now - p.askedAt >= kServerBound) ||
                           now - p.progressAt >= kStuckBound) {
                    silent = true;
                } else {
                    if (!p.timing && now >= p.nextQuery)
                        askTiming(p.stream, &p);
                    wake = std::min(p.timing ? p.askedAt + kServerBound : p.nextQuery,
                                    p.progressAt + kStuckBound);
                }
            }
            if (gone) { // the server went away, or refused the sound: the next request starts afresh
                closeStream();
                return;
            }
            if (silent) {
                dropContext();
                warn("the sound server does not answer");
                return;
            }
            if (heardAt) {
                alive(*heardAt);
                waitUntil(gen, *heardAt);
                if (interrupted(gen)) {
                    closeStream();
                    return;
                }
                ended();
                return;
            }
            if (waitFor(gen, seen, wake) == Woken::Interrupted) {
                closeStream();
                return;
            }
        }
    }

    // The sound has been heard: its steps are kept for measurements, and its stream stays a
    // moment for the next sound.
    void ended() {
        WavePlayer::Timeline t;
        {
            const LoopLock lock(m_loop);
            t.firstWritten = m_playback->firstWritten;
            t.lastWritten = m_playback->lastWritten;
        }
        t.confirmed = Clock::now();
        m_lingerUntil = t.confirmed + kLinger;
        const std::lock_guard lock(m_state->mutex);
        t.asked = m_state->requestedAt;
        t.granted = m_granted;
        m_state->timeline = t;
    }

    bool startLoop() {
        if (m_loop)
            return true;
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) != 0) {
            if (m_loop)
                pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            warn("the sound library does not start");
            return false;
        }
        pa_threaded_mainloop_set_name(m_loop, "morvantis pulse");
        return true;
    }

    // A connection to the server as it is now: one that failed (a server that went away) is
    // dropped and made afresh.
    bool connect(std::uint64_t gen, Clock::time_point deadline) {
        bool failed = false;
        {
            const LoopLock lock(m_loop);
            failed = m_context && !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context));
        }
        if (failed)
            dropContext();
        std::string why;
        {
            const LoopLock lock(m_loop);
            if (!m_context) {
                pa_proplist* props = properties(nullptr);
                m_context =
                    pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), nullptr, props);
                pa_proplist_free(props);
                if (!m_context) {
                    why = "the sound library does not start";
                } else {
                    pa_context_set_state_callback(m_context, onContextState, m_state.get());
                    // Starting a sound server is the session's business, not a clock's.
                    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
                        why =
                            std::string("no sound server (") + pa_strerror(pa_context_errno(m_context)) + ")";
                        dropContextLocked();
                    }
                }
            }
        }
        if (!why.empty()) {
            warn(why.c_str());
            return false;
        }
        for (;;) {
            const std::uint64_t seen = events();
            {
                const LoopLock lock(m_loop);
                const pa_context_state_t st = pa_context_get_state(m_context);
                if (st == PA_CONTEXT_READY)
                    return true;
                if (!PA_CONTEXT_IS_GOOD(st)) {
                    why = std::string("no sound server (") + pa_strerror(pa_context_errno(m_context)) + ")";
                    dropContextLocked();
                }
            }
            if (!why.empty()) {
                warn(why.c_str());
                return false;
            }
            const Woken w = waitFor(gen, seen, deadline);
            if (w == Woken::Interrupted)
                return false; // the connection goes on being made for the next request
            if (w == Woken::Timeout) {
                dropContext();
                warn("the sound server does not answer");
                return false;
            }
        }
    }

    // The alert, in the format of the stream left from the last sound where there is one: that
    // stream takes it at once, where a new one may wait for a long sink buffer (a word missing
    // from the spoken time would leave a hole).
    Wave alert() {
        if (m_loop && m_playback) {
            const LoopLock lock(m_loop);
            return builtInAlert(m_playback->wave.rate, m_playback->wave.channels);
        }
        return builtInAlert(kAlertRate, 1);
    }

    // The stream left from the last sound takes this one when it has the same format.
    bool reuse(Wave& wave, const std::string& path) {
        if (!m_playback)
            return false;
        bool reused = false;
        {
            const LoopLock lock(m_loop);
            Playback& p = *m_playback;
            if (!p.failed && pa_stream_get_state(p.stream) == PA_STREAM_READY && p.heard &&
                p.wave.rate == wave.rate && p.wave.channels == wave.channels) {
                if (p.timing) {
                    pa_operation_cancel(p.timing);
                    pa_operation_unref(p.timing);
                    p.timing = nullptr;
                }
                p.wave = std::move(wave);
                p.sent = p.silenceAfter = 0;
                p.endIndex = -1;
                p.overQueued = true;
                p.heard = false;
                p.askedAt = p.progressAt = p.nextQuery = Clock::now();
                const std::string name = baseName(path);
                pa_proplist* props = properties(name.empty() ? "alert" : name.c_str());
                if (pa_operation* op =
                        pa_stream_proplist_update(p.stream, PA_UPDATE_REPLACE, props, nullptr, nullptr))
                    pa_operation_unref(op);
                pa_proplist_free(props);
                // Over the silence queued, as much as the stream holds, from where the server reads.
                const std::size_t room = pa_stream_writable_size(p.stream);
                onWrite(p.stream,
                        room == static_cast<std::size_t>(-1) ? p.tlength : std::max(room, p.tlength), &p);
                reused = !p.failed;
            }
        }
        if (!reused)
            closeStream();
        return reused;
    }

    bool open(std::uint64_t gen, Wave wave, const std::string& path, Clock::time_point deadline) {
        std::string why;
        {
            const LoopLock lock(m_loop);
            const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(wave.rate),
                                              static_cast<std::uint8_t>(wave.channels)};
            const std::string name = baseName(path);
            pa_proplist* props = properties(name.empty() ? "alert" : name.c_str());
            pa_stream* stream =
                pa_stream_new_with_proplist(m_context, nullptr, &sampleFormat, nullptr, props);
            pa_proplist_free(props);
            if (!stream) {
                why = std::string("the sound server refuses the sound (") +
                      pa_strerror(pa_context_errno(m_context)) + ")";
            } else {
                m_playback = std::make_unique<Playback>();
                m_playback->state = m_state.get();
                m_playback->stream = stream;
                m_playback->wave = std::move(wave);
                m_playback->askedAt = m_playback->progressAt = m_playback->nextQuery = Clock::now();
                // What a sink may skip when a stream starts is silence.
                m_playback->lead = pa_usec_to_bytes(kLatencyUs, &sampleFormat);
                m_playback->tlength = m_playback->lead;
                pa_stream_set_state_callback(stream, onStreamState, m_playback.get());
                pa_stream_set_write_callback(stream, onWrite, m_playback.get());
                // A short latency, which the sink may lower its own buffer for.
                pa_buffer_attr attr{};
                attr.maxlength = static_cast<std::uint32_t>(-1);
                attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kLatencyUs, &sampleFormat));
                attr.prebuf = static_cast<std::uint32_t>(-1);
                attr.minreq = static_cast<std::uint32_t>(-1);
                attr.fragsize = static_cast<std::uint32_t>(-1);
                if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                               nullptr) < 0)
                    why = std::string("the sound server refuses the sound (") +
                          pa_strerror(pa_context_errno(m_context)) + ")";
            }
        }
        for (;;) {
            if (!why.empty()) {
                closeStream();
                warn(why.c_str());
                return false;
            }
            const std::uint64_t seen = events();
            {
                const LoopLock lock(m_loop);
                const pa_stream_state_t st = pa_stream_get_state(m_playback->stream);
                if (st == PA_STREAM_READY) {
                    // What the server granted: its buffer for this stream.
                    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_playback->stream);
                    const pa_sample_spec* format = pa_stream_get_sample_spec(m_playback->stream);
                    m_granted = std::chrono::microseconds(
                        granted && format ? pa_bytes_to_usec(granted->tlength, format) : 0);
                    if (granted)
                        m_playback->tlength = granted->tlength;
                    m_playback->askedAt = m_playback->progressAt = m_playback->nextQuery = Clock::now();
                    m_warned = false; // heard again: a later loss is said again
                    return true;
                }
                if (!PA_STREAM_IS_GOOD(st) || m_playback->failed)
                    why = std::string("the sound server refuses the sound (") +
                          pa_strerror(pa_context_errno(m_context)) + ")";
            }
            if (!why.empty())
                continue;
            const Woken w = waitFor(gen, seen, deadline);
            if (w == Woken::Interrupted) {
                closeStream();
                return false;
            }
            if (w == Woken::Timeout) {
                dropContext();
                warn("the sound server does not answer");
                return false;
            }
        }
    }

    void closeStream() {
        if (!m_playback)
            return;
        {
            const LoopLock lock(m_loop);
            Playback& p = *m_playback;
            // Callbacks of operations still owed by the server must not reach a playback gone.
            if (p.timing) {
                pa_operation_cancel(p.timing);
                pa_operation_unref(p.timing);
            }
            pa_stream_set_state_callback(p.stream, nullptr, nullptr);
            pa_stream_set_write_callback(p.stream, nullptr, nullptr);
            const bool linked = PA_STREAM_IS_GOOD(pa_stream_get_state(p.stream));
            const bool disconnected = !linked || pa_stream_disconnect(p.stream) == 0;
            pa_stream_unref(p.stream);
            // A stream the server has not finished making cannot be taken back alone.
            if (!disconnected)
                dropContextLocked();
        }
        m_playback.reset();
    }

    // The connection and its stream, dropped: the next request connects afresh.
    void dropContext() {
        closeStream();
        const LoopLock lock(m_loop);
        dropContextLocked();
    }

    void dropContextLocked() {
        if (!m_context)
            return;
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }

    void shutDown() {
        if (!m_loop)
            return;
        dropContext();
        // The main loop's thread only polls: it stops at once, whatever the server does.
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }

    std::uint64_t events() {
        const std::lock_guard lock(m_state->mutex);
        return m_state->events;
    }

    // Progress on the request at hand, or a wait for an end known to come then.
    void alive(Clock::time_point until = Clock::now()) { m_state->alive(until); }
    bool interrupted(std::uint64_t gen) { return m_state->interrupted(gen); }
    bool stale(std::uint64_t gen) const { return m_state->stale(gen); }

    // Until the main loop reports anything after `seen`, a newer request or the end, or the deadline.
    Woken waitFor(std::uint64_t gen, std::uint64_t seen, Clock::time_point deadline) {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_until(lock, deadline, [&] { return stale(gen) || m_state->events != seen; });
        if (stale(gen))
            return Woken::Interrupted;
        return m_state->events != seen ? Woken::Event : Woken::Timeout;
    }

    // Until a newer request or the end, or the deadline.
    void waitUntil(std::uint64_t gen, Clock::time_point deadline) {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_until(lock, deadline, [&] { return stale(gen); });
    }

    // Said once; again only after sounds were heard in between.
    void warn(const char* why) {
        if (m_warned)
            return;
        m_warned = true;
        std::fprintf(stderr, "morvantis: sounds are not played: %s\n", why);
    }

    std::shared_ptr<PlayerState> m_state;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::unique_ptr<Playback> m_playback;
    Clock::time_point m_lingerUntil;
    std::chrono::microseconds m_granted{0};
    std::uint64_t m_handled = 0;
    bool m_warned = false;
};

} // namespace

WavePlayer::WavePlayer() : m_state(std::make_shared<PlayerState>()) {
    // The player's threads (and libpulse's, started from them) take no signals: those go to
    // the program's own thread.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    m_worker = std::thread([state = m_state] {
        pthread_setname_np(pthread_self(), "morvantis sound");
        Worker(state).run();
    });
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

WavePlayer::~WavePlayer() {
    m_state->endWorker(m_worker, kQuitBound);
}

void WavePlayer::play(const std::string& path, Mode mode) {
    m_state->request(path, false);
    if (mode == Mode::Synchronous)
        while (!waitEnd(1s)) {
        }
}

void WavePlayer::playThen(const std::string& path, Ended ended) {
    m_state->request(path, false, std::move(ended));
}

void WavePlayer::stop() {
    m_state->request({}, true);
}

// The worker bounds every wait on the server and reports progress; the callers' bound is for a
// worker itself held up.
bool WavePlayer::waitEnd(std::chrono::milliseconds timeout) {
    return m_state->waitEnd(timeout, kWorkerBound);
}

WavePlayer::Timeline WavePlayer::lastTimeline() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->timeline;
}

} // namespace morvantis

// The module's one entry point, looked up by name when the first sound is asked for.
extern "C" __attribute__((visibility("default"))) morvantis::Sound* morvantis_create_player() {
    return new morvantis::WavePlayer();
}
