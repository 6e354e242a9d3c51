// The real player, heard through a PulseAudio null sink of the test's own.
#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "platform/WaveDecoder.h"
#include "support/SoundCheck.h"
#include "support/WaveFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>

using namespace morvantis;
using namespace morvantis::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class WavePlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new PulseServer();
        if (server->running())
            recorder = new Recorder(*server);
        dir = new QTemporaryDir();
        files = new QtFiles(dir->path().toStdString());
        sound = new LazySound(*files, MORVANTIS_PLAYER_MODULE);
    }
    static void TearDownTestSuite() {
        delete sound;
        delete files;
        delete dir;
        delete recorder;
        delete server;
    }
    void SetUp() override {
        if (!server->running())
            GTEST_SKIP() << "PulseAudio could not start (" << server->why() << "): the player is not heard";
        ASSERT_TRUE(recorder->waitFor(0.2)) << "parec records nothing";
    }
    // Silence between the cases, so that each is recorded as a sound of its own.
    static void pause() { std::this_thread::sleep_for(150ms); }
    static std::string at(const std::string& name) {
        return dir->filePath(QString::fromStdString(name)).toStdString();
    }
    static Clock::time_point now() { return Clock::now(); }
    // A moment's place in the recording. Asked late, when the recorder knows best how long
    // its samples took to arrive.
    static double place(Clock::time_point t) { return recorder->secondsAt(t); }
    // The sounds recorded from a moment on, once the recording has run past it by `after`.
    static std::vector<Segment> since(Clock::time_point t, double after = 0.3) {
        recorder->waitFor(place(Clock::now()) + after);
        const double from = place(t) - 0.05; // the arrival times vary by some milliseconds
        std::vector<Segment> found;
        for (Segment& s : findSegments(recorder->mono()))
            if (s.start >= from)
                found.push_back(std::move(s));
        return found;
    }

    static PulseServer* server;
    static Recorder* recorder;
    static QTemporaryDir* dir;
    static QtFiles* files;
    static LazySound* sound;
};
PulseServer* WavePlayerTest::server = nullptr;
Recorder* WavePlayerTest::recorder = nullptr;
QTemporaryDir* WavePlayerTest::dir = nullptr;
QtFiles* WavePlayerTest::files = nullptr;
LazySound* WavePlayerTest::sound = nullptr;

bool isAlert(const Segment& s) {
    return std::abs(s.length - 2 * kAlertToneSeconds) < 0.03 && hasTone(s, kAlertHighHz) &&
           hasTone(s, kAlertLowHz);
}

} // namespace

TEST_F(WavePlayerTest, SynchronousPlaysWholeAndReturnsWhenHeard) {
    struct Case {
        double seconds;
        double hz;
        int rate;
        int channels;
        int subformat;
        const char* name;  // as written
        const char* asked; // as asked for: "\" separators, another case
    };
    std::filesystem::create_directory(at("Tones"));
    const Case cases[] = {
        {1.0, 440.0, 44100, 1, SF_FORMAT_PCM_16, "Tones/a440.wav", "Tones\\a440.wav"},
        {0.4, 660.0, 22050, 2, SF_FORMAT_PCM_24, "Tones/B660.WAV", "tones\\b660.wav"},
        {0.3, 523.0, 8000, 1, SF_FORMAT_PCM_U8, "c523.wav", "C523.Wav"},
        {0.3, 784.0, 48000, 2, SF_FORMAT_FLOAT, "g784.wav", "g784.wav"},
        {0.15, 1000.0, 32000, 1, SF_FORMAT_PCM_32, "short.wav", "short.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeTone(at(c.name), c.hz, c.seconds, c.rate, c.channels, c.subformat));
        pause();
        const auto called = now();
        sound->play(dir->path().toStdString() + "\\" + c.asked, Sound::Mode::Synchronous);
        const auto returned = now();
        const auto found = since(called);
        ASSERT_EQ(found.size(), 1u) << describe(found);
        EXPECT_NEAR(found[0].length, c.seconds, 0.03) << describe(found);
        EXPECT_TRUE(hasTone(found[0], c.hz)) << describe(found);
        // Heard to its end before returning, and not much later.
        EXPECT_GE(place(returned), found[0].end() - 0.02);
        EXPECT_LE(place(returned), found[0].end() + 0.1);
    }
}

TEST_F(WavePlayerTest, AsynchronousReturnsAtOnceAndANewRequestCutsTheOld) {
    ASSERT_TRUE(writeTone(at("long.wav"), 440.0, 1.0));
    ASSERT_TRUE(writeTone(at("next.wav"), 660.0, 0.3));
    pause();
    const auto called = now();
    sound->play(at("long.wav"), Sound::Mode::Asynchronous);
    const auto returned = now();
    std::this_thread::sleep_for(400ms);
    sound->play(at("next.wav"), Sound::Mode::Synchronous);
    const auto found = since(called);
    double first = 0, second = 0;
    for (const Segment& s : found)
        for (const Tone& t : s.tones) {
            if (std::abs(t.hz - 440.0) < 13.0)
                first += t.length;
            if (std::abs(t.hz - 660.0) < 20.0)
                second += t.length;
        }
    EXPECT_GT(first, 0.2) << describe(found);
    EXPECT_LT(first, 0.55) << describe(found);
    // Returned while its sound had only begun (how soon is for scripts/measure-sound).
    ASSERT_FALSE(found.empty());
    EXPECT_LT(place(returned), found[0].start + 0.1) << describe(found);
    EXPECT_GT(second, 0.2) << describe(found);

    // An asynchronous sound plays whole when nothing follows it.
    pause();
    const auto again = now();
    sound->play(at("long.wav"), Sound::Mode::Asynchronous);
    std::this_thread::sleep_for(1200ms);
    const auto whole = since(again);
    ASSERT_EQ(whole.size(), 1u) << describe(whole);
    EXPECT_NEAR(whole[0].length, 1.0, 0.03);
}

TEST_F(WavePlayerTest, WhatCannotBePlayedGivesTheBuiltInAlert) {
    ASSERT_TRUE(writeTone(at("ok.wav"), 440.0, 0.5, 8000));
    std::ifstream in(at("ok.wav"), std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Cut so short that what decodes is only a click.
    std::ofstream(at("crumb.wav"), std::ios::binary) << good.substr(0, good.find("data") + 8 + 40);
    std::ofstream(at("empty.wav"), std::ios::binary);
    std::ofstream(at("words.wav")) << "no sound here\n";
    ASSERT_TRUE(writeTone(at("nothing.wav"), 440.0, 0.0));
    std::filesystem::create_directory(at("folder.wav"));
    // Eleven minutes at 8 kHz: past the ten-minute limit.
    ASSERT_TRUE(writeTone(at("endless.wav"), 440.0, 660.0, 8000, 1, SF_FORMAT_PCM_U8));

    const std::string bad[] = {at("missing.wav"), "",
                               at("folder.wav"),  at("words.wav"),
                               at("crumb.wav"),   at("empty.wav"),
                               at("nothing.wav"), at("endless.wav")};
    for (const std::string& path : bad) {
        SCOPED_TRACE(path);
        pause();
        const auto called = now();
        sound->play(path, Sound::Mode::Synchronous);
        const auto returned = now();
        const auto found = since(called);
        ASSERT_EQ(found.size(), 1u) << describe(found);
        EXPECT_TRUE(isAlert(found[0])) << describe(found);
        EXPECT_GE(place(returned), found[0].end() - 0.02);
    }
    // The asynchronous request gives it too.
    pause();
    const auto called = now();
    sound->play(at("missing.wav"), Sound::Mode::Asynchronous);
    std::this_thread::sleep_for(800ms);
    const auto found = since(called);
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_TRUE(isAlert(found[0])) << describe(found);
}

TEST_F(WavePlayerTest, AnInterruptEndsASynchronousSoundAndSkipsTheNext) {
    ASSERT_TRUE(writeTone(at("chime.wav"), 440.0, 2.0));
    pause();
    const auto called = now();
    const auto until = called + 400ms; // as a signal handler's flag would be set meanwhile
    sound->setInterrupt([until] { return Clock::now() >= until; });
    sound->play(at("chime.wav"), Sound::Mode::Synchronous);
    sound->play(at("chime.wav"), Sound::Mode::Synchronous); // while interrupted: nothing
    const auto returned = now();
    sound->setInterrupt({});
    const auto found = since(called);
    ASSERT_EQ(found.size(), 1u) << describe(found);
    // Cut within a poll of the interrupt (and the recording's own latency).
    EXPECT_LT(found[0].end(), place(until) + 0.15) << describe(found);
    EXPECT_LT(place(returned), place(until) + 0.1);
}

TEST(WavePlayerWithoutServer, ReturnsAtOnceAndSaysSoOnce) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    ASSERT_TRUE(writeTone(folder + "/tone.wav", 440.0, 1.0));
    std::filesystem::create_directory(folder + "/run");
    std::ofstream(folder + "/client.conf") << "autospawn = no\n";
    const int pid = spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, folder + "/tone.wav",
                           folder + "/missing.wav", folder + "/tone.wav"},
                          {"PULSE_SERVER=unix:" + folder + "/run/none", "XDG_RUNTIME_DIR=" + folder + "/run",
                           "PULSE_CLIENTCONFIG=" + folder + "/client.conf"},
                          folder + "/out", folder + "/err");
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream out(folder + "/out");
    std::vector<double> took;
    for (double ms; out >> ms;)
        took.push_back(ms);
    ASSERT_EQ(took.size(), 3u);
    EXPECT_LT(took[0], 1000.0); // loads the player first
    EXPECT_LT(took[1], 100.0);
    EXPECT_LT(took[2], 100.0);
    std::ifstream err(folder + "/err");
    std::vector<std::string> lines;
    for (std::string line; std::getline(err, line);)
        if (line.rfind("morvantis:", 0) == 0)
            lines.push_back(line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("sounds are not played"), std::string::npos) << lines[0];
}
