#include "platform/WaveDecoder.h"
#include "platform/ReadOnlyFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>


namespace morvantis {

namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;
constexpr int kMaxChannels = 64;

struct Closer {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using File = std::unique_ptr<SNDFILE, Closer>;

bool isWave(int format) {
    const int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

std::int16_t toSample(float v) {
    if (!(v == v))
        return 0; // NaN
    v = std::clamp(v, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(v * 32767.0f));
}

std::optional<Wave> decodeOpen(SNDFILE* raw, const SF_INFO& info, double maxSeconds,
                               const std::function<bool()>& progress = {}) {
    const File file(raw);
    if (!isWave(info.format) || info.frames <= 0 || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate || info.channels < 1 || info.channels > kMaxChannels)
        return std::nullopt;
    Wave wave;
    wave.rate = info.samplerate;
    wave.channels = info.channels == 2 ? 2 : 1;
    // The most frames kept: maxSeconds at the file's rate, and no more memory than maxSeconds
    // of 48 kHz stereo take.
    const double longest = std::max(0.0, maxSeconds);
    const auto limit = static_cast<std::size_t>(
        std::min(longest * info.samplerate, longest * 48000.0 * 2.0 / wave.channels));
    // The header's count is what the file claims, not what it holds: a file cut short, or a
    // compressed one, decodes to fewer frames, and what decodes is played.
    const auto claimed = static_cast<std::size_t>(info.frames);
    if (claimed > limit)
        return std::nullopt;
    wave.samples.reserve(claimed * static_cast<std::size_t>(wave.channels));
    constexpr sf_count_t kChunkFrames = 4096;
    std::vector<float> buffer(static_cast<std::size_t>(kChunkFrames) *
                              static_cast<std::size_t>(info.channels));
    std::size_t total = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), buffer.data(), kChunkFrames);
        if (got <= 0)
            break;
        if (progress && !progress())
            return std::nullopt;
        total += static_cast<std::size_t>(got);
        if (total > limit)
            return std::nullopt; // longer than the limit after all
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = buffer.data() + i * info.channels;
            if (info.channels <= 2) {
                for (int c = 0; c < info.channels; ++c)
                    wave.samples.push_back(toSample(frame[c]));
            } else {
                float sum = 0.0f;
                for (int c = 0; c < info.channels; ++c)
                    sum += frame[c] == frame[c] ? frame[c] : 0.0f;
                wave.samples.push_back(toSample(sum / static_cast<float>(info.channels)));
            }
        }
    }
    // A decoding error ends the sound where it struck; too little to hear is nothing.
    if (static_cast<double>(total) < kMinWaveSeconds * info.samplerate)
        return std::nullopt;
    return wave;
}

// Reading from memory through libsndfile's virtual I/O.
struct Memory {
    const unsigned char* data;
    sf_count_t size;
    sf_count_t pos;
};

sf_count_t memLength(void* user) {
    return static_cast<Memory*>(user)->size;
}
sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<Memory*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = m->pos;
    else if (whence == SEEK_END)
        base = m->size;
    if (offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base)
        return -1;
    // As on a file: a seek past the end succeeds and reading there gives nothing, so that a
    // header that claims more than there is decodes from memory as it does from the file.
    m->pos = base + offset;
    return m->pos;
}
sf_count_t memRead(void* ptr, sf_count_t count, void* user) {
    auto* m = static_cast<Memory*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(m->size - m->pos, 0, std::max<sf_count_t>(count, 0));
    if (n > 0)
        std::memcpy(ptr, m->data + m->pos, static_cast<std::size_t>(n));
    m->pos += n;
    return n;
}
sf_count_t noWrite(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t memTell(void* user) {
    return static_cast<Memory*>(user)->pos;
}

// A descriptor closed once, here, whatever libsndfile did with it: its own descriptor calls
// keep only the system handle on Windows and close that, leaving the C runtime's slot taken.
struct Descriptor {
    explicit Descriptor(int d) : fd(d) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            readonly::close(fd);
    }
    int fd;
};

int fdOf(void* user) {
    return static_cast<Descriptor*>(user)->fd;
}
sf_count_t fdSeek(sf_count_t offset, int whence, void* user) {
    return readonly::seek(fdOf(user), offset, whence);
}
sf_count_t fdLength(void* user) {
    return readonly::length(fdOf(user));
}
sf_count_t fdRead(void* ptr, sf_count_t count, void* user) {
    // libsndfile takes a short read from virtual I/O as the end of the file.
    sf_count_t done = 0;
    while (done < count) {
        const sf_count_t want = std::min<sf_count_t>(count - done, 1 << 30);
        const std::int64_t got = readonly::read(fdOf(user), static_cast<char*>(ptr) + done, want);
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}
sf_count_t fdTell(void* user) {
    return fdSeek(0, SEEK_CUR, user);
}

} // namespace

std::optional<Wave> decodeWave(const std::string& path, double maxSeconds,
                               const std::function<bool()>& progress) {
    if (path.empty())
        return std::nullopt;
    // Only regular files: a pipe or a device would block or never end.
    Descriptor fd(readonly::open(path));
    if (fd.fd < 0)
        return std::nullopt;
    SF_VIRTUAL_IO io{fdLength, fdSeek, fdRead, noWrite, fdTell};
    SF_INFO info{};
    SNDFILE* f = sf_open_virtual(&io, SFM_READ, &info, &fd);
    if (!f)
        return std::nullopt;
    return decodeOpen(f, info, maxSeconds, progress); // closes f before fd closes
}

std::optional<Wave> decodeWave(const unsigned char* data, std::size_t size, double maxSeconds) {
    if (!data || size == 0)
        return std::nullopt;
    Memory memory{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{memLength, memSeek, memRead, noWrite, memTell};
    SF_INFO info{};
    SNDFILE* f = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!f)
        return std::nullopt;
    return decodeOpen(f, info, maxSeconds);
}

Wave builtInAlert(int rate, int channels) {
    Wave wave;
    wave.rate = rate;
    wave.channels = channels;
    const auto toneFrames = static_cast<std::size_t>(std::lround(kAlertToneSeconds * rate));
    const std::size_t frames = 2 * toneFrames;
    const auto fade = static_cast<std::size_t>(rate / 200); // 5 ms: no click at either end
    wave.samples.reserve(frames * static_cast<std::size_t>(channels));
    double phase = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double hz = i < toneFrames ? kAlertHighHz : kAlertLowHz;
        phase += 2.0 * std::numbers::pi * hz / rate; // continuous phase: no click between the tones
        double gain = 0.5;
        if (i < fade)
            gain *= static_cast<double>(i) / static_cast<double>(fade);
        else if (frames - i <= fade)
            gain *= static_cast<double>(frames - i - 1) / static_cast<double>(fade);
        const auto s = static_cast<std::int16_t>(std::lround(32767.0 * gain * std::sin(phase)));
        for (int c = 0; c < channels; ++c)
            wave.samples.push_back(s);
    }
    return wave;
}

Wave convertWave(const Wave& wave, int rate, int channels) {
    Wave out;
    out.rate = rate;
    out.channels = channels;
    const std::size_t in = wave.frames();
    if (in == 0 || wave.rate <= 0 || rate <= 0 || channels < 1)
        return out;
    const auto from = static_cast<std::size_t>(wave.channels);
    // Frame f of the sound as channel c of the new format.
    const auto at = [&](std::size_t f, int c) -> double {
        const std::int16_t* frame = wave.samples.data() + f * from;
        if (from == 1)
            return frame[0];
        if (channels == 1)
            return (static_cast<double>(frame[0]) + frame[1]) / 2.0;
        return frame[c];
    };
    const auto frames = static_cast<std::size_t>(
        std::llround(static_cast<double>(in) * static_cast<double>(rate) / static_cast<double>(wave.rate)));
    const double step = static_cast<double>(wave.rate) / static_cast<double>(rate);
    out.samples.resize(frames * static_cast<std::size_t>(channels));
    std::int16_t* to = out.samples.data();
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) * step;
        const std::size_t k = std::min(static_cast<std::size_t>(t), in - 1);
        const std::size_t next = std::min(k + 1, in - 1); // the last frame is held
        const double a = t - static_cast<double>(k);
        for (int c = 0; c < channels; ++c)
            *to++ = static_cast<std::int16_t>(std::lround(at(k, c) * (1.0 - a) + at(next, c) * a));
    }
    return out;
}

} // namespace morvantis
