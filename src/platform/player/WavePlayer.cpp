#include "platform/player/WavePlayer.h"

#include "platform/WaveDecoder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include <pthread.h>
#include <signal.h>

namespace morvantis {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Connecting and opening a stream together: a server slower than this is not answering.
constexpr auto kServerBound = 2s;
// A sound not over this long after its length is given up (a server that stopped mid-sound).
constexpr auto kEndMargin = 500ms;
// The callers' own bound on a request the worker has not opened yet: decoding (a ten-minute
// file takes a moment) and the server's bound.
constexpr auto kOpenBound = 5s;
// How long the player's destructor waits for its worker before leaving it behind.
constexpr auto kQuitBound = 300ms;
// The server's buffer for a stream: enough that a busy machine does not starve the sound.
constexpr pa_usec_t kBufferUs = 200'000;
// After the server has taken the last sample, what is still on its way out is heard this much
// later at most; the stream stays until then, as removing it would cut that off.
constexpr auto kTailBound = 250ms;
// The alert's format when a file gives nothing.
constexpr int kAlertRate = 44100;

} // namespace

// Shared by the callers, the worker and the main loop's callbacks; it outlives all of them.
struct PlayerState {
    std::mutex mutex;
    std::condition_variable changed;
    // Requests, from the callers.
    std::uint64_t requested = 0;
    std::string path;
    bool stopOnly = false;
    Clock::time_point requestedAt;
    bool quit = false;
    // Progress, from the worker.
    std::uint64_t started = 0; // the request whose sound plays now
    Clock::time_point startedAt;
    Clock::duration startedLength{};
    std::uint64_t ended = 0; // every request up to this one is over
    bool finished = false;   // the worker has ended
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

// One sound on its way to the server. Its fields are touched with the main loop's lock held.
struct Playback {
    PlayerState* state = nullptr;
    pa_stream* stream = nullptr;
    Wave wave;
    std::size_t written = 0; // bytes
    pa_operation* drain = nullptr;
    pa_operation* timing = nullptr;
    bool failed = false;
    bool drained = false;   // the server has taken the last sample
    bool tailKnown = false; // and said how long until it is heard
    Clock::time_point heardAt;
    Clock::time_point lastAsked; // when the server last asked for more

    const char* bytes() const { return reinterpret_cast<const char*>(wave.samples.data()); }
    std::size_t size() const { return wave.samples.size() * sizeof(std::int16_t); }
};

void onContextState(pa_context*, void* user) {
    static_cast<PlayerState*>(user)->bump();
}

void onStreamState(pa_stream*, void* user) {
    static_cast<Playback*>(user)->state->bump();
}

void onTiming(pa_stream* s, int success, void* user) {
    auto* p = static_cast<Playback*>(user);
    pa_usec_t latency = 0;
    int negative = 0;
    if (!success || pa_stream_get_latency(s, &latency, &negative) != 0 || negative)
        latency = 0;
    const auto tail = std::min<Clock::duration>(std::chrono::microseconds(latency), kTailBound);
    p->heardAt = Clock::now() + tail;
    p->tailKnown = true;
    p->state->bump();
}

void onDrained(pa_stream* s, int success, void* user) {
    auto* p = static_cast<Playback*>(user);
    p->drained = true;
    if (success)
        p->timing = pa_stream_update_timing_info(s, onTiming, p);
    if (!success || !p->timing) {
        p->heardAt = Clock::now();
        p->tailKnown = true;
    }
    p->state->bump();
}

void onWrite(pa_stream* s, std::size_t wanted, void* user) {
    auto* p = static_cast<Playback*>(user);
    p->lastAsked = Clock::now();
    const std::size_t n = std::min(wanted, p->size() - p->written);
    if (n > 0) {
        if (pa_stream_write(s, p->bytes() + p->written, n, nullptr, 0, PA_SEEK_RELATIVE) != 0) {
            p->failed = true;
            p->state->bump();
            return;
        }
        p->written += n;
    }
    if (p->written == p->size() && !p->drain && !p->drained) {
        // Plays what is queued even when it is less than the server waits for before starting,
        // and says when the last sample has been taken.
        p->drain = pa_stream_drain(s, onDrained, p);
        if (!p->drain) {
            p->failed = true;
            p->state->bump();
        }
    }
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
            std::uint64_t gen = 0;
            std::string path;
            bool stopOnly = false;
            {
                std::unique_lock lock(m_state->mutex);
                m_state->changed.wait(lock, [&] { return m_state->quit || m_state->requested != m_handled; });
                if (m_state->quit)
                    break;
                gen = m_handled = m_state->requested;
                path = m_state->path;
                stopOnly = m_state->stopOnly;
            }
            if (!stopOnly)
                play(gen, path);
            markEnded(gen);
        }
        shutDown();
        {
            const std::lock_guard lock(m_state->mutex);
            m_state->finished = true;
        }
        m_state->changed.notify_all();
    }

private:
    enum class Woken { Event, Interrupted, Timeout };

    void play(std::uint64_t gen, const std::string& path) {
        std::optional<Wave> wave = decodeWave(path);
        if (!wave)
            wave = builtInAlert(kAlertRate, 1);
        if (interrupted(gen) || !startLoop())
            return;
        const auto deadline = Clock::now() + kServerBound;
        if (!connect(gen, deadline))
            return;
        if (!open(gen, std::move(*wave), path, deadline))
            return;
        const auto length = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(m_playback->wave.seconds()));
        {
            const std::lock_guard lock(m_state->mutex);
            m_state->started = gen;
            m_state->startedAt = Clock::now();
            m_state->startedLength = length;
        }
        m_state->changed.notify_all();
        const auto overdue = Clock::now() + length + kEndMargin;
        for (;;) {
            const std::uint64_t seen = events();
            std::optional<Clock::time_point> heardAt;
            // While sound is left to send, a server that asks for none this long has stopped.
            Clock::time_point stalled = overdue;
            {
                const LoopLock lock(m_loop);
                const pa_stream_state_t st = pa_stream_get_state(m_playback->stream);
                if (m_playback->failed || !PA_STREAM_IS_GOOD(st))
                    break;
                if (m_playback->tailKnown)
                    heardAt = m_playback->heardAt;
                if (m_playback->written < m_playback->size())
                    stalled = std::min(overdue, m_playback->lastAsked + kServerBound);
            }
            if (heardAt) {
                waitUntil(gen, std::min(*heardAt, overdue));
                break;
            }
            if (Clock::now() >= stalled) {
                // The server stopped taking the sound: it is not answering, start afresh next time.
                closeStream();
                dropContext();
                warn("the sound server does not answer");
                return;
            }
            if (waitFor(gen, seen, stalled) == Woken::Interrupted)
                break;
        }
        closeStream();
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
        std::string why;
        {
            const LoopLock lock(m_loop);
            if (m_context && !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
                dropContextLocked();
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
                pa_stream_set_state_callback(stream, onStreamState, m_playback.get());
                pa_stream_set_write_callback(stream, onWrite, m_playback.get());
                pa_buffer_attr attr{};
                attr.maxlength = static_cast<std::uint32_t>(-1);
                attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kBufferUs, &sampleFormat));
                attr.prebuf = static_cast<std::uint32_t>(-1);
                attr.minreq = static_cast<std::uint32_t>(-1);
                attr.fragsize = static_cast<std::uint32_t>(-1);
                if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) <
                    0)
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
                closeStream();
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
            for (pa_operation* op : {p.drain, p.timing})
                if (op) {
                    pa_operation_cancel(op);
                    pa_operation_unref(op);
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

    void dropContext() {
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
        closeStream();
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

    bool interrupted(std::uint64_t gen) {
        const std::lock_guard lock(m_state->mutex);
        return m_state->quit || m_state->requested != gen;
    }

    // Until the main loop reports anything after `seen`, a newer request or the end, or the deadline.
    Woken waitFor(std::uint64_t gen, std::uint64_t seen, Clock::time_point deadline) {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_until(lock, deadline, [&] {
            return m_state->quit || m_state->requested != gen || m_state->events != seen;
        });
        if (m_state->quit || m_state->requested != gen)
            return Woken::Interrupted;
        return m_state->events != seen ? Woken::Event : Woken::Timeout;
    }

    // Until a newer request or the end, or the deadline.
    void waitUntil(std::uint64_t gen, Clock::time_point deadline) {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_until(lock, deadline,
                                    [&] { return m_state->quit || m_state->requested != gen; });
    }

    void markEnded(std::uint64_t gen) {
        {
            const std::lock_guard lock(m_state->mutex);
            m_state->ended = std::max(m_state->ended, gen);
        }
        m_state->changed.notify_all();
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
    bool finished = false;
    {
        std::unique_lock lock(m_state->mutex);
        m_state->quit = true;
        m_state->changed.notify_all();
        finished = m_state->changed.wait_for(lock, kQuitBound, [&] { return m_state->finished; });
    }
    // A worker held up (a file that does not finish reading) is left to end on its own; it
    // keeps what it uses.
    if (finished)
        m_worker.join();
    else
        m_worker.detach();
}

void WavePlayer::request(const std::string& path, bool stopOnly) {
    {
        const std::lock_guard lock(m_state->mutex);
        ++m_state->requested;
        m_state->path = path;
        m_state->stopOnly = stopOnly;
        m_state->requestedAt = Clock::now();
    }
    m_state->changed.notify_all();
}

void WavePlayer::play(const std::string& path, Mode mode) {
    request(path, false);
    if (mode == Mode::Synchronous)
        while (!waitEnd(1s)) {
        }
}

void WavePlayer::stop() {
    request({}, true);
}

bool WavePlayer::waitEnd(std::chrono::milliseconds timeout) {
    const auto limit = Clock::now() + timeout;
    std::unique_lock lock(m_state->mutex);
    for (;;) {
        const std::uint64_t gen = m_state->requested;
        if (m_state->ended >= gen)
            return true;
        // The worker gives a request up within these bounds; should it itself be held up, the
        // caller gives up here.
        const Clock::time_point bound =
            m_state->started == gen ? m_state->startedAt + m_state->startedLength + kEndMargin + kTailBound
                                    : m_state->requestedAt + kOpenBound;
        const auto now = Clock::now();
        if (now >= bound)
            return true;
        if (now >= limit)
            return false;
        m_state->changed.wait_until(lock, std::min(limit, bound));
    }
}

} // namespace morvantis

// The module's one entry point, looked up by name when the first sound is asked for.
extern "C" __attribute__((visibility("default"))) morvantis::Sound* morvantis_create_player() {
    return new morvantis::WavePlayer();
}
