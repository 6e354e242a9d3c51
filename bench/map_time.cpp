// Starts a program and reports, from the X server's own MapNotify events, how long after its
// exec each of its top-level windows was mapped; ends it once the named window has mapped.
// No polling: the root window's structure events are selected before the program starts.
//
//   morvantis_map_time [--name TITLE] [--signal N] [--timeout SECONDS] -- PROGRAM [ARGS...]
//
// Prints one line per window of the program's process as it maps ("map INDEX MS TITLE", then the
// time its threads had spent on a processor and waiting for one), then
// "mapped MS INDEX PID" for the window whose title is TITLE (the first window when no title is
// given). The program then gets signal N (15 by default; 0 leaves it running and only detaches)
// and is waited for. Status 0 when the window mapped, 1 when the program ended first or the
// timeout passed.
#include <xcb/xcb.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The window's property as bytes, or nothing.
std::string property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 256), nullptr));
    if (!r || r->type == XCB_ATOM_NONE)
        return {};
    const auto* data = static_cast<const char*>(xcb_get_property_value(r.get()));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(r.get())));
}

// The process's time on a processor and waiting for one, so far (all its threads), for telling
// work from the machine's load.
std::string schedule(pid_t pid) {
    std::string out;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double run = 0, wait = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            if (FILE* f = std::fopen((tasks + "/" + e->d_name + "/schedstat").c_str(), "r")) {
                double r = 0, w = 0;
                if (std::fscanf(f, "%lf %lf", &r, &w) == 2) {
                    run += r;
                    wait += w;
                }
                std::fclose(f);
            }
        }
        closedir(dir);
        char text[96];
        std::snprintf(text, sizeof text, " (on a cpu %.2f ms, waiting for one %.2f ms)", run / 1e6,
                      wait / 1e6);
        out = text;
    }
    return out;
}

int usage() {
    std::fprintf(
        stderr,
        "usage: morvantis_map_time [--name TITLE] [--signal N] [--timeout SECONDS] -- PROGRAM [ARGS...]\n");
    return 2;
}

// Ends the program with the signal, then waits for it (killing it after five seconds).
void finish(pid_t pid, int sig) {
    if (sig == 0)
        return;
    kill(pid, sig);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    std::string title;
    int sig = SIGTERM;
    double timeoutS = 30;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return usage();
        if (a == "--name")
            title = argv[++i];
        else if (a == "--signal")
            sig = std::atoi(argv[++i]);
        else if (a == "--timeout")
            timeoutS = std::atof(argv[++i]);
        else
            return usage();
    }
    if (i >= argc)
        return usage();

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "morvantis_map_time: cannot connect to the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    Reply<xcb_generic_error_t> error(
        xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask)));
    if (error) {
        std::fprintf(stderr, "morvantis_map_time: cannot watch the root window\n");
        return 2;
    }
    const xcb_atom_t netWmPid = atom(c, "_NET_WM_PID");
    const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");

    std::fflush(stdout);
    const double t0 = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        execvp(argv[i], argv + i);
        std::_Exit(127);
    }

    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    int index = 0;
    const double deadline = t0 + timeoutS * 1e3;
    for (;;) {
        xcb_generic_event_t* raw = xcb_poll_for_event(c);
        if (!raw) {
            if (xcb_connection_has_error(c))
                break;
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "morvantis_map_time: the program ended before its window mapped\n");
                return 1;
            }
            const double left = deadline - nowMs();
            if (left <= 0)
                break;
            poll(&pfd, 1, static_cast<int>(std::min(left, 50.0)) + 1);
            continue;
        }
        const double at = nowMs();
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(raw);
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(event.get())->window;
        const std::string pidBytes = property(c, w, netWmPid, XCB_ATOM_CARDINAL);
        uint32_t owner = 0;
        if (pidBytes.size() < sizeof owner)
            continue;
        std::memcpy(&owner, pidBytes.data(), sizeof owner);
        if (owner != static_cast<uint32_t>(pid))
            continue;
        std::string name = property(c, w, netWmName, utf8);
        if (name.empty())
            name = property(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        ++index;
        std::printf("map %d %.2f %s%s\n", index, at - t0, name.c_str(), schedule(pid).c_str());
        if (title.empty() || name == title) {
            std::printf("mapped %.2f %d %d\n", at - t0, index, static_cast<int>(pid));
            std::fflush(stdout);
            xcb_disconnect(c);
            finish(pid, sig);
            return 0;
        }
    }
    std::fprintf(stderr, "morvantis_map_time: no window mapped in time\n");
    finish(pid, SIGKILL);
    return 1;
}
