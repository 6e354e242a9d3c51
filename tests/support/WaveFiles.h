#pragma once

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace morvantis::test {

// Writes a sine tone as a wave file of the given kind (SF_FORMAT_PCM_16, ...). False on failure.
inline bool writeTone(const std::string& path, double hz, double seconds, int rate = 44100, int channels = 1,
                      int subformat = SF_FORMAT_PCM_16, int major = SF_FORMAT_WAV) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = major | subformat;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    const auto frames = static_cast<sf_count_t>(std::lround(seconds * rate));
    std::vector<float> data(static_cast<std::size_t>(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[static_cast<std::size_t>(i * channels + c)] =
                0.5f *
                static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    const bool ok = sf_writef_float(f, data.data(), frames) == frames;
    return sf_close(f) == 0 && ok;
}

} // namespace morvantis::test
