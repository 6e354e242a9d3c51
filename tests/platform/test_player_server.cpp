// The real player on the sound servers desktops run, heard whole; and against a server that
// goes away, comes late or hangs: each request finds the server as it is then, and nothing
// waits on it without a bound.
#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "support/SoundCheck.h"
#include "support/WaveFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>

using namespace morvantis;
using namespace morvantis::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kToneHz = 440.0;
constexpr double kToneSeconds = 0.5;

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Whether a recording (from its start) holds the test tone, whole.
testing::AssertionResult holdsTone(const Recorder& recorder) {
    recorder.waitFor(recorder.secondsAt(Clock::now()) + 0.2);
    const auto found = findSegments(recorder.mono());
    for (const Segment& s : found)
        if (hasTone(s, kToneHz) && std::abs(s.length - kToneSeconds) < 0.03)
            return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the tone is not in the recording:\n" << describe(found);
}

class PlayerServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.running())
            GTEST_SKIP() << "PulseAudio could not start (" << server.why() << "): the player is not heard";
        tone = folder + "/tone.wav";
        ASSERT_TRUE(writeTone(tone, kToneHz, kToneSeconds));
    }

    // Plays the tone synchronously and says whether the server heard it.
    testing::AssertionResult heard(Sound& sound) {
        const Recorder recorder(server);
        if (!recorder.waitFor(0.2))
            return testing::AssertionFailure() << "parec records nothing";
        sound.play(tone, Sound::Mode::Synchronous);
        return holdsTone(recorder);
    }

    PulseServer server;
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString();
    QtFiles files{folder};
    std::string tone;
};

} // namespace

TEST_F(PlayerServer, AServerRestartedIsUsedByTheNextSound) {
    LazySound sound(files, MORVANTIS_PLAYER_MODULE);
    ASSERT_TRUE(heard(sound));
    server.stop();
    // Away for five seconds, while the clock keeps asking for sounds.
    for (const auto back = Clock::now() + 5s; Clock::now() < back;) {
        sound.play(tone, Sound::Mode::Synchronous);
        std::this_thread::sleep_for(500ms);
    }
    ASSERT_TRUE(server.start()) << server.why();
    EXPECT_TRUE(heard(sound));
}

TEST_F(PlayerServer, AServerThatStartsAfterTheFirstSoundIsUsed) {
    server.stop();
    LazySound sound(files, MORVANTIS_PLAYER_MODULE);
    sound.play(tone, Sound::Mode::Synchronous); // silent: no server yet
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(server.start()) << server.why();
    EXPECT_TRUE(heard(sound));
}

// A server frozen mid-sound, on a sink at its own long latency and on a short one.
class FrozenServer : public testing::TestWithParam<ServerSetup> {};

TEST_P(FrozenServer, HoldsNothingUp) {
    PulseServer server(GetParam());
    if (!server.running())
        GTEST_SKIP() << "PulseAudio could not start (" << server.why() << "): the player is not heard";
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string tone = folder + "/tone.wav", longSound = folder + "/long.wav";
    ASSERT_TRUE(writeTone(tone, kToneHz, kToneSeconds));
    ASSERT_TRUE(writeTone(longSound, kToneHz, 20.0, 8000));
    // The sink keeps its own latency: the recorder asks none.
    const Recorder recorder(server, 0);
    ASSERT_TRUE(recorder.waitFor(0.2)) << "parec records nothing";
    const auto playSound = [&](const std::string& file, const std::string& name) {
        return spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, file}, server.environment(),
                     folder + "/" + name + ".out", folder + "/" + name + ".err");
    };
    const int playing = playSound(longSound, "playing");
    ASSERT_GT(playing, 0);
    // Frozen while the long sound plays (a sink at its own latency starts it up to 2 s late).
    bool sounding = false;
    for (const auto until = Clock::now() + 8s; !sounding && Clock::now() < until;) {
        std::this_thread::sleep_for(50ms);
        sounding = !findSegments(recorder.mono()).empty();
    }
    ASSERT_TRUE(sounding) << "the long sound is not heard";
    server.freeze();
    const auto frozen = Clock::now();

    // A synchronous request to the frozen server is given up, and said so.
    const int asking = playSound(tone, "asking");
    ASSERT_GT(asking, 0);
    // And one the session ends meanwhile ends at once.
    const int ended = playSound(longSound, "ended");
    ASSERT_GT(ended, 0);
    std::this_thread::sleep_for(500ms); // the session ends half a second in: the scenario's timing
    ::kill(ended, SIGTERM);
    EXPECT_EQ(exitWithin(ended, 1s), 0);

    EXPECT_EQ(exitWithin(asking, 6s), 0);
    const auto took = linesOf(folder + "/asking.out");
    ASSERT_EQ(took.size(), 1u);
    EXPECT_LT(std::stod(took[0]), 4000.0);
    // The sound playing when it froze is given up within the bound as well, however long the
    // sink's buffer.
    EXPECT_EQ(exitWithin(playing, 6s), 0);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - frozen).count(), 4.0);
    for (const char* name : {"asking", "playing"}) {
        const auto said = linesOf(folder + "/" + name + ".err");
        ASSERT_EQ(said.size(), 1u) << name;
        EXPECT_EQ(said[0], "morvantis: sounds are not played: the sound server does not answer") << name;
    }
    server.thaw();
}

INSTANTIATE_TEST_SUITE_P(Sinks, FrozenServer,
                         testing::Values(ServerSetup::PulseDefaultLatency, ServerSetup::PulseNoRewinds),
                         [](const auto& info) { return std::string(setupName(info.param)); });

// What is heard on each server set-up: the spoken time's words as one phrase, a short chime
// played twenty times in a row whole each time, the alarm sound whole, and no server taken
// for gone. The sounds are played as the clock plays them, one synchronous request after
// another; half a second of silence parts them in the recording.
class EverySetup : public testing::TestWithParam<ServerSetup> {};

TEST_P(EverySetup, SoundsAreHeardWholeAndTheWordsAsOnePhrase) {
    const auto server = startServer(GetParam());
    if (!server->running())
        GTEST_SKIP() << setupName(GetParam()) << " could not start here (" << server->why() << ")";
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string waves = MORVANTIS_SOURCE_DIR "/data/wave/",
                      alarm = MORVANTIS_SOURCE_DIR "/data/alarm.wav";
    const std::string silence = folder + "/silence.wav", chime = folder + "/chime.wav";
    constexpr double kChimeHz = 1000.0, kChimeSeconds = 0.15;
    constexpr int kChimes = 20;
    ASSERT_TRUE(writeTone(silence, 0.0, 0.5, 22050));
    ASSERT_TRUE(writeTone(chime, kChimeHz, kChimeSeconds, 22050));
    std::vector<std::string> argv = {MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE};
    for (const char* w : {"time", "9", "20", "1", "pm"})
        argv.push_back(waves + w + ".WAV");
    argv.push_back(silence);
    argv.insert(argv.end(), kChimes, chime);
    argv.push_back(silence);
    argv.push_back(alarm);
    // A word missing from the phrase: the alert in its place, and the next word right after it.
    argv.push_back(silence);
    argv.push_back(folder + "/missing.wav");
    argv.push_back(waves + "time.WAV");

    const Recorder recorder(*server, 0);
    ASSERT_TRUE(recorder.waitFor(0.2)) << "parec records nothing";
    const int pid = spawn(argv, server->environment(), {}, folder + "/err");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(exitWithin(pid, 40s), 0);
    EXPECT_TRUE(linesOf(folder + "/err").empty()) << linesOf(folder + "/err").front();

    // The four parts, recorded to their end.
    std::vector<float> mono;
    std::vector<Segment> parts;
    for (const auto until = Clock::now() + 10s; Clock::now() < until; std::this_thread::sleep_for(100ms)) {
        mono = recorder.mono();
        parts = findSegments(mono, kRecordRate, 0.3);
        if (parts.size() >= 4 && static_cast<double>(mono.size()) / kRecordRate > parts.back().end() + 0.3)
            break;
    }
    ASSERT_EQ(parts.size(), 4u) << describe(parts);
    const auto within = [&](const Segment& part, double minGap) {
        std::vector<Segment> found;
        for (Segment& s : findSegments(mono, kRecordRate, minGap))
            if (s.start >= part.start - 1e-6 && s.end() <= part.end() + 1e-6)
                found.push_back(std::move(s));
        return found;
    };

    // Five words in order, no silence of 50 ms between them.
    std::vector<Word> words;
    for (const QString& name : QDir(QString::fromStdString(waves)).entryList({"*.WAV"}))
        words.push_back({QFileInfo(name).baseName().toStdString(), readSound(waves + name.toStdString())});
    const auto phrase = within(parts[0], 0.050);
    ASSERT_EQ(phrase.size(), 1u) << describe(phrase);
    std::string said;
    for (const Segment& s : within(parts[0], 0.001)) {
        if (!said.empty())
            said += '+';
        said += nameWords(mono, s, words);
    }
    EXPECT_EQ(said, "time+9+20+1+pm") << describe(within(parts[0], 0.001));

    // Twenty chimes, each whole (chimes heard without a gap between them are counted together).
    int chimes = 0;
    for (const Segment& s : within(parts[1], 0.001)) {
        const int n = static_cast<int>(std::lround(s.length / kChimeSeconds));
        EXPECT_GE(n, 1) << describe({s});
        EXPECT_NEAR(s.length, n * kChimeSeconds, 0.005 * std::max(n, 1)) << describe({s});
        EXPECT_TRUE(hasTone(s, kChimeHz)) << describe({s});
        chimes += n;
    }
    EXPECT_EQ(chimes, kChimes) << describe(within(parts[1], 0.001));

    // The alarm sound whole.
    EXPECT_NEAR(parts[2].length, static_cast<double>(readSound(alarm).size()) / kRecordRate, 0.03)
        << describe({parts[2]});

    // The alert and the word after it, one phrase too.
    EXPECT_EQ(within(parts[3], 0.050).size(), 1u) << describe(within(parts[3], 0.001));
}

INSTANTIATE_TEST_SUITE_P(Servers, EverySetup,
                         testing::Values(ServerSetup::PulseDefaultLatency, ServerSetup::PulseNoRewinds,
                                         ServerSetup::PipeWire),
                         [](const auto& info) { return std::string(setupName(info.param)); });

TEST(PlayerThroughPipeWire, ASoundIsHeard) {
    PipeWireServer pipewire;
    if (!pipewire.running())
        GTEST_SKIP() << "PipeWire could not start here (" << pipewire.why() << ")";
    QTemporaryDir dir;
    const std::string tone = dir.path().toStdString() + "/tone.wav";
    ASSERT_TRUE(writeTone(tone, kToneHz, kToneSeconds));
    const Recorder recorder(pipewire);
    ASSERT_TRUE(recorder.waitFor(0.2)) << "parec records nothing";
    const std::string err = dir.path().toStdString() + "/err";
    const int pid = spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, tone},
                          pipewire.environment(), {}, err);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(exitWithin(pid, 5s), 0);
    EXPECT_TRUE(holdsTone(recorder));
    EXPECT_TRUE(linesOf(err).empty());
}
