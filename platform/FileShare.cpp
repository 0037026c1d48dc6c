#include "platform/FileShare.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace corv::platform {
namespace {

constexpr char kLockFileName[] = ".corvshare";

enum Slot { kMutex = 0, kHasRead, kHasWrite, kDenyRead, kDenyWrite, kSlots = 8 };

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The first of a file's slots: a hash of the lower-cased name (and, in the stand-in, of
// the folder), so the bytes of different files rarely meet.
off_t SlotBaseOf(const std::string& name, uint64_t seed) {
    uint64_t h = seed;
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

off_t SlotBase(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return SlotBaseOf(slash == std::string::npos ? path : path.substr(slash + 1),
                      1469598103934665603ull);
}

// The descriptors one Acquire works with, each with the slots of the file in it; those
// not kept are closed.
struct LockFiles {
    int folder = -1;
    int local = -1;
    bool folderWritable = false;
    off_t folderBase = 0;
    off_t localBase = 0;
    int Keep(int fd) {
        if (folder == fd) folder = -1;
        if (local == fd) local = -1;
        return fd;
    }
    ~LockFiles() {
        if (folder >= 0) ::close(folder);
        if (local >= 0) ::close(local);
    }
};

// The stand-in for the folders' lock files on this machine, one file in the system's
// temporary folder, for the opens that only read: they cannot or must not write into the
// folder. Every open checks it too. A file's slots there are chosen by its folder's device
// and inode and its name. -1 when the folder is missing.
int OpenLocalLockFile(const std::string& path, off_t& base) {
    const std::string folder = FolderOf(path);
    struct stat st = {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return -1;
    uint64_t seed = 1469598103934665603ull;
    for (uint64_t part : {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)})
        for (int i = 0; i < 8; ++i) seed = (seed ^ ((part >> (8 * i)) & 0xFF)) * 1099511628211ull;
    const size_t slash = path.find_last_of('/');
    base = SlotBaseOf(slash == std::string::npos ? path : path.substr(slash + 1), seed);
    // Never through a link; a file another user made is opened as it is, without O_CREAT,
    // which sticky folders refuse for files of others.
    const char* name = "/tmp/.corvshare";
    int fd = ::open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            ::fchmod(fd, 0666);
        else if (errno == EEXIST)
            fd = ::open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    }
    return fd;
}

}  // namespace

ShareLock::Result ShareLock::Acquire(const std::string& path, unsigned access, unsigned share,
                                     std::unique_ptr<ShareLock>& out) {
    out.reset();
    const std::string folder = FolderOf(path);
    const bool writes = (access & kShareWrite) != 0;
    // Only an open that writes may create the folder's lock file: reading an installation
    // never writes into it. Others take part when the file is there.
    LockFiles files;
    files.folder =
        ::open((folder + kLockFileName).c_str(), O_RDWR | O_CLOEXEC | (writes ? O_CREAT : 0), 0666);
    files.folderWritable = files.folder >= 0;
    if (!files.folderWritable && writes) return Result::kUnavailable;
    if (!files.folderWritable)
        files.folder = ::open((folder + kLockFileName).c_str(), O_RDONLY | O_CLOEXEC);
    files.folderBase = SlotBase(path);
    files.local = OpenLocalLockFile(path, files.localBase);
    // A reader without a lock file it may lock in registers beside the folder instead.
    if (!files.folderWritable && files.local < 0) return Result::kUnavailable;
    // The check and the taking must not interleave with another process doing the same:
    // every open takes the local mutex, and the folder's when it can.
    const off_t local = files.localBase, inFolder = files.folderBase;
    if ((files.local >= 0 && !SetLock(files.local, F_WRLCK, local + kMutex, 1, true)) ||
        (files.folderWritable && !SetLock(files.folder, F_WRLCK, inFolder + kMutex, 1, true)))
        return Result::kUnavailable;
    auto held = [&](Slot slot) {
        return (files.folder >= 0 && HeldByOther(files.folder, inFolder + slot)) ||
               (files.local >= 0 && HeldByOther(files.local, local + slot));
    };
    const bool conflict = ((access & kShareRead) && held(kDenyRead)) ||
                          ((access & kShareWrite) && held(kDenyWrite)) ||
                          (!(share & kShareRead) && held(kHasRead)) ||
                          (!(share & kShareWrite) && held(kHasWrite));
    const int mine = files.folderWritable ? files.folder : files.local;
    const off_t base = files.folderWritable ? inFolder : local;
    bool ok = !conflict;
    if (ok && (access & kShareRead)) ok = SetLock(mine, F_RDLCK, base + kHasRead, 1, false);
    if (ok && (access & kShareWrite)) ok = SetLock(mine, F_RDLCK, base + kHasWrite, 1, false);
    if (ok && !(share & kShareRead)) ok = SetLock(mine, F_RDLCK, base + kDenyRead, 1, false);
    if (ok && !(share & kShareWrite)) ok = SetLock(mine, F_RDLCK, base + kDenyWrite, 1, false);
    if (files.folderWritable) SetLock(files.folder, F_UNLCK, inFolder + kMutex, 1, false);
    if (files.local >= 0) SetLock(files.local, F_UNLCK, local + kMutex, 1, false);
    if (!ok) return conflict ? Result::kConflict : Result::kUnavailable;
    out.reset(new ShareLock(files.Keep(mine)));
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
