#include "platform/player/WavePlayer.h"

#include "platform/WaveDecoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace morvantis {

namespace {

using namespace std::chrono_literals;

// How far the device's buffer reaches (its latency target), and how much more is queued
// beyond it so that a busy machine does not starve the sound.
constexpr qint64 kBufferUs = 200'000;
constexpr qint64 kAheadUs = 300'000;
constexpr int kFeedMs = 5;
// A sound that has not ended this long after its length is given up.
constexpr auto kEndMargin = 500ms;
// Decoding and opening the output may take this long at most.
constexpr auto kOpenBound = 5s;
constexpr auto kRetireAfter = 1s;

} // namespace

struct PlayerShared {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t requested = 0; // the latest request
    std::string path;
    bool stopOnly = false;
    std::uint64_t started = 0; // the request whose sound is playing now
    double startedSeconds = 0.0;
    std::uint64_t ended = 0; // every request up to this one is over

    void markStarted(std::uint64_t gen, double seconds) {
        {
            const std::lock_guard lock(mutex);
            started = gen;
            startedSeconds = seconds;
        }
        changed.notify_all();
    }
    void markEnded(std::uint64_t gen) {
        {
            const std::lock_guard lock(mutex);
            ended = std::max(ended, gen);
        }
        changed.notify_all();
    }
    bool superseded(std::uint64_t gen) {
        const std::lock_guard lock(mutex);
        return requested != gen;
    }
};

class PlayerWorker final : public QObject {
public:
    explicit PlayerWorker(PlayerShared& shared) : m_shared(shared) {
        m_timer.setParent(this); // moves to the worker thread with it
        m_timer.setInterval(kFeedMs);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { feed(); });
    }
    ~PlayerWorker() override {
        m_busy = true; // the program ends: no more requests
        endCurrent();
        for (QAudioSink* sink : m_retired)
            delete sink;
    }

    // Takes up the latest request. Queued from the caller's thread.
    void wake() {
        if (m_busy) {
            m_again = true;
            return;
        }
        m_busy = true;
        do {
            m_again = false;
            handleLatest();
        } while (m_again);
        m_busy = false;
    }

private:
    void handleLatest() {
        for (;;) {
            std::uint64_t gen = 0;
            std::string path;
            bool stopOnly = false;
            {
                const std::lock_guard lock(m_shared.mutex);
                gen = m_shared.requested;
                path = m_shared.path;
                stopOnly = m_shared.stopOnly;
            }
            if (gen == m_handled)
                return;
            m_handled = gen;
            endCurrent();
            if (stopOnly)
                m_shared.markEnded(gen);
            else
                begin(gen, path);
        }
    }

    void begin(std::uint64_t gen, const std::string& path) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            noOutput("no audio output device");
            m_shared.markEnded(gen);
            return;
        }
        std::optional<Wave> wave = decodeWave(path);
        QAudioFormat format;
        if (!wave || !chooseFormat(device, *wave, format)) {
            const QAudioFormat preferred = device.preferredFormat();
            wave = builtInAlert(preferred.sampleRate() > 0 ? preferred.sampleRate() : 44100,
                                std::clamp(preferred.channelCount(), 1, 2));
            if (!chooseFormat(device, *wave, format)) {
                noOutput("the audio output takes no usable format");
                m_shared.markEnded(gen);
                return;
            }
        }
        if (m_shared.superseded(gen)) {
            m_shared.markEnded(gen);
            return;
        }
        auto* sink = new QAudioSink(device, format);
        sink->setBufferSize(format.bytesForDuration(kBufferUs));
        QIODevice* io = sink->start();
        if (!io || sink->error() != QAudio::NoError) {
            noOutput("the audio output cannot be opened");
            deleteSink(sink);
            m_shared.markEnded(gen);
            return;
        }
        m_sink = sink;
        m_io = io;
        m_format = format;
        m_gen = gen;
        m_bytes = toDevice(*wave, format);
        m_written = 0;
        m_silence = 0;
        m_seconds = wave->seconds();
        m_clock.start();
        m_shared.markStarted(gen, m_seconds);
        feed();
        if (m_sink)
            m_timer.start();
    }

    void feed() {
        if (!m_sink)
            return;
        const qsizetype bufferSize = m_sink->bufferSize();
        const qsizetype free = m_sink->bytesFree();
        const qsizetype frame = std::max(1, m_format.bytesPerFrame());
        const bool written = m_written >= m_bytes.size();
        // Heard to its end once no more than the silence written after it is left queued.
        const bool heard = written && free > 0 && bufferSize - free <= m_silence;
        const bool overdue =
            m_clock.elapsed() > static_cast<qint64>(m_seconds * 1000.0) +
                                    std::chrono::duration_cast<std::chrono::milliseconds>(kEndMargin).count();
        if (heard || overdue || m_sink->state() == QAudio::StoppedState) {
            endCurrent();
            return;
        }
        qsizetype want = 0;
        if (!written) {
            // Up to a little past the buffer: the output starts once its buffer is full.
            if (m_written > 0 && free <= 0)
                return;
            const bool first = m_written == 0;
            want = (first ? bufferSize : free) + m_format.bytesForDuration(kAheadUs);
            want = std::min(want - want % frame, m_bytes.size() - m_written);
            const qint64 n = m_io->write(m_bytes.constData() + m_written, want);
            if (n > 0)
                m_written += n;
            if (!first || m_written < m_bytes.size())
                return;
            // A sound shorter than the buffer: silence fills it, or the output would not start.
            want = bufferSize - m_bytes.size();
        } else {
            // Silence after the sound keeps the stream from running dry (Qt's sink answers that
            // with a drain whose late reply may reach a sink already gone), and the buffer no
            // more than half full, so that its level stays in view.
            const qsizetype queued = free > 0 ? bufferSize - free : bufferSize;
            want = bufferSize / 2 - queued;
        }
        want -= want % frame;
        if (want <= 0)
            return;
        if (m_zeros.size() < want)
            m_zeros = QByteArray(want, m_format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0));
        const qint64 n = m_io->write(m_zeros.constData(), want);
        if (n > 0)
            m_silence += n;
    }

    void endCurrent() {
        m_timer.stop();
        QAudioSink* sink = std::exchange(m_sink, nullptr);
        m_io = nullptr;
        m_bytes = QByteArray();
        const std::uint64_t gen = std::exchange(m_gen, 0);
        if (sink)
            sink->stop();
        if (gen != 0)
            m_shared.markEnded(gen);
        if (!sink)
            return;
        // A reply the sound server still owes a stopped sink may call it back for a moment
        // yet: it goes a second later.
        m_retired.push_back(sink);
        QTimer::singleShot(kRetireAfter, this, [this, sink] {
            const auto it = std::find(m_retired.begin(), m_retired.end(), sink);
            if (it == m_retired.end())
                return;
            m_retired.erase(it);
            deleteSink(sink);
        });
    }

    void deleteSink(QAudioSink* sink) {
        // The sink's destructor runs the event loop: a request arriving in there waits for it.
        const bool outermost = !m_busy;
        m_busy = true;
        delete sink;
        if (outermost) {
            m_busy = false;
            if (m_again)
                wake();
        }
    }

    static bool chooseFormat(const QAudioDevice& device, const Wave& wave, QAudioFormat& format) {
        // The device's own sample type and, where it takes them, the sound's rate and channels;
        // the sound server converts the rate.
        const QAudioFormat preferred = device.preferredFormat();
        format = preferred;
        format.setSampleRate(wave.rate);
        format.setChannelCount(wave.channels);
        if (device.isFormatSupported(format))
            return true;
        format.setChannelCount(preferred.channelCount());
        return format.channelCount() > 0 && device.isFormatSupported(format);
    }

    static QByteArray toDevice(const Wave& wave, const QAudioFormat& format) {
        const int inCh = wave.channels;
        const int outCh = format.channelCount();
        const std::size_t frames = wave.frames();
        const int bytes = format.bytesPerSample();
        QByteArray out(static_cast<qsizetype>(frames) * outCh * bytes, Qt::Uninitialized);
        char* p = out.data();
        for (std::size_t f = 0; f < frames; ++f) {
            const std::int16_t* in = wave.samples.data() + f * static_cast<std::size_t>(inCh);
            for (int c = 0; c < outCh; ++c) {
                const int s = outCh == 1 && inCh == 2 ? (in[0] + in[1]) / 2 : in[std::min(c, inCh - 1)];
                switch (format.sampleFormat()) {
                case QAudioFormat::UInt8: {
                    const auto v = static_cast<std::uint8_t>((s >> 8) + 128);
                    std::memcpy(p, &v, 1);
                    break;
                }
                case QAudioFormat::Int32: {
                    const std::int32_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(s) << 16);
                    std::memcpy(p, &v, 4);
                    break;
                }
                case QAudioFormat::Float: {
                    const float v = static_cast<float>(s) / 32768.0f;
                    std::memcpy(p, &v, 4);
                    break;
                }
                default: {
                    const auto v = static_cast<std::int16_t>(s);
                    std::memcpy(p, &v, 2);
                    break;
                }
                }
                p += bytes;
            }
        }
        return out;
    }

    void noOutput(const char* why) {
        if (m_warned)
            return;
        m_warned = true;
        std::fprintf(stderr, "morvantis: sounds are not played: %s\n", why);
    }

    PlayerShared& m_shared;
    QTimer m_timer;
    QAudioSink* m_sink = nullptr;
    QIODevice* m_io = nullptr;
    QAudioFormat m_format;
    QByteArray m_bytes;
    QByteArray m_zeros;
    std::vector<QAudioSink*> m_retired; // stopped, deleted a moment later
    qsizetype m_silence = 0;            // bytes of silence written after the sound
    qsizetype m_written = 0;
    double m_seconds = 0.0;
    QElapsedTimer m_clock;
    std::uint64_t m_gen = 0;
    std::uint64_t m_handled = 0;
    bool m_busy = false;
    bool m_again = false;
    bool m_warned = false;
};

WavePlayer::WavePlayer() : m_shared(std::make_unique<PlayerShared>()), m_thread(std::make_unique<QThread>()) {
    m_thread->setObjectName(QStringLiteral("morvantis sound"));
    m_worker = new PlayerWorker(*m_shared);
    m_worker->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
}

WavePlayer::~WavePlayer() {
    m_thread->quit();
    m_thread->wait();
}

std::uint64_t WavePlayer::request(const std::string& path, bool stopOnly) {
    std::uint64_t gen = 0;
    {
        const std::lock_guard lock(m_shared->mutex);
        gen = ++m_shared->requested;
        m_shared->path = path;
        m_shared->stopOnly = stopOnly;
    }
    PlayerWorker* worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->wake(); }, Qt::QueuedConnection);
    return gen;
}

void WavePlayer::play(const std::string& path, Mode mode) {
    const std::uint64_t gen = request(path, false);
    if (mode == Mode::Asynchronous)
        return;
    // Blocked until the sound has been heard, never longer than its length and a margin.
    std::unique_lock lock(m_shared->mutex);
    const auto over = [&] { return m_shared->ended >= gen; };
    m_shared->changed.wait_for(lock, kOpenBound, [&] { return over() || m_shared->started >= gen; });
    if (over() || m_shared->started != gen)
        return;
    const auto length = std::chrono::duration<double>(m_shared->startedSeconds);
    m_shared->changed.wait_for(
        lock, std::chrono::duration_cast<std::chrono::milliseconds>(length) + kEndMargin, over);
}

void WavePlayer::stop() {
    request({}, true);
}

} // namespace morvantis

// The module's one entry point, looked up by name when the first sound is asked for.
extern "C" Q_DECL_EXPORT morvantis::Sound* morvantis_create_player() {
    return new morvantis::WavePlayer();
}
