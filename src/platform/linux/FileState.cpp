#include "platform/FileState.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace morvantis {

std::optional<FileState> fileStateOf(int fd) {
    struct stat st {};
    timespec now{};
    if (fd < 0 || ::fstat(fd, &st) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
    };
    const auto changed = std::max(ns(st.st_mtim), ns(st.st_ctim));
    return FileState{{static_cast<std::int64_t>(st.st_dev), static_cast<std::int64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                      static_cast<std::int64_t>(st.st_mtim.tv_nsec),
                      static_cast<std::int64_t>(st.st_ctim.tv_sec),
                      static_cast<std::int64_t>(st.st_ctim.tv_nsec)},
                     ns(now) - changed};
}

} // namespace morvantis
