#include "app/SingleInstance.h"

#include "platform/Say.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace morvantis {

namespace {

QString baseName(const QString& settingsFile, const QString& runtimeFolder) {
    const QString folder = runtimeFolder.isEmpty() ? SingleInstance::runtimeFolder() : runtimeFolder;
    const QByteArray hash =
        QCryptographicHash::hash(SingleInstance::identity(settingsFile).toUtf8(), QCryptographicHash::Sha256)
            .toHex();
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
        // Nobody listens: where the system cannot tell a dead holder from a live one by its
        // process id, the lock itself may be left over.
        if (answer == Answer::Gone && leftLockRemoved())
            continue;
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

void SingleInstance::quitAsked() {
    if (onQuit)
        onQuit();
}

int SingleInstance::quit() {
    if (m_socketName.isEmpty()) {
        say(stderr, QStringLiteral("morvantis: cannot tell whether a clock runs: no runtime folder of this "
                                   "user's own"));
        return 1;
    }
    QElapsedTimer waited;
    waited.start();
    bool asked = false;
    while (waited.elapsed() < kQuitWait) {
        // The lock is free once the clock has ended (or a killed one's is taken over).
        if (m_lock.tryLock(0)) {
            m_lock.unlock();
            if (!waitForClockProcess(std::max(0, kQuitWait - static_cast<int>(waited.elapsed()))))
                break;
            say(stdout, asked ? QStringLiteral("The running clock has saved its settings and ended.")
                              : QStringLiteral("No clock runs."));
            return 0;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            say(stderr,
                QStringLiteral("morvantis: cannot tell whether a clock runs: %1").arg(m_lock.fileName()));
            return 1;
        }
        if (!asked) {
            const Answer answer = ask(Request::Quit);
            if (answer == Answer::Gone && leftLockRemoved())
                continue;
            if (answer == Answer::Silent) {
                say(stderr,
                    QStringLiteral("morvantis: the running clock does not answer (%1)").arg(m_socketName));
                return 1;
            }
            // Gone: it ends already, or starts; Misread: it came to the front instead, ask again.
            asked = answer == Answer::Replied;
        }
        QThread::msleep(20);
    }
    say(stderr,
        QStringLiteral("morvantis: the running clock did not end within %1 seconds").arg(kQuitWait / 1000));
    return 1;
}

} // namespace morvantis
