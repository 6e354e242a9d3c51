#pragma once

#include "platform/Sound.h"

#include <functional>
#include <string>
#include <vector>

namespace morvantis::test {

// Records every request; onPlay runs inside the request, as long as a real sound would block.
// A wait for the sound's end asks onWait whether it has ended (it has, without one).
class FakeSound final : public Sound {
public:
    struct Request {
        std::string path;
        Mode mode;
    };
    void play(const std::string& path, Mode mode) override {
        played.push_back({path, mode});
        if (onPlay)
            onPlay(path, mode);
    }
    void stop() override {
        ++stops;
        if (onStop)
            onStop();
    }
    bool waitEnd(std::chrono::milliseconds) override {
        ++waits;
        return !onWait || onWait();
    }
    std::vector<Request> played;
    std::function<void(const std::string&, Mode)> onPlay;
    std::function<bool()> onWait;
    std::function<void()> onStop;
    int stops = 0;
    int waits = 0;
};

} // namespace morvantis::test
