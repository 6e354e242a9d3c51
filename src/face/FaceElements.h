#pragma once

#include "platform/Twips.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace morvantis {

// The sets of elements that show one display position each.
enum class FaceSet : std::uint8_t {
    None,
    HourTens,
    HourUnits,
    MinuteTens,
    MinuteUnits,
    SecondTens,
    SecondUnits,
    MonthTens,
    MonthUnits,
    DayTens,
    DayUnits,
    Weekday,
    YearThousands,
    YearHundreds,
    YearTens,
    YearUnits,
    Count
};

// Member values: a digit 0..9 or a weekday 0 (Sunday) .. 6, or one of these.
inline constexpr int kNone = -1;  // not a set member
inline constexpr int kBlank = -2; // the blank member: what a tens digit 0 shows
inline constexpr int kNever = -3; // a member that rendering only ever hides (imgDH1_0)

// Every element of the face, front to back: the order is the stacking order.
// X(name, left, top, width, height in twips, initially visible, set, value)
// clang-format off
#define MORVANTIS_FACE_ELEMENTS(X) \
    X(Label1, 2280, 720, 4095, 255, true, None, kNone) \
    X(imgPM, 2280, 1620, 285, 150, false, None, kNone) \
    X(imgAM, 2280, 1410, 285, 150, false, None, kNone) \
    X(imgLight, 600, 495, 255, 255, false, None, kNone) \
    X(imgAlarmButP, 915, 450, 750, 345, false, None, kNone) \
    X(imgMontButP, 6960, 495, 1365, 180, false, None, kNone) \
    X(imgDateButP, 6960, 960, 1365, 180, false, None, kNone) \
    X(imgYearButP, 6960, 1470, 1365, 180, false, None, kNone) \
    X(imgOptButP, 375, 2280, 1275, 330, false, None, kNone) \
    X(imgExitButP, 7005, 2505, 1275, 330, false, None, kNone) \
    X(imgAlarmBut, 915, 450, 750, 345, true, None, kNone) \
    X(imgMontBut, 6960, 495, 1365, 180, true, None, kNone) \
    X(imgDateBut, 6960, 960, 1365, 180, true, None, kNone) \
    X(imgYearBut, 6960, 1470, 1365, 180, true, None, kNone) \
    X(imgOptBut, 375, 2280, 1275, 330, true, None, kNone) \
    X(imgExitBut, 7005, 2505, 1275, 330, true, None, kNone) \
    X(imgDH1_2, 2670, 1050, 495, 705, true, HourTens, 2) \
    X(imgDH1_1, 2670, 1050, 495, 705, true, HourTens, 1) \
    X(imgDH1_Off, 2670, 1050, 495, 705, true, HourTens, kBlank) \
    X(imgDH1_0, 2670, 1050, 495, 705, true, HourTens, kNever) \
    X(imgDH2_9, 3165, 1050, 495, 705, true, HourUnits, 9) \
    X(imgDH2_8, 3165, 1050, 495, 705, true, HourUnits, 8) \
    X(imgDH2_7, 3165, 1050, 495, 705, true, HourUnits, 7) \
    X(imgDH2_6, 3165, 1050, 495, 705, true, HourUnits, 6) \
    X(imgDH2_5, 3165, 1050, 495, 705, true, HourUnits, 5) \
    X(imgDH2_4, 3165, 1050, 495, 705, true, HourUnits, 4) \
    X(imgDH2_3, 3165, 1050, 495, 705, true, HourUnits, 3) \
    X(imgDH2_2, 3165, 1050, 495, 705, true, HourUnits, 2) \
    X(imgDH2_1, 3165, 1050, 495, 705, true, HourUnits, 1) \
    X(imgDH2_0, 3165, 1050, 495, 705, true, HourUnits, 0) \
    X(imgDH2_Off, 3165, 1050, 495, 705, true, None, kNone) \
    X(imgDDot, 3675, 1365, 150, 315, true, None, kNone) \
    X(imgDDot_Off, 3675, 1365, 150, 315, true, None, kNone) \
    X(imgDM1_5, 3885, 1050, 495, 705, true, MinuteTens, 5) \
    X(imgDM1_4, 3885, 1050, 495, 705, true, MinuteTens, 4) \
    X(imgDM1_3, 3885, 1050, 495, 705, true, MinuteTens, 3) \
    X(imgDM1_2, 3885, 1050, 495, 705, true, MinuteTens, 2) \
    X(imgDM1_0, 3885, 1050, 495, 705, true, MinuteTens, 0) \
    X(imgDM1_1, 3885, 1050, 495, 705, true, MinuteTens, 1) \
    X(imgDM2_9, 4380, 1050, 495, 705, true, MinuteUnits, 9) \
    X(imgDM2_8, 4380, 1050, 495, 705, true, MinuteUnits, 8) \
    X(imgDM2_7, 4380, 1050, 495, 705, true, MinuteUnits, 7) \
    X(imgDM2_6, 4380, 1050, 495, 705, true, MinuteUnits, 6) \
    X(imgDM2_5, 4380, 1050, 495, 705, true, MinuteUnits, 5) \
    X(imgDM2_4, 4380, 1050, 495, 705, true, MinuteUnits, 4) \
    X(imgDM2_3, 4380, 1050, 495, 705, true, MinuteUnits, 3) \
    X(imgDM2_2, 4380, 1050, 495, 705, true, MinuteUnits, 2) \
    X(imgDM2_1, 4380, 1050, 495, 705, true, MinuteUnits, 1) \
    X(imgDM2_0, 4380, 1050, 495, 705, true, MinuteUnits, 0) \
    X(imgDDot2, 4890, 1365, 150, 315, true, None, kNone) \
    X(imgDDot2_Off, 4890, 1365, 150, 315, true, None, kNone) \
    X(imgDS1_5, 5100, 1050, 495, 705, true, SecondTens, 5) \
    X(imgDS1_4, 5100, 1050, 495, 705, true, SecondTens, 4) \
    X(imgDS1_3, 5100, 1050, 495, 705, true, SecondTens, 3) \
    X(imgDS1_2, 5100, 1050, 495, 705, true, SecondTens, 2) \
    X(imgDS1_1, 5100, 1050, 495, 705, true, SecondTens, 1) \
    X(imgDS1_0, 5100, 1050, 495, 705, true, SecondTens, 0) \
    X(imgDS2_9, 5595, 1050, 495, 705, true, SecondUnits, 9) \
    X(imgDS2_8, 5595, 1050, 495, 705, true, SecondUnits, 8) \
    X(imgDS2_7, 5595, 1050, 495, 705, true, SecondUnits, 7) \
    X(imgDS2_6, 5595, 1050, 495, 705, true, SecondUnits, 6) \
    X(imgDS2_5, 5595, 1050, 495, 705, true, SecondUnits, 5) \
    X(imgDS2_4, 5595, 1050, 495, 705, true, SecondUnits, 4) \
    X(imgDS2_3, 5595, 1050, 495, 705, true, SecondUnits, 3) \
    X(imgDS2_2, 5595, 1050, 495, 705, true, SecondUnits, 2) \
    X(imgDS2_1, 5595, 1050, 495, 705, true, SecondUnits, 1) \
    X(imgDS2_0, 5595, 1050, 495, 705, true, SecondUnits, 0) \
    X(imgDMT1_1, 2265, 2130, 240, 330, true, MonthTens, 1) \
    X(imgDMT1_Off, 2250, 2130, 240, 330, true, MonthTens, kBlank) \
    X(imgDMT2_9, 2505, 2130, 240, 330, true, MonthUnits, 9) \
    X(imgDMT2_8, 2505, 2130, 240, 330, true, MonthUnits, 8) \
    X(imgDMT2_7, 2505, 2130, 240, 330, true, MonthUnits, 7) \
    X(imgDMT2_6, 2505, 2130, 240, 330, true, MonthUnits, 6) \
    X(imgDMT2_5, 2505, 2130, 240, 330, true, MonthUnits, 5) \
    X(imgDMT2_4, 2505, 2130, 240, 330, true, MonthUnits, 4) \
    X(imgDMT2_3, 2505, 2130, 240, 330, true, MonthUnits, 3) \
    X(imgDMT2_2, 2505, 2130, 240, 330, true, MonthUnits, 2) \
    X(imgDMT2_1, 2505, 2130, 240, 330, true, MonthUnits, 1) \
    X(imgDMT2_0, 2505, 2130, 240, 330, true, MonthUnits, 0) \
    X(imgDDT1_3, 3135, 2130, 240, 330, true, DayTens, 3) \
    X(imgDDT1_2, 3150, 2130, 240, 330, true, DayTens, 2) \
    X(imgDDT1_1, 3135, 2130, 240, 330, true, DayTens, 1) \
    X(imgDDT1_Off, 3135, 2130, 240, 330, true, DayTens, kBlank) \
    X(imgDDT2_9, 3375, 2130, 240, 330, true, DayUnits, 9) \
    X(imgDDT2_8, 3375, 2130, 240, 330, true, DayUnits, 8) \
    X(imgDDT2_7, 3375, 2130, 240, 330, true, DayUnits, 7) \
    X(imgDDT2_6, 3375, 2130, 240, 330, true, DayUnits, 6) \
    X(imgDDT2_5, 3375, 2130, 240, 330, true, DayUnits, 5) \
    X(imgDDT2_4, 3375, 2130, 240, 330, true, DayUnits, 4) \
    X(imgDDT2_3, 3375, 2130, 240, 330, true, DayUnits, 3) \
    X(imgDDT2_2, 3375, 2130, 240, 330, true, DayUnits, 2) \
    X(imgDDT2_1, 3375, 2130, 240, 330, true, DayUnits, 1) \
    X(imgDDT2_0, 3375, 2130, 240, 330, true, DayUnits, 0) \
    X(imgDD_WED, 4185, 2130, 735, 330, true, Weekday, 3) \
    X(imgDD_TUE, 4185, 2130, 735, 330, true, Weekday, 2) \
    X(imgDD_THU, 4185, 2130, 735, 330, true, Weekday, 4) \
    X(imgDD_SUN, 4185, 2130, 735, 330, true, Weekday, 0) \
    X(imgDD_SAT, 4185, 2130, 735, 330, true, Weekday, 6) \
    X(imgDD_MON, 4185, 2130, 735, 330, true, Weekday, 1) \
    X(imgDD_FRI, 4185, 2130, 735, 330, true, Weekday, 5) \
    X(imgDY1_9, 5295, 2130, 240, 330, true, YearThousands, 9) \
    X(imgDY1_8, 5295, 2130, 240, 330, true, YearThousands, 8) \
    X(imgDY1_7, 5295, 2130, 240, 330, true, YearThousands, 7) \
    X(imgDY1_6, 5295, 2130, 240, 330, true, YearThousands, 6) \
    X(imgDY1_5, 5295, 2130, 240, 330, true, YearThousands, 5) \
    X(imgDY1_4, 5295, 2130, 240, 330, true, YearThousands, 4) \
    X(imgDY1_3, 5295, 2130, 240, 330, true, YearThousands, 3) \
    X(imgDY1_2, 5295, 2130, 240, 330, true, YearThousands, 2) \
    X(imgDY1_1, 5295, 2130, 240, 330, true, YearThousands, 1) \
    X(imgDY1_0, 5295, 2130, 240, 330, true, YearThousands, 0) \
    X(imgDY2_9, 5535, 2130, 240, 330, true, YearHundreds, 9) \
    X(imgDY2_8, 5535, 2130, 240, 330, true, YearHundreds, 8) \
    X(imgDY2_7, 5535, 2130, 240, 330, true, YearHundreds, 7) \
    X(imgDY2_6, 5535, 2130, 240, 330, true, YearHundreds, 6) \
    X(imgDY2_5, 5535, 2130, 240, 330, true, YearHundreds, 5) \
    X(imgDY2_4, 5535, 2130, 240, 330, true, YearHundreds, 4) \
    X(imgDY2_3, 5535, 2130, 240, 330, true, YearHundreds, 3) \
    X(imgDY2_2, 5535, 2130, 240, 330, true, YearHundreds, 2) \
    X(imgDY2_1, 5535, 2130, 240, 330, true, YearHundreds, 1) \
    X(imgDY2_0, 5535, 2130, 240, 330, true, YearHundreds, 0) \
    X(imgDY3_9, 5790, 2130, 240, 330, true, YearTens, 9) \
    X(imgDY3_8, 5790, 2130, 240, 330, true, YearTens, 8) \
    X(imgDY3_7, 5790, 2130, 240, 330, true, YearTens, 7) \
    X(imgDY3_6, 5790, 2130, 240, 330, true, YearTens, 6) \
    X(imgDY3_5, 5790, 2130, 240, 330, true, YearTens, 5) \
    X(imgDY3_4, 5790, 2130, 240, 330, true, YearTens, 4) \
    X(imgDY3_3, 5790, 2130, 240, 330, true, YearTens, 3) \
    X(imgDY3_2, 5790, 2130, 240, 330, true, YearTens, 2) \
    X(imgDY3_1, 5790, 2130, 240, 330, true, YearTens, 1) \
    X(imgDY3_0, 5790, 2130, 240, 330, true, YearTens, 0) \
    X(imgDY4_9, 6045, 2130, 240, 330, true, YearUnits, 9) \
    X(imgDY4_8, 6045, 2130, 240, 330, true, YearUnits, 8) \
    X(imgDY4_7, 6045, 2130, 240, 330, true, YearUnits, 7) \
    X(imgDY4_6, 6045, 2130, 240, 330, true, YearUnits, 6) \
    X(imgDY4_5, 6045, 2130, 240, 330, true, YearUnits, 5) \
    X(imgDY4_4, 6045, 2130, 240, 330, true, YearUnits, 4) \
    X(imgDY4_3, 6045, 2130, 240, 330, true, YearUnits, 3) \
    X(imgDY4_2, 6045, 2130, 240, 330, true, YearUnits, 2) \
    X(imgDY4_1, 6045, 2130, 240, 330, true, YearUnits, 1) \
    X(imgDY4_0, 6045, 2130, 240, 330, true, YearUnits, 0) \
    X(imgPM_Off, 2280, 1620, 285, 150, true, None, kNone) \
    X(imgAM_Off, 2280, 1410, 285, 150, true, None, kNone) \
    X(imgLight_Off, 600, 495, 255, 255, true, None, kNone) \
    X(imgLCD, 2130, 615, 4320, 2010, true, None, kNone)
// clang-format on

enum class Element : std::uint8_t {
#define MORVANTIS_ENUM(name, l, t, w, h, vis, set, value) name,
    MORVANTIS_FACE_ELEMENTS(MORVANTIS_ENUM)
#undef MORVANTIS_ENUM
};

struct TwipsRect {
    int left, top, width, height;
};

struct ElementInfo {
    std::string_view name;
    TwipsRect rect;
    bool initiallyVisible;
    FaceSet set;
    int value;
};

inline constexpr std::array kElements = {
#define MORVANTIS_INFO(name, l, t, w, h, vis, set, value)                                                    \
    ElementInfo{#name, {l, t, w, h}, vis, FaceSet::set, value},
    MORVANTIS_FACE_ELEMENTS(MORVANTIS_INFO)
#undef MORVANTIS_INFO
};

inline constexpr std::size_t kElementCount = kElements.size();
inline constexpr int kFaceWidthTwips = 8625;
inline constexpr int kFaceHeightTwips = 3600;

constexpr std::size_t index(Element e) {
    return static_cast<std::size_t>(e);
}
constexpr const ElementInfo& info(Element e) {
    return kElements[index(e)];
}
constexpr Element elementAt(std::size_t i) {
    return static_cast<Element>(i);
}
// The face's six buttons, in the order of their menu: the menu entry's object name and caption
// (an ampersand marks its key) and the name a screen reader gives the button.
struct FaceButton {
    Element element;
    const char* menuName;
    const char* caption;
    const char* accessibleName;
};
inline constexpr FaceButton kFaceButtons[] = {
    {Element::imgAlarmBut, "mnuAlarm", "&Alarm", "Alarm"},
    {Element::imgOptBut, "mnuOptions", "&Options", "Options"},
    {Element::imgMontBut, "mnuSkins", "&Skins", "Skins"},
    {Element::imgYearBut, "mnuAbout", "A&bout", "About"},
    {Element::imgDateBut, "mnuSayTime", "Say &Time", "Say Time"},
    {Element::imgExitBut, "mnuExit", "E&xit", "Exit"},
};
inline constexpr std::size_t kFaceButtonCount = std::size(kFaceButtons);

// The button's place in kFaceButtons, or kFaceButtonCount when the element is no button.
constexpr std::size_t findFaceButton(Element e) {
    std::size_t i = 0;
    while (i < kFaceButtonCount && kFaceButtons[i].element != e)
        ++i;
    return i;
}

// Element by name, or kElementCount when there is none.
constexpr std::size_t findElement(std::string_view name) {
    for (std::size_t i = 0; i < kElementCount; ++i)
        if (kElements[i].name == name)
            return i;
    return kElementCount;
}

// A set's members (front to back) and the member that shows each value.
struct SetInfo {
    static constexpr std::size_t MaxMembers = 11;
    std::array<Element, MaxMembers> members{};
    std::size_t size = 0;
    std::array<int, 10> byValue{}; // element index per value 0..9, -1 when the set cannot show it
};

constexpr SetInfo makeSetInfo(FaceSet set) {
    SetInfo s;
    for (auto& v : s.byValue)
        v = -1;
    for (std::size_t i = 0; i < kElementCount; ++i) {
        const ElementInfo& e = kElements[i];
        if (e.set != set)
            continue;
        s.members[s.size++] = elementAt(i);
        if (e.value >= 0)
            s.byValue[static_cast<std::size_t>(e.value)] = static_cast<int>(i);
        else if (e.value == kBlank)
            s.byValue[0] = static_cast<int>(i);
    }
    return s;
}

inline constexpr std::array<SetInfo, static_cast<std::size_t>(FaceSet::Count)> kSets = [] {
    std::array<SetInfo, static_cast<std::size_t>(FaceSet::Count)> sets{};
    for (std::size_t s = 1; s < sets.size(); ++s)
        sets[s] = makeSetInfo(static_cast<FaceSet>(s));
    return sets;
}();

constexpr const SetInfo& setInfo(FaceSet set) {
    return kSets[static_cast<std::size_t>(set)];
}

// Pixel rectangle at 96 dots per inch.
struct PixelRect {
    int x, y, width, height;
};
constexpr PixelRect pixelRect(Element e) {
    const TwipsRect& r = info(e).rect;
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height)};
}

} // namespace morvantis
