#include "platform/ReadOnlyFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <string>

namespace morvantis::readonly {

int open(const std::string& path) {
    // By its UTF-16 name: the narrow calls take the ANSI code page.
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return -1;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
    const int fd = ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    struct _stat64 st {};
    if (fd >= 0 && (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
        ::_close(fd);
        return -1;
    }
    return fd;
}

std::int64_t seek(int fd, std::int64_t offset, int whence) {
    return ::_lseeki64(fd, offset, whence);
}

std::int64_t length(int fd) {
    return ::_filelengthi64(fd);
}

std::int64_t read(int fd, void* into, std::int64_t count) {
    return ::_read(fd, into, static_cast<unsigned>(count));
}

void close(int fd) {
    ::_close(fd);
}

} // namespace morvantis::readonly
