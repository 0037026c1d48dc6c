#include "apps/corvadm/CommandSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/Cp1252.h"
#include "core/FileNames.h"

namespace corv::admin {

int Fail(const std::string& message) {
    std::fprintf(stderr, "corvadm: %s\n", message.c_str());
    return 2;
}

void Print(const std::string& text) {
    std::printf("%s\n", Cp1252ToUtf8(text).c_str());
}

std::string FindFile(const std::string& name, const std::vector<std::string>& folders) {
    if (name.empty()) return {};
    if (name[0] == '/') return fs::FileExists(name) ? fs::ResolveCase(name) : std::string();
    const char* start = std::getenv("PWD");
    if (start && *start) {
        const std::string path = fs::ResolveCase(fs::Join(start, name));
        if (fs::FileExists(path)) return path;
    }
    if (fs::FileExists(name)) return std::filesystem::absolute(fs::ResolveCase(name)).string();
    for (const std::string& folder : folders) {
        const std::string path = fs::ResolveCase(fs::Join(folder, name));
        if (fs::FileExists(path)) return std::filesystem::absolute(path).string();
    }
    return {};
}

}  // namespace corv::admin
