#include <gtest/gtest.h>
#include <sys/stat.h>

#include "KeyTestSupport.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyCheck.h"
#include "data/keyboard/KeyData.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::FakeLayoutSystem;
using test::TempDir;
using test::WriteFile;

// Layouts written into a fresh folder; language strings as visible markers.
class KeyData : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        for (int n = 154; n <= 167; ++n) Localization().SetString(n, "<" + std::to_string(n) + ">");
        Localization().SetString(1107, "<1107>");
        auto fake = std::make_unique<FakeLayoutSystem>();
        system = fake.get();
        SetLayoutSystem(std::move(fake));
    }
    void TearDown() override {
        SetCurrentLayout(nullptr);
        SetLayoutSystem(nullptr);
        Localization().Reset();
    }
    // A version-6 layout file with these body lines.
    std::string Write(const std::string& body, const std::string& name = "test.kbd",
                      const std::string& version = "6") {
        const std::string path = dir / name;
        WriteFile(path, "$version=" + version + "\r\n" + body);
        return path;
    }
    std::unique_ptr<TKeyDataExt> Load(const std::string& body) {
        auto layout = std::make_unique<TKeyDataExt>();
        EXPECT_EQ(layout->Load(Write(body)), 1);
        return layout;
    }

    TempDir dir;
    testsupport::RecordingUi ui;
    FakeLayoutSystem* system = nullptr;
};

// Key texts with the given slots filled and EMPTY between them.
std::string Slots(std::initializer_list<std::pair<int, const char*>> filled) {
    std::vector<std::string> slots;
    for (const auto& [slot, text] : filled) {
        if (slots.size() <= static_cast<size_t>(slot))
            slots.resize(static_cast<size_t>(slot) + 1, "EMPTY");
        slots[static_cast<size_t>(slot)] = text;
    }
    std::string out;
    for (const std::string& t : slots) out += (out.empty() ? "" : ";") + t;
    return out;
}

// Two shift keys, left and right, and a right-hand AltGr.
const char kModifiers[] =
    "shiftcontrolkey;1;4;200;60;40;-;1;x\r\n"
    "shiftcontrolkey;8;+4;0;60;40;-;1;x\r\n"
    "controlkey;10;+4;0;40;40;-;4;AltGr\r\n";

TEST_F(KeyData, KeyPlacementFlagsAndTexts) {
    // After a key at x 10, width 40 (y 20, height 30).
    const std::string first = "key;1;10;20;40;30;-;q\r\n";
    struct Case {
        const char* line;
        int x, y, width, height;
        const char* slot0;
        const char* slot1;
        bool flagA;
    } cases[] = {
        {"key;4;+2;0;40;40;-;a;A", 52, 20, 40, 40, "a", "A", false},
        {"key;4;+2;0;40;40;a;A", 52, 20, 40, 40, "A", "",
         true},  // no placeholder: "a" is the flags
        {"key;4;-2;+4;40;40;-;a", 48, 54, 40, 40, "a", "", false},
        {"key;4;0;25;0;0;-;a", 10, 25, 40, 30, "a", "", false},  // 0: the previous key's value
        {"key;4;x;+1;y;z;-;a", -1, 51, 40, 40, "a", "", false},  // not numbers: -1 and the default
        {"key;4;-1;0", 49, 20, 40, 40, "", "", false},           // "-1" is relative; sizes missing
        {"key;4;200;300;55;66;HnAsZd;% ;EMPTY", 200, 300, 55, 66, "%", "", true},
        {"key;4;200;300;55;66;-;#13;#32", 200, 300, 55, 66, "\r", " ", false},
        {"key;4;200;300;55;66;-;%;;a%;b", 200, 300, 55, 66, ";", "a;b", false},
    };
    for (const Case& c : cases) {
        auto layout = Load("defaultsize;40;40\r\n" + first + c.line + "\r\n");
        ASSERT_EQ(layout->keys.size(), 2u) << c.line;
        const TKeyInfoExt& k = *layout->keys[1];
        EXPECT_EQ(k.x, c.x) << c.line;
        EXPECT_EQ(k.y, c.y) << c.line;
        EXPECT_EQ(k.width, c.width) << c.line;
        EXPECT_EQ(k.height, c.height) << c.line;
        EXPECT_EQ(k.texts[0], c.slot0) << c.line;
        EXPECT_EQ(k.texts[1], c.slot1) << c.line;
        EXPECT_EQ(k.alwaysColoured, c.flagA) << c.line;
        EXPECT_EQ(k.finger, 4);
    }
    auto all = Load("key;4;200;300;55;66;HnAsZd;x\r\n");
    const TKeyInfoExt& k = *all->keys[0];
    EXPECT_TRUE(k.hidden && k.homeBump && k.alwaysColoured && k.secondFont && k.errorPicture &&
                k.storedOnly);
}

TEST_F(KeyData, CapitalsTakeTheShiftOfTheOtherHand) {
    auto layout = Load(std::string(kModifiers) +
                       "key;1;10;20;40;40;-;q;Q\r\nkey;4;+2;0;40;40;-;a;A\r\n"
                       "key;5;+4;0;40;40;-;j;J\r\nkey;x;+4;0;40;40;-;k;K\r\n");
    const TKeyInfoExt* leftShift = layout->Control(1, false);
    const TKeyInfoExt* rightShift = layout->Control(1, true);
    ASSERT_TRUE(leftShift && rightShift);
    EXPECT_NE(leftShift, rightShift);

    TKeyLookup a = layout->FindKey("A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a.key->texts[0], "a");
    EXPECT_EQ(a.slot, 1);
    EXPECT_EQ(a.modifier, rightShift);
    EXPECT_EQ(layout->FindKey("J").modifier, leftShift);
    EXPECT_EQ(layout->FindKey("K").modifier, rightShift);  // unknown finger (-1) counts as left
    TKeyLookup plain = layout->FindKey("a");
    EXPECT_EQ(plain.slot, 0);
    EXPECT_EQ(plain.modifier, nullptr);
    EXPECT_FALSE(layout->FindKey("z"));
    EXPECT_FALSE(layout->FindKey(""));  // empty slots never match
    EXPECT_EQ(layout->ModifierFingerOf('A'), 8);
    EXPECT_EQ(layout->FingersOf("aA"), (1u << 4) | (1u << 8));

    // With only one Shift key, both hands use it.
    auto oneShift = Load("shiftcontrolkey;1;4;200;60;40;-;1;x\r\nkey;4;4;4;40;40;-;a;A\r\n");
    EXPECT_EQ(oneShift->Control(1, true), nullptr);
    EXPECT_EQ(oneShift->FindKey("A").modifier, oneShift->Control(1, false));
}

TEST_F(KeyData, SecondPassModifiers) {
    auto layout = Load(std::string(kModifiers) + "key;1;10;20;40;40;-;" +
                       Slots({{0, "q"}, {1, "Q"}, {4, "@"}}) +
                       "\r\n"
                       "key;4;+4;0;40;40;-;" +
                       Slots({{0, "a"}, {1, "A"}, {2, "x2"}, {20, "\xC4"}}) +
                       "\r\n"
                       "key;6;+4;0;40;40;-;" +
                       Slots({{0, "k"}, {4, "{"}}) +
                       "\r\n"
                       "controlkey;1;4;300;40;40;-;2;Ctrl\r\n");
    const TKeyInfoExt* altGr = layout->Control(4, true);
    ASSERT_TRUE(altGr);
    EXPECT_EQ(layout->Control(4, false), nullptr);
    // Slot 4 of a left-hand key: the right-hand AltGr.
    TKeyLookup at = layout->FindKey("@");
    EXPECT_EQ(at.slot, 4);
    EXPECT_EQ(at.modifier, altGr);
    EXPECT_EQ(at.secondary, nullptr);
    // Of a right-hand key: the left one is missing, so the right one answers.
    EXPECT_EQ(layout->FindKey("{").modifier, altGr);
    // Slot 20: right AltGr with the left Shift as the secondary modifier.
    TKeyLookup cap = layout->FindKey("\xC4");
    EXPECT_EQ(cap.slot, 20);
    EXPECT_EQ(cap.modifier, altGr);
    EXPECT_EQ(cap.secondary, layout->Control(1, false));
    EXPECT_EQ(layout->lastSecondary, cap.secondary);
    // Slot 2 of a left-hand key wants the right Ctrl; only the left one exists.
    EXPECT_EQ(layout->FindKey("x2").modifier, layout->Control(2, false));
    layout->FindKey("a");
    EXPECT_EQ(layout->lastSecondary, nullptr);
}

TEST_F(KeyData, BowlLayoutsUseOneTableAndTheSecondaryControl) {
    auto layout = Load(
        "keybowldata\r\n"
        "controlkey;8;4;4;40;40;-;1;Shift\r\n"
        "controlkey;7;+4;0;40;40;-;3;C3\r\n"
        "controlkey;6;+4;0;40;40;-;10;C10\r\n"
        "bowlkey;2;4;100;40;40;-;" +
        Slots({{0, "a"}, {1, "A"}, {12, "w"}}) + "\r\n");
    EXPECT_TRUE(layout->IsBowl());
    EXPECT_TRUE(layout->keys.back()->bowlKey);
    // Everything is in the left-hand table, whatever the finger.
    EXPECT_TRUE(layout->Control(10, false));
    EXPECT_FALSE(layout->Control(10, true));
    EXPECT_EQ(layout->FindKey("A").modifier, layout->Control(1, false));
    TKeyLookup w = layout->FindKey("w");  // slot 12: control 3 with control 10
    EXPECT_EQ(w.slot, 12);
    EXPECT_EQ(w.modifier, layout->Control(3, false));
    EXPECT_EQ(w.secondary, layout->Control(10, false));
    EXPECT_EQ(layout->FingerName(2), "");
    EXPECT_FALSE(layout->HasFingers());
}

TEST_F(KeyData, HomeRowGivesTheSemicolonReplacement) {
    struct Case {
        const char* line;
        char replacement;
    } cases[] = {
        {"homerow;asdfjkl\xF6", '\xF6'},
        {"homerow;asdf", ';'},
        {"homerow;asdfjkl%;", ';'},
        {"homerow;aoeuhtns", 's'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Load(std::string(c.line) + "\r\n")->semicolonReplacement, c.replacement);
    EXPECT_EQ(Load("key;1;4;4;40;40;-;a\r\n")->semicolonReplacement, ';');
}

TEST_F(KeyData, OnlyVersionSixIsRead) {
    for (const char* version : {"5", "", "6.0"}) {
        ui.messages.clear();
        TKeyDataExt layout;
        EXPECT_EQ(layout.Load(Write("key;1;4;4;40;40;-;a\r\n", "old.kbd", version)), 1) << version;
        EXPECT_TRUE(layout.keys.empty()) << version;
        ASSERT_EQ(ui.messages.size(), 1u) << version;
        EXPECT_NE(ui.messages[0].text.find("#-89"), std::string::npos);
        EXPECT_NE(ui.messages[0].text.find("old.kbd"), std::string::npos);
    }
    TKeyDataExt missing;
    EXPECT_LT(missing.Load(dir / "nothing.kbd"), 0);
}

TEST_F(KeyData, FaultyNumbersStayInsideTheTables) {
    const std::string longText(40, 'x');
    auto layout = Load(
        "controlkey;5;4;4;40;40;-;25;Big\r\n"
        "controlkey;5;4;4;40;40;-;-7;Neg\r\n"
        "controlkey;5;4;4;40;40;-;20;Top\r\n"
        "key;15;+4;0;40;40;-;q;Q\r\n"
        "key;-3;+4;0;40;40;-;w;W\r\n"
        "key;0;+4;0;40;40;-;" +
        longText +
        "\r\n"
        "key;3;+4;0;40;40;-;0;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22\r\n");
    EXPECT_EQ(layout->keys[0]->controlNumber, 25);
    for (int n = 0; n < TKeyDataExt::kControls; ++n) {
        EXPECT_TRUE(layout->leftControls[n] == nullptr) << n;
        if (n != 20) {
            EXPECT_TRUE(layout->rightControls[n] == nullptr) << n;
        }
    }
    EXPECT_EQ(layout->Control(20, true), layout->keys[2].get());
    EXPECT_EQ(layout->Control(25, true), nullptr);
    EXPECT_EQ(layout->Control(-1, true), nullptr);
    // Fingers outside 1..10 are no finger for every question asked of them.
    EXPECT_EQ(layout->FingerOf('q'), 0);
    EXPECT_EQ(layout->FingerOf('w'), 0);
    EXPECT_EQ(layout->FingersOf("qQwW"), 0u);
    EXPECT_EQ(layout->SameFingerKeys('q'), "");
    EXPECT_EQ(layout->MirrorFingerKeys('q'), "");
    EXPECT_EQ(layout->HomeKeyFor('q'), 0);
    for (int f : {-3, 0, 11, 15, 1000}) EXPECT_EQ(layout->FingerName(f), "-") << f;
    EXPECT_EQ(layout->keys[5]->texts[0], std::string(15, 'x'));
    EXPECT_EQ(layout->keys[6]->texts[20], "20");  // words past slot 20 are dropped
    EXPECT_FALSE(layout->FindKey("21"));

    // A long Shift caption from the language file is cut as well, and is not the file's fault.
    Localization().SetString(167, "Umschalttaste links");
    const std::string path = Write("shiftcontrolkey;1;4;4;40;40;-;1\r\nkey;1;+4;0;40;40;-;a\r\n");
    TKeyDataExt shift;
    shift.Load(path);
    EXPECT_EQ(shift.keys[0]->texts[0], "Umschalttaste l");
    for (const TLayoutProblem& p : CheckLayoutFile(path))
        EXPECT_EQ(p.text.find("longer"), std::string::npos);
}

TEST_F(KeyData, FingerNames) {
    auto layout = Load("key;1;4;4;40;40;-;a\r\n");
    EXPECT_TRUE(layout->HasFingers());
    const int strings[] = {154, 155, 156, 157, 158, 159, 160, 161, 162, 162};
    for (int f = 1; f <= 10; ++f)
        EXPECT_EQ(layout->FingerName(f), "<" + std::to_string(strings[f - 1]) + ">");
}

TEST_F(KeyData, SpecialKeysAndCaptions) {
    system->hasTable = true;
    system->table[83].plain = ',';
    auto layout = Load(
        "tabkey;1;4;4;60;40;-;Tab;x\r\n"
        "enterkey;8;+4;0;60;40;-;Enter\r\n"
        "spacekey;10;+4;0;60;40;-;Space\r\n"
        "backspacekey;8;+4;0;60;40;-\r\n"
        "capslockkey;1;+4;0;60;40;-;Caps;CAPS\r\n"
        "shiftcontrolkey;1;+4;0;60;40;-;1\r\n"
        "shiftcontrolkey;8;+4;0;60;40;-;1;Umschalt;S1\r\n"
        "commadotkey;7;+4;0;40;40;-;.\r\n"
        "key;2;+4;0;40;40;-;a|\xE1|\xE0;A\r\n"
        "key;3;+4;0;40;40;-;|;\\\r\n"
        "key;3;+4;0;40;40;-;|x\r\n");
    const auto& k = layout->keys;
    EXPECT_EQ(k[0]->texts[0], "\t");
    EXPECT_EQ(k[0]->texts[1], "");  // the texts of these kinds are ignored
    EXPECT_EQ(layout->KeyCaption(*k[0], 0), "<163>");
    EXPECT_EQ(layout->KeyCaption(*k[1], 0), "<164>");
    EXPECT_EQ(layout->KeyCaption(*k[2], 0), "<166>");
    EXPECT_EQ(layout->KeyCaption(*k[3], 0), "<165>");
    EXPECT_EQ(k[4]->texts[1], "CAPS");
    EXPECT_EQ(k[5]->texts[0], "<167>");
    EXPECT_EQ(k[6]->texts[0], "<167>");
    EXPECT_EQ(k[6]->texts[1], "S1");
    EXPECT_EQ(k[7]->texts[0], ",");  // the system's keypad decimal
    EXPECT_EQ(layout->KeyCaption(*k[8], 0), "a");
    EXPECT_EQ(layout->KeyCaption(*k[9], 0), "|");
    EXPECT_EQ(layout->KeyCaption(*k[10], 0), "|x");
    EXPECT_EQ(layout->KeyCaption(*k[8], 21), "");
    EXPECT_EQ(layout->KeyCaption(*k[8], -1), "");
    // Alternatives answer with no modifier; "|" alone is a plain text.
    EXPECT_EQ(layout->FindKey("\xE0").key, k[8].get());
    EXPECT_EQ(layout->FindKey("\xE0").slot, 0);
    EXPECT_EQ(layout->FindKey("a|\xE1|\xE0").key, k[8].get());
    EXPECT_EQ(layout->FindKey("|").key, k[9].get());
    EXPECT_EQ(layout->FindKey("x").key, nullptr);
    EXPECT_EQ(layout->CaptionOf('A'), "a|\xE1|\xE0");
    EXPECT_EQ(layout->FindKey("\t").key, k[0].get());

    layout->commaDotMode = 1;
    EXPECT_EQ(layout->CommaDotKey(","), ",");
    system->table[83].plain = 0;  // without the system: the file's text, else "."
    auto keypad = Load("commadot;1\r\ncommadotkey;7;4;4;40;40;-;EMPTY;.\r\n");
    EXPECT_EQ(keypad->commaDotMode, 1);
    EXPECT_EQ(keypad->keys[0]->texts[0], ".");
    EXPECT_EQ(keypad->CommaDotKey("."), ".");
    EXPECT_EQ(keypad->CommaDotKey("x"), "x");
}

// A small German-like layout: rows chained, dead keys, home row.
const char kSmall[] =
    "homerow;asdfjkl\xF6\r\n"
    "shiftcontrolkey;1;4;200;60;40;-;1;x\r\n"
    "shiftcontrolkey;8;+4;0;60;40;-;1;x\r\n"
    "controlkey;10;+4;0;40;40;-;4;AltGr\r\n"
    "key;8;4;4;40;40;-;\xB4;`\r\n"
    "key;1;4;50;40;40;-;q;Q;EMPTY;EMPTY;@\r\n"
    "key;2;+4;0;40;40;-;w;W\r\n"
    "key;3;+4;0;40;40;-;e;E\r\n"
    "key;4;+4;0;40;40;-;r;R\r\n"
    "key;4;+4;0;40;40;-;t;T\r\n"
    "key;5;+4;0;40;40;-;z;Z\r\n"
    "key;5;+4;0;40;40;-;u;U\r\n"
    "' a comment does not break the row\r\n"
    "key;6;+4;0;40;40;-;i;I\r\n"
    "key;1;4;94;40;40;-;a;A\r\n"
    "key;2;+4;0;40;40;-;s;S\r\n"
    "key;3;+4;0;40;40;-;d;D\r\n"
    "key;4;+4;0;40;40;n;f;F\r\n"
    "key;4;+4;0;40;40;-;g;G\r\n"
    "key;5;+4;0;40;40;-;h;H\r\n"
    "key;5;+4;0;40;40;n;j;J\r\n"
    "key;6;+4;0;40;40;-;k;K\r\n"
    "key;7;+4;0;40;40;-;l;L\r\n"
    "key;8;+4;0;40;40;-;\xF6;\xD6\r\n"
    "key;8;+4;0;40;40;-;#;'\r\n"
    "key;1;4;138;40;40;-;y;Y\r\n"
    "key;4;+4;0;40;40;-;v;V\r\n"
    "key;4;+4;0;40;40;-;b;B\r\n"
    "key;5;+4;0;40;40;-;n;N\r\n"
    "key;5;+4;0;40;40;-;m;M\r\n"
    "key;3;+4;0;40;40;-;%;;\xA0;\r\n"
    "key;3;+4;0;40;40;-;c;C;EMPTY;EMPTY;\xB8\r\n";

TEST_F(KeyData, RowsHomeKeysAndFingerFamilies) {
    auto layout = Load(kSmall);
    EXPECT_EQ(layout->NeighbourKeys('s'), "ad");
    EXPECT_EQ(layout->NeighbourKeys('S'), "AD");  // the Shift texts of the neighbours
    EXPECT_EQ(layout->NeighbourKeys('a'), "s");   // first of its row: no left neighbour
    EXPECT_EQ(layout->NeighbourKeys('q'), "w");   // not linked to the row above
    EXPECT_EQ(layout->NeighbourKeys('i'), "u");   // the comment did not break the chain
    EXPECT_EQ(layout->NeighbourKeys('@'), "w");   // AltGr texts use the plain captions
    EXPECT_EQ(layout->NeighbourKeys('x'), "");

    EXPECT_EQ(layout->SameFingerKeys('f'), "rtgvb");
    EXPECT_EQ(layout->SameFingerKeys('F'), "RTGVB");
    EXPECT_EQ(layout->MirrorFingerKeys('f'), "zuhjnm");
    EXPECT_EQ(layout->MirrorFingerKeys('a'), "\xB4\xF6#");
    // Single characters only, and never 0 or the no-break space.
    EXPECT_EQ(layout->SameFingerKeys('e'), "d;c");
    EXPECT_EQ(layout->SameFingerKeys('E'), "DC");
    EXPECT_EQ(layout->SameFingerKeys(';'), "edc");
    EXPECT_EQ(layout->SameFingerKeys('?'), "");

    EXPECT_TRUE(layout->IsHomeKey('F'));
    EXPECT_TRUE(layout->IsHomeKey('\xD6'));
    EXPECT_FALSE(layout->IsHomeKey('g'));
    EXPECT_FALSE(layout->IsHomeKey(0));
    EXPECT_EQ(layout->HomeKeyFor('r'), 'f');
    EXPECT_EQ(layout->HomeKeyFor('R'), 'f');
    EXPECT_EQ(layout->HomeKeyFor('A'), 'A');
    EXPECT_EQ(layout->HomeKeyFor('#'), '\xF6');
    EXPECT_EQ(layout->HomeKeyFor('?'), 0);
}

TEST_F(KeyData, DeadKeysAndWhatALayoutCannotType) {
    auto layout = Load(kSmall);
    TKeyLookup e = layout->FindKey("\xE9");  // é: the acute dead key, then e
    ASSERT_TRUE(e);
    EXPECT_EQ(e.key->texts[0], "\xB4");
    EXPECT_EQ(e.baseLetter, 'e');
    EXPECT_EQ(e.modifier, nullptr);
    TKeyLookup grave = layout->FindKey("\xC8");  // È: Shift+´ then E
    EXPECT_EQ(grave.key, e.key);
    EXPECT_EQ(grave.baseLetter, 'E');
    EXPECT_EQ(grave.modifier, layout->Control(1, false));
    EXPECT_EQ(layout->FingersOf("\xE9"), (1u << 8) | (1u << 3));
    EXPECT_FALSE(layout->FindKey("\xEA"));               // ê: no circumflex key
    EXPECT_FALSE(layout->FindKey("\xC7"));               // Ç is not in the lookup table
    EXPECT_EQ(layout->FindKey("\xE7").baseLetter, 'c');  // ç is

    struct Case {
        const char* text;
        const char* missing;
    } cases[] = {
        {"faders", ""},
        {"caf\xE9 \xE8", " "},            // no space key; é and è via the dead key
        {"\xEA\xEA\xF1xx", "\xEA\xF1x"},  // each once, in text order
        {"\xC7"
         "a",
         ""},                     // Ç: ¸ and C are there
        {"line\r\nend", "\r\n"},  // no Enter key here
    };
    for (const Case& c : cases) EXPECT_EQ(layout->CannotProduce(c.text), c.missing) << c.text;
    EXPECT_TRUE(layout->CanProduce("Ja"));
    auto withEnter = Load("enterkey;8;4;4;40;40;-\r\nkey;1;+4;0;40;40;-;a\r\n");
    EXPECT_EQ(withEnter->CannotProduce("a\r\na"), "");
}

TEST_F(KeyData, VkeyWordsAndDynamicLayouts) {
    const std::string body =
        "dynamiclayout\r\n"
        "materialbased;QWERTY\r\n"
        "homerow;asdfjkl%;\r\n"
        "vkey;1;4;4;40;40;-;q;Q;16;two\r\n"
        "xkey;1;4;4;40;40;-;pic=none.bmp;w;W;17\r\n"
        "vkey;1;4;4;40;40;-;x;X;0\r\n"
        "key;1;4;4;40;40;-;e;E;18\r\n";
    // Without the system's characters the layout is not dynamic and the file's texts stand.
    system->hasTable = false;
    auto fixed = Load(body);
    EXPECT_FALSE(fixed->dynamic);
    EXPECT_EQ(fixed->materialBase, "qwerty");
    EXPECT_EQ(fixed->homeRow, "asdfjkl;");
    const auto& f = fixed->keys;
    EXPECT_EQ(f[0]->texts[0], "q");
    EXPECT_EQ(f[0]->texts[1], "Q");
    EXPECT_EQ(f[0]->scanCode, 16);
    EXPECT_EQ(f[0]->texts[2], "two");  // after the scan code: slot 2 onwards
    EXPECT_EQ(f[1]->texts[0], "w");    // the picture word moves the texts and the scan code
    EXPECT_EQ(f[1]->scanCode, 17);
    EXPECT_FALSE(f[1]->hasPictures);
    EXPECT_EQ(f[3]->texts[2], "18");  // a plain key has no scan code

    // A German system layout.
    system->hasTable = true;
    system->Keys(16, "qwertzuiop");
    system->Keys(30, "asdfghjkl");
    system->table[39] = {'\xF6', '\xD6', 0, 0};
    system->table[16].altGr = '@';
    system->table[17].shiftAltGr = '\xA7';
    auto german = Load(body);
    EXPECT_TRUE(german->dynamic);
    EXPECT_EQ(german->materialBase, "qwertz");
    EXPECT_EQ(german->homeRow, "asdfjkl\xF6");
    EXPECT_EQ(german->semicolonReplacement, '\xF6');
    const auto& g = german->keys;
    EXPECT_EQ(g[0]->texts[0], "q");
    EXPECT_EQ(g[0]->texts[4], "@");
    EXPECT_EQ(g[0]->texts[2], "two");  // other slots keep the file's texts
    EXPECT_EQ(g[1]->texts[20], "\xA7");
    EXPECT_EQ(g[2]->texts[0], "x");  // scan code 0: as written
    EXPECT_EQ(g[3]->texts[0], "e");  // only vkey/xkey follow the system
    EXPECT_EQ(german->FindKey("@").slot, 4);
    EXPECT_EQ(system->tableRequests, 2);  // once per load

    struct Base {
        const char* top;
        const char* material;
    } bases[] = {
        {"',.pyf", "dvorak"}, {";qbyuj", "dvorakl"}, {"56q.or", "dvorakr"}, {"AZERTY", "azerty"}};
    for (const Base& b : bases) {
        system->table = {};
        for (int i = 0; i < 6; ++i) system->table[16 + static_cast<size_t>(i)].plain = b.top[i];
        EXPECT_EQ(Load(body)->materialBase, b.material) << b.top;
    }
    // The "dynamiclayout" line must come first to change the material base and home row.
    auto late = Load("materialbased;qwerty\r\nhomerow;asdfjkl%;\r\ndynamiclayout\r\n");
    EXPECT_TRUE(late->dynamic);
    EXPECT_EQ(late->materialBase, "qwerty");
    EXPECT_EQ(late->homeRow, "asdfjkl;");
}

TEST_F(KeyData, OtherLines) {
    auto layout = Load(
        "layoutcode;0000040c\r\n"
        "keybpicfile;Board.BMP;12;-3\r\n"
        "defaultsize;50;45\r\n"
        "fontsize;20;15\r\n"
        "unknownthing;1\r\n"
        "key;1;4;4\r\n");
    EXPECT_EQ(layout->layoutCode, "0000040c");
    EXPECT_EQ(layout->layoutLanguage, "0c");
    EXPECT_EQ(layout->keybPicFile, "board.bmp");
    EXPECT_EQ(layout->keybPicX, 12);
    EXPECT_EQ(layout->keybPicY, -3);
    EXPECT_EQ(layout->keys[0]->width, 50);
    EXPECT_EQ(layout->keys[0]->height, 45);
    EXPECT_EQ(layout->fontSizes, (std::array<int, 3>{20, 15, 14}));
    EXPECT_EQ(Load("key;1;4;4\r\n")->layoutLanguage, "00NONE0000");
    EXPECT_EQ(Load("key;1;4;4\r\n")->materialBase, "qwerty");

    WriteFile(dir / "n.bmp", "BM");
    WriteFile(dir / "H.bmp", "BM");
    auto pics = Load(
        "key;1;4;4;40;40;-;PIC=N.bmp,h.BMP;a\r\nkey;1;4;4;40;40;-;pic=missing.bmp=n.bmp;b\r\n");
    EXPECT_TRUE(pics->keys[0]->hasPictures);
    EXPECT_EQ(pics->keys[0]->normalPicture, dir / "n.bmp");
    EXPECT_EQ(pics->keys[0]->highlightedPicture, dir / "H.bmp");
    EXPECT_EQ(pics->keys[0]->texts[0], "a");
    EXPECT_FALSE(pics->keys[1]->hasPictures);  // a missing file is ignored
    EXPECT_EQ(pics->keys[1]->highlightedPicture, dir / "n.bmp");
}

TEST_F(KeyData, ActivatingTheSystemLayout) {
    system->installed = {"00000409", "00000407"};
    auto german = Load("layoutcode;00000407\r\n");
    EXPECT_TRUE(german->ActivateSystemLayout(true));
    EXPECT_EQ(system->activated, std::vector<std::string>{"00000407"});
    auto french = Load("layoutcode;0000040c\r\n");
    EXPECT_FALSE(french->ActivateSystemLayout(true));  // not installed
    EXPECT_TRUE(french->ActivateSystemLayout(false));
    EXPECT_EQ(system->activated.back(), "0000040C");
    auto none = Load("key;1;4;4\r\n");
    EXPECT_FALSE(none->ActivateSystemLayout(false));
    EXPECT_EQ(system->activated.size(), 2u);
}

TEST_F(KeyData, ChoosingTheLayoutFileFromTheSystem) {
    const std::vector<std::string> lines = {
        "English US=qwerty.kbd;09;XXX",
        "English US International=usint2.kbd;09;204",
        "English UK=ukenglish.kbd;09;008",
        "German A=german-a.kbd;07;XX",
        "German B=german-b.kbd;07;xxx",
        "Swiss=swiss.kbd;07;008",
        "Short=short.kbd;0c",
        "Plain=plain.kbd;0B",
        "Odd=odd.kbd;0b;000",
    };
    struct Case {
        const char* id;
        const char* file;
        const char* name;
    } cases[] = {
        {"00000409", "qwerty.kbd", "English US"},
        {"00020409", "usint2.kbd", "English US International"},
        {"00000809", "ukenglish.kbd", "English UK"},
        {"00000407", "german-b.kbd", "German B"},  // the later of two "XX" lines
        {"00000807", "swiss.kbd", "Swiss"},        // exact line ends the walk
        {"0000040c", "fallback.kbd", "<1107>"},    // a missing variant is empty, not "004"
        {"0000000B", "plain.kbd", "Plain"},        // variant "000" is empty
        {"0000040B", "fallback.kbd", "<1107>"},
        {"", "fallback.kbd", "<1107>"},
        {"0409", "fallback.kbd", "<1107>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseLayoutFile(lines, c.id, nullptr, "fallback.kbd", false), c.file) << c.id;
        EXPECT_EQ(ChooseLayoutFile(lines, c.id, nullptr, "", true), c.name) << c.id;
    }
}

// A user of an installation, for the choices that depend on user settings and locks.
class UserLayout : public KeyData {
  protected:
    void SetUp() override {
        KeyData::SetUp();
        root = dir.path() + "/";
        ::mkdir((root + "Database").c_str(), 0777);
        ::mkdir((root + "keyboards").c_str(), 0777);
        WriteFile(root + "0.grp", "Name=All\r\n");
        WriteFile(root + "CorvKeyb.ini",
                  "[Keyboards]\r\nEnglish US=qwerty.kbd;09;XXX\r\nGerman=german.kbd;07;XXX\r\n"
                  "French=french.kbd;0C;XXX\r\n");
        WriteFile(root + "keyboards/qwerty.kbd",
                  "$version=6\r\nlayoutcode;00000409\r\nhomerow;asdfjkl%;\r\n");
        WriteFile(root + "keyboards/german.kbd",
                  "$version=6\r\nlayoutcode;00000407\r\nhomerow;asdfjkl\xF6\r\n");
        Policy("");
    }
    void TearDown() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
        KeyData::TearDown();
    }
    void Policy(const std::string& text) {
        SetCurrentUser(nullptr);
        CorvSettings::CloseAll();
        WriteFile(root + "Policy.dyn", "Sounds=1\r\n" + text);
        SetProgramSettings(TProgramSettings::Create(root));
        ASSERT_TRUE(ProgramSettings());
        ASSERT_TRUE(CorvSettings::OpenPolicy(root));
        SetCurrentUser(TUser::Create("Anna"));
    }
    TUser& user() { return *CurrentUser(); }
    std::string root;
};

TEST_F(UserLayout, AutoDetectionNamesAndLocks) {
    system->current = "00000407";
    user().SetBool("KeyboardAutoDetect", true);
    user().SetText("KeyboardLayout", "french");
    EXPECT_EQ(ChooseLayoutFile("qwerty.kbd", false), "german.kbd");
    user().SetBool("KeyboardAutoDetect", false);
    EXPECT_EQ(ChooseLayoutFile("qwerty.kbd", false), "french.kbd");  // by name, any case
    EXPECT_EQ(ChooseLayoutFile("", true), "German");  // the name always follows the system
    user().SetText("KeyboardLayout", "Klingon");
    EXPECT_EQ(ChooseLayoutFile("qwerty.kbd", false), "qwerty.kbd");

    // A locked "KeyboardLayout" wins over the user's auto-detection.
    Policy("KeyboardLayout=English US\r\nKeyboardLayout.locked=1\r\n");
    user().SetBool("KeyboardAutoDetect", true);
    EXPECT_EQ(ChooseLayoutFile("x.kbd", false), "qwerty.kbd");
    // ... unless auto-detection is locked as well.
    Policy(
        "KeyboardLayout=English US\r\nKeyboardLayout.locked=1\r\nKeyboardAutoDetect=1\r\n"
        "KeyboardAutoDetect.locked=1\r\n");
    EXPECT_EQ(ChooseLayoutFile("x.kbd", false), "german.kbd");
}

TEST_F(UserLayout, LoadUserLayoutMakesItCurrentAndActivatesIt) {
    InstallKeyboardLayoutSources();
    system->current = "00000407";
    system->installed = {"00000409", "00000407"};
    user().SetBool("KeyboardAutoDetect", false);
    user().SetText("KeyboardLayout", "German");
    EXPECT_EQ(LoadUserLayout(user()), 1);
    ASSERT_TRUE(CurrentLayout());
    EXPECT_EQ(CurrentLayout()->homeRow, "asdfjkl\xF6");
    EXPECT_EQ(system->activated, std::vector<std::string>{"00000407"});
    // Key lists take SEMICOLON to be the layout's replacement.
    user().AddKeys("asSEMICOLON");
    EXPECT_EQ(user().KeysOfLevel(1), "as\xF6");
    CurrentLayout()->semicolonReplacement = 0;  // switched off by a course
    user().AddKeys("SEMICOLON");
    EXPECT_EQ(user().KeysOfLevel(2), ";");
    // The program settings read the system's identifier.
    system->current = "0000040C";
    SetProgramSettings(TProgramSettings::Create(root));
    EXPECT_EQ(ProgramSettings()->layoutLanguage, "0C");

    user().SetText("KeyboardLayout", "French");  // listed, but the file is missing
    ui.messages.clear();
    EXPECT_LT(LoadUserLayout(user()), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("#-500"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("french.kbd not found!"), std::string::npos);
    EXPECT_EQ(CurrentLayout()->homeRow, "asdfjkl\xF6");  // the old layout stays

    Policy("DisableWindowsLayouts=1\r\n");
    system->activated.clear();
    user().SetBool("KeyboardAutoDetect", false);
    user().SetText("KeyboardLayout", "English US");
    EXPECT_EQ(LoadUserLayout(user()), 1);
    EXPECT_EQ(CurrentLayout()->layoutCode, "00000409");
    EXPECT_TRUE(system->activated.empty());

    auto again = ReloadLayout(*CurrentLayout());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->layoutCode, "00000409");
}

TEST_F(KeyData, CheckListsEveryProblem) {
    const std::string path = Write(
        "layoutcode;0000407\r\n"
        "homerow;asdfjkl\r\n"
        "key;1;4;4;40;40;-;a;A\r\n"
        "key;11;+4;0;40;40;-;s;S\r\n"
        "key;x;+4;0;40;40;-;d;D\r\n"
        "key;4;+4;0;40;40;Q;f\r\n"
        "key;5;50;4;40;40;-;j\r\n"
        "controlkey;8;4;100;40;40;-;21;Big\r\n"
        "controlkey;8;+4;0;40;40;-;one;Ctrl\r\n"
        "vkey;5;+4;0;40;40;-;k;K\r\n"
        "vkey;5;+4;0;40;40;-;l;L;tv\r\n"
        "key;5;+4;0;40;40;-;0123456789abcdefg\r\n"
        "key;h;4;100;40;40;h;hidden\r\n"
        "frobnicate\r\n");
    std::vector<TLayoutProblem> problems = CheckLayoutFile(path);
    std::string all;
    for (const TLayoutProblem& p : problems) all += std::to_string(p.line) + ": " + p.text + "\n";
    const char* expected[] = {
        "2: layout code \"0000407\" is not eight hexadecimal digits",
        "3: home row \"asdfjkl\" does not have 8 characters",
        "5: finger 11 is not 1 to 10",
        "6: finger \"x\" is not a number",
        "7: flags word \"Q\" holds other letters",
        "9: control number 21 is not 0 to 20",
        "10: control number \"one\" is not a number",
        "11: vkey line has no scan code: it is word 9",
        "12: vkey scan code \"tv\" (word 9) is not a number from 0 to 127",
        "13: text \"0123456789abcdefg\" is longer than 15 characters",
        "15: unknown line kind \"frobnicate\"",
        "8: key overlaps the key of line 5",
        "14: finger \"h\" is not a number",
        "0: no key types \"b\", a letter of the layout's language",
        "home-row character \"k\" is typed with finger 5, not 6",
        "home-row character \"s\" is typed with finger 11, not 2",
    };
    for (const char* e : expected)
        EXPECT_NE(all.find(e), std::string::npos) << e << "\n--- found:\n" << all;
    EXPECT_EQ(all.find("line 14"), std::string::npos) << all;  // hidden keys may overlap

    EXPECT_EQ(CheckLayoutFile(Write("key;1;4;4\r\n", "v5.kbd", "5")).at(0).text,
              "version \"5\": a layout file must be version 6");
    EXPECT_EQ(CheckLayoutFile(dir / "nothing.kbd").at(0).text,
              "cannot open " + dir / "nothing.kbd");
    EXPECT_TRUE(ui.messages.empty());  // checking reports nothing to the user
}

TEST(LanguageLetters, OfTheShippedLanguages) {
    EXPECT_EQ(LanguageLetters("09").size(), 52u);
    EXPECT_EQ(LanguageLetters("").size(), 52u);
    EXPECT_NE(LanguageLetters("07").find('\xDF'), std::string::npos);
    EXPECT_NE(LanguageLetters("0c").find('\xE7'), std::string::npos);
    EXPECT_NE(LanguageLetters("1D").find('\xE5'), std::string::npos);
    EXPECT_EQ(LanguageLetters("0B"), LanguageLetters("1D"));
}

}  // namespace
}  // namespace corv
