#include "skins/SkinRules.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace morvantis {

namespace {

// A field reads as a number when, blanks aside, it is an optional sign and digits.
std::optional<int> fieldValue(std::string_view field) {
    std::size_t b = 0, e = field.size();
    while (b < e && field[b] == ' ')
        ++b;
    while (e > b && field[e - 1] == ' ')
        --e;
    field = field.substr(b, e - b);
    if (field.empty())
        return std::nullopt;
    bool negative = false;
    if (field[0] == '+' || field[0] == '-') {
        negative = field[0] == '-';
        field.remove_prefix(1);
    }
    if (field.empty())
        return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string_view mid(std::string_view s, std::size_t start1, std::size_t length) {
    if (start1 - 1 >= s.size())
        return {};
    return s.substr(start1 - 1, length);
}

} // namespace

std::optional<std::uint32_t> infoColour(std::string_view line) {
    std::uint32_t rgb = 0;
    for (std::size_t start : {1u, 5u, 9u}) {
        const auto v = fieldValue(mid(line, start, 3));
        if (!v || *v < 0)
            return std::nullopt;
        rgb = rgb << 8 | static_cast<std::uint32_t>(*v > 255 ? 255 : *v);
    }
    return rgb;
}

std::string infoDescription(std::string_view line) {
    const std::string_view d = mid(line, 13, std::string_view::npos);
    return d.empty() ? std::string(kNoDescription) : std::string(d);
}

std::string skinLoadErrorText(std::string_view themePath) {
    std::string text = "Error loading skin: \r\n\r\n";
    text += themePath;
    text += ".\r\n\r\nPlase check sking files.\r\nNow loading default skin.";
    return text;
}

namespace {
using E = Element;
constexpr SkinStep pic(E e, std::string_view f) {
    return {false, e, f};
}
constexpr SkinStep clear(E e) {
    return {false, e, {}};
}
} // namespace

const std::array<SkinStep, 144> kSkinLoadPlan = {{
    {true, E::imgLCD, "base.gif"},
    pic(E::imgLCD, "lcd.gif"),
    pic(E::imgAlarmButP, "alarmbuttonp.gif"),
    pic(E::imgAlarmBut, "alarmbutton.gif"),
    pic(E::imgLight, "alarmon.gif"),
    pic(E::imgLight_Off, "alarmoff.gif"),
    pic(E::imgOptBut, "OptionButton.gif"),
    pic(E::imgOptButP, "OptionButtonp.gif"),
    pic(E::imgExitBut, "OptionButton.gif"),
    pic(E::imgExitButP, "OptionButtonp.gif"),
    pic(E::imgMontBut, "but.gif"),
    pic(E::imgMontButP, "butp.gif"),
    pic(E::imgDateBut, "but.gif"),
    pic(E::imgDateButP, "butp.gif"),
    pic(E::imgYearBut, "but.gif"),
    pic(E::imgYearButP, "butp.gif"),
    pic(E::imgAM, "am.gif"),
    clear(E::imgAM_Off),
    pic(E::imgPM, "pm.gif"),
    clear(E::imgPM_Off),
    pic(E::imgDH1_0, "0.gif"),
    pic(E::imgDH1_1, "1.gif"),
    pic(E::imgDH1_2, "2.gif"),
    clear(E::imgDH1_Off),
    pic(E::imgDH2_0, "0.gif"),
    pic(E::imgDH2_1, "1.gif"),
    pic(E::imgDH2_2, "2.gif"),
    pic(E::imgDH2_3, "3.gif"),
    pic(E::imgDH2_4, "4.gif"),
    pic(E::imgDH2_5, "5.gif"),
    pic(E::imgDH2_6, "6.gif"),
    pic(E::imgDH2_7, "7.gif"),
    pic(E::imgDH2_8, "8.gif"),
    pic(E::imgDH2_9, "9.gif"),
    clear(E::imgDH2_Off),
    pic(E::imgDM1_0, "0.gif"),
    pic(E::imgDM1_1, "1.gif"),
    pic(E::imgDM1_2, "2.gif"),
    pic(E::imgDM1_3, "3.gif"),
    pic(E::imgDM1_4, "4.gif"),
    pic(E::imgDM1_5, "5.gif"),
    pic(E::imgDM2_0, "0.gif"),
    pic(E::imgDM2_1, "1.gif"),
    pic(E::imgDM2_2, "2.gif"),
    pic(E::imgDM2_3, "3.gif"),
    pic(E::imgDM2_4, "4.gif"),
    pic(E::imgDM2_5, "5.gif"),
    pic(E::imgDM2_6, "6.gif"),
    pic(E::imgDM2_7, "7.gif"),
    pic(E::imgDM2_8, "8.gif"),
    pic(E::imgDM2_9, "9.gif"),
    pic(E::imgDS1_0, "0.gif"),
    pic(E::imgDS1_1, "1.gif"),
    pic(E::imgDS1_2, "2.gif"),
    pic(E::imgDS1_3, "3.gif"),
    pic(E::imgDS1_4, "4.gif"),
    pic(E::imgDS1_5, "5.gif"),
    pic(E::imgDS2_0, "0.gif"),
    pic(E::imgDS2_1, "1.gif"),
    pic(E::imgDS2_2, "2.gif"),
    pic(E::imgDS2_3, "3.gif"),
    pic(E::imgDS2_4, "4.gif"),
    pic(E::imgDS2_5, "5.gif"),
    pic(E::imgDS2_6, "6.gif"),
    pic(E::imgDS2_7, "7.gif"),
    pic(E::imgDS2_8, "8.gif"),
    pic(E::imgDS2_9, "9.gif"),
    pic(E::imgDDot, "dot.gif"),
    clear(E::imgDDot_Off),
    pic(E::imgDDot2, "dot.gif"),
    clear(E::imgDDot2_Off),
    pic(E::imgDMT1_1, "1s.gif"),
    clear(E::imgDMT1_Off),
    pic(E::imgDMT2_0, "0s.gif"),
    pic(E::imgDMT2_1, "1s.gif"),
    pic(E::imgDMT2_2, "2s.gif"),
    pic(E::imgDMT2_3, "3s.gif"),
    pic(E::imgDMT2_4, "4s.gif"),
    pic(E::imgDMT2_5, "5s.gif"),
    pic(E::imgDMT2_6, "6s.gif"),
    pic(E::imgDMT2_7, "7s.gif"),
    pic(E::imgDMT2_8, "8s.gif"),
    pic(E::imgDMT2_9, "9s.gif"),
    pic(E::imgDDT1_1, "1s.gif"),
    pic(E::imgDDT1_2, "2s.gif"),
    pic(E::imgDDT1_3, "3s.gif"),
    clear(E::imgDDT1_Off),
    pic(E::imgDDT2_0, "0s.gif"),
    pic(E::imgDDT2_1, "1s.gif"),
    pic(E::imgDDT2_2, "2s.gif"),
    pic(E::imgDDT2_3, "3s.gif"),
    pic(E::imgDDT2_4, "4s.gif"),
    pic(E::imgDDT2_5, "5s.gif"),
    pic(E::imgDDT2_6, "6s.gif"),
    pic(E::imgDDT2_7, "7s.gif"),
    pic(E::imgDDT2_8, "8s.gif"),
    pic(E::imgDDT2_9, "9s.gif"),
    pic(E::imgDD_SAT, "sat.gif"),
    pic(E::imgDD_SUN, "sun.gif"),
    pic(E::imgDD_MON, "mon.gif"),
    pic(E::imgDD_TUE, "tue.gif"),
    pic(E::imgDD_WED, "wed.gif"),
    pic(E::imgDD_THU, "thu.gif"),
    pic(E::imgDD_FRI, "fri.gif"),
    pic(E::imgDY1_0, "0s.gif"),
    pic(E::imgDY1_1, "1s.gif"),
    pic(E::imgDY1_2, "2s.gif"),
    pic(E::imgDY1_3, "3s.gif"),
    pic(E::imgDY1_4, "4s.gif"),
    pic(E::imgDY1_5, "5s.gif"),
    pic(E::imgDY1_6, "6s.gif"),
    pic(E::imgDY1_7, "7s.gif"),
    pic(E::imgDY1_8, "8s.gif"),
    pic(E::imgDY1_9, "9s.gif"),
    pic(E::imgDY2_0, "0s.gif"),
    pic(E::imgDY2_1, "1s.gif"),
    pic(E::imgDY2_2, "2s.gif"),
    pic(E::imgDY2_3, "3s.gif"),
    pic(E::imgDY2_4, "4s.gif"),
    pic(E::imgDY2_5, "5s.gif"),
    pic(E::imgDY2_6, "6s.gif"),
    pic(E::imgDY2_7, "7s.gif"),
    pic(E::imgDY2_8, "8s.gif"),
    pic(E::imgDY2_9, "9s.gif"),
    pic(E::imgDY3_0, "0s.gif"),
    pic(E::imgDY3_1, "1s.gif"),
    pic(E::imgDY3_2, "2s.gif"),
    pic(E::imgDY3_3, "3s.gif"),
    pic(E::imgDY3_4, "4s.gif"),
    pic(E::imgDY3_5, "5s.gif"),
    pic(E::imgDY3_6, "6s.gif"),
    pic(E::imgDY3_7, "7s.gif"),
    pic(E::imgDY3_8, "8s.gif"),
    pic(E::imgDY3_9, "9s.gif"),
    pic(E::imgDY4_0, "0s.gif"),
    pic(E::imgDY4_1, "1s.gif"),
    pic(E::imgDY4_2, "2s.gif"),
    pic(E::imgDY4_3, "3s.gif"),
    pic(E::imgDY4_4, "4s.gif"),
    pic(E::imgDY4_5, "5s.gif"),
    pic(E::imgDY4_6, "6s.gif"),
    pic(E::imgDY4_7, "7s.gif"),
    pic(E::imgDY4_8, "8s.gif"),
    pic(E::imgDY4_9, "9s.gif"),
}};

std::uint64_t skinPixelBudget(double devicePixelRatio) {
    constexpr std::uint64_t faceArea = static_cast<std::uint64_t>(twipsToPixels(kFaceWidthTwips)) *
                                       static_cast<std::uint64_t>(twipsToPixels(kFaceHeightTwips));
    const double ratio = std::isfinite(devicePixelRatio) ? std::clamp(devicePixelRatio, 1.0, 8.0) : 1.0;
    return static_cast<std::uint64_t>(std::ceil(4.0 * static_cast<double>(faceArea) * ratio * ratio));
}

int firstRunEntry(int count) {
    return count >= 2 ? 1 : count - 1;
}

bool isDefaultSkin(std::string_view themePath) {
    const auto slash = themePath.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? themePath : themePath.substr(slash + 1);
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(name.begin(), name.end(), kDefaultSkin.begin(), kDefaultSkin.end(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

SkinOutcome afterSkinLoad(bool loaded, bool fallingBack, std::string_view themePath) {
    if (loaded)
        return SkinOutcome::Loaded;
    return fallingBack || isDefaultSkin(themePath) ? SkinOutcome::DefaultBroken : SkinOutcome::FallBack;
}

} // namespace morvantis
