#pragma once

#include <cstdint>
#include <string>

namespace morvantis::readonly {

// A file read through a C runtime descriptor, opened each system its own way: on Linux without
// waiting for a writer (a named pipe) and not inherited; on Windows in binary, by its UTF-16 name.
// The path is UTF-8. A regular file only: -1 for anything else (a pipe or a device would block
// or never end), as for a file that cannot be opened.
int open(const std::string& path);
// As lseek; -1 on failure.
std::int64_t seek(int fd, std::int64_t offset, int whence);
// The file's size; -1 when the system does not say.
std::int64_t length(int fd);
// At most count bytes (the system's limit for one call applies); 0 at the end, -1 on failure.
std::int64_t read(int fd, void* into, std::int64_t count);
void close(int fd);

} // namespace morvantis::readonly
