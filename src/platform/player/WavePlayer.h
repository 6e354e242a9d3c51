#pragma once

#include "platform/Sound.h"

#include <memory>
#include <thread>

namespace morvantis {

struct PlayerState;

// Plays wave files through the sound server's client library (libpulse, which PulseAudio and
// PipeWire's pulse server both speak). One worker thread decodes each request and drives it;
// libpulse's threaded main loop does the talking, never blocking. Each request finds the
// server as it is now: a connection that failed, or was never made, is made afresh, and no
// request waits on the server longer than a bound. A file that cannot be played gives the
// built-in alert; a request given up plays nothing, said once on standard error.
class WavePlayer final : public Sound {
public:
    WavePlayer();
    // Never waits on the sound server: a worker that does not end at once is left behind.
    ~WavePlayer() override;
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // path is taken as it is: mapping and case matching belong to the caller.
    void play(const std::string& path, Mode mode) override;
    void stop() override;
    bool waitEnd(std::chrono::milliseconds timeout) override;

private:
    void request(const std::string& path, bool stopOnly);

    std::shared_ptr<PlayerState> m_state;
    std::thread m_worker;
};

} // namespace morvantis
