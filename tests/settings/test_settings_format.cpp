#include "settings/SettingsFormat.h"

#include "alarm/AlarmMoment.h"
#include "support/AlarmSettings.h"
#include "support/FakeClock.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <set>

using namespace morvantis;
using morvantis::test::MemorySettingsStore;

namespace {

const std::string kFolder = "/opt/morvantis";

// Remembers which keys were asked for, in order.
class RecordingStore final : public SettingsStore {
public:
    std::optional<std::string> read(const std::string& section, const std::string& key) override {
        reads.push_back(section + "/" + key);
        return inner.read(section, key);
    }
    void write(const std::string& section, const std::string& key, const std::string& value) override {
        inner.write(section, key, value);
    }
    bool commit(std::string& error) override { return inner.commit(error); }
    MemorySettingsStore inner;
    std::vector<std::string> reads;
};

std::string stored(MemorySettingsStore& store, const std::string& key) {
    return store.read("StartUp", key).value_or("<absent>");
}

} // namespace

TEST(SettingsConversion, TruthValues) {
    // clang-format off
    const struct {
        const char* text;
        std::optional<bool> value;
    } cases[] = {
        {"True", true}, {"False", false}, {"TRUE", true}, {"false", false}, {"fAlSe", false},
        {" True ", true}, {"\tFalse\r\n", false}, {"0", false}, {"-1", true}, {"1", true}, {" 2 ", true},
        {"+3", true}, {"0.0", false}, {"-0", false}, {"0.5", true}, {"yes", {}}, {"", {}}, {"   ", {}},
        {"Tru", {}}, {"True False", {}}, {"1 2", {}}, {"nan", {}}, {"inf", {}}, {"1e999", {}}, {"0x1", {}},
        {"+True", {}}, {"+-1", {}}, {"2x", {}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(parseTruth(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(formatTruth(true), "True");
    EXPECT_EQ(formatTruth(false), "False");
}

TEST(SettingsConversion, Integers) {
    // clang-format off
    const struct {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"5", 5}, {"-1", -1}, {"32767", 32767}, {"-32768", -32768}, {" 12 ", 12}, {"\t7\t", 7}, {"+3", 3},
        {"007", 7}, {"-0", 0}, {"32768", {}}, {"-32769", {}}, {"65535", {}},
        {"99999999999999999999999", {}}, {"5.5", {}}, {"5.0", {}}, {"1e3", {}}, {"", {}}, {" ", {}},
        {"abc", {}}, {"12a", {}}, {"1 2", {}}, {"--1", {}}, {"+-1", {}}, {"True", {}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(formatInteger(-32768), "-32768");
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(7), "7");
}

TEST(SettingsConversion, PositionsReadAnyFiniteNumber) {
    // clang-format off
    const struct {
        const char* text;
        std::optional<float> value;
    } cases[] = {
        {"1500", 1500.0f}, {"1234.5", 1234.5f}, {" -300.25 ", -300.25f}, {"1.5e3", 1500.0f}, {"+15", 15.0f},
        {"0", 0.0f}, {"", {}}, {"abc", {}}, {"12px", {}}, {"nan", {}}, {"inf", {}}, {"-inf", {}}, {"1e39", {}},
        {"1,5", {}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(parsePosition(c.text), c.value) << '"' << c.text << '"';
}

TEST(SettingsConversion, PositionsWriteTheShortestTextThatReadsBackExactly) {
    EXPECT_EQ(formatPosition(1500.0f), "1500");
    EXPECT_EQ(formatPosition(1234.5f), "1234.5");
    EXPECT_EQ(formatPosition(-15.0f), "-15");
    EXPECT_EQ(formatPosition(0.1f), "0.1");
    for (float f : {0.1f, 1.0f / 3.0f, 16777216.0f, 16777217.0f, -7.123456f, 1e20f, 3.4028235e38f, 1e-30f}) {
        const auto back = parsePosition(formatPosition(f));
        ASSERT_TRUE(back.has_value()) << formatPosition(f);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(*back), std::bit_cast<std::uint32_t>(f)) << formatPosition(f);
    }
}

TEST(SettingsTable, KeysAreUniqueAndBothOrdersAreComplete) {
    std::set<std::string> names;
    for (const SettingKey& key : kSettingKeys)
        names.insert(std::string(key.name));
    EXPECT_EQ(names.size(), 39u);

    const std::vector<std::string> expected = {"Left",         "Top",
                                               "ShowSec",      "ShowMonth",
                                               "ShowDay",      "ShowDate",
                                               "ShowYear",     "SkinPath",
                                               "24Hours",      "AlarmPath",
                                               "SoundPath",    "Theme",
                                               "DefaultAlarm", "DefaultSound",
                                               "ShakeSpeed",   "HourlyPlay",
                                               "MusicHour",    "MusicMin",
                                               "MusicSec",     "MusicDay",
                                               "MusicCustom",  "MusicMonth",
                                               "MusicYear",    "MusicCustomBol",
                                               "MusicMessage", "MusicBolShake",
                                               "LightOn",      "GreenSign",
                                               "YellowSign",   "RedSign",
                                               "ThemePath",    "ThemeNo",
                                               "Blink",        "MusicAMPM",
                                               "KeepOnTop",    "AllWorkspaces",
                                               "StartAtLogin", "RingUntilAnswered"};
    std::vector<std::string> order;
    for (const SettingKey* key : readingOrder()) {
        ASSERT_NE(key, nullptr);
        order.emplace_back(key->name);
    }
    EXPECT_EQ(order, expected);
}

TEST(ReadSettings, FirstRunWithAnEmptyStore) {
    MemorySettingsStore store;
    Settings s;
    const StoredPosition position = readSettings(store, s, kFolder);

    Settings expected;
    expected.ShowSec = expected.ShowMonth = expected.ShowDay = expected.ShowDate = expected.ShowYear = true;
    expected.Hours24 = expected.DefaultAlarm = expected.DefaultSound = expected.HourlyPlay = expected.Blink =
        true;
    expected.SkinPath = kFolder + "/skins";
    expected.AlarmPath = kFolder + "/alarm.wav";
    expected.SoundPath = kFolder + "/alarm.wav";
    expected.Theme = "Digital";
    expected.ShakeSpeed = 5;
    expected.ThemeNo = 1;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(position.left, 1500.0f);
    EXPECT_EQ(position.top, 1500.0f);
    EXPECT_FALSE(s.LightOn);
}

TEST(ReadSettings, KeysAreReadOnceEachInReadingOrderAndPathNever) {
    RecordingStore store;
    Settings s;
    readSettings(store, s, kFolder);
    std::vector<std::string> expected;
    for (const SettingKey* key : readingOrder())
        expected.push_back("StartUp/" + std::string(key->name));
    EXPECT_EQ(store.reads, expected);
}

TEST(ReadSettings, StoredValuesOfEveryKind) {
    MemorySettingsStore store;
    // clang-format off
    const std::pair<const char*, const char*> values[] = {
        {"Left", " 2400.5 "},     {"Top", "-30"},          {"ShowSec", "False"},  {"ShowYear", "0"},
        {"SkinPath", "/x/skins"}, {"24Hours", "false"},    {"Theme", "  Blue  "}, {"ShakeSpeed", " 12 "},
        {"MusicHour", "7"},       {"MusicMin", "5"},       {"MusicSec", "0"},     {"MusicDay", "Friday"},
        {"MusicCustom", "a\nb"},  {"MusicMonth", "March"}, {"MusicYear", "2002"}, {"MusicAMPM", "PM"},
        {"LightOn", "-1"},        {"RedSign", "TRUE"},     {"ThemeNo", "-3"},     {"Blink", "False"},
        {"HourlyPlay", "false"},  {"Path", "/ignored"},
    };
    // clang-format on
    for (const auto& [key, text] : values)
        store.write("StartUp", key, text);
    Settings s;
    const StoredPosition position = readSettings(store, s, kFolder);
    EXPECT_EQ(position.left, 2400.5f);
    EXPECT_EQ(position.top, -30.0f);
    EXPECT_FALSE(s.ShowSec);
    EXPECT_TRUE(s.ShowMonth); // absent: default
    EXPECT_FALSE(s.ShowYear);
    EXPECT_EQ(s.SkinPath, "/x/skins");
    EXPECT_FALSE(s.Hours24);
    EXPECT_EQ(s.Theme, "  Blue  "); // texts are kept exactly
    EXPECT_EQ(s.ShakeSpeed, 12);
    EXPECT_EQ(s.alarm.hour, 19);
    EXPECT_EQ(s.alarm.minute, 5);
    EXPECT_EQ(s.alarm.message, "a\nb");
    EXPECT_TRUE(s.LightOn);
    EXPECT_EQ(s.alarm.importance, Importance::High);
    EXPECT_EQ(s.ThemeNo, -3);
    EXPECT_FALSE(s.Blink);
    EXPECT_FALSE(s.HourlyPlay);
}

TEST(ReadSettings, AValueThatDoesNotConvertKeepsTheCurrentValueNotTheDefault) {
    MemorySettingsStore store;
    store.write("StartUp", "ShowSec", "yes");
    store.write("StartUp", "Blink", "");
    store.write("StartUp", "ShakeSpeed", "40000");
    store.write("StartUp", "ThemeNo", "two");
    store.write("StartUp", "Left", "far left");

    Settings fresh;
    StoredPosition position = readSettings(store, fresh, kFolder);
    EXPECT_FALSE(fresh.ShowSec);
    EXPECT_FALSE(fresh.Blink);
    EXPECT_EQ(fresh.ShakeSpeed, 0);
    EXPECT_EQ(fresh.ThemeNo, 0);
    EXPECT_FALSE(position.left.has_value());
    EXPECT_EQ(position.top, 1500.0f);

    Settings held;
    held.ShowSec = true;
    held.ShakeSpeed = 9;
    readSettings(store, held, kFolder);
    EXPECT_TRUE(held.ShowSec);
    EXPECT_EQ(held.ShakeSpeed, 9);
}

TEST(ReadSettings, AbsentKeysWithoutDefault) {
    MemorySettingsStore store;
    Settings s;
    s.alarm = morvantis::test::alarmRecord(4, 0, 0, "AM");
    s.alarm.action = AlarmAction::Shake;
    s.ThemePath = "/old";
    readSettings(store, s, kFolder);
    EXPECT_EQ(dialHour(s.alarm).hour, 4); // numbers and truth values are skipped
    EXPECT_TRUE(s.alarm.acts(AlarmAction::Shake));
    EXPECT_EQ(s.alarm.weekday, Weekday::None); // texts become empty
    EXPECT_EQ(dialHour(s.alarm).mark, Meridiem::None);
    EXPECT_EQ(s.ThemePath, "");

    Settings fresh;
    readSettings(store, fresh, kFolder);
    EXPECT_EQ(dialHour(fresh.alarm).hour, 0);
}

TEST(ReadSettings, KeyLetterCaseDoesNotMatter) {
    for (const char* spelling : {"24hours", "24HOURS", "24Hours", "24hOuRs"}) {
        MemorySettingsStore store;
        store.write("StartUp", spelling, "False");
        Settings s;
        readSettings(store, s, kFolder);
        EXPECT_FALSE(s.Hours24) << spelling;
    }
}

TEST(WriteSettings, WritesEveryKeyInOrderThenCommits) {
    MemorySettingsStore first;
    Settings s;
    readSettings(first, s, kFolder);
    setDialHour(s.alarm, {7, Meridiem::PM});
    s.alarm.minute = 5;
    s.alarm.message = "line one\nline two";
    s.ShakeSpeed = -2;
    s.LightOn = true;

    MemorySettingsStore store;
    std::string error;
    ASSERT_TRUE(writeSettings(store, s, 1234.5f, 90.0f, kFolder, error));
    EXPECT_EQ(store.commits, 1);

    const std::vector<std::string> expectedOrder = {
        "Left",          "Top",          "ShowSec",           "ShowMonth",    "ShowDay",
        "ShowDate",      "ShowYear",     "SkinPath",          "24Hours",      "AlarmPath",
        "SoundPath",     "Theme",        "DefaultAlarm",      "DefaultSound", "ShakeSpeed",
        "MusicHour",     "MusicMin",     "MusicSec",          "MusicDay",     "MusicCustom",
        "MusicMonth",    "MusicYear",    "MusicCustomBol",    "MusicAMPM",    "MusicMessage",
        "MusicBolShake", "HourlyPlay",   "LightOn",           "GreenSign",    "YellowSign",
        "RedSign",       "ThemePath",    "ThemeNo",           "Blink",        "KeepOnTop",
        "AllWorkspaces", "StartAtLogin", "RingUntilAnswered", "Path"};
    EXPECT_EQ(store.writes, expectedOrder);
    EXPECT_EQ(store.size(), 39u);

    // clang-format off
    const std::pair<const char*, const char*> texts[] = {
        {"Left", "1234.5"}, {"Top", "90"}, {"ShowSec", "True"}, {"SkinPath", "/opt/morvantis/skins"},
        {"24Hours", "True"}, {"AlarmPath", "/opt/morvantis/alarm.wav"}, {"Theme", "Digital"},
        {"ShakeSpeed", "-2"}, {"MusicHour", "7"}, {"MusicMin", "5"}, {"MusicSec", "0"}, {"MusicDay", ""},
        {"MusicCustom", "line one\nline two"}, {"MusicAMPM", "PM"}, {"MusicBolShake", "False"},
        {"LightOn", "True"}, {"ThemeNo", "1"}, {"Path", "/opt/morvantis"},
    };
    // clang-format on
    for (const auto& [key, text] : texts)
        EXPECT_EQ(stored(store, key), text) << key;
}

TEST(WriteSettings, WhatIsWrittenReadsBackTheSame) {
    Settings s;
    s.ShowSec = true;
    s.Hours24 = false;
    s.SkinPath = " spaced ";
    s.ShakeSpeed = -32768;
    setDialHour(s.alarm, {32767, Meridiem::None});
    s.alarm.message = "\ttabbed \"quoted\"\r\n";
    s.alarm.importance = Importance::High;
    s.ThemeNo = 12;
    MemorySettingsStore store;
    std::string error;
    ASSERT_TRUE(writeSettings(store, s, -0.5f, 16777216.0f, kFolder, error));
    Settings back;
    const StoredPosition position = readSettings(store, back, kFolder);
    EXPECT_EQ(back, s);
    EXPECT_EQ(position.left, -0.5f);
    EXPECT_EQ(position.top, 16777216.0f);
}

TEST(AlarmTexts, EveryStoredSpellingReadsBackToTheSameRecordAndIsWrittenBackAsItWas) {
    // The fourteen keys in table order: hour, minute, second, day, message, month, year, the custom
    // flag, the mark, the window flag, the shake flag, green, yellow, red.
    const struct {
        const char* what;
        AlarmTexts texts;
        bool rings; // on some day from 2002 on
    } cases[] = {
        // clang-format off
        {"a record never set", {"0", "0", "0", "", "", "", "", "False", "", "False", "False", "False", "False", "False"}, false},
        {"midnight", {"12", "0", "0", "Sunday", "", "January", "2002", "False", "AM", "True", "False", "True", "False", "False"}, true},
        {"noon, a custom message", {"12", "0", "0", "Monday", "Tea\n\"now\"", "December", "2026", "True", "PM", "False", "False", "False", "True", "False"}, true},
        {"one second before midnight, shaking", {"11", "59", "59", "Saturday", "", "February", "2004", "False", "PM", "False", "True", "False", "False", "True"}, true},
        {"a year of three digits", {"7", "5", "0", "Friday", "", "March", "0999", "False", "AM", "True", "False", "True", "False", "False"}, false},
        {"Shake after Window: both flags", {"7", "5", "0", "Friday", "", "March", "2002", "False", "PM", "True", "True", "True", "False", "False"}, true},
        {"Custom after Window: both flags", {"7", "5", "0", "Friday", "x", "March", "2002", "True", "PM", "True", "False", "True", "False", "False"}, true},
        {"OK refused at the hour on a record never set", {"13", "0", "0", "", "", "", "", "False", "", "False", "False", "False", "False", "False"}, false},
        {"OK refused at the hour", {"0", "5", "0", "Friday", "", "March", "2002", "False", "PM", "True", "False", "True", "False", "False"}, false},
        {"OK refused at the minute", {"7", "75", "0", "Friday", "", "March", "2002", "False", "AM", "True", "False", "True", "False", "False"}, false},
        {"OK refused at the second", {"7", "5", "-1", "Friday", "", "March", "2002", "False", "AM", "True", "False", "True", "False", "False"}, false},
        {"a time with no date", {"7", "5", "0", "", "", "", "", "False", "AM", "False", "False", "False", "False", "False"}, false},
        {"the largest hour", {"32767", "-32768", "0", "Friday", "", "March", "2002", "False", "", "False", "False", "False", "False", "False"}, false},
        // clang-format on
    };
    const morvantis::test::FakeClock clock(2002, 1, 1, 0, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const AlarmRecord record = parseAlarm(c.texts);
        EXPECT_EQ(formatAlarm(record), c.texts);
        EXPECT_TRUE(parseAlarm(formatAlarm(record)) == record);
        // Through the store too: every key is read into the one record and written back.
        MemorySettingsStore store;
        for (const SettingKey& key : kSettingKeys)
            if (key.alarm != AlarmKey::Count)
                store.write("StartUp", std::string(key.name), c.texts[static_cast<std::size_t>(key.alarm)]);
        Settings s;
        readSettings(store, s, kFolder);
        EXPECT_TRUE(s.alarm == record);
        MemorySettingsStore back;
        std::string error;
        ASSERT_TRUE(writeSettings(back, s, 0, 0, kFolder, error));
        for (const SettingKey& key : kSettingKeys) {
            if (key.alarm != AlarmKey::Count) {
                EXPECT_EQ(stored(back, std::string(key.name)), c.texts[static_cast<std::size_t>(key.alarm)])
                    << key.name;
            }
        }
        EXPECT_EQ(nextAlarmMoment(record, clock, clock.now().epoch).has_value(), c.rings);
    }
}

TEST(WriteSettings, AFailedCommitIsReportedWithItsReason) {
    MemorySettingsStore store;
    store.failCommit = true;
    std::string error;
    EXPECT_FALSE(writeSettings(store, Settings{}, 0, 0, kFolder, error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(store.writes.size(), kSettingKeys.size());
}

TEST(ReformDefaultSounds, OnlyAMissingDefaultFollowsTheProgramFolder) {
    const std::string here = kFolder + "/alarm.wav";
    const std::string moved = "/old/place/alarm.wav";
    const std::string chosen = "/home/me/bell.wav";
    const std::set<std::string> files = {here, chosen};
    struct Case {
        bool isDefault;
        std::string stored, expected;
    };
    // clang-format off
    const Case cases[] = {
        {true,  moved,  here},   // the program moved: the default follows it
        {true,  "",     here},
        {true,  here,   here},
        {true,  chosen, chosen}, // an existing file is kept even under the default flag
        {false, moved,  moved},  // a chosen sound is never replaced, found or not
        {false, chosen, chosen},
    };
    // clang-format on
    for (const Case& c : cases) {
        for (const bool alarm : {true, false}) {
            Settings s;
            s.DefaultAlarm = alarm && c.isDefault;
            s.DefaultSound = !alarm && c.isDefault;
            s.AlarmPath = alarm ? c.stored : chosen;
            s.SoundPath = alarm ? moved : c.stored;
            reformDefaultSounds(s, kFolder, [&](const std::string& p) { return files.count(p) > 0; });
            SCOPED_TRACE((alarm ? "AlarmPath " : "SoundPath ") + c.stored);
            EXPECT_EQ(alarm ? s.AlarmPath : s.SoundPath, c.expected);
            // The other path has its flag off and stays as it was.
            EXPECT_EQ(alarm ? s.SoundPath : s.AlarmPath, alarm ? moved : chosen);
        }
    }
}
