#include "platform/Identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace corv::platform {

std::string ComputerName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string LogonName() {
    if (passwd* pw = ::getpwuid(::geteuid())) return pw->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string RemoteClientName() {
    const char* v = std::getenv("CLIENTNAME");
    return v ? v : "";
}

}  // namespace corv::platform
