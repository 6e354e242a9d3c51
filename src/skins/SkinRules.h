#pragma once

#include "face/FaceElements.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvantis {

inline constexpr std::string_view kDefaultSkin = "Digital Age";
inline constexpr std::string_view kNoDescription = "No additional information about this skin.";
// info.txt is untrusted: only this much of its first line is ever read.
inline constexpr std::size_t kInfoLineLimit = 4096;

// The label colour (0xRRGGBB) from the first line of info.txt: three three-character
// decimal fields at positions 1, 5 and 9; blanks around the digits are allowed and a
// component above 255 counts as 255. Nothing when a field is not a number or negative.
std::optional<std::uint32_t> infoColour(std::string_view line);

// The description: the line from position 13 on, or the no-description text when that is empty.
std::string infoDescription(std::string_view line);

// Decoded pixels a whole skin may hold: four times the face's own area at the given
// device-pixel ratio (at least 1). Room for generous skins; a small download that
// decodes to gigabytes is refused.
std::uint64_t skinPixelBudget(double devicePixelRatio);

// One step of a skin load: a picture file for the background or an element, or a clear.
struct SkinStep {
    bool background;
    Element element;
    std::string_view file; // empty: the element is cleared
};

// Every step of a load, in order: the background, then 143 elements.
extern const std::array<SkinStep, 144> kSkinLoadPlan;

std::string skinLoadErrorText(std::string_view themePath);
inline constexpr std::string_view kSkinLoadErrorTitle = "Error Loading Sking";
inline constexpr std::string_view kNoSkinText = "No skin could be found in skin folder.\r\nCopy one or more "
                                                "to fix this problem.\r\nThis program will terminate.";
inline constexpr std::string_view kNoSkinTitle = "No skin to set";

// The skin switch. With no entry selected (a first run, a ThemeNo past the list), the entry to
// take among count skins: the second, or a lone skin as it is; -1 when there is none.
int firstRunEntry(int count);
// Whether a skin folder is the default skin (its last name, without regard to case).
bool isDefaultSkin(std::string_view themePath);
// After a load: done, or fall back to the default skin once, or end the program because the
// default skin itself cannot be loaded (a second fallback would load it again without end).
enum class SkinOutcome { Loaded, FallBack, DefaultBroken };
SkinOutcome afterSkinLoad(bool loaded, bool fallingBack, std::string_view themePath);

} // namespace morvantis
