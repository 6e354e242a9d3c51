// A wave file the user chose for the alarm or the chime, decoded the way the player does
// before it opens any device: by path, as the player does, and from memory.

#include "FuzzSupport.h"
#include "platform/WaveDecoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using namespace morvantis;

namespace {
void checkWave(const std::optional<Wave>& wave, double maxSeconds) {
    if (!wave)
        return;
    fuzz::check(wave->channels == 1 || wave->channels == 2, "one or two channels");
    fuzz::check(wave->rate >= 1000 && wave->rate <= 192000, "a rate within 1-192 kHz");
    fuzz::check(static_cast<double>(wave->frames()) >= kMinWaveSeconds * wave->rate, "enough sound to hear");
    fuzz::check(wave->samples.size() % static_cast<std::size_t>(wave->channels) == 0, "whole frames");
    fuzz::check(wave->seconds() <= maxSeconds, "no longer than asked");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The player decodes by path; the same bytes from memory must give the same sound.
    const auto path = fuzz::scratch() / "sound.wav";
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<Wave> fromFile = decodeWave(path.string());
    checkWave(fromFile, kMaxWaveSeconds);
    const std::optional<Wave> fromMemory = decodeWave(data, size);
    fuzz::check(fromFile.has_value() == fromMemory.has_value(), "file and memory agree on decoding");
    if (fromFile)
        fuzz::check(fromFile->rate == fromMemory->rate && fromFile->channels == fromMemory->channels &&
                        fromFile->samples == fromMemory->samples,
                    "file and memory give the same sound");
    // A short limit takes the refusal paths for long sounds.
    checkWave(decodeWave(path.string(), 0.01), 0.01);
    return 0;
}
