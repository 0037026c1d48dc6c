#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/FileShare.h"

namespace corv::platform {
namespace {

std::string FreshDir() {
    const char* root = std::getenv("CORV_TEST_TMP");
    std::string base = root && *root ? root : "/tmp";
    std::filesystem::create_directories(base);
    std::string tmpl = base + "/share-XXXXXX";
    return ::mkdtemp(tmpl.data());
}

// The child tries to take the lock while the parent holds its own.
bool GrantedInChild(const std::string& path, unsigned access, unsigned share) {
    pid_t pid = ::fork();
    if (pid == 0) {
        std::unique_ptr<ShareLock> lock;
        ::_exit(ShareLock::Acquire(path, access, share, lock) == ShareLock::Result::kGranted ? 0
                                                                                             : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ShareLock, WindowsShareRulesBetweenProcesses) {
    const std::string dir = FreshDir();
    const std::string path = dir + "/file.dat";
    struct Case {
        unsigned access, share, access2, share2;
        bool granted;
    } cases[] = {
        {kShareRead, kShareRead, kShareRead, kShareRead, true},
        {kShareRead, kShareRead, kShareReadWrite, kShareRead, false},
        {kShareReadWrite, kShareRead, kShareRead, kShareReadWrite, true},
        {kShareReadWrite, kShareRead, kShareRead, kShareRead, false},
        {kShareReadWrite, kShareNone, kShareRead, kShareReadWrite, false},
        {kShareReadWrite, kShareReadWrite, kShareReadWrite, kShareReadWrite, true},
        {kShareWrite, kShareRead, kShareRead, kShareReadWrite, true},
    };
    for (const auto& c : cases) {
        std::unique_ptr<ShareLock> held;
        ASSERT_EQ(ShareLock::Acquire(path, c.access, c.share, held), ShareLock::Result::kGranted);
        EXPECT_EQ(GrantedInChild(path, c.access2, c.share2), c.granted)
            << c.access << "/" << c.share << " vs " << c.access2 << "/" << c.share2;
        // Other names in the same folder are not affected.
        EXPECT_TRUE(GrantedInChild(dir + "/other.dat", kShareReadWrite, kShareNone));
    }
    EXPECT_TRUE(GrantedInChild(path, kShareReadWrite, kShareNone));
    std::filesystem::remove_all(dir);
}

TEST(ShareLock, NamesDifferingOnlyInCaseAreOneFile) {
    const std::string dir = FreshDir();
    std::unique_ptr<ShareLock> held;
    ASSERT_EQ(ShareLock::Acquire(dir + "/User.usr", kShareReadWrite, kShareNone, held),
              ShareLock::Result::kGranted);
    EXPECT_FALSE(GrantedInChild(dir + "/USER.USR", kShareRead, kShareReadWrite));
    std::filesystem::remove_all(dir);
}

TEST(ShareLock, UnwritableFolderIsUnavailableNotAConflict) {
    std::unique_ptr<ShareLock> lock;
    EXPECT_EQ(ShareLock::Acquire("/proc/nonexistent/x", kShareRead, kShareRead, lock),
              ShareLock::Result::kUnavailable);
}

}  // namespace
}  // namespace corv::platform
