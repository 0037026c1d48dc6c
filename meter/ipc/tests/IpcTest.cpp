#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "meter/ipc/Ipc.h"

namespace corv::ipc {
namespace {

class Session : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* root = std::getenv("CORV_TEST_TMP");
        std::string base = root && *root ? root : "/tmp";
        std::filesystem::create_directories(base);
        std::string tmpl = base + "/ipc-XXXXXX";
        folder = ::mkdtemp(tmpl.data());
        ::chmod(folder.c_str(), 0700);
        SetSessionFolderForTesting(folder);
    }
    void TearDown() override {
        SetSessionFolderForTesting("");
        std::filesystem::remove_all(folder);
    }
    // Runs `body` in a child process and returns its exit code.
    template <typename F>
    static int InChild(F body) {
        pid_t pid = ::fork();
        if (pid == 0) ::_exit(body());
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string folder;
};

TEST_F(Session, RegisteredMessagesAreTheSameInEveryProcess) {
    unsigned disable = RegisterMessage("CorvVantor1999.DISABLE");
    EXPECT_GE(disable, 0xC000u);
    EXPECT_EQ(InChild([&] { return RegisterMessage("CorvVantor1999.DISABLE") == disable ? 0 : 1; }),
              0);
    EXPECT_NE(RegisterMessage("CorvVantor1999.ENABLE"), disable);
}

TEST_F(Session, MutexHeldByAnotherProcessAndFreedWhenItDies) {
    EXPECT_FALSE(NamedMutex::IsHeld("Corv2004Mutex"));
    int pipefd[2];
    ASSERT_EQ(::pipe(pipefd), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        bool exists = false;
        auto m = NamedMutex::Create("Corv2004Mutex", exists);
        char c = m->Owned() ? 'y' : 'n';
        (void)::write(pipefd[1], &c, 1);
        ::pause();  // held until killed: a crash must not leave it held
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(pipefd[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_TRUE(NamedMutex::IsHeld("Corv2004Mutex"));
    bool exists = false;
    auto second = NamedMutex::Create("Corv2004Mutex", exists);
    EXPECT_TRUE(exists);
    EXPECT_FALSE(second->Owned());
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_FALSE(NamedMutex::IsHeld("Corv2004Mutex"));
    auto third = NamedMutex::Create("Corv2004Mutex", exists);
    EXPECT_FALSE(exists);
    EXPECT_TRUE(third->Owned());
    third->Release();
    EXPECT_FALSE(NamedMutex::IsHeld("Corv2004Mutex"));
    ::close(pipefd[0]);
    ::close(pipefd[1]);
}

TEST_F(Session, MessagesArriveInOrderAndOnlyWhileTheWindowExists) {
    EXPECT_FALSE(FindWindow("", "Wendro 10"));
    EXPECT_FALSE(PostMessage("", "Wendro 10", kWmClose, 0, 0));  // nobody there: not posted
    {
        auto window = MessageWindow::Create("", "Wendro 10");
        ASSERT_TRUE(window);
        EXPECT_TRUE(FindWindow("", "Wendro 10"));
        EXPECT_FALSE(FindWindow("TBookFormEx", "Wendro 10"));
        EXPECT_FALSE(MessageWindow::Create("", "Wendro 10")) << "a second window of the same title";
        const unsigned disable = RegisterMessage("CorvVantor1999.DISABLE");
        int rc = InChild([&] {
            bool ok = PostMessage("", "Wendro 10", disable, 0, 0) &&
                      PostMessage("", "Wendro 10", kWmClose, 2, -7);
            return ok ? 0 : 1;
        });
        EXPECT_EQ(rc, 0);
        std::vector<Message> got;
        EXPECT_EQ(window->ReceivePending([&](const Message& m) { got.push_back(m); }), 2);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].message, disable);
        EXPECT_EQ(got[1].message, kWmClose);
        EXPECT_EQ(got[1].wParam, 2);
        EXPECT_EQ(got[1].lParam, -7);
        EXPECT_EQ(window->ReceivePending([](const Message&) {}), 0);
    }
    EXPECT_FALSE(FindWindow("", "Wendro 10"));
    EXPECT_FALSE(PostMessage("", "Wendro 10", kWmClose, 0, 0));
}

TEST_F(Session, AWindowLeftByACrashedProgramCanBeTakenOver) {
    EXPECT_EQ(InChild([] {
                  auto w = MessageWindow::Create("TBookFormEx", "Corvella");
                  MessageWindow* leaked = w.release();  // the socket file stays, as after a crash
                  return leaked ? 1 : 0;
              }),
              1);
    EXPECT_FALSE(FindWindow("TBookFormEx", "Corvella"));
    auto again = MessageWindow::Create("TBookFormEx", "Corvella");
    EXPECT_TRUE(again);
    // Long and unusual titles still make a usable address.
    std::string longTitle(300, 'x');
    longTitle += " \xE4/..";
    auto odd = MessageWindow::Create("TBookFormEx", longTitle);
    ASSERT_TRUE(odd);
    EXPECT_TRUE(PostMessage("TBookFormEx", longTitle, 1, 0, 0));
}

TEST_F(Session, UnsafeSessionFolderDisablesEverything) {
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(SessionFolder(), "");
    EXPECT_FALSE(MessageWindow::Create("", "Wendro 10"));
    bool exists = true;
    auto m = NamedMutex::Create("X", exists);
    EXPECT_FALSE(m->Owned());
    EXPECT_FALSE(exists);
    ::chmod(folder.c_str(), 0700);
}

}  // namespace
}  // namespace corv::ipc
