#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

namespace morvantis::test {

class FakeShell final : public Shell {
public:
    void openUrl(const std::string& address) override {
        opened.push_back(address);
        if (failWith)
            throw ShellError(failNumber, failDescription);
    }
    std::vector<std::string> opened;
    bool failWith = false;
    int failNumber = 0;
    std::string failDescription;
};

} // namespace morvantis::test
