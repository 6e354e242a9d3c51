#pragma once

// Helpers shared by the fuzz targets. They build both under libFuzzer and in the replay
// program of the normal tests, so every input found stays a regression test.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    static const std::filesystem::path dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/morvantis-fuzz-XXXXXX";
        if (!mkdtemp(templ.data()))
            std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratch(), ec);
        });
        return std::filesystem::path(templ);
    }();
    return dir;
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(out.good(), "the scratch file could be written");
}

} // namespace morvantis::fuzz
