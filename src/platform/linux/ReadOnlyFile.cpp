#include "platform/ReadOnlyFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantis::readonly {

int open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::int64_t seek(int fd, std::int64_t offset, int whence) {
    return ::lseek(fd, offset, whence);
}

std::int64_t length(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

std::int64_t read(int fd, void* into, std::int64_t count) {
    for (;;) {
        const ssize_t got = ::read(fd, into, static_cast<std::size_t>(count));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

void close(int fd) {
    ::close(fd);
}

} // namespace morvantis::readonly
