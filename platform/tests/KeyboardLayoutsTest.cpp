#include <gtest/gtest.h>

#include "platform/KeyboardLayouts.h"

namespace corv::platform {
namespace {

TEST(KeyboardLayouts, WindowsIdentifiersOfXkbNames) {
    struct Case {
        const char* layout;
        const char* variant;
        const char* id;
    } cases[] = {
        {"us", "", "00000409"},
        {"gb", "", "00000809"},
        {"de", "", "00000407"},
        {"fr", "", "0000040C"},
        {"fi", "", "0000040B"},
        {"se", "", "0000041D"},
        {"us", "dvorak", "00010409"},
        {"us", "intl", "00020409"},
        {"de", "nodeadkeys", "00000407"},  // an unlisted variant: the plain layout
        {"ch", "fr", "0000100C"},          // a listed variant wins over the plain layout
        {"ch", "", "00000807"},
        {"xx", "", ""},
        {"", "", ""},
        {"US", "", ""},  // XKB names are lower case; nothing is guessed
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowsLayoutId(c.layout, c.variant), c.id)
            << c.layout << "(" << c.variant << ")";
}

TEST(KeyboardLayouts, NoDisplayMeansNoLayout) {
    SetLayoutDisplay(":917");  // no server there
    EXPECT_EQ(CurrentLayoutId(), "");
    EXPECT_TRUE(LayoutIds().empty());
    EXPECT_EQ(CurrentLayoutDescription(), "");
    EXPECT_FALSE(ActivateLayout("00000409"));
    std::array<KeyCharacters, 128> table;
    table[30].plain = 'x';
    EXPECT_FALSE(LayoutCharacters(table));
    EXPECT_EQ(table[30].plain, 0u);  // nothing stale is left behind
    SetLayoutDisplay(nullptr);
}

}  // namespace
}  // namespace corv::platform
