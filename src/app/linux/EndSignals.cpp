#include "app/EndSignals.h"

#include <QObject>
#include <QtGlobal>

#include <utility>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <ucontext.h>
#include <unistd.h>

namespace morvantis {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Written in the handler, read outside it: only lock-free atomics are safe there.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> g_first{0};
int g_wake[2] = {-1, -1};
pthread_t g_mainThread;

sigset_t endSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kEndSignals)
        sigaddset(&set, s);
    return set;
}

void onSignal(int signal, siginfo_t*, void* context) {
    const int savedErrno = errno; // the interrupted code may be about to read it
    if (!pthread_equal(pthread_self(), g_mainThread)) {
        // Another thread (one that Qt or the sound made after start-up): it never takes these again,
        // and the signal goes back to the process, for the main thread. Two handlers on two threads
        // would race for which signal came first.
        sigset_t& mask = static_cast<ucontext_t*>(context)->uc_sigmask; // this thread's, from its return on
        for (const int s : kEndSignals)
            sigaddset(&mask, s);
        ::kill(::getpid(), signal);
        errno = savedErrno;
        return;
    }
    int none = 0;
    g_first.compare_exchange_strong(none, signal);
    // Both ends are non-blocking: once a byte waits, the event loop will wake, and a burst of
    // signals must never hold the thread here on a full socket.
    const char wake = 1;
    [[maybe_unused]] const auto n = ::write(g_wake[1], &wake, 1);
    errno = savedErrno;
}

} // namespace

void holdEndSignals() {
    const sigset_t set = endSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void takeEndSignals(QObject* owner, std::function<void(int)> onEnd) {
    const sigset_t set = endSignals();
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_wake) != 0) {
        // The default actions stay: the clock still ends, saving nothing.
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    auto* notifier = new QSocketNotifier(g_wake[0], QSocketNotifier::Read, owner);
    QObject::connect(
        notifier, &QSocketNotifier::activated, owner, [onEnd = std::move(onEnd), acted = false]() mutable {
            // Every waiting byte: one read per wake-up would fall behind a burst.
            char bytes[512];
            for (ssize_t n; (n = ::read(g_wake[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR);) {
            }
            if (acted)
                return;
            acted = true;
            onEnd(g_first.load());
        });
    g_mainThread = pthread_self();
    struct sigaction sa {};
    sa.sa_sigaction = onSignal;
    sigfillset(&sa.sa_mask); // one handler at a time on a thread
    sa.sa_flags = SA_RESTART | SA_SIGINFO;
    for (const int s : kEndSignals)
        sigaction(s, &sa, nullptr);
    // Held until now (holdEndSignals): a signal that came during start-up is taken here.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool endSignalCame() {
    return g_first.load() != 0;
}

// The X session manager asks once, as the session ends: what EXIT would save is saved, and the
// clock ends.
void takeSessionEnd([[maybe_unused]] QObject* owner, std::function<void()>,
                    [[maybe_unused]] std::function<void()> end) {
#if QT_CONFIG(sessionmanager)
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, owner, [end = std::move(end)] { end(); });
#endif
}

} // namespace morvantis
