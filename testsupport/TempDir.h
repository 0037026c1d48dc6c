#pragma once
// A fresh folder per test under $CORV_TEST_TMP, removed afterwards.

#include <string>
#include <string_view>

namespace corv::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(std::string_view name) const;

  private:
    std::string path_;
};

// Whole-file helpers for fixtures (bytes exactly as given).
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

}  // namespace corv::test
