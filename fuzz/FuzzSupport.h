#pragma once
// Shared by the fuzz targets: one scratch folder per process, one input file reused on
// every run, and a loud stop when an invariant breaks.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace corv::fuzz {

// A fresh folder in /dev/shm (no disk traffic on every run), else $TMPDIR, else /tmp.
// Removed when the process ends normally.
inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        std::string base = "/dev/shm";
        if (::access(base.c_str(), W_OK) != 0) {
            const char* tmp = std::getenv("TMPDIR");
            base = tmp && *tmp ? tmp : "/tmp";
        }
        std::string tmpl = base + "/corv-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string keep;
        keep = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return tmpl;
    }();
    return dir;
}

inline void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            std::perror("write");
            std::abort();
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
}

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

#define CORV_FUZZ_CHECK(cond)                   \
    do {                                        \
        if (!(cond)) ::corv::fuzz::Fail(#cond); \
    } while (0)

}  // namespace corv::fuzz
