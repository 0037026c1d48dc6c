#pragma once
// The one HTTP request the system makes, and the connectivity test.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

struct ifaddrs;

namespace corv::web {

struct AddressParts {
    std::string scheme;  // "http", "https"
    std::string host;
    int port = 0;      // the scheme's default when the address names none
    std::string path;  // path with its query ("/" when none)
};

// Fails for addresses longer than 2055 characters, without a host, or unparsable.
bool SplitAddress(std::string_view address, AddressParts& parts);

// GET, or a form POST when postData is given. On status 200 the whole body is appended to
// `stream`. Returns the HTTP status, 0 when no request could be made (or the body passed
// the size cap, or a 200 body did not arrive completely). `reload` bypasses caches.
// Only http and https are fetched; the proxy comes from the environment.
int Fetch(std::string_view address, const std::string* postData, std::string& stream,
          bool reload = false);

// True when a network interface other than loopback is up and has a routable address.
bool IsOnline();

namespace detail {

// The limits Fetch runs with; tests shrink them to reach the edges quickly.
struct FetchLimits {
    std::size_t maxBody = std::size_t{16} << 20;
    std::chrono::milliseconds stall{5000};  // longest wait with no data moving
    std::chrono::milliseconds connect{5000};
};

int FetchWithLimits(std::string_view address, const std::string* postData, std::string& stream,
                    bool reload, const FetchLimits& limits);

// The decision IsOnline makes over a getifaddrs list.
bool HasConnectedInterface(const ::ifaddrs* list);

}  // namespace detail

}  // namespace corv::web
