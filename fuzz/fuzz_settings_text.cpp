// Every stored value is text a user may have edited: each kind's reading must accept or
// refuse it without harm, and what it accepts must write back to text that reads the same.

#include "FuzzSupport.h"
#include "settings/SettingsFormat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace morvantis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto truth = parseTruth(text))
        fuzz::check(parseTruth(formatTruth(*truth)) == truth, "a truth value reads back");
    if (const auto number = parseInteger(text))
        fuzz::check(parseInteger(formatInteger(*number)) == number, "an integer reads back");
    if (const auto position = parsePosition(text)) {
        fuzz::check(std::isfinite(*position), "a position is finite");
        const auto back = parsePosition(formatPosition(*position));
        fuzz::check(back && std::memcmp(&*back, &*position, sizeof(float)) == 0,
                    "a position reads back exactly");
    }

    // The same bytes taken as the values a save writes.
    if (size >= sizeof(float)) {
        float f;
        std::memcpy(&f, data, sizeof f);
        if (std::isfinite(f)) {
            const auto back = parsePosition(formatPosition(f));
            fuzz::check(back && std::memcmp(&*back, &f, sizeof f) == 0,
                        "any finite position survives a save");
        }
        std::int16_t i;
        std::memcpy(&i, data, sizeof i);
        fuzz::check(parseInteger(formatInteger(i)) == i, "any integer survives a save");
    }
    return 0;
}
