#include "platform/FileShare.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace corv::platform {
namespace {

constexpr char kLockFileName[] = ".corvshare";

enum Slot { kMutex = 0, kHasRead, kHasWrite, kDenyRead, kDenyWrite, kSlots = 8 };

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

off_t SlotBase(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
        h = (h ^ c) * 1099511628211ull;
    }
    return static_cast<off_t>((h % (1ull << 40)) * kSlots);
}

bool SetLock(int fd, short type, off_t start, off_t len, bool wait) {
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = len;
    for (;;) {
        if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// True when another open file description holds any lock on the byte.
bool HeldByOther(int fd, off_t at) {
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
    return fl.l_type != F_UNLCK;
}

}  // namespace

ShareLock::Result ShareLock::Acquire(const std::string& path, unsigned access, unsigned share,
                                     std::unique_ptr<ShareLock>& out) {
    out.reset();
    std::string lockPath = FolderOf(path) + kLockFileName;
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Result::kUnavailable;
    const off_t base = SlotBase(path);

    // The check and the taking must not interleave with another process doing the same.
    if (!SetLock(fd, F_WRLCK, base + kMutex, 1, true)) {
        ::close(fd);
        return Result::kUnavailable;
    }
    bool conflict = ((access & kShareRead) && HeldByOther(fd, base + kDenyRead)) ||
                    ((access & kShareWrite) && HeldByOther(fd, base + kDenyWrite)) ||
                    (!(share & kShareRead) && HeldByOther(fd, base + kHasRead)) ||
                    (!(share & kShareWrite) && HeldByOther(fd, base + kHasWrite));
    bool ok = !conflict;
    if (ok && (access & kShareRead)) ok = SetLock(fd, F_RDLCK, base + kHasRead, 1, false);
    if (ok && (access & kShareWrite)) ok = SetLock(fd, F_RDLCK, base + kHasWrite, 1, false);
    if (ok && !(share & kShareRead)) ok = SetLock(fd, F_RDLCK, base + kDenyRead, 1, false);
    if (ok && !(share & kShareWrite)) ok = SetLock(fd, F_RDLCK, base + kDenyWrite, 1, false);
    SetLock(fd, F_UNLCK, base + kMutex, 1, false);
    if (!ok) {
        ::close(fd);
        return conflict ? Result::kConflict : Result::kUnavailable;
    }
    out.reset(new ShareLock(fd));
    return Result::kGranted;
}

ShareLock::~ShareLock() {
    ::close(fd_);
}

bool LockFileRange(int fd, long long offset, long long length) {
    if (length <= 0) return false;
    int flags = ::fcntl(fd, F_GETFL);
    short type = (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) ? F_WRLCK : F_RDLCK;
    return SetLock(fd, type, offset, length, false);
}

bool UnlockFileRange(int fd, long long offset, long long length) {
    if (length <= 0) return false;
    return SetLock(fd, F_UNLCK, offset, length, false);
}

}  // namespace corv::platform
