#include "app/SingleInstance.h"

#include "platform/Say.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#else
#include <QLocalServer>
#include <QLocalSocket>
#endif

namespace morvantis {

namespace {

// The path with its deepest existing folder resolved, so that another spelling of the same
// store (a symbolic link, "a/../b") gives the same key even before the store's folder exists.
QString canonicalPath(const QString& path) {
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

QString baseName(const QString& settingsFile, const QString& runtimeFolder) {
    const QString folder = runtimeFolder.isEmpty() ? SingleInstance::runtimeFolder() : runtimeFolder;
    const QByteArray hash =
        QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha256).toHex();
    if (folder.isEmpty())
        return {};
    return folder + QLatin1String("/morvantis-") + QString::fromLatin1(hash.left(16));
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, const QString& runtimeFolder, QObject* parent)
    : QObject(parent), m_socketName(baseName(settingsFile, runtimeFolder)),
      m_lock(m_socketName.isEmpty() ? QString() : m_socketName + QLatin1String(".lock")) {
    // Held for as long as the clock runs: only a holder that has ended makes it stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    stopAnswering();
}

std::optional<int> SingleInstance::claim() {
    if (m_socketName.isEmpty()) {
        say(stderr, QStringLiteral("morvantis: cannot tell whether a clock runs already: no runtime folder "
                                   "of this user's own"));
        return std::nullopt;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_lock.tryLock(0)) {
            if (!listen()) {
                // Unreachable by later starts: let them run a clock rather than refuse them.
                m_lock.unlock();
            }
            return std::nullopt;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            // The runtime folder is unusable: better a second clock than none.
            say(stderr,
                QStringLiteral("morvantis: cannot tell whether a clock runs already: %1 %2")
                    .arg(m_lock.error() == QLockFile::PermissionError ? QStringLiteral("no permission for")
                                                                      : QStringLiteral("cannot create"),
                         m_lock.fileName()));
            return std::nullopt;
        }
        // Another clock holds the lock. Only its reply counts: the system queues a connection
        // that nobody takes, from a clock that is stopped or about to end.
        const Answer answer = ask();
        if (answer == Answer::Replied) {
            say(stdout, QStringLiteral("Morvantis is running already; its clock was brought to the front."));
            return 0;
        }
        // Not listening (yet, or any more): a clock starting or ending. Its lock goes with it.
        if (answer == Answer::Silent || waited.elapsed() >= kLockWait) {
            say(stderr, QStringLiteral("morvantis: a clock runs already for these settings but does not "
                                       "answer (%1)")
                            .arg(m_socketName));
            return 1;
        }
        QThread::msleep(20);
    }
}

void SingleInstance::raised() {
    if (onRaise)
        onRaise();
}

#ifdef Q_OS_UNIX

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

// The single byte a clock replies with.
constexpr char kReply = '!';
// A request that cannot be taken for want of descriptors waits in the queue this long before the next try.
constexpr int kAcceptRetryMs = 200;
} // namespace

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
    for (;;) {
        const int c = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c >= 0) {
            // A connection is the whole request; the reply is one byte, which a new socket always takes.
            // A start that has given up has gone: no SIGPIPE for that.
            [[maybe_unused]] const auto n = ::send(c, &kReply, 1, MSG_NOSIGNAL);
            ::close(c);
            ++any;
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
    if (any)
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

SingleInstance::Answer SingleInstance::ask() const {
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
        if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
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
            answer = ::read(s, &c, 1) == 1 && c == kReply ? Answer::Replied : Answer::Gone;
        }
        ::close(s);
        return answer;
    }
}

#else

QString SingleInstance::runtimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket file that exists is a killed clock's.
    QLocalServer::removeServer(m_socketName);
    if (!m_server->listen(m_socketName)) {
        say(stderr, QStringLiteral("morvantis: a second start will not find this clock: %1")
                        .arg(m_server->errorString()));
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        if (ending && ending()) {
            stopAnswering();
            return;
        }
        // A connection is the whole request; the reply is one byte.
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            socket->write("!", 1);
            socket->flush();
            socket->disconnectFromServer();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
        raised();
    });
    return true;
}

void SingleInstance::stopAnswering() {
    delete m_server;
    m_server = nullptr;
}

SingleInstance::Answer SingleInstance::ask() const {
    QElapsedTimer waited;
    waited.start();
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(kAnswerWait))
        return socket.error() == QLocalSocket::SocketTimeoutError ? Answer::Silent : Answer::Gone;
    const int left = std::max(1, kAnswerWait - static_cast<int>(waited.elapsed()));
    if (!socket.bytesAvailable() && !socket.waitForReadyRead(left))
        return socket.error() == QLocalSocket::SocketTimeoutError ? Answer::Silent : Answer::Gone;
    char c = 0;
    return socket.read(&c, 1) == 1 && c == '!' ? Answer::Replied : Answer::Gone;
}

#endif

} // namespace morvantis
