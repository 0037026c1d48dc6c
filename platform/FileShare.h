#pragma once
// Windows share modes between processes, emulated with open-file-description locks.
//
// Each folder that holds shared files gets a hidden lock file ".corvshare"; every file
// name owns a few bytes in it (chosen by a hash of the lower-cased name). An open holds
// shared locks saying what it does (reads, writes) and what it refuses to others; a new
// open checks those before taking its own. Keeping the locks off the data file itself
// means they survive a save that replaces the file by renaming a temporary one over it.
// The locks vanish with the process, so a crash never leaves a file held.
//
// Only an open that writes creates a folder's lock file. An open that only reads never
// writes into the folder (an installation may be read-only, or a source tree): it takes
// its locks in the folder's lock file when that is there and writable, and otherwise in a
// stand-in for the folder in the system's temporary folder, which every open checks too.
// Readers on other workstations see each other only through the folder's own file.

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
    // kUnavailable: no lock file can be taken for the folder (a writer in a read-only
    // folder, a folder that does not exist); the caller goes on without sharing checks.
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
