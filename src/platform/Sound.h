#pragma once

#include <string>

namespace morvantis {

// Wave playback by path. A new request stops a sound still playing; a missing or
// bad file plays a built-in alert instead.
class Sound {
public:
    enum class Mode { Synchronous, Asynchronous };
    virtual ~Sound() = default;
    // Synchronous returns when the sound has been heard (bounded); asynchronous returns at once.
    virtual void play(const std::string& path, Mode mode) = 0;
    // Stops a sound still playing; nothing when none plays.
    virtual void stop() {}
};

} // namespace morvantis
