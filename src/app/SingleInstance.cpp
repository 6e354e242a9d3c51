#include "app/SingleInstance.h"

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
    const QString folder = runtimeFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                               : runtimeFolder;
    const QByteArray hash =
        QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha256).toHex();
    return folder + QLatin1String("/morvantis-") + QString::fromLatin1(hash.left(16));
}

void say(FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", qPrintable(text));
    std::fflush(to);
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, const QString& runtimeFolder, QObject* parent)
    : QObject(parent), m_socketName(baseName(settingsFile, runtimeFolder)),
      m_lock(m_socketName + QLatin1String(".lock")) {
    // Held for as long as the clock runs: only a holder that has ended makes it stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
#ifdef Q_OS_UNIX
    if (m_listener >= 0) {
        delete m_notifier;
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_socketName).constData());
    }
#endif
}

std::optional<int> SingleInstance::claim() {
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
        // Another clock holds the lock; between its lock and its socket, or while it ends,
        // the socket may not answer for a moment.
        const int left = kAnswerWait - static_cast<int>(waited.elapsed());
        if (askToRaise(std::max(left, 1))) {
            say(stdout, QStringLiteral("Morvantis is running already; its clock was brought to the front."));
            return 0;
        }
        if (waited.elapsed() >= kAnswerWait) {
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
} // namespace

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
    // A connection is the whole request; nothing is read from it.
    m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        int any = 0;
        for (int c; (c = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++any)
            ::close(c);
        // Out of descriptors the pending request cannot be taken: stop listening rather than spin.
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED)
            m_notifier->setEnabled(false);
        if (any)
            raised();
    });
    return true;
}

bool SingleInstance::askToRaise(int msecs) const {
    sockaddr_un address;
    if (!addressOf(m_socketName, address))
        return false;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s < 0)
            return false;
        const int connected = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        const int error = errno;
        ::close(s);
        if (connected == 0)
            return true;
        // A full backlog clears as the clock accepts; anything else is no answer.
        if (error != EAGAIN || waited.elapsed() >= msecs)
            return false;
        QThread::msleep(5);
    }
}

#else

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
    // A connection is the whole request; nothing is read from it.
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            socket->abort();
            socket->deleteLater();
        }
        raised();
    });
    return true;
}

bool SingleInstance::askToRaise(int msecs) const {
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    const bool connected = socket.waitForConnected(msecs);
    socket.abort();
    return connected;
}

#endif

} // namespace morvantis
