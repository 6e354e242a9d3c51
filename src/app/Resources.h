#pragma once

namespace morvantis {
// Makes the compiled-in window pictures available (the library is static).
void initResources();
} // namespace morvantis
