#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileShare.h"
#include "testsupport/ReadOnlyFolder.h"

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

TEST(ShareLock, ReadingLeavesTheFolderAsItWasAndStillCounts) {
    const std::string dir = FreshDir();
    const std::string path = dir + "/course.cnt";
    {
        std::unique_ptr<ShareLock> reader;
        ASSERT_EQ(ShareLock::Acquire(path, kShareRead, kShareRead, reader),
                  ShareLock::Result::kGranted);
        // The others see the reader: a reader that refuses readers and a writer wait.
        EXPECT_FALSE(GrantedInChild(path, kShareRead, kShareNone));
        EXPECT_TRUE(GrantedInChild(path, kShareRead, kShareReadWrite));
        EXPECT_TRUE(corv::test::TreeOf(dir).empty());
        EXPECT_FALSE(GrantedInChild(path, kShareReadWrite, kShareRead));
    }
    EXPECT_TRUE(GrantedInChild(path, kShareReadWrite, kShareNone));
    {
        // A writer makes the lock file; a reader then joins it and the writer sees it.
        std::unique_ptr<ShareLock> writer;
        ASSERT_EQ(ShareLock::Acquire(path, kShareReadWrite, kShareRead, writer),
                  ShareLock::Result::kGranted);
        EXPECT_EQ(corv::test::TreeOf(dir), std::vector<std::string>{".corvshare"});
        EXPECT_FALSE(GrantedInChild(path, kShareRead, kShareRead));
        EXPECT_TRUE(GrantedInChild(path, kShareRead, kShareReadWrite));
    }
    std::filesystem::remove_all(dir);
}

TEST(ShareLock, ReadersInAReadOnlyFolderStillSeeEachOther) {
    for (bool withLockFile : {false, true}) {
        const std::string dir = FreshDir();
        const std::string path = dir + "/Policy.dyn";
        if (withLockFile) {
            std::unique_ptr<ShareLock> writer;
            ASSERT_EQ(ShareLock::Acquire(path, kShareReadWrite, kShareNone, writer),
                      ShareLock::Result::kGranted);
        }
        const std::vector<std::string> before = corv::test::TreeOf(dir);
        const int answer = corv::test::InReadOnlyFolder(dir, [&] {
            std::unique_ptr<ShareLock> reader;
            const bool ok = ShareLock::Acquire(path, kShareRead, kShareRead, reader) ==
                                ShareLock::Result::kGranted &&
                            !GrantedInChild(path, kShareRead, kShareNone) &&
                            GrantedInChild(path, kShareRead, kShareReadWrite) &&
                            // Writing stays impossible there, and is no conflict.
                            !GrantedInChild(path, kShareReadWrite, kShareReadWrite);
            return ok ? 0 : 1;
        });
        if (answer == corv::test::kNoReadOnlyFolder)
            GTEST_SKIP() << "no way to make a folder read-only";
        EXPECT_EQ(answer, 0) << (withLockFile ? "with" : "without") << " a lock file";
        EXPECT_EQ(corv::test::TreeOf(dir), before);
        std::filesystem::remove_all(dir);
    }
}

TEST(ShareLock, UnwritableFolderIsUnavailableNotAConflict) {
    std::unique_ptr<ShareLock> lock;
    EXPECT_EQ(ShareLock::Acquire("/proc/nonexistent/x", kShareRead, kShareRead, lock),
              ShareLock::Result::kUnavailable);
}

}  // namespace
}  // namespace corv::platform
