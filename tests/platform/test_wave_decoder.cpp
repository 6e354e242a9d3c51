#include "platform/WaveDecoder.h"
#include "support/WaveFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <stdlib.h>
#include <sys/stat.h>

using namespace morvantis;
using morvantis::test::writeTone;

namespace {

// A temporary folder, removed with its contents.
struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/morvantis-wave-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string filePath(const char* name) const { return path + "/" + name; }
    std::string path;
};

std::vector<unsigned char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A wave file cut after this many seconds of 16-bit mono sound, the header left as it was.
std::vector<unsigned char> cutAfter(const std::vector<unsigned char>& wave, int rate, double seconds) {
    const std::string text(wave.begin(), wave.end());
    const std::size_t data = text.find("data") + 8;
    const auto keep = data + 2 * static_cast<std::size_t>(seconds * rate);
    return {wave.begin(), wave.begin() + static_cast<long>(std::min(keep, wave.size()))};
}

void put(std::vector<unsigned char>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// MPEG layer III data in a wave file (format tag 0x55), as some programs save it.
std::vector<unsigned char> mp3InWave(const std::vector<unsigned char>& mp3, int rate, std::uint32_t frames) {
    std::vector<unsigned char> fmt;
    put(fmt, 0x55, 2);
    put(fmt, 1, 2);     // channels
    put(fmt, rate, 4);  // frames per second
    put(fmt, 16000, 4); // bytes per second
    put(fmt, 1, 2);     // block align
    put(fmt, 0, 2);     // bits per sample
    put(fmt, 12, 2);    // the MPEG layer III extra fields:
    put(fmt, 1, 2);     //   id
    put(fmt, 2, 4);     //   flags
    put(fmt, 417, 2);   //   block size
    put(fmt, 1, 2);     //   frames per block
    put(fmt, 1393, 2);  //   codec delay
    std::vector<unsigned char> body{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put(body, static_cast<std::uint32_t>(fmt.size()), 4);
    body.insert(body.end(), fmt.begin(), fmt.end());
    body.insert(body.end(), {'f', 'a', 'c', 't'});
    put(body, 4, 4);
    put(body, frames, 4);
    body.insert(body.end(), {'d', 'a', 't', 'a'});
    put(body, static_cast<std::uint32_t>(mp3.size()), 4);
    body.insert(body.end(), mp3.begin(), mp3.end());
    std::vector<unsigned char> file{'R', 'I', 'F', 'F'};
    put(file, static_cast<std::uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace

TEST(WaveDecoder, ReadsEveryCommonKindOfWave) {
    struct Case {
        int subformat;
        int rate;
        int channels;
    };
    const Case cases[] = {
        {SF_FORMAT_PCM_U8, 8000, 1},     {SF_FORMAT_PCM_16, 22050, 1}, {SF_FORMAT_PCM_16, 44100, 2},
        {SF_FORMAT_PCM_24, 48000, 2},    {SF_FORMAT_PCM_32, 32000, 1}, {SF_FORMAT_FLOAT, 44100, 2},
        {SF_FORMAT_IMA_ADPCM, 22050, 1}, {SF_FORMAT_ULAW, 8000, 1},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << c.subformat << std::dec << " " << c.rate << " " << c.channels);
        const std::string path = dir.filePath("tone.wav");
        ASSERT_TRUE(writeTone(path, 440.0, 0.5, c.rate, c.channels, c.subformat));
        const auto wave = decodeWave(path);
        ASSERT_TRUE(wave);
        EXPECT_EQ(wave->rate, c.rate);
        EXPECT_EQ(wave->channels, c.channels);
        EXPECT_NEAR(wave->seconds(), 0.5, 0.02);
        // A tenth of a second in: the sine's value there, in every channel.
        const int frame = c.rate / 10;
        const auto at = static_cast<std::size_t>(frame * c.channels);
        EXPECT_NEAR(wave->samples[at] / 32767.0,
                    0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * frame / c.rate), 0.05);
        EXPECT_EQ(wave->samples[at + static_cast<std::size_t>(c.channels) - 1], wave->samples[at]);
        // From memory the same.
        const auto bytes = bytesOf(path);
        const auto fromBytes = decodeWave(bytes.data(), bytes.size());
        ASSERT_TRUE(fromBytes);
        EXPECT_EQ(fromBytes->samples, wave->samples);
    }
}

TEST(WaveDecoder, RefusesWhatCannotBePlayed) {
    TempDir dir;
    const auto at = [&](const char* name) { return dir.filePath(name); };
    ASSERT_TRUE(writeTone(at("good.wav"), 440.0, 1.0, 8000));
    const auto good = bytesOf(at("good.wav"));
    writeBytes(at("crumb.wav"), cutAfter(good, 8000, kMinWaveSeconds / 2));
    writeBytes(at("header.wav"), {good.begin(), good.begin() + 30});
    writeBytes(at("empty.wav"), {});
    std::ofstream(at("text.wav")) << "not a sound at all, only words\n";
    ASSERT_TRUE(writeTone(at("silent.wav"), 440.0, 0.0, 8000));
    ASSERT_TRUE(writeTone(at("aiff.wav"), 440.0, 0.2, 8000, 1, SF_FORMAT_PCM_16, SF_FORMAT_AIFF));
    ASSERT_TRUE(writeTone(at("slow.wav"), 440.0, 0.2, 500));
    std::filesystem::create_directory(at("folder.wav"));
    ASSERT_EQ(::mkfifo(at("pipe.wav").c_str(), 0600), 0);

    const std::string refused[] = {"",
                                   at("missing.wav"),
                                   at("crumb.wav"),
                                   at("header.wav"),
                                   at("empty.wav"),
                                   at("text.wav"),
                                   at("silent.wav"),
                                   at("aiff.wav"),
                                   at("slow.wav"),
                                   at("folder.wav"),
                                   at("pipe.wav")};
    for (const std::string& path : refused)
        EXPECT_FALSE(decodeWave(path)) << path;
    // Longer than the limit (one second here, ten minutes in the program).
    EXPECT_TRUE(decodeWave(at("good.wav"), 1.0));
    EXPECT_FALSE(decodeWave(at("good.wav"), 0.99));
    const auto crumb = bytesOf(at("crumb.wav"));
    EXPECT_FALSE(decodeWave(crumb.data(), crumb.size()));
}

TEST(WaveDecoder, PlaysWhatDecodes) {
    TempDir dir;
    const auto at = [&](const char* name) { return dir.filePath(name); };
    ASSERT_TRUE(writeTone(at("pcm.wav"), 440.0, 1.0, 8000));
    ASSERT_TRUE(writeTone(at("adpcm.wav"), 440.0, 1.0, 22050, 1, SF_FORMAT_IMA_ADPCM));
    ASSERT_TRUE(writeTone(at("tone.mp3"), 440.0, 0.5, 44100, 1, SF_FORMAT_MPEG_LAYER_III, SF_FORMAT_MPEG));
    const auto pcm = bytesOf(at("pcm.wav"));
    const auto adpcm = bytesOf(at("adpcm.wav"));
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        double seconds; // what decodes
        double within;
    } cases[] = {
        {"an interrupted copy", cutAfter(pcm, 8000, 0.5), 0.5, 0.001},
        {"just long enough", cutAfter(pcm, 8000, 2 * kMinWaveSeconds), 2 * kMinWaveSeconds, 0.001},
        {"compressed, cut short",
         {adpcm.begin(), adpcm.begin() + static_cast<long>(adpcm.size() / 2)},
         0.5,
         0.02},
        // Its header claims a third more than the data holds.
        {"MPEG layer III in a wave", mp3InWave(bytesOf(at("tone.mp3")), 44100, 29400), 0.5, 0.03},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(at("partial.wav"), c.bytes);
        const auto wave = decodeWave(at("partial.wav"));
        ASSERT_TRUE(wave);
        EXPECT_NEAR(wave->seconds(), c.seconds, c.within);
        const auto fromBytes = decodeWave(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(fromBytes);
        EXPECT_EQ(fromBytes->samples, wave->samples);
    }
}
