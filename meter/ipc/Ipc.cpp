#include "meter/ipc/Ipc.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corv::ipc {
namespace {

std::string& TestFolder() {
    static std::string folder;
    return folder;
}

uint64_t Fnv(const std::string& text) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// A folder only this user can enter, or "".
bool SafeFolder(const std::string& path) {
    ::mkdir(path.c_str(), 0700);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) return false;
    return true;
}

// File name for a window: readable when short, a hash when the title is long or odd.
std::string WindowFile(const std::string& windowClass, const std::string& title) {
    std::string key = windowClass + "|" + title;
    std::string name = "w-";
    bool plain = key.size() <= 48;
    for (char c : key)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '.' || c == '-' ||
              c == '|'))
            plain = false;
    if (plain) {
        for (char c : key) name += c == ' ' ? '_' : c == '|' ? '+' : c;
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "h%016llx", static_cast<unsigned long long>(Fnv(key)));
        name += buf;
    }
    return name;
}

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Connecting a datagram socket tells whether somebody has the address bound.
bool Alive(const std::string& path) {
    sockaddr_un addr;
    if (!MakeAddress(path, addr)) return false;
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool alive = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return alive;
}

std::string WindowPath(const std::string& windowClass, const std::string& title) {
    std::string folder = SessionFolder();
    return folder.empty() ? std::string() : folder + "/" + WindowFile(windowClass, title);
}

// Datagram: "CRV1" magic, message, wParam, lParam (little-endian 32/64/64 bits).
constexpr char kMagic[4] = {'C', 'R', 'V', '1'};
constexpr size_t kPacket = 4 + 4 + 8 + 8;

}  // namespace

void SetSessionFolderForTesting(std::string folder) {
    TestFolder() = std::move(folder);
}

std::string SessionFolder() {
    if (!TestFolder().empty()) return SafeFolder(TestFolder()) ? TestFolder() : std::string();
    std::string display;
    if (const char* d = std::getenv("DISPLAY")) display = d;
    for (char& c : display)
        if (c == '/') c = '_';
    std::string base;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/')
        base = run;
    else
        base = "/tmp";
    std::string folder =
        base + "/corvella-" + std::to_string(::geteuid()) + (display.empty() ? "" : "-" + display);
    return SafeFolder(folder) ? folder : std::string();
}

std::string ReplyWindowTitle(int pid) {
    return "pid " + std::to_string(pid);
}

unsigned RegisterMessage(const std::string& name) {
    return 0xC000u + static_cast<unsigned>(Fnv(name) % 0x4000u);
}

// ---------------------------------------------------------------------------------------

std::unique_ptr<NamedMutex> NamedMutex::Create(const std::string& name, bool& alreadyExists) {
    alreadyExists = false;
    std::unique_ptr<NamedMutex> m(new NamedMutex());
    std::string folder = SessionFolder();
    if (folder.empty()) return m;
    m->fd_ = ::open((folder + "/m-" + name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m->fd_ < 0) return m;
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    if (::fcntl(m->fd_, F_OFD_SETLK, &fl) == 0) {
        m->owned_ = true;
    } else {
        alreadyExists = true;
        ::close(m->fd_);
        m->fd_ = -1;
    }
    return m;
}

bool NamedMutex::IsHeld(const std::string& name) {
    std::string folder = SessionFolder();
    if (folder.empty()) return false;
    int fd = ::open((folder + "/m-" + name).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

void NamedMutex::Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    owned_ = false;
}

NamedMutex::~NamedMutex() {
    Release();
}

// ---------------------------------------------------------------------------------------

std::unique_ptr<MessageWindow> MessageWindow::Create(const std::string& windowClass,
                                                     const std::string& title) {
    std::string path = WindowPath(windowClass, title);
    sockaddr_un addr;
    if (path.empty() || !MakeAddress(path, addr)) return nullptr;
    if (Alive(path)) return nullptr;
    ::unlink(path.c_str());  // left behind by a program that ended without cleaning up
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return nullptr;
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<MessageWindow> w(new MessageWindow());
    w->fd_ = fd;
    w->path_ = path;
    return w;
}

MessageWindow::~MessageWindow() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
}

int MessageWindow::ReceivePending(const std::function<void(const Message&)>& handler) {
    int count = 0;
    for (;;) {
        unsigned char data[64];
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        iovec iov{data, sizeof data};
        msghdr msg = {};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(fd_, &msg, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;  // EAGAIN: nothing more waits
        }
        bool fromUs = false;
        int sender = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred cred;
                std::memcpy(&cred, CMSG_DATA(c), sizeof cred);
                fromUs = cred.uid == ::geteuid();
                sender = static_cast<int>(cred.pid);
            }
        }
        if (!fromUs || static_cast<size_t>(n) != kPacket || std::memcmp(data, kMagic, 4) != 0)
            continue;
        auto get = [&](size_t at, size_t bytes) {
            uint64_t v = 0;
            for (size_t i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(data[at + i]) << (8 * i);
            return v;
        };
        Message m;
        m.message = static_cast<unsigned>(get(4, 4));
        m.wParam = static_cast<intptr_t>(get(8, 8));
        m.lParam = static_cast<intptr_t>(get(16, 8));
        m.sender = sender;
        handler(m);
        ++count;
    }
    return count;
}

bool FindWindow(const std::string& windowClass, const std::string& title) {
    std::string path = WindowPath(windowClass, title);
    return !path.empty() && Alive(path);
}

bool PostMessage(const std::string& windowClass, const std::string& title, unsigned message,
                 intptr_t wParam, intptr_t lParam) {
    std::string path = WindowPath(windowClass, title);
    sockaddr_un addr;
    if (path.empty() || !MakeAddress(path, addr)) return false;
    unsigned char data[kPacket];
    std::memcpy(data, kMagic, 4);
    auto put = [&](size_t at, uint64_t v, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i) data[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put(4, message, 4);
    put(8, static_cast<uint64_t>(wParam), 8);
    put(16, static_cast<uint64_t>(lParam), 8);
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    ssize_t n = ::sendto(fd, data, sizeof data, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr),
                         sizeof addr);
    ::close(fd);
    return n == static_cast<ssize_t>(sizeof data);
}

}  // namespace corv::ipc
