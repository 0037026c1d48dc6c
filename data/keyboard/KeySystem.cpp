#include "data/keyboard/KeySystem.h"

#include "core/Cp1252.h"
#include "platform/KeyboardLayouts.h"

namespace corv {
namespace {

char ToCodePage(char32_t c) {
    if (c == 0) return 0;
    int byte = UnicodeToCp1252(c);
    return byte < 0 ? 0 : static_cast<char>(byte);
}

class X11LayoutSystem : public TLayoutSystem {
  public:
    std::string CurrentLayoutId() override { return platform::CurrentLayoutId(); }
    std::vector<std::string> InstalledLayoutIds() override { return platform::LayoutIds(); }
    bool ActivateLayout(const std::string& id) override { return platform::ActivateLayout(id); }
    bool KeyTable(TSystemKeyTable& table) override {
        std::array<platform::KeyCharacters, 128> chars;
        table.fill({});
        if (!platform::LayoutCharacters(chars)) return false;
        for (size_t i = 0; i < chars.size(); ++i)
            table[i] = {ToCodePage(chars[i].plain), ToCodePage(chars[i].shift),
                        ToCodePage(chars[i].altGr), ToCodePage(chars[i].shiftAltGr)};
        return true;
    }
};

std::unique_ptr<TLayoutSystem>& Instance() {
    static std::unique_ptr<TLayoutSystem> instance;
    return instance;
}

}  // namespace

TLayoutSystem& LayoutSystem() {
    if (!Instance()) Instance() = std::make_unique<X11LayoutSystem>();
    return *Instance();
}

void SetLayoutSystem(std::unique_ptr<TLayoutSystem> system) {
    Instance() = std::move(system);
}

}  // namespace corv
