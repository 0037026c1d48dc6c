#pragma once
// A scripted operating system for the layout model's tests.

#include <string>
#include <vector>

#include "data/keyboard/KeySystem.h"

namespace corv::test {

class FakeLayoutSystem : public TLayoutSystem {
  public:
    std::string current = "00000409";
    std::vector<std::string> installed{"00000409"};
    std::vector<std::string> activated;
    bool hasTable = false;
    TSystemKeyTable table{};
    int tableRequests = 0;

    std::string CurrentLayoutId() override { return current; }
    std::vector<std::string> InstalledLayoutIds() override { return installed; }
    bool ActivateLayout(const std::string& id) override {
        activated.push_back(id);
        current = id;
        return true;
    }
    bool KeyTable(TSystemKeyTable& out) override {
        ++tableRequests;
        out = table;
        return hasTable;
    }
    // Unshifted letters get their capitals as Shift texts.
    void Keys(int firstScan, const std::string& plain) {
        for (size_t i = 0; i < plain.size(); ++i) {
            TSystemKeyTexts& t = table[static_cast<size_t>(firstScan) + i];
            t.plain = plain[i];
            t.shift = plain[i] >= 'a' && plain[i] <= 'z' ? static_cast<char>(plain[i] - 32) : 0;
        }
    }
};

}  // namespace corv::test
