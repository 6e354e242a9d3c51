#include "platform/Sound.h"
#include "sound/SpokenTime.h"
#include "support/FakeClock.h"
#include "support/FakeSound.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace morvantis;
using morvantis::test::FakeClock;
using morvantis::test::FakeSound;

namespace {

// The words a speaker would say for a number from 1 to 59.
std::string english(int n) {
    static const char* const ones[] = {"",        "one",     "two",       "three",    "four",
                                       "five",    "six",     "seven",     "eight",    "nine",
                                       "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                       "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const tens[] = {"", "", "twenty", "thirty", "forty", "fifty"};
    if (n < 20)
        return ones[n];
    return std::string(tens[n / 10]) + (n % 10 ? std::string(" ") + ones[n % 10] : "");
}

// The file that holds a spoken word.
std::string fileOf(const std::string& word) {
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> m{{"time", "time"}, {"AM", "AM"}, {"PM", "pm"}};
        for (int n = 1; n <= 20; ++n)
            m[english(n)] = std::to_string(n);
        for (int n = 30; n <= 50; n += 10)
            m[english(n)] = std::to_string(n);
        return m;
    }();
    return "/prog\\wave\\" + files.at(word) + ".WAV";
}

// What is said at hour:minute, as files.
std::vector<std::string> expected(int hour, int minute) {
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    std::istringstream words("time " + english(h12) + " " + (minute ? english(minute) + " " : "") +
                             (hour < 12 ? "AM" : "PM"));
    std::vector<std::string> files;
    for (std::string w; words >> w;)
        files.push_back(fileOf(w));
    return files;
}

std::vector<std::string> spoken(FakeClock& clock, FakeSound& sound) {
    sound.played.clear();
    int done = 0;
    sayTime(clock, sound, "/prog", [&] { ++done; });
    // One word at a time: the next is asked for only once the player tells the last one's end.
    for (std::size_t heard = 0; sound.playing(); ++heard) {
        EXPECT_EQ(sound.played.size(), heard + 1);
        EXPECT_EQ(done, 0);
        sound.end();
    }
    EXPECT_EQ(done, 1);
    std::vector<std::string> paths;
    for (const auto& r : sound.played) {
        EXPECT_TRUE(r.tellsEnd);
        paths.push_back(r.path);
    }
    return paths;
}

} // namespace

TEST(SpokenTime, EveryMinuteOfTheDay) {
    FakeClock clock;
    FakeSound sound;
    for (int hour = 0; hour < 24; ++hour)
        for (int minute = 0; minute < 60; ++minute) {
            clock.set(2001, 9, 23, hour, minute, 30);
            ASSERT_EQ(spoken(clock, sound), expected(hour, minute)) << hour << ":" << minute;
        }
}

TEST(SpokenTime, ExamplesAndAnHourThatChangesWhileItSpeaks) {
    struct Case {
        int hour, minute, second;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {21, 21, 0, {"time", "nine", "twenty", "one", "PM"}},
        {0, 0, 0, {"time", "twelve", "AM"}},
        {12, 30, 0, {"time", "twelve", "thirty", "PM"}},
        {1, 5, 0, {"time", "one", "five", "AM"}},
        {13, 15, 0, {"time", "one", "fifteen", "PM"}},
        {18, 40, 0, {"time", "six", "forty", "PM"}},
        // Each word takes a second here: the minute is read at 10:00:00, after the hour word.
        {9, 59, 58, {"time", "nine", "AM"}},
    };
    FakeClock clock;
    FakeSound sound;
    sound.onPlay = [&](const std::string&, Sound::Mode) { clock.advance(1); };
    for (const Case& c : cases) {
        clock.set(2001, 9, 23, c.hour, c.minute, c.second);
        std::vector<std::string> files;
        for (const std::string& w : c.words)
            files.push_back(fileOf(w));
        EXPECT_EQ(spoken(clock, sound), files) << c.hour << ":" << c.minute << ":" << c.second;
    }
}

TEST(SpokenTime, WordsCutShortByAStopEndThereAndSayNothingMore) {
    FakeClock clock{2001, 9, 23, 21, 21, 0};
    FakeSound sound;
    bool done = false;
    sayTime(clock, sound, "/prog", [&] { done = true; });
    sound.end();  // "time"
    sound.stop(); // during "nine": the program ends, say
    EXPECT_FALSE(sound.end());
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_FALSE(done);
}
