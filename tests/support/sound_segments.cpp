// Prints the sounds in a raw recording (16-bit little-endian, 44.1 kHz, stereo unless told):
// one line each, start and length in milliseconds, then the steady pitches in Hz.
// Usage: sound_segments [--channels N] [--gap SECONDS] FILE
#include "support/SoundCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
    int channels = morvantis::test::kRecordChannels;
    double gap = 0.005;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--channels") == 0 && i + 1 < argc)
            channels = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--gap") == 0 && i + 1 < argc)
            gap = std::atof(argv[++i]);
        else
            file = argv[i];
    }
    if (!file || channels < 1) {
        std::fprintf(stderr, "usage: sound_segments [--channels N] [--gap SECONDS] FILE\n");
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sound_segments: cannot read %s\n", file);
        return 1;
    }
    const std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto mono = morvantis::test::monoFromS16(raw, channels);
    std::fputs(
        morvantis::test::describe(morvantis::test::findSegments(mono, morvantis::test::kRecordRate, gap))
            .c_str(),
        stdout);
    return 0;
}
