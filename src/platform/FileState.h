#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace morvantis {

// What tells one state of an open file from another (the file itself, its size and the times
// of its last changes), and how long ago it last changed.
struct FileState {
    std::array<std::int64_t, 7> identity;
    std::chrono::nanoseconds age;
};

// The state of the file open as the C runtime descriptor fd; nothing when the system does not say.
std::optional<FileState> fileStateOf(int fd);

} // namespace morvantis
