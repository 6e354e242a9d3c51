// Prints the sounds in a raw recording (16-bit little-endian, 44.1 kHz, stereo unless told):
// one line each, start and length in milliseconds, then the steady pitches in Hz. With
// --words, the names of the words each sound says (from the .WAV files in that folder, "+"
// between words that follow without a gap, "?" for anything else) come after the length.
// Usage: sound_segments [--channels N] [--gap SECONDS] [--words FOLDER] FILE
#include "support/SoundCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
std::vector<morvantis::test::Word> wordsIn(const char* folder) {
    std::vector<morvantis::test::Word> words;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto& path = entry.path();
        if (path.extension() == ".WAV" || path.extension() == ".wav")
            words.push_back({path.stem().string(), morvantis::test::readSound(path.string())});
    }
    return words;
}
} // namespace

int main(int argc, char** argv) {
    int channels = morvantis::test::kRecordChannels;
    double gap = 0.005;
    const char* file = nullptr;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--channels") == 0 && i + 1 < argc)
            channels = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--gap") == 0 && i + 1 < argc)
            gap = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--words") == 0 && i + 1 < argc)
            folder = argv[++i];
        else
            file = argv[i];
    }
    if (!file || channels < 1) {
        std::fprintf(stderr, "usage: sound_segments [--channels N] [--gap SECONDS] [--words FOLDER] FILE\n");
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sound_segments: cannot read %s\n", file);
        return 1;
    }
    const std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto mono = morvantis::test::monoFromS16(raw, channels);
    const auto segments = morvantis::test::findSegments(mono, morvantis::test::kRecordRate, gap);
    if (!folder) {
        std::fputs(morvantis::test::describe(segments).c_str(), stdout);
        return 0;
    }
    const auto words = wordsIn(folder);
    for (const auto& s : segments) {
        std::string line = morvantis::test::describe({s});
        const auto length = line.find(' ', line.find(' ') + 1); // after start and length
        std::string named(1, ' '); // appended rather than " " + ...: GCC 12 warns of an overlap there
        named += morvantis::test::nameWords(mono, s, words);
        line.insert(std::min(length, line.size() - 1), named);
        std::fputs(line.c_str(), stdout);
    }
    return 0;
}
