#pragma once
// A small HTTP server for tests: one thread on 127.0.0.1 at an ephemeral port, serving
// canned replies one connection at a time and recording what it was sent.

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace corv::test {

struct HttpReply {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // extra lines, e.g. Location
    bool contentLength = true;     // false: the body ends when the connection closes
    int stallBeforeHeadersMs = 0;  // silence before anything is sent
    int stallMs = 0;               // silence once stallAfterBytes of the body are out
    std::size_t stallAfterBytes = 0;
    std::size_t chunkSize = 0;  // > 0: the body goes out in pieces ...
    int chunkPauseMs = 0;       // ... with this pause before each
};

struct HttpRequest {
    std::string line;  // "GET /x HTTP/1.0"
    std::string method, target, version;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // All values of the headers with this name, compared without regard to case.
    std::vector<std::string> Header(std::string_view name) const;
};

class LocalHttpServer {
  public:
    LocalHttpServer();  // throws std::runtime_error when it cannot listen
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Reply for an exact request target (path with query, or an absolute address when the
    // server stands in for a proxy). Unknown targets get 404.
    void Route(std::string target, HttpReply reply);

    int Port() const { return port_; }
    std::string Url(std::string_view target) const;

    std::optional<HttpRequest> LastRequest() const;
    int RequestCount() const;

  private:
    void Run();
    void Serve(int fd);
    bool ReadRequest(int fd, HttpRequest& request);
    bool SendAll(int fd, std::string_view data);
    bool Pause(int fd, int ms);  // false when the server stops or the client hangs up

    int listenFd_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::map<std::string, HttpReply> routes_;
    std::optional<HttpRequest> last_;
    int count_ = 0;
    std::thread thread_;
};

}  // namespace corv::test
