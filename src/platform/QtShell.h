#pragma once

#include "platform/Shell.h"

namespace morvantis {

// Opens addresses with the desktop's handler. What the handler does afterwards is not
// examined, but a handler that cannot be started at all is a failure.
class QtShell final : public Shell {
public:
    void openUrl(const std::string& address) override;
};

} // namespace morvantis
