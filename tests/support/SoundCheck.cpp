#include "support/SoundCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace morvantis::test {

namespace {

using Clock = std::chrono::steady_clock;

// The pitch of a stretch from its zero crossings, interpolated between samples; 0 when unsteady.
double crossingPitch(const float* x, std::size_t n, int rate) {
    std::vector<double> ups;
    for (std::size_t i = 1; i < n; ++i)
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
            ups.push_back(static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]));
    if (ups.size() < 4)
        return 0.0;
    std::vector<double> periods;
    for (std::size_t i = 1; i < ups.size(); ++i)
        periods.push_back(ups[i] - ups[i - 1]);
    const double mean = (ups.back() - ups.front()) / static_cast<double>(ups.size() - 1);
    for (double p : periods)
        if (std::abs(p - mean) > 0.1 * mean)
            return 0.0; // not a steady tone
    return rate / mean;
}

std::vector<Tone> tonesIn(const std::vector<float>& x, std::size_t from, std::size_t to, int rate) {
    const std::size_t frame = static_cast<std::size_t>(rate / 50); // 20 ms
    std::vector<Tone> tones;
    for (std::size_t i = from; i + frame <= to; i += frame) {
        const double hz = crossingPitch(x.data() + i, frame, rate);
        const double t = static_cast<double>(i) / rate;
        if (hz > 0 && !tones.empty() && std::abs(tones.back().hz - hz) < 0.03 * hz &&
            std::abs(tones.back().start + tones.back().length - t) < 1e-6) {
            Tone& last = tones.back();
            const double frames = last.length * 50.0;
            last.hz = (last.hz * frames + hz) / (frames + 1.0);
            last.length += 1.0 / 50.0;
        } else if (hz > 0) {
            tones.push_back({t, 1.0 / 50.0, hz});
        }
    }
    std::erase_if(tones, [](const Tone& t) { return t.length < 0.059; });
    return tones;
}

} // namespace

std::vector<float> monoFromS16(const std::vector<char>& raw, int channels) {
    const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
    std::vector<float> mono(raw.size() / frameBytes);
    for (std::size_t f = 0; f < mono.size(); ++f) {
        float sum = 0.0f;
        for (int c = 0; c < channels; ++c) {
            std::int16_t s = 0;
            std::memcpy(&s, raw.data() + f * frameBytes + 2 * static_cast<std::size_t>(c), 2);
            sum += static_cast<float>(s) / 32768.0f;
        }
        mono[f] = sum / static_cast<float>(channels);
    }
    return mono;
}

std::vector<Segment> findSegments(const std::vector<float>& x, int rate, double minGap) {
    constexpr float kSilence = 1.5f / 32768.0f;
    const auto gap = static_cast<std::size_t>(minGap * rate);
    std::vector<Segment> segments;
    std::size_t i = 0;
    while (i < x.size()) {
        while (i < x.size() && std::abs(x[i]) <= kSilence)
            ++i;
        if (i == x.size())
            break;
        const std::size_t start = i;
        std::size_t lastLoud = i;
        while (i < x.size() && i - lastLoud <= gap) {
            if (std::abs(x[i]) > kSilence)
                lastLoud = i;
            ++i;
        }
        const std::size_t end = lastLoud + 1;
        Segment s;
        s.start = static_cast<double>(start) / rate;
        s.length = static_cast<double>(end - start) / rate;
        s.tones = tonesIn(x, start, end, rate);
        segments.push_back(std::move(s));
        i = end;
    }
    return segments;
}

bool hasTone(const Segment& s, double hz) {
    return std::any_of(s.tones.begin(), s.tones.end(),
                       [hz](const Tone& t) { return std::abs(t.hz - hz) < 0.03 * hz; });
}

std::string describe(const std::vector<Segment>& segments) {
    std::string out;
    char line[64];
    for (const Segment& s : segments) {
        std::snprintf(line, sizeof line, "%.1f %.1f", s.start * 1000.0, s.length * 1000.0);
        out += line;
        for (const Tone& t : s.tones) {
            std::snprintf(line, sizeof line, " %.1f", t.hz);
            out += line;
        }
        out += '\n';
    }
    return out;
}

std::vector<float> readSound(const std::string& path, int rate) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return {};
    std::vector<float> all(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    const auto frames = static_cast<std::size_t>(sf_readf_float(f, all.data(), info.frames));
    sf_close(f);
    std::vector<float> mono(frames);
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < info.channels; ++c)
            mono[i] += all[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)] /
                       static_cast<float>(info.channels);
    if (frames < 2)
        return mono;
    // Linear interpolation is enough: the comparison below only looks at the band under 5 kHz.
    const double step = static_cast<double>(info.samplerate) / rate;
    std::vector<float> out(static_cast<std::size_t>(static_cast<double>(frames - 1) / step) + 1);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) * step;
        const auto k = std::min(static_cast<std::size_t>(t), frames - 2);
        const auto a = static_cast<float>(t - static_cast<double>(k));
        out[i] = mono[k] * (1.0f - a) + mono[k + 1] * a;
    }
    return out;
}

namespace {
// Averages of four samples: a quarter of the work, and resampling differences averaged out.
std::vector<float> quarter(const std::vector<float>& x) {
    std::vector<float> out(x.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = (x[4 * i] + x[4 * i + 1] + x[4 * i + 2] + x[4 * i + 3]) / 4.0f;
    return out;
}
} // namespace

std::string nameWords(const std::vector<float>& mono, const Segment& s, const std::vector<Word>& words,
                      int rate) {
    constexpr double kLikeness = 0.6; // a word played as it is correlates above 0.9
    const int r = rate / 4;
    const auto at = [r](double seconds) { return static_cast<std::ptrdiff_t>(seconds * r); };
    const std::vector<float> x = quarter(mono);
    std::vector<std::vector<float>> w;
    for (const Word& word : words)
        w.push_back(quarter(word.samples));
    std::vector<double> energy(x.size() + 1); // running sum of squares
    for (std::size_t i = 0; i < x.size(); ++i)
        energy[i + 1] = energy[i] + double(x[i]) * x[i];
    const std::ptrdiff_t end = std::min(at(s.end()), static_cast<std::ptrdiff_t>(x.size()));
    const std::ptrdiff_t lag = at(0.010), slack = at(0.030);
    std::string names;
    std::ptrdiff_t p = at(s.start);
    while (p < end - at(0.020)) {
        double best = 0;
        std::size_t bestWord = 0;
        std::ptrdiff_t bestAt = p;
        for (std::size_t k = 0; k < w.size(); ++k) {
            const auto n = static_cast<std::ptrdiff_t>(w[k].size());
            // The word's loudest 50 ms weed out most words and places before the whole is compared.
            const auto score = [&](std::ptrdiff_t q, std::ptrdiff_t from, std::ptrdiff_t m) {
                double dot = 0, own = 0;
                for (std::ptrdiff_t i = from; i < from + m; ++i) {
                    const double v = w[k][static_cast<std::size_t>(i)];
                    dot += double(x[static_cast<std::size_t>(q + i)]) * v;
                    own += v * v;
                }
                const double theirs = energy[static_cast<std::size_t>(q + from + m)] -
                                      energy[static_cast<std::size_t>(q + from)];
                return own > 0 && theirs > 0 ? dot / std::sqrt(own * theirs) : 0.0;
            };
            const std::ptrdiff_t m = std::min(n, at(0.050));
            std::ptrdiff_t loudest = 0;
            double most = -1;
            for (std::ptrdiff_t from = 0; from + m <= n; from += m / 2) {
                double e = 0;
                for (std::ptrdiff_t i = from; i < from + m; ++i)
                    e += double(w[k][static_cast<std::size_t>(i)]) * w[k][static_cast<std::size_t>(i)];
                if (e > most) {
                    most = e;
                    loudest = from;
                }
            }
            for (std::ptrdiff_t q = std::max<std::ptrdiff_t>(0, p - lag); q <= p + lag; ++q) {
                if (n == 0 || q + n > end + slack || q + n > static_cast<std::ptrdiff_t>(x.size()))
                    break;
                if (score(q, loudest, m) < kLikeness)
                    continue;
                if (const double whole = score(q, 0, n); whole > best) {
                    best = whole;
                    bestWord = k;
                    bestAt = q + n;
                }
            }
        }
        if (best < kLikeness) { // something else: one "?" for it, then look further on
            if (!names.ends_with('?'))
                names += names.empty() ? "?" : "+?";
            p += 2 * lag;
            continue;
        }
        names += (names.empty() ? "" : "+") + words[bestWord].name;
        p = bestAt;
        while (p < end && std::abs(x[static_cast<std::size_t>(p)]) <= 1.5f / 32768.0f)
            ++p;
    }
    return names.empty() ? "?" : names;
}

int spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
          const std::string& err) {
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(env.begin(), env.end(),
                                          [&](const std::string& v) { return v.rfind(name + "=", 0) == 0; });
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char*> envp, args;
    for (auto& s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (auto& s : argCopy)
        args.push_back(s.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.empty() ? "/dev/null" : err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

namespace {
int waitExit(int pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

std::optional<int> exitWithin(int pid, std::chrono::milliseconds bound) {
    const auto until = Clock::now() + bound;
    for (;;) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (Clock::now() > until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return std::nullopt;
}

const char* setupName(ServerSetup setup) {
    switch (setup) {
    case ServerSetup::PulseDefaultLatency:
        return "PulseDefaultLatency";
    case ServerSetup::PulseNoRewinds:
        return "PulseNoRewinds";
    case ServerSetup::PipeWire:
        return "PipeWire";
    }
    return "?";
}

std::unique_ptr<SoundServer> startServer(ServerSetup setup) {
    if (setup == ServerSetup::PipeWire)
        return std::make_unique<PipeWireServer>();
    return std::make_unique<PulseServer>(setup);
}

PulseServer::PulseServer(ServerSetup setup) : m_noRewinds(setup == ServerSetup::PulseNoRewinds) {
    char pattern[] = "/tmp/morvantis-pulse-XXXXXX";
    if (!mkdtemp(pattern)) {
        m_why = "no temporary folder";
        return;
    }
    m_folder = pattern;
    ::mkdir((m_folder + "/config").c_str(), 0700);
    for (const std::string& e : environment()) {
        const auto eq = e.find('=');
        ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    start();
}

bool PulseServer::start() {
    if (m_folder.empty())
        return false;
    if (m_pid > 0)
        return true;
    m_why.clear();
    const auto env = environment();
    const int pid = spawn({"pulseaudio", "--daemonize=yes", "--exit-idle-time=-1", "--disallow-exit", "-n",
                           "--use-pid-file=yes", "-L", "module-native-protocol-unix", "-L",
                           std::string("module-null-sink sink_name=testsink rate=44100 channels=2") +
                               (m_noRewinds ? " norewinds=1" : "")},
                          env, {}, m_folder + "/pulse.log");
    if (pid < 0 || waitExit(pid) != 0) {
        std::ifstream log(m_folder + "/pulse.log");
        std::string line;
        std::getline(log, line);
        m_why = "pulseaudio did not start" + (line.empty() ? std::string() : ": " + line);
        return false;
    }
    const int set = spawn({"pactl", "set-default-sink", "testsink"}, env);
    if (set < 0 || waitExit(set) != 0) {
        m_why = "pactl could not reach the server";
    }
    int pid2 = 0;
    std::ifstream pidFile(m_folder + "/pulse/pid");
    pidFile >> pid2;
    if (pid2 <= 0) {
        m_why = "pulseaudio left no process id";
        return false;
    }
    m_pid = pid2;
    if (!m_why.empty()) {
        stop();
        return false;
    }
    return true;
}

void PulseServer::stop() {
    if (m_pid <= 0)
        return;
    thaw();
    ::kill(m_pid, SIGTERM);
    for (int i = 0; i < 250 && ::kill(m_pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    m_pid = 0;
}

void PulseServer::freeze() {
    if (m_pid > 0 && ::kill(m_pid, SIGSTOP) == 0)
        m_frozen = true;
}

void PulseServer::thaw() {
    if (m_pid > 0 && m_frozen)
        ::kill(m_pid, SIGCONT);
    m_frozen = false;
}

std::vector<std::string> PulseServer::environment() const {
    return {"XDG_RUNTIME_DIR=" + m_folder,
            "HOME=" + m_folder,
            "XDG_CONFIG_HOME=" + m_folder + "/config",
            "PULSE_RUNTIME_PATH=" + m_folder + "/pulse",
            "PULSE_COOKIE=" + m_folder + "/config/pulse/cookie",
            "PULSE_SERVER=unix:" + m_folder + "/pulse/native"};
}

PulseServer::~PulseServer() {
    stop();
    if (!m_folder.empty())
        std::system(("rm -rf '" + m_folder + "'").c_str());
}

Recorder::Recorder(const SoundServer& server, int latencyMs) : Recorder(server.environment(), latencyMs) {}

Recorder::Recorder(const std::vector<std::string>& envStrings, int latencyMs) {
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argv = {"parec",        "--raw", "--format=s16le",  "--rate=44100",
                                     "--channels=2", "-d",    "testsink.monitor"};
    if (latencyMs > 0)
        argv.push_back("--latency-msec=" + std::to_string(latencyMs));
    std::vector<char*> args;
    for (auto& s : argv)
        args.push_back(s.data());
    args.push_back(nullptr);
    std::vector<std::string> all;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(envStrings.begin(), envStrings.end(),
                         [&](const std::string& v) { return v.rfind(name, 0) == 0; }))
            all.push_back(entry);
    }
    all.insert(all.end(), envStrings.begin(), envStrings.end());
    std::vector<char*> envp;
    for (auto& s : all)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "parec", &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return;
    }
    m_pid = pid;
    m_fd = fds[0];
    m_reader = std::thread([this] { read(); });
}

void Recorder::read() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
        const auto now = Clock::now();
        if (n <= 0)
            return;
        const std::lock_guard lock(m_mutex);
        m_raw.insert(m_raw.end(), buffer.begin(), buffer.begin() + n);
        m_arrivals.emplace_back(m_raw.size(), now);
        const auto frames = static_cast<double>(m_raw.size()) / (2 * kRecordChannels);
        const auto origin = now - std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(frames / kRecordRate));
        m_origin = std::min(m_origin, origin);
    }
}

Recorder::~Recorder() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        waitExit(m_pid);
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

std::vector<float> Recorder::mono() const {
    const std::lock_guard lock(m_mutex);
    return monoFromS16(m_raw);
}

double Recorder::secondsAt(Clock::time_point t) const {
    const std::lock_guard lock(m_mutex);
    return std::chrono::duration<double>(t - m_origin).count();
}

Clock::time_point Recorder::arrivalOf(double seconds) const {
    const std::lock_guard lock(m_mutex);
    const auto byte = static_cast<std::size_t>(seconds * kRecordRate) * 2 * kRecordChannels;
    const auto it = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), byte,
                                     [](std::size_t b, const auto& a) { return b < a.first; });
    return it == m_arrivals.end() ? Clock::time_point::max() : it->second;
}

bool Recorder::waitFor(double seconds, std::chrono::milliseconds bound) const {
    const auto until = Clock::now() + bound;
    while (Clock::now() < until) {
        {
            const std::lock_guard lock(m_mutex);
            if (static_cast<double>(m_raw.size()) / (2 * kRecordChannels) >= seconds * kRecordRate)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace morvantis::test

namespace morvantis::test {

PipeWireServer::PipeWireServer() {
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
        spawn({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + m_folder + "/bus"}, m_env, {},
              m_folder + "/dbus.log");
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
    if (!run(
            {"pactl", "load-module", "module-null-sink", "sink_name=testsink", "rate=44100", "channels=2"})) {
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

PipeWireServer::~PipeWireServer() {
    for (auto it = m_pids.rbegin(); it != m_pids.rend(); ++it) {
        ::kill(*it, SIGTERM);
        if (!exitWithin(*it, std::chrono::seconds(2)))
            std::fprintf(stderr, "a PipeWire process did not end\n");
    }
    if (!m_folder.empty())
        std::system(("rm -rf '" + m_folder + "'").c_str());
}

bool PipeWireServer::run(const std::vector<std::string>& argv) {
    const int pid = spawn(argv, m_env);
    return pid > 0 && exitWithin(pid, std::chrono::seconds(5)) == 0;
}

template <typename Ready> bool PipeWireServer::until(Ready ready, const char* what) {
    for (const auto limit = Clock::now() + std::chrono::seconds(10); Clock::now() < limit;
         std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        if (ready())
            return true;
    m_why = std::string(what) + " is not up after 10 s";
    return false;
}

} // namespace morvantis::test
