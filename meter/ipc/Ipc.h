#pragma once
// What the tutor and the meter use to find and talk to each other: named mutexes, windows
// found by their title, and registered messages posted without waiting for a reply.
//
// On Linux everything lives in a per-user, per-display session folder (under
// $XDG_RUNTIME_DIR, mode 0700, owned by the user). A named mutex is a lock file held with
// an open-file-description lock, so a crashed program never leaves it held. A window is a
// Unix datagram socket its owner binds; posting sends one datagram and never waits.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corv::ipc {

// Window messages that cross between the programs besides the registered ones.
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmQueryEndSession = 0x0011;
constexpr unsigned kWmEndSession = 0x0016;

// The folder; empty when no safe one can be had (then nothing is found or posted).
std::string SessionFolder();
// Tests point the programs at their own folder.
void SetSessionFolderForTesting(std::string folder);

// The same name gives the same number in every process (0xC000..0xFFFF).
unsigned RegisterMessage(const std::string& name);

class NamedMutex {
  public:
    // Creates and takes the mutex; `alreadyExists` tells whether another process holds it
    // (then this object does not own it).
    static std::unique_ptr<NamedMutex> Create(const std::string& name, bool& alreadyExists);
    // Whether some process holds the mutex now; takes nothing.
    static bool IsHeld(const std::string& name);
    ~NamedMutex();
    bool Owned() const { return owned_; }
    void Release();

  private:
    NamedMutex() = default;
    int fd_ = -1;
    bool owned_ = false;
};

struct Message {
    unsigned message = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    int sender = 0;  // the posting process, as the system vouches for it
};

// A process's reply window: class kReplyClass, this title. A program that wants an answer
// creates it before posting; the receiver answers Message::sender there.
constexpr const char* kReplyClass = "CorvReply";
std::string ReplyWindowTitle(int pid);

// A window other programs can find by title (and class) and post messages to.
class MessageWindow {
  public:
    // Null when a live window of that class and title exists already, or no session folder.
    static std::unique_ptr<MessageWindow> Create(const std::string& windowClass,
                                                 const std::string& title);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Readable when messages wait; the program's event loop watches it.
    int Fd() const { return fd_; }
    // Hands every waiting message, in posting order, to `handler`. Datagrams from other
    // users or malformed ones are dropped. Returns how many were handed over.
    int ReceivePending(const std::function<void(const Message&)>& handler);

  private:
    MessageWindow() = default;
    int fd_ = -1;
    std::string path_;
};

// FindWindowA: a live window with that class (empty: any) and title.
bool FindWindow(const std::string& windowClass, const std::string& title);
// PostMessageA: false when no such window (the message is then simply not posted).
bool PostMessage(const std::string& windowClass, const std::string& title, unsigned message,
                 intptr_t wParam, intptr_t lParam);

}  // namespace corv::ipc
