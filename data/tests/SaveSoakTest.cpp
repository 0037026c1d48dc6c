// Real processes saving one user: killed with SIGKILL at random moments, or two at once
// from two workstations. The saving program is corv_save_child (SaveChild.cpp).
// CORV_SOAK_ROUNDS sets the number of kills (20 here; `make bench` runs 200).

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/FileNames.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/UserMaintenance.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Child {
    pid_t pid = -1;
    int out = -1;
    std::string pending;
    bool ready = false;
};

Child Spawn(const std::vector<std::string>& args) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    Child c;
    c.pid = ::fork();
    if (c.pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv;
        std::string program = CORV_SAVE_CHILD;
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    c.out = fds[0];
    return c;
}

// Reads what the child printed within `ms` (or until it closes its output), collecting
// the numbers it reported saved. False once the output has ended.
bool Collect(Child& c, int ms, std::set<int>& saved, std::string& damaged) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return true;
        pollfd p{c.out, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[4096];
        ssize_t n = ::read(c.out, buf, sizeof buf);
        if (n <= 0) return false;
        c.pending.append(buf, static_cast<size_t>(n));
        for (size_t eol; (eol = c.pending.find('\n')) != std::string::npos;) {
            const std::string line = c.pending.substr(0, eol);
            c.pending.erase(0, eol + 1);
            if (line.rfind("saved ", 0) == 0) saved.insert(std::atoi(line.c_str() + 6));
            if (line.rfind("damaged ", 0) == 0) damaged = line;
            if (line == "ready") c.ready = true;
        }
    }
}

int Finish(Child& c, bool kill, std::set<int>& saved, std::string& damaged) {
    if (kill) ::kill(c.pid, SIGKILL);
    while (Collect(c, 60000, saved, damaged)) {
    }
    int status = 0;
    ::waitpid(c.pid, &status, 0);
    ::close(c.out);
    return status;
}

class SaveSoak : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        ::mkdir((root + "/Database").c_str(), 0777);
        WriteFile(root + "/Policy.dyn", "wpm_length=5\r\n");
        WriteFile(root + "/0.grp", "Name=All\r\n");
        SetProgramSettings(TProgramSettings::Create(root + "/"));
        CorvSettings::OpenPolicy(root + "/");
    }
    void TearDown() override {
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
    }
    std::string Db(const std::string& file) const { return root + "/Database/" + file; }

    // Every file reads cleanly and every result reported saved is there with its
    // typed-text file.
    void ExpectAllThere(const std::set<int>& saved) {
        std::unique_ptr<TUser> user;
        try {
            user = TUser::Open("Soak", -1, TUser::kShared, false);
        } catch (const UserError& e) {
            FAIL() << e.what();
        }
        user->File().DiscardChanges();
        std::set<std::string> have;
        TResults& results = user->Results();
        std::map<std::string, int> indexOf;
        for (int i = 0; i < results.Count(); ++i) indexOf[results[i].Identifier] = results[i].Index;
        for (int n : saved) {
            auto it = indexOf.find("soak" + std::to_string(n));
            ASSERT_NE(it, indexOf.end()) << "result " << n << " was reported saved";
            EXPECT_EQ(ReadFile(Db("Soak.TT" + std::to_string(it->second))),
                      "typed " + std::to_string(n) + "\r\n");
        }
        for (const char* file : {"Soak.usr.bak", "Soak.DTA.bak"}) {
            if (!fs::FileExists(Db(file))) continue;
            const std::string bytes = ReadFile(Db(file));
            EXPECT_EQ(file[5] == 'u' ? UserFileDamage(bytes) : StatisticsDamage(bytes), "") << file;
        }
        EXPECT_TRUE(fs::ListMatching(Db("*.damaged-*")).empty());
    }

    TempDir dir;
    std::string root;
};

TEST_F(SaveSoak, AKilledSaveNeverLeavesABrokenFileNorLosesAReportedResult) {
    const char* env = std::getenv("CORV_SOAK_ROUNDS");
    const int rounds = env && *env ? std::atoi(env) : 20;
    std::mt19937 random(24);
    std::uniform_int_distribution<int> delay(0, 80);
    std::set<int> saved;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Each run numbers its results apart, so one saved but not yet reported is no
        // other run's result.
        Child c = Spawn({root, "Soak", std::to_string(round * 100000), "0"});
        std::string damaged;
        while (!c.ready && Collect(c, 10, saved, damaged)) {
        }
        Collect(c, delay(random), saved, damaged);
        const int status = Finish(c, true, saved, damaged);
        ASSERT_TRUE(damaged.empty()) << damaged;
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        ExpectAllThere(saved);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(saved.size(), 0u);
    std::printf("%d kills, %zu saves reported\n", rounds, saved.size());
}

TEST_F(SaveSoak, TwoWorkstationsSavingOneUserLoseNothing) {
    constexpr int kRounds = 30;
    Child a = Spawn({root, "Soak", "0", std::to_string(kRounds), "PC1"});
    Child b = Spawn({root, "Soak", "1000", std::to_string(kRounds), "PC2"});
    std::set<int> saved;
    std::string damaged;
    EXPECT_EQ(Finish(a, false, saved, damaged), 0);
    EXPECT_EQ(Finish(b, false, saved, damaged), 0);
    EXPECT_TRUE(damaged.empty()) << damaged;
    EXPECT_EQ(saved.size(), 2u * kRounds);
    ExpectAllThere(saved);
    auto user = TUser::Open("Soak", -1, TUser::kReadOnly, true);
    EXPECT_EQ(user->Results().Count(), 2 * kRounds);
    for (const char* ws : {"PC1.wk10", "PC2.wk10"}) {
        TDynamicSettings s;
        ASSERT_EQ(s.Open(Db(ws), -3), 1);
        EXPECT_EQ(s.GetInteger("Rounds"), kRounds) << ws;
    }
    EXPECT_EQ(ReadFile(Db("0.idx")), "Soak.usr=Soak\r\n");
}

}  // namespace
}  // namespace corv
