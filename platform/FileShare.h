#pragma once
// Windows share modes between processes, emulated with open-file-description locks.
//
// Each folder that holds shared files gets a hidden lock file ".corvshare"; every file
// name owns a few bytes in it (chosen by a hash of the lower-cased name). An open holds
// shared locks saying what it does (reads, writes) and what it refuses to others; a new
// open checks those before taking its own. Keeping the locks off the data file itself
// means they survive a save that replaces the file by renaming a temporary one over it.
// The locks vanish with the process, so a crash never leaves a file held.

#include <memory>
#include <string>

namespace corv::platform {

enum ShareAccess : unsigned {
    kShareNone = 0,
    kShareRead = 1,
    kShareWrite = 2,
    kShareReadWrite = 3,
};

class ShareLock {
  public:
    enum class Result { kGranted, kConflict, kUnavailable };

    // access: what this open does; share: what it lets others do at the same time.
    // kUnavailable: the folder cannot hold the lock file (read-only media); the caller
    // goes on without sharing checks.
    static Result Acquire(const std::string& path, unsigned access, unsigned share,
                          std::unique_ptr<ShareLock>& out);
    ~ShareLock();

    ShareLock(const ShareLock&) = delete;
    ShareLock& operator=(const ShareLock&) = delete;

  private:
    explicit ShareLock(int fd) : fd_(fd) {}
    int fd_;
};

// Byte-range locks on an open file (LockFile / UnlockFile). Non-blocking; an
// exclusive lock when the descriptor can write, a shared one otherwise.
bool LockFileRange(int fd, long long offset, long long length);
bool UnlockFileRange(int fd, long long offset, long long length);

}  // namespace corv::platform
