#include "testsupport/ReadOnlyFolder.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace corv::test {

namespace stdfs = std::filesystem;

namespace {

// Write permissions off (or back on) for the folder and everything under it.
bool SetWritable(const std::string& folder, bool writable) {
    std::error_code ec;
    const auto write = stdfs::perms::owner_write | stdfs::perms::group_write;
    const auto how = writable ? stdfs::perm_options::add : stdfs::perm_options::remove;
    stdfs::permissions(folder, write, how, ec);
    for (auto it = stdfs::recursive_directory_iterator(folder, ec);
         !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink()) stdfs::permissions(it->path(), write, how, ec);
    return !ec;
}

}  // namespace

int InReadOnlyFolder(const std::string& folder, const std::function<int()>& run) {
    const bool root = ::geteuid() == 0;
    if (!root && !SetWritable(folder, false)) {
        SetWritable(folder, true);
        return kNoReadOnlyFolder;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (root &&
            (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0 ||
             ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
                 0))
            ::_exit(kNoReadOnlyFolder);
        ::_exit(std::clamp(run(), 0, kNoReadOnlyFolder - 1));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!root) SetWritable(folder, true);
    return WIFEXITED(status) ? WEXITSTATUS(status) : kNoReadOnlyFolder - 1;
}

std::vector<std::string> TreeOf(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (auto it = stdfs::recursive_directory_iterator(folder, ec);
         !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec))
        paths.push_back(stdfs::relative(it->path(), folder).generic_string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace corv::test
