#pragma once

#include "platform/Sound.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace morvantis::test {

// Records every request; onPlay runs inside the request (a test may move its clock on there, as
// far as the sound lasts). A wait for the sound's end asks onWait whether it has ended (it has,
// without one). A sound that tells its end ends when the test calls end(), or, with endLater
// set, when endLater runs what it is given (window tests hand it to the event loop).
class FakeSound final : public Sound {
public:
    struct Request {
        std::string path;
        Mode mode;
        bool tellsEnd = false;
    };
    void play(const std::string& path, Mode mode) override {
        pending = nullptr; // a newer request: the last is never told
        ++m_gen;
        played.push_back({path, mode, false});
        if (onPlay)
            onPlay(path, mode);
    }
    void playThen(const std::string& path, Ended ended) override {
        pending = std::move(ended);
        played.push_back({path, Mode::Asynchronous, true});
        const unsigned request = ++m_gen;
        if (onPlay)
            onPlay(path, Mode::Asynchronous);
        if (endLater && pending)
            endLater([this, request] {
                if (m_gen == request)
                    end();
            });
    }
    void stop() override {
        ++stops;
        ++m_gen;
        pending = nullptr;
        if (onStop)
            onStop();
    }
    bool waitEnd(std::chrono::milliseconds) override {
        ++waits;
        return !onWait || onWait();
    }
    // The sound asked for last is over: its caller is told. False when none waits to be told.
    bool end() {
        if (!pending)
            return false;
        const Ended ended = std::move(pending);
        pending = nullptr;
        ended();
        return true;
    }
    bool playing() const { return static_cast<bool>(pending); }

    std::vector<Request> played;
    std::function<void(const std::string&, Mode)> onPlay;
    std::function<bool()> onWait;
    std::function<void()> onStop;
    std::function<void(std::function<void()>)> endLater;
    Ended pending;
    int stops = 0;
    int waits = 0;

private:
    unsigned m_gen = 0;
};

} // namespace morvantis::test
