#pragma once

#include "platform/Sound.h"

#include <memory>

class QThread;

namespace morvantis {

class PlayerWorker;
struct PlayerShared;

// Plays wave files through a QAudioSink in push mode, on one worker thread that lives as long
// as the player. A file that cannot be played gives the built-in alert; without an audio
// output every request returns at once, said once on standard error.
class WavePlayer final : public Sound {
public:
    WavePlayer();
    ~WavePlayer() override;
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // path is taken as it is: mapping and case matching belong to the caller.
    void play(const std::string& path, Mode mode) override;
    void stop() override;

private:
    std::uint64_t request(const std::string& path, bool stopOnly);

    std::unique_ptr<PlayerShared> m_shared;
    std::unique_ptr<QThread> m_thread;
    PlayerWorker* m_worker = nullptr; // lives in m_thread
};

} // namespace morvantis
