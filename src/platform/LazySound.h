#pragma once

#include "platform/Sound.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace morvantis {

class Files;

// The program's wave player. The audio stack lives in a module beside the program that is
// loaded on the first request, so that a clock that never sounds does not carry it.
// Paths may use "\" and any letter case; they are mapped and matched before playing.
class LazySound final : public Sound {
public:
    // modulePath empty: the module is looked for beside the executable and in ../lib/morvantis.
    explicit LazySound(const Files& files, std::string modulePath = {});
    ~LazySound() override;
    // Only for synchronous requests (a program without an event loop). A synchronous request asks this at
    // least every 50 ms while it waits; once it says true, the sound stops and the request returns, and
    // synchronous requests play nothing while it stays true. Called on the thread that plays, never from a
    // signal handler.
    void setInterrupt(std::function<bool()> interrupted);
    void play(const std::string& path, Mode mode) override;
    // ended comes from this thread's event loop, also when the module cannot be loaded or the
    // player gives the request up.
    void playThen(const std::string& path, Ended ended) override;
    void stop() override;
    bool waitEnd(std::chrono::milliseconds timeout) override;
    // Whether the module has been loaded (by a first request).
    bool loaded() const { return m_player != nullptr; }

private:
    Sound* player();
    bool interrupted() const { return m_interrupted && m_interrupted(); }
    // Request gen's end has come: told, unless a stop or a newer request came first.
    void endOf(std::uint64_t gen);
    void tellLater(std::uint64_t gen);

    const Files& m_files;
    std::string m_modulePath;
    std::unique_ptr<Sound> m_player;
    std::function<bool()> m_interrupted;
    bool m_tried = false;
    std::uint64_t m_gen = 0; // the last request
    Ended m_ended;           // to be told of its end
    QObject m_context;       // the player's news is delivered to this thread through it
    QTimer m_watch;          // asks a held-up player now and then, so that it gives the request up
};

// The path as the platform spells it: the path as it stands when it names a file; else "\"
// becomes "/" and the file is found without regard to case.
std::string mapSoundPath(const Files& files, const std::string& path);

} // namespace morvantis
