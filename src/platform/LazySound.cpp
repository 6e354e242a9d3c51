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
    : m_files(files), m_modulePath(std::move(modulePath)) {}

LazySound::~LazySound() = default; // the module stays loaded: its thread ends with the player

void LazySound::setInterrupt(std::function<bool()> interrupted) {
    m_interrupted = std::move(interrupted);
}

void LazySound::play(const std::string& path, Mode mode) {
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

void LazySound::stop() {
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
