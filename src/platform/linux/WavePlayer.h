#pragma once

#include "platform/Sound.h"

#include <chrono>
#include <memory>
#include <thread>

namespace morvantis {

struct PlayerState;

// Plays wave files through the sound server's client library (libpulse, which PulseAudio and
// PipeWire's pulse server both speak). One worker thread decodes each request and drives it;
// libpulse's threaded main loop does the talking, never blocking. Each request finds the
// server as it is now: a connection that failed, or was never made, is made afresh. A stream
// asks the server for a short latency, and a sound is over when the server says it has been
// heard, however long its sink buffers; the server is taken for gone only when it leaves a
// request unanswered for a bound. A file that cannot be played gives the built-in alert; a
// request given up plays nothing, said once on standard error.
class WavePlayer final : public Sound {
public:
    WavePlayer();
    // Never waits on the sound server: a worker that does not end at once is left behind.
    ~WavePlayer() override;
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // path is taken as it is: mapping and case matching belong to the caller.
    void play(const std::string& path, Mode mode) override;
    // ended is called on the worker's thread.
    void playThen(const std::string& path, Ended ended) override;
    void stop() override;
    bool waitEnd(std::chrono::milliseconds timeout) override;

    // When the steps of the last sound played to its end happened: for measurements.
    struct Timeline {
        std::chrono::steady_clock::time_point asked, firstWritten, lastWritten, confirmed;
        std::chrono::microseconds granted{0}; // the stream's buffer, as the server granted it
    };
    Timeline lastTimeline() const;

private:
    std::shared_ptr<PlayerState> m_state;
    std::thread m_worker;
};

} // namespace morvantis
