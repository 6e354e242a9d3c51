#include "platform/LazySound.h"

#include "platform/Files.h"
#include "platform/Say.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace morvantis {

namespace {
using namespace std::chrono_literals;
using CreatePlayer = Sound* (*)();
// How often a synchronous request asks whether it is to end.
constexpr auto kInterruptPoll = 50ms;
// How often a sound that tells its end asks whether the player has been held up past its bound.
constexpr auto kWatchEvery = 250ms;
constexpr const char* kModuleName = "morvantis_player";
constexpr const char* kEntryPoint = "morvantis_create_player";
} // namespace

std::string mapSoundPath(const Files& files, const std::string& path) {
    // A name may hold a "\" on Linux: a file that is there as written is the one meant.
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) == 0)
        return path;
    std::string mapped = path;
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    return files.resolve(mapped).value_or(mapped);
}

LazySound::LazySound(const Files& files, std::string modulePath)
    : m_files(files), m_modulePath(std::move(modulePath)) {
    m_watch.setInterval(kWatchEvery);
    QObject::connect(&m_watch, &QTimer::timeout, &m_context, [this] {
        // A request given up here tells its end like one heard.
        if (m_player)
            m_player->waitEnd(0ms);
    });
}

LazySound::~LazySound() {
    // The player calls back under its lock: once a stop has replaced the request, never again.
    // The module stays loaded: its thread ends with the player.
    if (m_player)
        m_player->stop();
}

void LazySound::setInterrupt(std::function<bool()> interrupted) {
    m_interrupted = std::move(interrupted);
}

void LazySound::play(const std::string& path, Mode mode) {
    ++m_gen;
    m_ended = nullptr;
    m_watch.stop();
    const bool synchronous = mode == Mode::Synchronous;
    if (synchronous && interrupted())
        return;
    Sound* p = player();
    if (!p)
        return;
    p->play(mapSoundPath(m_files, path), Mode::Asynchronous);
    if (!synchronous)
        return;
    // The player bounds the wait itself; this asks in between whether to end early.
    while (!p->waitEnd(kInterruptPoll)) {
        if (interrupted()) {
            p->stop();
            return;
        }
    }
}

void LazySound::playThen(const std::string& path, Ended ended) {
    const std::uint64_t gen = ++m_gen;
    m_ended = std::move(ended);
    Sound* p = player();
    if (!p) {
        tellLater(gen);
        return;
    }
    // Called on the player's thread: only handed on to this one.
    p->playThen(mapSoundPath(m_files, path), [this, gen] { tellLater(gen); });
    m_watch.start();
}

void LazySound::tellLater(std::uint64_t gen) {
    QMetaObject::invokeMethod(
        &m_context, [this, gen] { endOf(gen); }, Qt::QueuedConnection);
}

void LazySound::endOf(std::uint64_t gen) {
    if (gen != m_gen || !m_ended)
        return;
    m_watch.stop();
    const Ended ended = std::move(m_ended);
    m_ended = nullptr;
    ended();
}

void LazySound::stop() {
    ++m_gen;
    m_ended = nullptr;
    m_watch.stop();
    if (m_player)
        m_player->stop();
}

bool LazySound::waitEnd(std::chrono::milliseconds timeout) {
    return m_player ? m_player->waitEnd(timeout) : true;
}

Sound* LazySound::player() {
    if (m_tried)
        return m_player.get();
    m_tried = true;
    QStringList candidates;
    if (!m_modulePath.empty()) {
        candidates << QString::fromStdString(m_modulePath);
    } else {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QString name = QLatin1String(kModuleName);
        candidates << exeDir + QLatin1Char('/') + name << exeDir + QLatin1String("/../lib/morvantis/") + name;
    }
    QString error;
    for (const QString& candidate : candidates) {
        QLibrary library(candidate);
        const auto create = reinterpret_cast<CreatePlayer>(library.resolve(kEntryPoint));
        if (create) {
            m_player.reset(create());
            return m_player.get();
        }
        if (error.isEmpty())
            error = library.errorString();
    }
    say(stderr, QStringLiteral("morvantis: sounds are not played: ") + error);
    return nullptr;
}

} // namespace morvantis
