#include "platform/LazySound.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace morvantis {

namespace {
using CreatePlayer = Sound* (*)();
constexpr const char* kModuleName = "morvantis_player";
constexpr const char* kEntryPoint = "morvantis_create_player";
} // namespace

std::string mapSoundPath(const Files& files, const std::string& path) {
    std::string mapped = path;
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    if (mapped.empty())
        return mapped;
    return files.resolve(mapped).value_or(mapped);
}

LazySound::LazySound(const Files& files, std::string modulePath)
    : m_files(files), m_modulePath(std::move(modulePath)) {}

LazySound::~LazySound() = default; // the module stays loaded: its thread ends with the player

void LazySound::play(const std::string& path, Mode mode) {
    const std::string mapped = mapSoundPath(m_files, path);
    if (Sound* p = player())
        p->play(mapped, mode);
}

void LazySound::stop() {
    if (m_player)
        m_player->stop();
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
    std::fprintf(stderr, "morvantis: sounds are not played: %s\n", qPrintable(error));
    return nullptr;
}

} // namespace morvantis
