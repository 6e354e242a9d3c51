#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace morvantis {

// A decoded sound: 16-bit samples, interleaved, one or two channels.
struct Wave {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const {
        return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
    }
    double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0.0; }
};

// The longest sound played: ten minutes. Memory stays within what ten minutes of stereo
// at 48 kHz take (about 110 MB), whatever the file's rate.
inline constexpr double kMaxWaveSeconds = 600.0;
// The shortest: less than this is a click at most, and the file is taken as giving nothing.
inline constexpr double kMinWaveSeconds = 0.010;

// Decodes a RIFF wave file (any PCM width, float, the usual compressed kinds; more than two
// channels are mixed down to one). A file cut short, or one that decodes to fewer frames than
// its header claims, gives what decodes. Nothing when the file is missing, not a regular file,
// not a wave, decodes to less than kMinWaveSeconds, has a rate outside 1-192 kHz, or is longer
// than maxSeconds (or would take more memory than maxSeconds of 48 kHz stereo).
// progress, when given, is called after each piece read: a slow read shows that it goes on,
// and false gives up (nothing is returned).
std::optional<Wave> decodeWave(const std::string& path, double maxSeconds = kMaxWaveSeconds,
                               const std::function<bool()>& progress = {});
// The same from bytes in memory.
std::optional<Wave> decodeWave(const unsigned char* data, std::size_t size,
                               double maxSeconds = kMaxWaveSeconds);

// The alert played in place of a sound that cannot be played: two tones, high then low,
// about 0.6 s in all.
Wave builtInAlert(int rate, int channels);
inline constexpr double kAlertHighHz = 880.0;
inline constexpr double kAlertLowHz = 587.33;
inline constexpr double kAlertToneSeconds = 0.3;

// The sound in another format, for a device that refuses its own: the same length and pitch,
// each frame interpolated between the two nearest of the sound's; one channel is given to
// both, two are mixed into one. rate and channels (1 or 2) are the new format's.
Wave convertWave(const Wave& wave, int rate, int channels);

} // namespace morvantis
