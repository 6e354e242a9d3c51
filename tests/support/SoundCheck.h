#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace morvantis::test {

// Recordings are taken from the null sink's monitor: 16-bit stereo at 44.1 kHz.
inline constexpr int kRecordRate = 44100;
inline constexpr int kRecordChannels = 2;

// A steady pitch within a sound.
struct Tone {
    double start = 0; // seconds from the start of the recording
    double length = 0;
    double hz = 0;
};

// One sound: a run of signal between stretches of digital silence.
struct Segment {
    double start = 0; // seconds from the start of the recording
    double length = 0;
    std::vector<Tone> tones; // the steady pitches in it, at least 60 ms each
    double end() const { return start + length; }
};

// Interleaved 16-bit little-endian samples mixed to one channel, -1..1.
std::vector<float> monoFromS16(const std::vector<char>& raw, int channels = kRecordChannels);

// The sounds in a recording: signal separated by at least minGap seconds of silence
// (no sample above one step of 16 bits).
std::vector<Segment> findSegments(const std::vector<float>& mono, int rate = kRecordRate,
                                  double minGap = 0.005);

// Whether a segment holds a tone near hz (within 3 %).
bool hasTone(const Segment& s, double hz);

// One line per segment: start and length in milliseconds, then the tones' pitches in Hz.
std::string describe(const std::vector<Segment>& segments);

// A sound file to look for in recordings.
struct Word {
    std::string name;
    std::vector<float> samples; // one channel at the rate asked for
};

// A sound file (anything libsndfile reads) mixed to one channel and resampled to rate;
// no samples when it cannot be read.
std::vector<float> readSound(const std::string& path, int rate = kRecordRate);

// Which words a segment says, in order, joined by "+": at each point the word whose samples
// correlate best with the recording there; "?" for a stretch that resembles none of them.
std::string nameWords(const std::vector<float>& mono, const Segment& s, const std::vector<Word>& words,
                      int rate = kRecordRate);

// The sound servers desktops run, each with a null sink "testsink" as the default:
// PulseAudio's null sink at its own latency (it buffers up to 2 s, as a desktop's sink does,
// and lowers that only for a client that asks); the same with norewinds=1, which keeps it
// near 50 ms; and PipeWire's pulse server.
enum class ServerSetup { PulseDefaultLatency, PulseNoRewinds, PipeWire };
const char* setupName(ServerSetup setup);

class SoundServer {
public:
    virtual ~SoundServer() = default;
    virtual bool running() const = 0;
    const std::string& why() const { return m_why; }
    // Environment assignments that lead a child process to this server.
    virtual std::vector<std::string> environment() const = 0;

protected:
    std::string m_why;
};

// One of the set-ups above, started on a private runtime folder.
std::unique_ptr<SoundServer> startServer(ServerSetup setup);

// A PulseAudio server of our own with one null sink, on a private runtime folder. The
// process's environment is pointed at it, so that sounds played here go to it. It can be
// stopped, started again on the same socket, and frozen.
class PulseServer : public SoundServer {
public:
    explicit PulseServer(ServerSetup setup = ServerSetup::PulseNoRewinds);
    ~PulseServer() override;
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    bool running() const override { return m_pid > 0; }
    const std::string& folder() const { return m_folder; }
    std::vector<std::string> environment() const override;
    // Starts it (again); false, with why(), when it does not come up.
    bool start();
    // Ends it and waits until it has gone.
    void stop();
    // SIGSTOP and SIGCONT: a server that hangs.
    void freeze();
    void thaw();

private:
    std::string m_folder;
    bool m_noRewinds;
    int m_pid = 0;
    bool m_frozen = false;
};

// PipeWire with its pulse server and session manager, on a private runtime folder and session
// bus, with a null sink "testsink" as the default.
class PipeWireServer : public SoundServer {
public:
    PipeWireServer();
    ~PipeWireServer() override;
    PipeWireServer(const PipeWireServer&) = delete;
    PipeWireServer& operator=(const PipeWireServer&) = delete;
    bool running() const override { return m_running; }
    std::vector<std::string> environment() const override { return m_env; }

private:
    bool run(const std::vector<std::string>& argv);
    template <typename Ready> bool until(Ready ready, const char* what);

    std::string m_folder;
    std::vector<std::string> m_env;
    std::vector<int> m_pids;
    bool m_running = false;
};

// Records the sink's monitor with parec from construction on; knows when each sample arrived.
class Recorder {
public:
    explicit Recorder(const SoundServer& server, int latencyMs = 5);
    // From the sink "testsink" of the server this environment leads to. A latency of 0 asks
    // none, so that the sink keeps its own (the recording then arrives in large pieces).
    explicit Recorder(const std::vector<std::string>& environment, int latencyMs = 5);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    bool running() const { return m_pid > 0; }
    // The recording so far, mixed to one channel.
    std::vector<float> mono() const;
    // Seconds into the recording at which a moment fell (from the arrival of the samples).
    double secondsAt(std::chrono::steady_clock::time_point t) const;
    // When the sample at this many seconds into the recording reached us.
    std::chrono::steady_clock::time_point arrivalOf(double seconds) const;
    // Waits until the recording holds at least this many seconds.
    bool waitFor(double seconds, std::chrono::milliseconds bound = std::chrono::milliseconds(5000)) const;

private:
    void read();
    int m_pid = 0;
    int m_fd = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<char> m_raw;
    std::vector<std::pair<std::size_t, std::chrono::steady_clock::time_point>>
        m_arrivals; // bytes so far, when
    // The earliest moment the first sample can have been recorded, from each chunk's arrival.
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::time_point::max();
};

// Starts a program with extra environment; its standard output and error go to the files given.
int spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          const std::string& out = {}, const std::string& err = {});
// The exit status of a child that ends within the bound; nothing (and the child killed) if not.
std::optional<int> exitWithin(int pid, std::chrono::milliseconds bound);

} // namespace morvantis::test
