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
    // Synchronous returns when the sound has been heard, when stop() is called from another
    // thread, or when the player gives the request up (no sound server, one that does not
    // answer within its bound); never later than the sound's length and a margin.
    // Asynchronous returns at once.
    virtual void play(const std::string& path, Mode mode) = 0;
    // Stops a sound still playing; nothing when none plays. Safe from any thread.
    virtual void stop() {}
    // Waits at most timeout for the sound asked for last to end or be given up; true when no
    // sound plays any more.
    virtual bool waitEnd(std::chrono::milliseconds timeout) {
        (void)timeout;
        return true;
    }
};

} // namespace morvantis
