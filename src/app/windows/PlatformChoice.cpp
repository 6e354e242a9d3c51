#include "app/PlatformChoice.h"

namespace morvantis {

// Windows has one window system.
PlatformChoice PlatformChoice::make(int, char*[]) {
    return {};
}

} // namespace morvantis
