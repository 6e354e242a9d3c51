#pragma once

#include <chrono>
#include <string>

namespace morvantis {

// Wave playback by path. A new request stops a sound still playing; a missing or
// bad file plays a built-in alert instead.
class Sound {
public:
    enum class Mode { Synchronous, Asynchronous };
    virtual ~Sound() = default;
    // Synchronous returns when the sound has been heard (as the sound server reports it,
    // however long its sink buffers), when stop() is called from another thread, or when the
    // player gives the request up (no sound server, one that leaves a request unanswered for
    // its bound).
    // Asynchronous returns at once.
    virtual void play(const std::string& path, Mode mode) = 0;
    // Stops a sound still playing; nothing when none plays. Safe from any thread.
    virtual void stop() {}
    // Waits at most timeout for the sound asked for last to end or be given up; true when no
    // sound plays any more, nor will (a request given up is never played later).
    virtual bool waitEnd(std::chrono::milliseconds timeout) {
        (void)timeout;
        return true;
    }
};

} // namespace morvantis
