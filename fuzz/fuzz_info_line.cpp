// info.txt is downloaded with a skin: its first line is read from the file and parsed
// into the caption colour and the description.

#include "FuzzSupport.h"
#include "platform/QtFiles.h"
#include "skins/SkinRules.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace morvantis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto path = fuzz::scratch() / "info.txt";
    fuzz::writeFile(path, bytes);

    const QtFiles files(fuzz::scratch().string());
    const auto line = files.firstLine(path.string(), kInfoLineLimit);
    fuzz::check(line.has_value() == !bytes.empty(), "a non-empty file has a first line");
    if (!line)
        return 0;
    fuzz::check(line->size() <= kInfoLineLimit, "the line is bounded");
    fuzz::check(bytes.substr(0, line->size()) == *line, "the line is the start of the file");
    fuzz::check(line->find_first_of("\r\n") == std::string_view::npos, "the line holds no line break");
    fuzz::check(line->size() == kInfoLineLimit || line->size() == size || bytes[line->size()] == '\n' ||
                    bytes[line->size()] == '\r',
                "the line ends at a line break, the end of the file or the limit");

    if (const auto colour = infoColour(*line))
        fuzz::check(*colour <= 0xFFFFFFu, "the colour is 0xRRGGBB");
    const std::string description = infoDescription(*line);
    fuzz::check(line->size() > 12 ? description == line->substr(12) : description == kNoDescription,
                "the description is the line from position 13");
    return 0;
}
