#pragma once

#include <functional>
#include <optional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace morvantis::test {

// Runs check as an unprivileged user, so that file permissions really apply: as 'nobody'
// (65534) in a child process when running as root, in this process otherwise. Returns
// check's result (0..124), or nothing when the privileges could not be dropped.
inline std::optional<int> runUnprivileged(const std::function<int()>& check) {
    if (geteuid() != 0)
        return check();
    constexpr int kCouldNotDrop = 125;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(kCouldNotDrop);
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == kCouldNotDrop)
        return std::nullopt;
    return WEXITSTATUS(status);
}

} // namespace morvantis::test
