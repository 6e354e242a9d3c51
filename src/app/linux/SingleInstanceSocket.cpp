// One clock per settings store on Unix: a plain socket beside the lock.
#include "app/SingleInstance.h"

#include "platform/Say.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace morvantis {

namespace {
// The socket's address, or nothing when the path does not fit one.
bool addressOf(const QString& name, sockaddr_un& address) {
    const QByteArray path = QFile::encodeName(name);
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// A folder of this user's that no one else may enter; made so where it is ours but open to others.
bool privateFolder(const QByteArray& path, bool mend) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    return mend && ::chmod(path.constData(), 0700) == 0;
}

// The path with its deepest existing folder resolved, so that another spelling of the same
// store (a symbolic link, "a/../b") gives the same key even before the store's folder exists.
QString resolvedPath(const QString& path) {
    QString head = QFileInfo(path).absoluteFilePath();
    QString tail;
    while (!head.isEmpty()) {
        const QString resolved = QFileInfo(head).canonicalFilePath();
        if (!resolved.isEmpty())
            return resolved + tail;
        const QFileInfo info(head);
        if (info.path() == head)
            break;
        tail.prepend(QLatin1Char('/') + info.fileName());
        head = info.path();
    }
    return QDir::cleanPath(path);
}

// A request that cannot be taken for want of descriptors waits in the queue this long before the next try.
constexpr int kAcceptRetryMs = 200;
} // namespace

QString SingleInstance::identity(const QString& settingsFile) {
    return resolvedPath(settingsFile);
}

// Nothing outlives the lock that an installer would have to wait for.
bool SingleInstance::waitForClockProcess(int) const {
    return true;
}

// The lock file sees a holder that has ended by its process id, which is not reused while it
// could matter.
bool SingleInstance::leftLockRemoved() {
    return false;
}

QString SingleInstance::runtimeFolder() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && privateFolder(xdg, false))
        return QFile::decodeName(xdg);
    // Not a shared name in /tmp, which another user may have made first: a folder in the user's own cache.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.startsWith(QLatin1Char('/')) || QDir::cleanPath(cache) == QLatin1String("/"))
        return {};
    const QString folder = QDir::cleanPath(cache) + QLatin1String("/morvantis");
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(cache);
    ::mkdir(path.constData(), 0700);
    return privateFolder(path, true) ? folder : QString();
}

bool SingleInstance::listen() {
    sockaddr_un address;
    const char* failed = nullptr;
    if (!addressOf(m_socketName, address)) {
        failed = "the socket's path is too long";
    } else if ((m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) < 0) {
        failed = std::strerror(errno);
    } else {
        // We hold the lock: a socket file that exists is a killed clock's.
        ::unlink(address.sun_path);
        // Only this user may connect.
        const mode_t mask = ::umask(0177);
        const int bound = ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        const int error = errno;
        ::umask(mask);
        if (bound != 0 || ::listen(m_listener, 8) != 0)
            failed = std::strerror(bound != 0 ? error : errno);
    }
    if (failed) {
        say(stderr, QStringLiteral("morvantis: a second start will not find this clock: %1")
                        .arg(QString::fromLocal8Bit(failed)));
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::takeRequests);
    return true;
}

void SingleInstance::takeRequests() {
    if (ending && ending()) {
        // Whoever waits in the queue is let go unanswered, and waits for the lock instead.
        stopAnswering();
        return;
    }
    int any = 0;
    bool quit = false;
    for (;;) {
        const int c = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c >= 0) {
            // A start sends nothing; a --quit sends its byte as it connects, which is here by now
            // almost always (it asks again when it was taken for a start). The reply is one byte,
            // which a new socket always takes; a start that has given up has gone: no SIGPIPE.
            char request = 0;
            const bool quitting =
                ::recv(c, &request, 1, 0) == 1 && request == static_cast<char>(Request::Quit);
            [[maybe_unused]] const auto n = ::send(c, quitting ? &kQuitting : &kRaised, 1, MSG_NOSIGNAL);
            ::close(c);
            quit = quit || quitting;
            any += quitting ? 0 : 1;
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            // Out of descriptors or memory for a moment: the request stays queued; rather than spin on
            // a socket that stays readable, look again shortly.
            m_notifier->setEnabled(false);
            QTimer::singleShot(kAcceptRetryMs, this, [this] {
                if (m_notifier)
                    m_notifier->setEnabled(true);
            });
        }
        break;
    }
    // The end closes this socket: from the event loop, not inside its notifier's signal.
    if (quit)
        QMetaObject::invokeMethod(this, &SingleInstance::quitAsked, Qt::QueuedConnection);
    else if (any)
        raised();
}

void SingleInstance::stopAnswering() {
    if (m_listener < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_listener);
    m_listener = -1;
    ::unlink(QFile::encodeName(m_socketName).constData());
}

SingleInstance::Answer SingleInstance::ask(Request request) const {
    sockaddr_un address;
    if (!addressOf(m_socketName, address))
        return Answer::Gone;
    QElapsedTimer waited;
    waited.start();
    int s = -1;
    for (;;) {
        s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s < 0)
            return Answer::Gone;
        if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            const char byte = static_cast<char>(request);
            if (request == Request::Raise || ::send(s, &byte, 1, MSG_NOSIGNAL) == 1)
                break;
            ::close(s);
            return Answer::Gone;
        }
        const int error = errno;
        ::close(s);
        // A full queue: a clock that takes no requests, unless it clears in time.
        if (error != EAGAIN)
            return Answer::Gone;
        if (waited.elapsed() >= kAnswerWait)
            return Answer::Silent;
        QThread::msleep(5);
    }
    for (;;) {
        pollfd p{s, POLLIN, 0};
        const int left = std::max(0, kAnswerWait - static_cast<int>(waited.elapsed()));
        const int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        Answer answer = Answer::Silent;
        if (ready > 0) {
            char c = 0;
            // The byte, or the end of a clock that closed the connection unanswered.
            if (::read(s, &c, 1) != 1)
                answer = Answer::Gone;
            else
                answer =
                    c == (request == Request::Quit ? kQuitting : kRaised) ? Answer::Replied : Answer::Misread;
        }
        ::close(s);
        return answer;
    }
}

} // namespace morvantis
