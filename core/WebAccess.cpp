#include "core/WebAccess.h"

#include <curl/curl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <charconv>
#include <memory>
#include <mutex>

namespace corv::web {
namespace {

constexpr std::size_t kMaxAddressLength = 2055;
constexpr long kMaxRedirects = 5;

struct UrlFree {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
struct EasyFree {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListFree {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using UrlPtr = std::unique_ptr<CURLU, UrlFree>;
using EasyPtr = std::unique_ptr<CURL, EasyFree>;
using ListPtr = std::unique_ptr<curl_slist, ListFree>;

// curl_global_init is not thread-safe; run it once for the whole process.
bool CurlReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

bool GetPart(CURLU* url, CURLUPart what, std::string& out, unsigned flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, what, &text, flags) != CURLUE_OK || !text) return false;
    out = text;
    curl_free(text);
    return true;
}

// curl reads "http:///x" as host "x" and "http:/h" as host "h"; an address must name its
// host after "scheme://".
bool HasAuthority(std::string_view address) {
    const auto colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const auto rest = address.substr(colon + 1);
    return rest.size() > 2 && rest.starts_with("//") && rest[2] != '/';
}

UrlPtr ParseAddress(std::string_view address) {
    if (address.empty() || address.size() > kMaxAddressLength || !HasAuthority(address))
        return nullptr;
    if (!CurlReady()) return nullptr;
    UrlPtr url(curl_url());
    if (!url) return nullptr;
    const std::string text(address);
    // Data files hold 8-bit names and spaces; curl escapes them instead of refusing.
    if (curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return nullptr;
    std::string host;
    if (!GetPart(url.get(), CURLUPART_HOST, host) || host.empty()) return nullptr;
    return url;
}

// Plain removal of every "data/../", as the data files expect; not path normalisation.
std::string RemoveDataUp(std::string_view address) {
    constexpr std::string_view kDataUp = "data/../";
    std::string out;
    if (address.find("..") == std::string_view::npos) return std::string(address);
    std::size_t from = 0;
    for (auto at = address.find(kDataUp); at != std::string_view::npos;
         at = address.find(kDataUp, from)) {
        out.append(address.substr(from, at - from));
        from = at + kDataUp.size();
    }
    out.append(address.substr(from));
    return out;
}

struct Transfer {
    CURL* easy = nullptr;
    std::string body;
    std::size_t maxBody = 0;
    bool overflow = false;
    bool unwanted = false;  // status other than 200: its body is not read
    std::chrono::milliseconds stall{};
    std::chrono::steady_clock::time_point lastMove;
    curl_off_t lastDown = -1;
    curl_off_t lastUp = -1;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t len = size * count;
    long status = 0;
    curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        t->unwanted = true;
        return 0;  // stops the transfer
    }
    if (len > t->maxBody - t->body.size()) {
        t->overflow = true;
        return 0;
    }
    t->body.append(data, len);
    return len;
}

std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
    static_cast<Transfer*>(user)->lastMove = std::chrono::steady_clock::now();
    return size * count;
}

// A receive time-out: give up once nothing has moved for the stall time. A slow transfer
// that keeps moving is let run.
int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    auto* t = static_cast<Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (down != t->lastDown || up != t->lastUp) {
        t->lastDown = down;
        t->lastUp = up;
        t->lastMove = now;
        return 0;
    }
    return now - t->lastMove > t->stall ? 1 : 0;
}

}  // namespace

bool SplitAddress(std::string_view address, AddressParts& parts) {
    const UrlPtr url = ParseAddress(address);
    if (!url) return false;
    AddressParts out;
    std::string port;
    if (!GetPart(url.get(), CURLUPART_SCHEME, out.scheme) ||
        !GetPart(url.get(), CURLUPART_HOST, out.host) ||
        !GetPart(url.get(), CURLUPART_PORT, port, CURLU_DEFAULT_PORT))
        return false;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), out.port);
    if (ec != std::errc{} || end != port.data() + port.size()) return false;
    GetPart(url.get(), CURLUPART_PATH, out.path);
    if (out.path.empty()) out.path = "/";
    std::string query;
    if (GetPart(url.get(), CURLUPART_QUERY, query)) out.path += "?" + query;
    parts = std::move(out);
    return true;
}

int Fetch(std::string_view address, const std::string* postData, std::string& stream, bool reload) {
    return detail::FetchWithLimits(address, postData, stream, reload, detail::FetchLimits{});
}

namespace detail {

int FetchWithLimits(std::string_view address, const std::string* postData, std::string& stream,
                    bool reload, const FetchLimits& limits) {
    const UrlPtr url = ParseAddress(RemoveDataUp(address));
    if (!url) return 0;
    std::string scheme;
    if (!GetPart(url.get(), CURLUPART_SCHEME, scheme) || (scheme != "http" && scheme != "https"))
        return 0;

    ListPtr headers;
    auto addHeader = [&headers](const char* line) {
        curl_slist* grown = curl_slist_append(headers.get(), line);
        if (!grown) return false;
        (void)headers.release();
        headers.reset(grown);
        return true;
    };
    if (postData && !addHeader("Content-type: application/x-www-form-urlencoded")) return 0;
    if (reload && (!addHeader("Cache-Control: no-cache") || !addHeader("Pragma: no-cache")))
        return 0;

    // Declared before the easy handle, which points at them until its cleanup.
    Transfer t;
    EasyPtr easy(curl_easy_init());
    if (!easy) return 0;
    CURL* c = easy.get();
    t.easy = c;
    t.maxBody = limits.maxBody;
    t.stall = limits.stall;
    t.lastMove = std::chrono::steady_clock::now();

    curl_easy_setopt(c, CURLOPT_CURLU, url.get());
    // Never file:// or other schemes, not even through a redirect.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Corvella");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    // Credentials in the address or in the proxy setting stand in for a login prompt.
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    curl_easy_setopt(c, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBody));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    if (postData) {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postData->size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, postData->data());
    }

    const CURLcode rc = curl_easy_perform(c);
    if (t.overflow) return 0;
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (t.unwanted) return static_cast<int>(status);
    if (rc != CURLE_OK) {
        // A 200 whose body broke off or stalled is no success.
        return status == 200 ? 0 : static_cast<int>(status);
    }
    if (status == 200) stream.append(t.body);
    return static_cast<int>(status);
}

bool HasConnectedInterface(const ::ifaddrs* list) {
    for (const ::ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr) continue;
        const unsigned flags = a->ifa_flags;
        if (!(flags & IFF_UP) || !(flags & IFF_RUNNING) || (flags & IFF_LOOPBACK)) continue;
        if (a->ifa_addr->sa_family == AF_INET) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            const uint32_t ip = ntohl(in->sin_addr.s_addr);
            // 0.0.0.0 and 169.254/16 (no address assigned) reach nothing beyond the link.
            if (ip != 0 && (ip >> 16) != 0xA9FE) return true;
        } else if (a->ifa_addr->sa_family == AF_INET6) {
            const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a->ifa_addr);
            if (!IN6_IS_ADDR_LINKLOCAL(&in6->sin6_addr) && !IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr) &&
                !IN6_IS_ADDR_UNSPECIFIED(&in6->sin6_addr))
                return true;
        }
    }
    return false;
}

}  // namespace detail

bool IsOnline() {
    ::ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    const bool online = detail::HasConnectedInterface(list);
    ::freeifaddrs(list);
    return online;
}

}  // namespace corv::web
