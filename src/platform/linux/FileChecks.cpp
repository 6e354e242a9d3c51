#include "platform/FileChecks.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantis {

bool openRegularFile(const QString& path, QFile& file) {
    // Non-blocking: opening a pipe with no writer would otherwise wait for one for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool isOtherThanFile(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::string whyNotWritable(const QString& path) {
    const QFileInfo info(path);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    if (::access(folder.constData(), W_OK) != 0)
        return std::strerror(errno);
    if (info.exists() && ::access(file.constData(), W_OK) != 0)
        return std::strerror(errno); // also an immutable file, even for root
    // Folder and file allow writing: a scratch file as large as the save shows what the disk says.
    QByteArray scratch = folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0)
        return std::strerror(errno);
    const std::string bytes(static_cast<std::size_t>(std::max<qint64>(info.size(), 0) + 4096), '\n');
    int failure = 0;
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0)
        failure = errno ? errno : ENOSPC;
    ::close(fd);
    ::unlink(scratch.constData());
    if (failure)
        return std::strerror(failure);
    return {};
}

} // namespace morvantis
