#include "platform/Autostart.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace corv::platform {
namespace {

std::string EntryPath(const std::string& name) {
    return AutostartFolder() + "/" + name + ".desktop";
}

// Desktop entry Exec quoting: the path in double quotes with \ " ` $ escaped.
std::string QuoteExec(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string AutostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "";
    if (h.empty())
        if (passwd* pw = ::getpwuid(::geteuid())) h = pw->pw_dir;
    return h + "/.config/autostart";
}

bool SetAutostart(const std::string& name, const std::string& programPath) {
    std::string folder = AutostartFolder();
    std::string parent = folder.substr(0, folder.rfind('/'));
    ::mkdir(parent.c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    std::string tmp = EntryPath(name) + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << "[Desktop Entry]\nType=Application\nName=" << name
            << "\nExec=" << QuoteExec(programPath) << "\nX-GNOME-Autostart-enabled=true\n";
        if (!out.flush()) return false;
    }
    return ::rename(tmp.c_str(), EntryPath(name).c_str()) == 0;
}

bool RemoveAutostart(const std::string& name) {
    return ::unlink(EntryPath(name).c_str()) == 0 || errno == ENOENT;
}

bool HasAutostart(const std::string& name) {
    struct stat st;
    return ::stat(EntryPath(name).c_str(), &st) == 0;
}

}  // namespace corv::platform
