#pragma once

#include "platform/Shell.h"

namespace morvantis {

// Opens addresses with the desktop's handler. Its answer is not examined.
class QtShell final : public Shell {
public:
    void openUrl(const std::string& address) override;
};

} // namespace morvantis
