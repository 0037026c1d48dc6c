// Messages between the programs: any datagram sent to a program's message window is
// either dropped or read as one whole message, never read past its end.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "meter/ipc/Ipc.h"

using namespace corv;

namespace {

struct Window {
    std::unique_ptr<ipc::MessageWindow> window;
    sockaddr_un address{};
};

Window& TheWindow() {
    static Window w = [] {
        Window made;
        const std::string folder = fuzz::ScratchDir() + "/session";
        ipc::SetSessionFolderForTesting(folder);
        made.window = ipc::MessageWindow::Create("FuzzClass", "Fuzz");
        CORV_FUZZ_CHECK(made.window != nullptr);
        for (const auto& e : std::filesystem::directory_iterator(folder))
            if (e.is_socket()) {
                made.address.sun_family = AF_UNIX;
                std::strncpy(made.address.sun_path, e.path().c_str(),
                             sizeof made.address.sun_path - 1);
            }
        CORV_FUZZ_CHECK(made.address.sun_path[0] != 0);
        return made;
    }();
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Window& w = TheWindow();
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    CORV_FUZZ_CHECK(fd >= 0);
    const ssize_t sent =
        ::sendto(fd, data, size, 0, reinterpret_cast<sockaddr*>(&w.address), sizeof w.address);
    ::close(fd);
    int seen = 0;
    ipc::Message last;
    w.window->ReceivePending([&](const ipc::Message& m) {
        ++seen;
        last = m;
    });
    const bool wellFormed = size == 24 && std::memcmp(data, "CRV1", 4) == 0;
    CORV_FUZZ_CHECK(seen == (sent >= 0 && wellFormed ? 1 : 0));
    if (seen) {
        uint32_t message;
        std::memcpy(&message, data + 4, 4);
        CORV_FUZZ_CHECK(last.message == message && last.sender == ::getpid());
    }
    return 0;
}
