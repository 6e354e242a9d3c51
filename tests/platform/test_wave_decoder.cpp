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
    writeBytes(at("cut.wav"), {good.begin(), good.begin() + static_cast<long>(good.size() / 2)});
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
                                   at("cut.wav"),
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
    const auto cut = bytesOf(at("cut.wav"));
    EXPECT_FALSE(decodeWave(cut.data(), cut.size()));
}
