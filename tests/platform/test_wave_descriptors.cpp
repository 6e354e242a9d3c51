// decodeWave closes the descriptor it opens exactly once, on every path: the C runtime's
// descriptors run out after some thousands of sounds otherwise (Windows has 2,048).
#include "platform/WaveDecoder.h"
#include "support/WaveFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#define processId _getpid
#else
#include <unistd.h>
#define processId getpid
#endif

using namespace morvantis;

namespace {

namespace fs = std::filesystem;

// The descriptor number the next open gets: the lowest free one, on both systems.
int nextDescriptor(const std::string& path) {
#ifdef _WIN32
    const int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    const int fd = ::open(path.c_str(), O_RDONLY);
#endif
    if (fd >= 0)
        ::close(fd);
    return fd;
}

struct Case {
    const char* name;
    const char* file;
    bool decodes;
    bool giveUp; // the progress callback ends the decode part way
};

class WaveDescriptors : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("morvantis-fd-" + std::to_string(processId()) + "-" + GetParam().name);
        fs::create_directories(dir);
        ASSERT_TRUE(test::writeTone((dir / "tone.wav").string(), 440.0, 0.5));
        std::ofstream((dir / "text.wav").string(), std::ios::binary) << "RIFF but no wave at all";
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_P(WaveDescriptors, EveryDecodeGivesItsDescriptorBack) {
    const Case& c = GetParam();
    const std::string file = (dir / c.file).string();
    const int before = nextDescriptor(file);
    ASSERT_GE(before, 0);
    // More decodes than the C runtime has descriptors.
    for (int i = 0; i < 3000; ++i) {
        const auto wave = decodeWave(file, kMaxWaveSeconds, [&] { return !c.giveUp; });
        ASSERT_EQ(wave.has_value(), c.decodes) << "decode " << i;
    }
    EXPECT_EQ(nextDescriptor(file), before);
    const auto last = decodeWave((dir / "tone.wav").string());
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->frames(), 22050u);
}

INSTANTIATE_TEST_SUITE_P(Paths, WaveDescriptors,
                         ::testing::Values(Case{"decoded", "tone.wav", true, false},
                                           Case{"refused", "text.wav", false, false},
                                           Case{"cutShort", "tone.wav", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
