#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace morvantis {

// What the systems tell of files their own way, for the files the clock reads and writes.

// Opens a regular file for reading without ever blocking: a named pipe, socket or device
// (also behind a link) is refused, as a missing file is. Skins come from anywhere.
bool openRegularFile(const QString& path, QFile& file);

// Whether something other than a regular file stands at path (a named pipe, a folder), which
// must never be opened.
bool isOtherThanFile(const QString& path);

// Why the file at path cannot be written, in the system's words: the folder's and the file's
// permissions, then a trial write as large as the file beside it (what the disk says); empty
// when the system does not say. The file itself is left untouched.
std::string whyNotWritable(const QString& path);

} // namespace morvantis
