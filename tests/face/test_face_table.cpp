#include "face/FaceElements.h"
#include "face/FaceModel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace morvantis;

namespace {
std::size_t pos(const char* name) {
    const std::size_t i = findElement(name);
    EXPECT_LT(i, kElementCount) << name;
    return i;
}
} // namespace

TEST(FaceTable, HoldsEveryElementOnceWithItsGeometry) {
    EXPECT_EQ(kElementCount, 144u); // 143 pictures and Label1
    std::set<std::string_view> names;
    for (const auto& e : kElements)
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
    for (const auto& e : kElements) {
        EXPECT_EQ(e.rect.left % kTwipsPerPixel, 0) << e.name;
        EXPECT_EQ(e.rect.width % kTwipsPerPixel, 0) << e.name;
        EXPECT_LE(e.rect.left + e.rect.width, kFaceWidthTwips) << e.name;
        EXPECT_LE(e.rect.top + e.rect.height, kFaceHeightTwips) << e.name;
    }
    const PixelRect ds2 = pixelRect(Element::imgDS2_4);
    EXPECT_EQ(ds2.x, 373);
    EXPECT_EQ(ds2.y, 70);
    EXPECT_EQ(ds2.width, 33);
    EXPECT_EQ(ds2.height, 47);
    EXPECT_EQ(pixelRect(Element::imgDMT1_Off).x + 1, pixelRect(Element::imgDMT1_1).x);
    EXPECT_EQ(pixelRect(Element::imgDDT1_2).x, pixelRect(Element::imgDDT1_3).x + 1);
    EXPECT_EQ(pixelRect(Element::Label1).width, 273);
}

TEST(FaceTable, SetsHoldTheirMembersAndValues) {
    const struct {
        FaceSet set;
        std::size_t size;
        const char* blank;
    } sets[] = {
        {FaceSet::HourTens, 4, "imgDH1_Off"},   {FaceSet::HourUnits, 10, nullptr},
        {FaceSet::MinuteTens, 6, nullptr},      {FaceSet::MinuteUnits, 10, nullptr},
        {FaceSet::SecondTens, 6, nullptr},      {FaceSet::SecondUnits, 10, nullptr},
        {FaceSet::DayTens, 4, "imgDDT1_Off"},   {FaceSet::DayUnits, 10, nullptr},
        {FaceSet::MonthTens, 2, "imgDMT1_Off"}, {FaceSet::MonthUnits, 10, nullptr},
        {FaceSet::YearThousands, 10, nullptr},  {FaceSet::Weekday, 7, nullptr},
    };
    std::size_t inSets = 0;
    for (std::size_t s = 1; s < kSets.size(); ++s)
        inSets += kSets[s].size;
    EXPECT_EQ(inSets, 119u); // the digit and weekday sets, imgDH1_0 included
    for (const auto& c : sets) {
        EXPECT_EQ(setInfo(c.set).size, c.size) << static_cast<int>(c.set);
        if (c.blank) {
            EXPECT_EQ(setInfo(c.set).byValue[0], static_cast<int>(pos(c.blank)));
        }
    }
    // imgDH1_0 belongs to the hour tens but nothing ever chooses it; imgDH2_Off belongs to no set.
    for (int v : setInfo(FaceSet::HourTens).byValue)
        EXPECT_NE(v, static_cast<int>(pos("imgDH1_0")));
    EXPECT_EQ(setInfo(FaceSet::HourTens).byValue[3], -1);
    EXPECT_EQ(info(Element::imgDH2_Off).set, FaceSet::None);
    EXPECT_EQ(setInfo(FaceSet::MinuteTens).byValue[6], -1);
    EXPECT_EQ(setInfo(FaceSet::DayTens).byValue[4], -1);
    EXPECT_EQ(setInfo(FaceSet::MonthTens).byValue[2], -1);
}

TEST(FaceTable, StackingOrderFrontToBack) {
    const char* inOrder[][4] = {
        {"Label1", "imgPM", "imgPM_Off", "imgLCD"},
        {"imgLight", "imgLight_Off", "imgLCD", nullptr},
        {"imgAlarmButP", "imgAlarmBut", nullptr, nullptr},
        {"imgExitButP", "imgExitBut", nullptr, nullptr},
        {"imgDH2_9", "imgDH2_0", "imgDH2_Off", "imgLCD"},
        {"imgDM1_2", "imgDM1_0", "imgDM1_1", nullptr},
        {"imgDH1_2", "imgDH1_1", "imgDH1_Off", "imgDH1_0"},
        {"imgDDT1_3", "imgDDT1_2", "imgDDT1_1", "imgDDT1_Off"},
        {"imgDMT1_1", "imgDMT1_Off", nullptr, nullptr},
        {"imgDD_WED", "imgDD_TUE", "imgDD_THU", "imgDD_SUN"},
        {"imgDD_SUN", "imgDD_SAT", "imgDD_MON", "imgDD_FRI"},
        {"imgDDot", "imgDDot_Off", "imgDDot2", "imgDDot2_Off"},
        {"imgDY4_9", "imgDY4_0", nullptr, nullptr},
    };
    for (const auto& row : inOrder)
        for (int i = 0; i + 1 < 4 && row[i + 1]; ++i)
            EXPECT_LT(pos(row[i]), pos(row[i + 1])) << row[i] << " before " << row[i + 1];
    EXPECT_EQ(pos("imgLCD"), kElementCount - 1);
}

TEST(FaceModel, InitialVisibilityAndChangeTracking) {
    FaceModel face;
    std::size_t hidden = 0;
    for (std::size_t i = 0; i < kElementCount; ++i)
        hidden += !face.isVisible(elementAt(i));
    EXPECT_EQ(hidden, 9u); // AM, PM, the light and six pressed buttons
    EXPECT_FALSE(face.isVisible(Element::imgLight));
    EXPECT_TRUE(face.isVisible(Element::imgLight_Off));
    EXPECT_TRUE(face.isVisible(Element::imgDH1_0));

    EXPECT_TRUE(face.takeChanges().none() && !face.backgroundChanged());
    face.show(Element::imgDDot); // already visible: no change
    EXPECT_TRUE(face.takeChanges().none() && !face.backgroundChanged());
    face.showOnly(FaceSet::MonthTens, Element::imgDMT1_1);
    auto changes = face.takeChanges();
    EXPECT_EQ(changes.count(), 1u);
    EXPECT_TRUE(changes.test(index(Element::imgDMT1_Off)));
    EXPECT_TRUE(face.takeChanges().none() && !face.backgroundChanged());

    face.setCaptionColor(0xff0000);
    EXPECT_TRUE(face.takeChanges().test(index(Element::Label1)));
}
