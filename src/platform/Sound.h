#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace morvantis {

// Wave playback by path. A new request stops a sound still playing; a missing or bad file plays a
// built-in alert instead.
class Sound {
public:
    enum class Mode { Synchronous, Asynchronous };
    using Ended = std::function<void()>;
    virtual ~Sound() = default;
    // Synchronous returns when the sound has been heard (as the sound server reports it, however
    // long its sink buffers), when stop() is called from another thread, or when the player gives
    // the request up (no sound server, one that leaves a request unanswered for its bound). Only
    // for code without an event loop: it holds the calling thread.
    // Asynchronous returns at once.
    virtual void play(const std::string& path, Mode mode) = 0;
    // Asynchronous, and `ended` is called once, when this sound is over: heard to its end, or given
    // up. Never from inside this call. stop() or a newer request first: it is never called.
    // The program's player (LazySound) calls it from the event loop of the thread that asked; the
    // sound module's players call it on their own thread, with their lock held, so it must only
    // hand the news on.
    virtual void playThen(const std::string& path, Ended ended) = 0;
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
