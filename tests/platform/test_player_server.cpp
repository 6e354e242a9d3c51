// The real player against a sound server that goes away, comes late or hangs: each request
// finds the server as it is then, and nothing waits on it without a bound.
#include "platform/LazySound.h"
#include "platform/QtFiles.h"
#include "support/SoundCheck.h"
#include "support/WaveFiles.h"

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

// The exit status of a child that ends within the bound; nothing (and the child killed) if not.
std::optional<int> exitWithin(int pid, std::chrono::milliseconds bound) {
    const auto until = Clock::now() + bound;
    for (;;) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (Clock::now() > until)
            break;
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return std::nullopt;
}

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

TEST_F(PlayerServer, AFrozenServerHoldsNothingUp) {
    const std::string longSound = folder + "/long.wav";
    ASSERT_TRUE(writeTone(longSound, kToneHz, 20.0, 8000));
    const Recorder recorder(server);
    ASSERT_TRUE(recorder.waitFor(0.2)) << "parec records nothing";
    const int playing = spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, longSound},
                              server.environment(), folder + "/playing.out", folder + "/playing.err");
    ASSERT_GT(playing, 0);
    // Frozen while the long sound plays.
    bool sounding = false;
    for (const auto until = Clock::now() + 5s; !sounding && Clock::now() < until;) {
        std::this_thread::sleep_for(50ms);
        sounding = !findSegments(recorder.mono()).empty();
    }
    ASSERT_TRUE(sounding) << "the long sound is not heard";
    server.freeze();

    // A synchronous request to the frozen server is given up, and said so.
    const int asking = spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, tone},
                             server.environment(), folder + "/asking.out", folder + "/asking.err");
    ASSERT_GT(asking, 0);
    EXPECT_EQ(exitWithin(asking, 6s), 0);
    const auto took = linesOf(folder + "/asking.out");
    ASSERT_EQ(took.size(), 1u);
    EXPECT_LT(std::stod(took[0]), 4000.0);
    const auto said = linesOf(folder + "/asking.err");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("morvantis: sounds are not played: ", 0), 0u) << said[0];

    // The program playing to it ends when told to.
    ::kill(playing, SIGTERM);
    EXPECT_EQ(exitWithin(playing, 3s), 0);
    server.thaw();
}

namespace {

// PipeWire with its pulse server and session manager, on a private runtime folder and session
// bus, with a null sink "testsink" as the default.
class PipeWire {
public:
    PipeWire() {
        char pattern[] = "/tmp/morvantis-pipewire-XXXXXX";
        if (!mkdtemp(pattern)) {
            m_why = "no temporary folder";
            return;
        }
        m_folder = pattern;
        ::mkdir((m_folder + "/config").c_str(), 0700);
        m_env = {"XDG_RUNTIME_DIR=" + m_folder,
                 "HOME=" + m_folder,
                 "XDG_CONFIG_HOME=" + m_folder + "/config",
                 "PULSE_SERVER=unix:" + m_folder + "/pulse/native",
                 "DBUS_SESSION_BUS_ADDRESS=unix:path=" + m_folder + "/bus",
                 "PULSE_COOKIE=" + m_folder + "/config/pulse/cookie",
                 "PULSE_RUNTIME_PATH=" + m_folder + "/pulse"};
        // The session manager needs a session bus.
        const int bus =
            spawn({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + m_folder + "/bus"}, m_env,
                  {}, m_folder + "/dbus.log");
        if (bus <= 0) {
            m_why = "dbus-daemon does not start";
            return;
        }
        m_pids.push_back(bus);
        if (!until([&] { return ::access((m_folder + "/bus").c_str(), F_OK) == 0; }, "the session bus"))
            return;
        for (const char* program : {"pipewire", "wireplumber", "pipewire-pulse"}) {
            const int pid = spawn({program}, m_env, {}, m_folder + "/" + program + ".log");
            if (pid <= 0) {
                m_why = std::string(program) + " does not start";
                return;
            }
            m_pids.push_back(pid);
        }
        if (!until([&] { return run({"pactl", "info"}); }, "the pulse server"))
            return;
        if (!run({"pactl", "load-module", "module-null-sink", "sink_name=testsink", "rate=44100",
                  "channels=2"})) {
            m_why = "no null sink";
            return;
        }
        // The default is kept by the session manager: once it sticks, that one is up as well.
        if (!until(
                [&] {
                    return run({"pactl", "set-default-sink", "testsink"}) &&
                           run({"sh", "-c", "pactl get-default-sink | grep -qx testsink"});
                },
                "the session manager"))
            return;
        m_running = true;
    }
    ~PipeWire() {
        for (auto it = m_pids.rbegin(); it != m_pids.rend(); ++it) {
            ::kill(*it, SIGTERM);
            if (!exitWithin(*it, 2s))
                ADD_FAILURE() << "a PipeWire process did not end";
        }
        if (!m_folder.empty())
            std::system(("rm -rf '" + m_folder + "'").c_str());
    }
    bool running() const { return m_running; }
    const std::string& why() const { return m_why; }
    const std::vector<std::string>& environment() const { return m_env; }

private:
    bool run(const std::vector<std::string>& argv) {
        const int pid = spawn(argv, m_env);
        return pid > 0 && exitWithin(pid, 5s) == 0;
    }
    template <typename Ready> bool until(Ready ready, const char* what) {
        for (const auto limit = Clock::now() + 10s; Clock::now() < limit; std::this_thread::sleep_for(100ms))
            if (ready())
                return true;
        m_why = std::string(what) + " is not up after 10 s";
        return false;
    }

    std::string m_folder;
    std::string m_why;
    std::vector<std::string> m_env;
    std::vector<int> m_pids;
    bool m_running = false;
};

} // namespace

TEST(PlayerThroughPipeWire, ASoundIsHeard) {
    PipeWire pipewire;
    if (!pipewire.running())
        GTEST_SKIP() << "PipeWire could not start here (" << pipewire.why() << ")";
    QTemporaryDir dir;
    const std::string tone = dir.path().toStdString() + "/tone.wav";
    ASSERT_TRUE(writeTone(tone, kToneHz, kToneSeconds));
    const Recorder recorder(pipewire.environment());
    ASSERT_TRUE(recorder.waitFor(0.2)) << "parec records nothing";
    const std::string err = dir.path().toStdString() + "/err";
    const int pid = spawn({MORVANTIS_PLAY_SOUND, "--module", MORVANTIS_PLAYER_MODULE, tone},
                          pipewire.environment(), {}, err);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(exitWithin(pid, 5s), 0);
    EXPECT_TRUE(holdsTone(recorder));
    EXPECT_TRUE(linesOf(err).empty());
}
