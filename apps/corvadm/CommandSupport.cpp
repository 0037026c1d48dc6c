#include "apps/corvadm/CommandSupport.h"

#include <cstdio>
#include <filesystem>

#include "core/Cp1252.h"
#include "core/FileNames.h"

namespace corv::admin {
namespace {
std::string& Start() {
    static std::string folder;
    return folder;
}
}  // namespace

int Fail(const std::string& message) {
    std::fprintf(stderr, "corvadm: %s\n", message.c_str());
    return kExitFailed;
}

void Print(const std::string& text) {
    std::printf("%s\n", Cp1252ToUtf8(text).c_str());
}

void SetStartFolder(std::string folder) {
    Start() = std::move(folder);
}

const std::string& StartFolder() {
    return Start();
}

std::string ExistingPath(const std::string& name) {
    if (name.empty()) return {};
    const std::string path =
        fs::ResolveCase(name[0] == '/' || Start().empty() ? name : fs::Join(Start(), name));
    if (!fs::FileExists(path)) return {};
    return std::filesystem::absolute(path).lexically_normal().string();
}

std::string FindFile(const std::string& name, const std::vector<std::string>& folders) {
    std::string path = ExistingPath(name);
    if (!path.empty() || name.empty() || name[0] == '/') return path;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        path = fs::ResolveCase(fs::Join(folder, name));
        if (fs::FileExists(path)) return std::filesystem::absolute(path).string();
    }
    return {};
}

}  // namespace corv::admin
