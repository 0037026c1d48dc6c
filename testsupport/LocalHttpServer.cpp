#include "testsupport/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace corv::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRequestDeadline = std::chrono::seconds(3);
constexpr auto kReplyDeadline = std::chrono::seconds(20);
constexpr std::size_t kMaxRequest = 4u << 20;

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

void SetTimeouts(int fd) {
    timeval tv{0, 100 * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool Retry(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

}  // namespace

std::vector<std::string> HttpRequest::Header(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : headers)
        if (SameText(n, name)) out.push_back(v);
    return out;
}

LocalHttpServer::LocalHttpServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LocalHttpServer::~LocalHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    ::close(listenFd_);
}

void LocalHttpServer::Route(std::string target, HttpReply reply) {
    std::lock_guard lock(mutex_);
    routes_[std::move(target)] = std::move(reply);
}

std::string LocalHttpServer::Url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::optional<HttpRequest> LocalHttpServer::LastRequest() const {
    std::lock_guard lock(mutex_);
    return last_;
}

int LocalHttpServer::RequestCount() const {
    std::lock_guard lock(mutex_);
    return count_;
}

bool LocalHttpServer::Pause(int fd, int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stop_; }))
                return false;
        }
        pollfd p{fd, POLLRDHUP, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR))) return false;
        if (Clock::now() >= until) return true;
    }
}

void LocalHttpServer::Run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        SetTimeouts(fd);
        Serve(fd);
        ::close(fd);
    }
}

bool LocalHttpServer::ReadRequest(int fd, HttpRequest& request) {
    const auto deadline = Clock::now() + kRequestDeadline;
    std::string data;
    std::size_t headerEnd = std::string::npos;
    std::size_t bodyLength = 0;
    char buf[16384];
    for (;;) {
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                std::string_view head(data.data(), headerEnd);
                const auto eol = head.find("\r\n");
                request.line = std::string(head.substr(0, eol));
                const auto s1 = request.line.find(' ');
                const auto s2 = request.line.rfind(' ');
                if (s1 == std::string::npos || s2 <= s1) return false;
                request.method = request.line.substr(0, s1);
                request.target = request.line.substr(s1 + 1, s2 - s1 - 1);
                request.version = request.line.substr(s2 + 1);
                std::string_view rest = eol == std::string_view::npos ? "" : head.substr(eol + 2);
                while (!rest.empty()) {
                    const auto end = rest.find("\r\n");
                    const auto line = rest.substr(0, end);
                    const auto colon = line.find(':');
                    if (colon != std::string_view::npos)
                        request.headers.emplace_back(std::string(Trim(line.substr(0, colon))),
                                                     std::string(Trim(line.substr(colon + 1))));
                    rest = end == std::string_view::npos ? "" : rest.substr(end + 2);
                }
                for (const auto& v : request.Header("Content-Length")) {
                    const auto [end, ec] =
                        std::from_chars(v.data(), v.data() + v.size(), bodyLength);
                    if (ec != std::errc{} || end != v.data() + v.size()) return false;
                }
                if (bodyLength > kMaxRequest) return false;
                headerEnd += 4;
            }
        }
        if (headerEnd != std::string::npos && data.size() >= headerEnd + bodyLength) {
            request.body = data.substr(headerEnd, bodyLength);
            return true;
        }
        if (data.size() > kMaxRequest || Clock::now() > deadline) return false;
        {
            std::lock_guard lock(mutex_);
            if (stop_) return false;
        }
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            data.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || !Retry(errno)) {
            return false;
        }
    }
}

bool LocalHttpServer::SendAll(int fd, std::string_view data) {
    const auto deadline = Clock::now() + kReplyDeadline;
    while (!data.empty()) {
        const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && !Retry(errno)) return false;  // the client went away
        std::lock_guard lock(mutex_);
        if (stop_ || Clock::now() > deadline) return false;
    }
    return true;
}

void LocalHttpServer::Serve(int fd) {
    HttpRequest request;
    if (!ReadRequest(fd, request)) return;
    HttpReply reply;
    {
        std::lock_guard lock(mutex_);
        last_ = request;
        ++count_;
        const auto it = routes_.find(request.target);
        if (it != routes_.end()) {
            reply = it->second;
        } else {
            reply.status = 404;
            reply.body = "no route";
        }
    }
    if (reply.stallBeforeHeadersMs > 0 && !Pause(fd, reply.stallBeforeHeadersMs)) return;
    std::string head =
        "HTTP/1.0 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers) head += name + ": " + value + "\r\n";
    if (reply.contentLength)
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (!SendAll(fd, head)) return;
    std::string_view body = reply.body;
    const std::size_t chunk = reply.chunkSize > 0 ? reply.chunkSize : body.size();
    std::size_t sent = 0;
    bool stalled = reply.stallMs <= 0;
    while (!body.empty() || !stalled) {
        if (!stalled && sent >= reply.stallAfterBytes) {
            if (!Pause(fd, reply.stallMs)) return;
            stalled = true;
            continue;
        }
        if (body.empty()) break;
        if (reply.chunkPauseMs > 0 && !Pause(fd, reply.chunkPauseMs)) return;
        std::size_t size = std::min(chunk, body.size());
        if (!stalled) size = std::min(size, reply.stallAfterBytes - sent);
        if (!SendAll(fd, body.substr(0, size))) return;
        body.remove_prefix(size);
        sent += size;
    }
    ::shutdown(fd, SHUT_WR);
}

}  // namespace corv::test
