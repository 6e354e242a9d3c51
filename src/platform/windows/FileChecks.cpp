#include "platform/FileChecks.h"

#include <QFileInfo>

namespace morvantis {

// A file name on Windows names no pipe (those live under \\.\pipe\); a folder is refused.
bool openRegularFile(const QString& path, QFile& file) {
    file.setFileName(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}

// Windows' native store is the registry: the lock file is Qt's own and never a pipe.
bool isOtherThanFile(const QString&) {
    return false;
}

std::string whyNotWritable(const QString&) {
    return {};
}

} // namespace morvantis
