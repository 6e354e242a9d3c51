// One clock per settings store and session on Windows: a named pipe (Qt's local server) and a
// lock file in the user's local application data, both named after the session too.
#include "app/SingleInstance.h"

#include "platform/Say.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <algorithm>

#include <windows.h>

namespace morvantis {

namespace {
// Pipe names are one namespace for the whole machine: the name carries the user's own folder
// and the session (in m_socketName).
QString pipeName(const QString& socketName) {
    return QLatin1String("morvantis-") +
           QString::fromLatin1(
               QCryptographicHash::hash(socketName.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
}
// The clock asked to end by --quit, while this process waits for it to go.
HANDLE g_endingClock = nullptr;
} // namespace

// The store is a registry key: its name, never a path (a rooted name would be read against the
// current drive), in one case, as the registry compares. The session too, for lock and pipe
// alike: a user logged on twice (Remote Desktop) has a clock in each session, where it is seen.
QString SingleInstance::identity(const QString& settingsFile) {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return QDir::fromNativeSeparators(settingsFile).toCaseFolded() + QLatin1String("|session ") +
           QString::number(session);
}

// A process that has ended may leave its lock file with a process id that a new process has
// taken (Wine gives each new process the same one). The file cannot be removed while its
// holder runs, which keeps it open without sharing deletion: removing it is the test.
bool SingleInstance::leftLockRemoved() {
    return m_lock.removeStaleLockFile();
}

QString SingleInstance::runtimeFolder() {
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (local.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(local) + QLatin1String("/Morvantis");
    return QDir().mkpath(folder) ? folder : QString();
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(pipeName(m_socketName))) {
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
        // The request is one byte, sent once the later start has let this clock take the
        // foreground; the reply is one byte.
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray request = socket->readAll();
                if (request.isEmpty() || !m_server)
                    return;
                const bool quit = request.at(0) == static_cast<char>(Request::Quit);
                socket->write(quit ? &kQuitting : &kRaised, 1);
                socket->flush();
                socket->disconnectFromServer();
                // The end deletes this socket: from the event loop, not inside its signal.
                if (quit)
                    QMetaObject::invokeMethod(this, &SingleInstance::quitAsked, Qt::QueuedConnection);
                else
                    raised();
            });
        }
    });
    return true;
}

void SingleInstance::stopAnswering() {
    delete m_server;
    m_server = nullptr;
}

// The lock goes before the process has ended, and Windows keeps a program and its folder in use
// until then: an installer would find them so.
bool SingleInstance::waitForClockProcess(int milliseconds) const {
    if (!g_endingClock)
        return true;
    const bool ended = WaitForSingleObject(g_endingClock, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    CloseHandle(g_endingClock);
    g_endingClock = nullptr;
    return ended;
}

SingleInstance::Answer SingleInstance::ask(Request request) const {
    QElapsedTimer waited;
    waited.start();
    QLocalSocket socket;
    socket.connectToServer(pipeName(m_socketName));
    if (!socket.waitForConnected(kAnswerWait))
        return socket.error() == QLocalSocket::SocketTimeoutError ? Answer::Silent : Answer::Gone;
    // Windows lets a program in the background take the foreground only when the foreground
    // program allows it: this start, which the user has just made, may.
    ULONG clock = 0;
    if (GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(socket.socketDescriptor()), &clock)) {
        AllowSetForegroundWindow(clock);
        if (request == Request::Quit && !g_endingClock)
            g_endingClock = OpenProcess(SYNCHRONIZE, FALSE, clock);
    }
    const char byte = static_cast<char>(request);
    socket.write(&byte, 1);
    socket.flush();
    const int left = std::max(1, kAnswerWait - static_cast<int>(waited.elapsed()));
    if (!socket.bytesAvailable() && !socket.waitForReadyRead(left))
        return socket.error() == QLocalSocket::SocketTimeoutError ? Answer::Silent : Answer::Gone;
    char c = 0;
    if (socket.read(&c, 1) != 1)
        return Answer::Gone;
    return c == (request == Request::Quit ? kQuitting : kRaised) ? Answer::Replied : Answer::Gone;
}

} // namespace morvantis
