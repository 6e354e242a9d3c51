#include "skins/SkinRules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace morvantis;

TEST(InfoLine, ColourFields) {
    const struct {
        const char* line;
        std::optional<std::uint32_t> rgb;
    } cases[] = {
        {"255 000 000 ", 0xff0000},
        {"020 030 020 A grey-green panel.", 0x141e14},
        {"  7   8   9", 0x070809}, // blanks around the digits
        {" 7  8   9 ", 0x070809},
        {"300 000 999", 0xff00ff}, // above 255 counts as 255
        {"001 002 03", 0x010203},  // a short line shortens blue
        {"001 002 3", 0x010203},
        {"001 002 ", std::nullopt}, // no blue at all
        {"001 002", std::nullopt},
        {"", std::nullopt},
        {"-01 000 000", std::nullopt}, // negative
        {"abc 000 000", std::nullopt},
        {"0x1 000 000", std::nullopt},
        {"1 2 000 000", std::nullopt}, // a blank inside the digits
        {"\x01\xff\xfe\x00\x10 binary", std::nullopt},
        {"+12 000 000", 0x0c0000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(infoColour(c.line), c.rgb) << '"' << c.line << '"';
}

TEST(InfoLine, DescriptionFromPositionThirteen) {
    EXPECT_EQ(infoDescription("020 030 020 A grey-green panel."), "A grey-green panel.");
    EXPECT_EQ(infoDescription("020 030 020 "), kNoDescription); // exactly 12 characters
    EXPECT_EQ(infoDescription("255 000 000"), kNoDescription);
    EXPECT_EQ(infoDescription(""), kNoDescription);
    EXPECT_EQ(infoDescription("020 030 020  "), " ");
    EXPECT_EQ(infoDescription("020 030 020 <b>bold</b>"), "<b>bold</b>");
}

TEST(LoadPlan, EveryElementOnceFromFortyFiles) {
    std::set<std::size_t> elements;
    std::set<std::string_view> files;
    int clears = 0, pictures = 0;
    for (const SkinStep& s : kSkinLoadPlan) {
        if (s.background) {
            EXPECT_EQ(s.file, "base.gif");
            files.insert(s.file);
            continue;
        }
        EXPECT_TRUE(elements.insert(index(s.element)).second) << info(s.element).name;
        if (s.file.empty()) {
            ++clears;
            EXPECT_NE(info(s.element).name.find("_Off"), std::string_view::npos) << info(s.element).name;
        } else {
            ++pictures;
            files.insert(s.file);
        }
    }
    EXPECT_EQ(elements.size(), kElementCount - 1); // all but the caption
    EXPECT_EQ(clears, 8);
    EXPECT_EQ(pictures, 135);
    EXPECT_EQ(files.size(), 40u); // beside info.txt
    EXPECT_TRUE(kSkinLoadPlan[0].background);
    EXPECT_EQ(kSkinLoadPlan[1].element, Element::imgLCD);
}

TEST(LoadPlan, DigitsGoToEveryElementOfTheirValue) {
    for (const SkinStep& s : kSkinLoadPlan) {
        if (s.background || s.file.empty())
            continue;
        const ElementInfo& e = info(s.element);
        if (e.set == FaceSet::None || e.set == FaceSet::Weekday || e.value < 0)
            continue;
        const bool small = e.set >= FaceSet::MonthTens;
        const std::string expected = std::to_string(e.value) + (small ? "s.gif" : ".gif");
        EXPECT_EQ(s.file, expected) << e.name;
    }
}

TEST(Messages, TextsAreExact) {
    EXPECT_EQ(skinLoadErrorText("/opt/clock/Skins/Blue"),
              "Error loading skin: \r\n\r\n/opt/clock/Skins/Blue.\r\n\r\nPlase check sking files.\r\nNow "
              "loading default skin.");
    EXPECT_EQ(kSkinLoadErrorTitle, "Error Loading Sking");
}

TEST(SkinSwitch, FirstRunEntryAndWhatFollowsALoad) {
    EXPECT_EQ(firstRunEntry(0), -1);
    EXPECT_EQ(firstRunEntry(1), 0);
    EXPECT_EQ(firstRunEntry(2), 1);
    EXPECT_EQ(firstRunEntry(5), 1);
    const struct {
        bool loaded, fallingBack;
        const char* path;
        SkinOutcome outcome;
    } cases[] = {
        {true, false, "/p/Skins/Blue", SkinOutcome::Loaded},
        {false, false, "/p/Skins/Blue", SkinOutcome::FallBack},
        {false, true, "/p/Skins/Blue", SkinOutcome::DefaultBroken},
        {false, false, "/p/Skins/Digital Age", SkinOutcome::DefaultBroken},
        {false, false, "C:\\p\\Skins\\DIGITAL AGE", SkinOutcome::DefaultBroken},
        {false, false, "/p/Skins/Digital Age 2", SkinOutcome::FallBack},
        {false, false, "/p/Digital Age/Blue", SkinOutcome::FallBack},
    };
    for (const auto& c : cases)
        EXPECT_EQ(afterSkinLoad(c.loaded, c.fallingBack, c.path), c.outcome) << c.path;
}
