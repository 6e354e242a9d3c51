#include "platform/FileState.h"

#include <windows.h>
#include <io.h>

#include <algorithm>

namespace morvantis {

namespace {
std::int64_t ticks(LARGE_INTEGER t) {
    return static_cast<std::int64_t>(t.QuadPart);
}
} // namespace

std::optional<FileState> fileStateOf(int fd) {
    if (fd < 0)
        return std::nullopt;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    BY_HANDLE_FILE_INFORMATION file{};
    FILE_BASIC_INFO times{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &file) ||
        !::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    // The volume and the file's index name the file itself, as device and inode do; the change
    // time moves when another file is renamed over it.
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    ULARGE_INTEGER now{};
    now.LowPart = nowTime.dwLowDateTime;
    now.HighPart = nowTime.dwHighDateTime;
    const std::int64_t changed = std::max(ticks(times.LastWriteTime), ticks(times.ChangeTime));
    return FileState{{static_cast<std::int64_t>(file.dwVolumeSerialNumber),
                      (static_cast<std::int64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow,
                      (static_cast<std::int64_t>(file.nFileSizeHigh) << 32) | file.nFileSizeLow,
                      ticks(times.LastWriteTime), ticks(times.ChangeTime), ticks(times.CreationTime), 0},
                     std::chrono::nanoseconds((static_cast<std::int64_t>(now.QuadPart) - changed) * 100)};
}

} // namespace morvantis
