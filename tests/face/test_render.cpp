#include "face/TimeRenderer.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace morvantis;
using morvantis::test::FakeClock;

namespace {

RenderOptions options(bool showSec, bool hours24, DateFields fields = {}) {
    return {showSec, hours24, fields};
}

// The visible member of each set, or "-" when none, or "*" when several.
std::string visibleIn(const FaceModel& face, FaceSet set) {
    std::string found = "-";
    const SetInfo& s = setInfo(set);
    for (std::size_t i = 0; i < s.size; ++i)
        if (face.isVisible(s.members[i]))
            found = found == "-" ? std::string(info(s.members[i]).name) : "*";
    return found;
}

std::size_t visibleSetMembers(const FaceModel& face) {
    std::size_t n = 0;
    for (std::size_t s = 1; s < kSets.size(); ++s)
        for (std::size_t i = 0; i < kSets[s].size; ++i)
            n += face.isVisible(kSets[s].members[i]);
    return n;
}

FaceModel rendered(int h, int m, int s, const RenderOptions& o, int y = 2001, int mo = 9, int d = 23) {
    FakeClock clock(y, mo, d, h, m, s);
    FaceModel face;
    renderFace(face, readFaceTexts(clock), o);
    return face;
}

} // namespace

TEST(Render, HoursInBothStyles) {
    const struct {
        int h, m, s;
        bool hours24;
        const char* tens;
        const char* units;
        bool am, pm;
    } cases[] = {
        {0, 5, 9, false, "imgDH1_1", "imgDH2_2", true, false}, // 12 AM
        {0, 5, 9, true, "imgDH1_Off", "imgDH2_0", false, false},
        {12, 0, 0, false, "imgDH1_1", "imgDH2_2", false, true},
        {13, 45, 7, false, "imgDH1_Off", "imgDH2_1", false, true},
        {13, 45, 7, true, "imgDH1_1", "imgDH2_3", false, false},
        {9, 0, 0, false, "imgDH1_Off", "imgDH2_9", true, false},
        {11, 59, 59, false, "imgDH1_1", "imgDH2_1", true, false},
        {20, 0, 0, true, "imgDH1_2", "imgDH2_0", false, false},
        {23, 59, 59, true, "imgDH1_2", "imgDH2_3", false, false},
        {20, 0, 0, false, "imgDH1_Off", "imgDH2_8", false, true},
        {23, 59, 59, false, "imgDH1_1", "imgDH2_1", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.h) + (c.hours24 ? " 24h" : " 12h"));
        const FaceModel face = rendered(c.h, c.m, c.s, options(true, c.hours24));
        EXPECT_EQ(visibleIn(face, FaceSet::HourTens), c.tens);
        EXPECT_EQ(visibleIn(face, FaceSet::HourUnits), c.units);
        EXPECT_EQ(face.isVisible(Element::imgAM), c.am);
        EXPECT_EQ(face.isVisible(Element::imgPM), c.pm);
        EXPECT_FALSE(face.isVisible(Element::imgDH1_0));
        EXPECT_TRUE(face.isVisible(Element::imgDH2_Off)); // nothing switches it
    }
}

TEST(Render, TwelveHourStyleNeverShowsTwentyTens) {
    for (int h = 0; h < 24; ++h)
        EXPECT_NE(visibleIn(rendered(h, 30, 0, options(true, false)), FaceSet::HourTens), "imgDH1_2") << h;
}

TEST(Render, MinutesSecondsAndDateFields) {
    const struct {
        int y, mo, d, h, m, s;
        std::vector<const char*> visible;
    } cases[] = {
        {2001,
         9,
         7,
         10,
         5,
         0,
         {"imgDM1_0", "imgDM2_5", "imgDS1_0", "imgDS2_0", "imgDDT1_Off", "imgDDT2_7", "imgDMT1_Off",
          "imgDMT2_9", "imgDD_FRI"}},
        {2001,
         12,
         30,
         10,
         59,
         41,
         {"imgDM1_5", "imgDM2_9", "imgDS1_4", "imgDS2_1", "imgDDT1_3", "imgDDT2_0", "imgDMT1_1", "imgDMT2_2",
          "imgDD_SUN"}},
        {2001,
         9,
         23,
         13,
         45,
         7,
         {"imgDY1_2", "imgDY2_0", "imgDY3_0", "imgDY4_1", "imgDD_SUN", "imgDDT1_2", "imgDDT2_3"}},
        {2026,
         12,
         12,
         0,
         0,
         0,
         {"imgDY1_2", "imgDY2_0", "imgDY3_2", "imgDY4_6", "imgDD_SAT", "imgDDT1_1", "imgDDT2_2", "imgDMT1_1",
          "imgDMT2_2"}},
    };
    for (const auto& c : cases) {
        const FaceModel face = rendered(c.h, c.m, c.s, options(true, true), c.y, c.mo, c.d);
        for (const char* name : c.visible)
            EXPECT_TRUE(face.isVisible(elementAt(findElement(name)))) << name;
        EXPECT_EQ(visibleSetMembers(face), 15u);
    }
}

TEST(Render, HiddenFieldsAndVisibleCounts) {
    FaceModel face = rendered(13, 45, 7, options(true, true));
    EXPECT_EQ(visibleSetMembers(face), 15u);

    face = rendered(13, 45, 7, options(false, true));
    EXPECT_EQ(visibleSetMembers(face), 13u);
    EXPECT_EQ(visibleIn(face, FaceSet::SecondTens), "-");
    EXPECT_FALSE(face.isVisible(Element::imgDDot2));
    EXPECT_FALSE(face.isVisible(Element::imgDDot2_Off));
    EXPECT_TRUE(face.isVisible(Element::imgDDot));

    face = rendered(13, 45, 7, options(false, false, {false, false, false, false}));
    EXPECT_EQ(visibleSetMembers(face), 4u);
    EXPECT_NE(visibleIn(face, FaceSet::HourTens), "-");
    EXPECT_NE(visibleIn(face, FaceSet::MinuteUnits), "-");

    const struct {
        DateFields fields;
        FaceSet hiddenSet;
    } fields[] = {{{false, true, true, true}, FaceSet::YearHundreds},
                  {{true, false, true, true}, FaceSet::Weekday},
                  {{true, true, false, true}, FaceSet::DayTens},
                  {{true, true, true, false}, FaceSet::MonthTens}};
    for (const auto& f : fields) {
        face = rendered(13, 45, 7, options(true, true, f.fields));
        EXPECT_EQ(visibleIn(face, f.hiddenSet), "-");
        EXPECT_EQ(visibleSetMembers(face), f.hiddenSet == FaceSet::YearHundreds ? 11u
                                           : f.hiddenSet == FaceSet::Weekday    ? 14u
                                                                                : 13u);
    }
}

TEST(Render, SecondsOffHideTheSecondsColonAfterEveryTick) {
    FakeClock clock(2001, 9, 23, 13, 45, 7);
    FaceModel face;
    renderFace(face, readFaceTexts(clock), options(false, true));
    face.show(Element::imgDDot2); // as switching blinking off does
    renderFace(face, readFaceTexts(clock), options(false, true));
    EXPECT_FALSE(face.isVisible(Element::imgDDot2));
}

TEST(Render, ShowingAFieldAgainAfterHidingIt) {
    FakeClock clock(2001, 9, 23, 13, 45, 7);
    FaceModel face;
    renderFace(face, readFaceTexts(clock), options(true, true, {true, true, true, false}));
    EXPECT_EQ(visibleIn(face, FaceSet::MonthUnits), "-");
    renderFace(face, readFaceTexts(clock), options(true, true));
    EXPECT_EQ(visibleIn(face, FaceSet::MonthUnits), "imgDMT2_9");
    EXPECT_EQ(visibleIn(face, FaceSet::MonthTens), "imgDMT1_Off");
}

TEST(Render, UnmatchedCharactersLeaveTheirSetAsItWas) {
    FakeClock clock(2001, 9, 23, 13, 45, 7);
    FaceTexts texts = readFaceTexts(clock);
    texts.weekday = ClockText();
    texts.weekday.append("dim."); // another language's Sunday
    texts.minute = ClockText();
    texts.minute.append("7x"); // 7 is beyond the minute tens, x no digit at all
    texts.hourAmPm = ClockText();
    texts.hourAmPm.append("01 p.m.");
    FaceModel face;
    renderFace(face, texts, options(true, false));
    EXPECT_EQ(visibleIn(face, FaceSet::Weekday), "*");
    for (std::size_t i = 0; i < setInfo(FaceSet::Weekday).size; ++i)
        EXPECT_TRUE(face.isVisible(setInfo(FaceSet::Weekday).members[i]));
    EXPECT_EQ(visibleIn(face, FaceSet::MinuteTens), "*");
    EXPECT_EQ(visibleIn(face, FaceSet::MinuteUnits), "*");
    // Other sets are rendered all the same; a designator not starting with "P" shows AM.
    EXPECT_EQ(visibleIn(face, FaceSet::SecondUnits), "imgDS2_7");
    EXPECT_EQ(visibleIn(face, FaceSet::HourUnits), "imgDH2_1");
    EXPECT_TRUE(face.isVisible(Element::imgAM));
    EXPECT_FALSE(face.isVisible(Element::imgPM));

    // A weekday that matches in another letter case is shown.
    texts.weekday = ClockText();
    texts.weekday.append("SUN");
    renderFace(face, texts, options(true, false));
    EXPECT_EQ(visibleIn(face, FaceSet::Weekday), "imgDD_SUN");
}

TEST(Render, EachTextComesFromAFreshReading) {
    FakeClock clock(2001, 9, 23, 13, 45, 7);
    readFaceTexts(clock);
    EXPECT_EQ(clock.readings(), 8);
}

TEST(Blink, ColonsStayInStep) {
    FaceModel face;
    face.hide(Element::imgDDot); // out of step, as after the seconds were switched back on
    blinkColons(face, true);
    EXPECT_EQ(face.isVisible(Element::imgDDot), face.isVisible(Element::imgDDot2));
    for (int i = 0; i < 4; ++i) {
        const bool before = face.isVisible(Element::imgDDot2);
        blinkColons(face, true);
        EXPECT_NE(face.isVisible(Element::imgDDot2), before);
        EXPECT_EQ(face.isVisible(Element::imgDDot), face.isVisible(Element::imgDDot2));
    }
}

TEST(Blink, WithoutSecondsOnlyTheFirstColonBlinks) {
    FaceModel face;
    face.hide(Element::imgDDot2);
    for (int i = 0; i < 4; ++i) {
        const bool before = face.isVisible(Element::imgDDot);
        blinkColons(face, false);
        EXPECT_NE(face.isVisible(Element::imgDDot), before);
        EXPECT_FALSE(face.isVisible(Element::imgDDot2));
    }
}
