#pragma once
// A folder seen read-only, as an installed package or a read-only network share is, and
// the list of what a folder holds, to show that reading it wrote nothing into it.

#include <functional>
#include <string>
#include <vector>

namespace corv::test {

// What InReadOnlyFolder answers when the folder cannot be made read-only here.
constexpr int kNoReadOnlyFolder = 77;

// Runs `run` in a child process that sees the folder and everything under it read-only:
// through a private read-only bind mount when the test runs as root (who may write into
// any folder), else by taking the write permissions away until the child has ended.
// Run's answer (0..76), or kNoReadOnlyFolder.
int InReadOnlyFolder(const std::string& folder, const std::function<int()>& run);

// Every file and folder under the folder, hidden ones included, as sorted relative paths.
std::vector<std::string> TreeOf(const std::string& folder);

}  // namespace corv::test
