// A sound converted for a device that refuses its own format keeps its length, pitch and
// loudness, and gains no click; channels are shared or mixed.
#include "platform/WaveDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

using namespace morvantis;

namespace {

constexpr double kHz = 440.0;
constexpr double kAmplitude = 20000.0;

// A steady tone; the right channel of a stereo one two thirds as loud, so that a mix shows.
Wave tone(int rate, int channels, double seconds) {
    Wave w{rate, channels, {}};
    const auto frames = static_cast<std::size_t>(seconds * rate);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = kAmplitude * std::sin(2.0 * std::numbers::pi * kHz * static_cast<double>(i) / rate);
        w.samples.push_back(static_cast<std::int16_t>(std::lround(v)));
        if (channels == 2)
            w.samples.push_back(static_cast<std::int16_t>(std::lround(v * 2.0 / 3.0)));
    }
    return w;
}

std::vector<double> channel(const Wave& w, int c) {
    std::vector<double> x;
    for (std::size_t f = 0; f < w.frames(); ++f)
        x.push_back(w.samples[f * static_cast<std::size_t>(w.channels) + static_cast<std::size_t>(c)]);
    return x;
}

// From the first to the last upward zero crossing, interpolated between samples.
double pitch(const std::vector<double>& x, int rate) {
    double first = -1, last = -1;
    int periods = -1;
    for (std::size_t i = 1; i < x.size(); ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            last = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0)
                first = last;
            ++periods;
        }
    return periods > 0 ? periods * rate / (last - first) : 0.0;
}

} // namespace

TEST(ConvertWave, KeepsTheSoundInTheNewFormat) {
    const struct {
        int rate, channels, toRate, toChannels;
        double loudness; // of the first channel out, against the tone's
    } cases[] = {
        {22050, 1, 48000, 2, 1.0},     // the spoken words, up to the common format
        {8000, 1, 44100, 2, 1.0},      // a low rate, far up
        {44100, 2, 48000, 2, 1.0},     // stereo kept apart
        {44100, 2, 48000, 1, 5.0 / 6}, // stereo mixed into one
        {96000, 1, 48000, 2, 1.0},     // down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << "/" << c.channels << " to " << c.toRate << "/" << c.toChannels);
        const Wave in = tone(c.rate, c.channels, 0.5);
        const Wave out = convertWave(in, c.toRate, c.toChannels);
        ASSERT_EQ(out.rate, c.toRate);
        ASSERT_EQ(out.channels, c.toChannels);
        EXPECT_NEAR(out.seconds(), in.seconds(), 1.0 / c.toRate);
        for (int ch = 0; ch < c.toChannels; ++ch) {
            SCOPED_TRACE(ch);
            const auto x = channel(out, ch);
            const double loud = kAmplitude * (ch == 0 ? c.loudness : c.channels == 2 ? 2.0 / 3.0 : 1.0);
            EXPECT_NEAR(pitch(x, c.toRate), kHz, kHz * 0.002);
            EXPECT_NEAR(*std::max_element(x.begin(), x.end()), loud, loud * 0.02);
            EXPECT_NEAR(x.front(), 0.0, 1.0); // begins where the sound begins
            // No step between two frames larger than the steepest the tone takes: no click.
            double step = 0;
            for (std::size_t i = 1; i < x.size(); ++i)
                step = std::max(step, std::abs(x[i] - x[i - 1]));
            EXPECT_LE(step, 2.0 * std::numbers::pi * kHz * loud / c.toRate + 1.0);
        }
    }
}
