#pragma once

#include <stdexcept>
#include <string>

namespace morvantis {

// A failure raised by the open call itself (not the handler's answer, which is never examined).
struct ShellError : std::runtime_error {
    ShellError(int number, const std::string& description)
        : std::runtime_error(description), number(number) {}
    int number;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens an address or document with the system's handler. May throw ShellError.
    virtual void openUrl(const std::string& address) = 0;
};

} // namespace morvantis
