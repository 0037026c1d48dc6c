#include "core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "core/FileNames.h"

namespace corv {

bool ReadAll(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out.append(buf, static_cast<size_t>(n));
    }
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ReadAll(fd, out);
    ::close(fd);
    return ok;
}

bool WriteFileAtomic(const std::string& path, std::string_view content) {
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {  // keep a link pointing where it did
        target = real;
        std::free(real);
    }
    std::string tmpl = fs::DirName(target) + "." + fs::BaseName(target) + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    struct stat st;
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const char* p = content.data();
    size_t left = content.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    return ok;
}

bool CopyFileAtomic(const std::string& from, const std::string& to) {
    std::string content;
    return ReadWholeFile(from, content) && WriteFileAtomic(to, content);
}

std::string KeepDamagedCopy(const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) return {};
    // The same damage seen again (a second open, a report) makes no second copy.
    for (const std::string& name : fs::ListMatching(path + ".damaged-*")) {
        std::string earlier;
        const std::string copy = fs::DirName(path) + name;
        if (ReadWholeFile(copy, earlier) && earlier == content) return copy;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string copy = path + ".damaged-" + stamp;
    for (int n = 2; fs::FileExists(copy); ++n)
        copy = path + ".damaged-" + stamp + "-" + std::to_string(n);
    return WriteFileAtomic(copy, content) ? copy : std::string();
}

}  // namespace corv
