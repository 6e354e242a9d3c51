#pragma once

#include "platform/Sound.h"

#include <functional>
#include <string>
#include <vector>

namespace morvantis::test {

// Records every request; onPlay runs inside the request, as long as a real sound would block.
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
    std::vector<Request> played;
    std::function<void(const std::string&, Mode)> onPlay;
};

} // namespace morvantis::test
