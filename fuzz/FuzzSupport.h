#pragma once

// Helpers shared by the fuzz targets. They build both under libFuzzer and in the replay
// program of the normal tests, so every input found stays a regression test.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace morvantis::fuzz {

// A broken property is a crash for libFuzzer: report it and abort.
inline void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A private folder for the files a target writes, removed when the process ends.
inline const std::filesystem::path& scratch() {
    namespace fs = std::filesystem;
    // Removed by its own destructor: an atexit handler registered while the static is being made
    // would run after the static is gone.
    struct Folder {
        fs::path dir;
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    };
    static const Folder folder{[] {
        std::error_code ec;
        const fs::path base = fs::temp_directory_path(ec); // $TMPDIR, else /tmp; %TMP% on Windows
        std::random_device random;
        for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
            // A new folder only: one that exists may be another's.
            const fs::path dir = base / ("morvantis-fuzz-" + std::to_string(random()));
            if (!fs::create_directory(dir, ec))
                continue;
            fs::permissions(dir, fs::perms::owner_all, ec);
            return dir;
        }
        std::abort();
    }()};
    return folder.dir;
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(out.good(), "the scratch file could be written");
}

} // namespace morvantis::fuzz
