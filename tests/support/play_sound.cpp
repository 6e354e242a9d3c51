// Plays wave files through the program's player, one after another, and prints how long each
// call took in milliseconds. SIGTERM ends it as it ends the clock: the sound playing stops and
// the program ends. Usage: play_sound [--async] [--module PATH] FILE...
#include "platform/LazySound.h"
#include "platform/QtFiles.h"

#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
volatile std::sig_atomic_t g_terminated = 0;
extern "C" void onTerminate(int) {
    g_terminated = 1;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto mode = morvantis::Sound::Mode::Synchronous;
    std::string module;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--async") == 0)
            mode = morvantis::Sound::Mode::Asynchronous;
        else if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc)
            module = argv[++i];
        else
            files.emplace_back(argv[i]);
    }
    std::signal(SIGTERM, onTerminate);
    morvantis::QtFiles fileSystem(QCoreApplication::applicationDirPath().toStdString());
    morvantis::LazySound sound(fileSystem, module);
    sound.setInterrupt([] { return g_terminated != 0; });
    for (const std::string& f : files) {
        const auto t0 = std::chrono::steady_clock::now();
        sound.play(f, mode);
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%.1f\n", ms);
        std::fflush(stdout);
        if (g_terminated)
            break;
    }
    return 0;
}
