// Keys as the hook delivers them, turned into characters and special keys.

#include <xkbcommon/xkbcommon.h>

#include "meter/hooks/KeyDecoder.h"
#include "meter/tests/MeterFixture.h"

namespace corv::meter::test {
namespace {

using Kind = TInputEvent::Kind;

// Presses (and releases) the keys named, the last one with the others held.
TKeyInfo Chord(TKeyDecoder& d, std::initializer_list<const char*> keys) {
    std::vector<uint8_t> codes;
    for (const char* k : keys) codes.push_back(d.KeyForName(k));
    TKeyInfo last;
    for (uint8_t c : codes) last = d.Feed({Kind::kKeyDown, c, 0});
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) d.Feed({Kind::kKeyUp, *it, 0});
    return last;
}

TEST(KeyDecoder, CharactersFollowShiftCapsLockAndTheLayout) {
    auto us = TKeyDecoder::FromNames("us");
    ASSERT_TRUE(us);
    EXPECT_EQ(Chord(*us, {"a"}).ch, 'a');
    TKeyInfo shifted = Chord(*us, {"Shift_L", "a"});
    EXPECT_EQ(shifted.ch, 'A');
    EXPECT_EQ(shifted.vk, 65);
    EXPECT_TRUE(shifted.shift);
    EXPECT_FALSE(Chord(*us, {"Shift_L"}).report) << "Shift alone reports nothing";
    Chord(*us, {"Caps_Lock"});
    EXPECT_EQ(Chord(*us, {"a"}).ch, 'A');
    Chord(*us, {"Caps_Lock"});
    EXPECT_EQ(Chord(*us, {"a"}).ch, 'a');
    TKeyInfo one = Chord(*us, {"Shift_L", "1"});
    EXPECT_EQ(one.ch, '!');
    EXPECT_TRUE(one.digitKey) << "the key of a digit stays a special key";
    EXPECT_EQ(Chord(*us, {"BackSpace"}).ch, 8);
    EXPECT_EQ(Chord(*us, {"Return"}).ch, 13);
    EXPECT_EQ(Chord(*us, {"Left"}).vk, 37);
    EXPECT_EQ(Chord(*us, {"Down"}).vk, 40);
    EXPECT_FALSE(Chord(*us, {"Alt_L", "F4"}).report) << "Alt combinations are the system's";
    TKeyInfo copy = Chord(*us, {"Control_L", "c"});
    EXPECT_TRUE(copy.report);
    EXPECT_TRUE(copy.ctrl);
    EXPECT_TRUE(Chord(*us, {"Control_L", "Alt_L", "Delete"}).report);

    auto de = TKeyDecoder::FromNames("de");
    ASSERT_TRUE(de);
    EXPECT_EQ(Chord(*de, {"udiaeresis"}).ch, 0xFC);
    EXPECT_EQ(Chord(*de, {"Shift_L", "udiaeresis"}).ch, 0xDC);
    TKeyInfo at = Chord(*de, {"ISO_Level3_Shift", "q"});
    EXPECT_TRUE(at.report);
    EXPECT_TRUE(at.altGr) << "AltGr counts as Ctrl+Alt";
    EXPECT_TRUE(Chord(*de, {"dead_acute"}).dead);
}

class Decoding : public MeterFixture {};
class GermanDecoding : public MeterFixture {
  protected:
    GermanDecoding() { layout = "de"; }
};

TEST_F(Decoding, EachKindOfKeyCountsAsThePartsSay) {
    StartMeasuring();
    struct Case {
        const char* what;
        std::function<void()> keys;
        uint64_t total, monitored;
    };
    const Case cases[] = {
        {"Shift alone", [&] { Key("Shift_L"); }, 0, 0},
        {"Shift+a", [&] { Key("a", {"Shift_L"}); }, 1, 1},
        {"Alt+F4", [&] { Key("F4", {"Alt_L"}); }, 0, 0},
        {"Ctrl+C", [&] { Key("c", {"Control_L"}); }, 1, 0},
        {"a digit", [&] { Key("7"); }, 1, 0},
        {"Tab", [&] { Key("Tab"); }, 1, 0},
        {"Esc", [&] { Key("Escape"); }, 1, 0},
        {"+", [&] { Key("plus", {"Shift_L"}); }, 1, 0},
        {"Backspace", [&] { Key("BackSpace"); }, 1, 1},
    };
    for (const Case& c : cases) {
        const TMeterCounters before = tray->Counters();
        c.keys();
        EXPECT_EQ(tray->Counters().totalHits - before.totalHits, c.total) << c.what;
        EXPECT_EQ(tray->Counters().monitoredHits - before.monitoredHits, c.monitored) << c.what;
    }
}

TEST_F(GermanDecoding, ADeadKeyAndTheLetterAfterItMakeNoCharacter) {
    StartMeasuring();
    Type(" abc", 150);
    const TMeterCounters before = tray->Counters();
    Key("dead_acute");
    Key("e");
    EXPECT_EQ(tray->Counters().totalHits - before.totalHits, 1u) << "a special key for the e";
    EXPECT_EQ(tray->Counters().monitoredHits, before.monitoredHits);
    EXPECT_EQ(tray->Word().Text(), "") << "the word in progress was abandoned";
}

TEST_F(Decoding, LeftAndRightPressesCountMiddleAndWheelDoNot) {
    StartMeasuring();
    for (int button : {1, 2, 3, 4, 5}) Click(button);
    EXPECT_EQ(tray->Counters().mouseClicks, 2u);
}

TEST_F(Decoding, NothingIsCountedWhileTheHookIsStopped) {
    StartMeasuring();
    tray->HandleMessage({ipc::RegisterMessage("CorvVantor1999.DISABLE"), 0, 0, 0});
    EXPECT_FALSE(hook->Running());
    Type("hello ", 150);
    Click(1);
    EXPECT_EQ(tray->Counters().totalHits, 0u);
    EXPECT_EQ(tray->Counters().mouseClicks, 0u);
}

}  // namespace
}  // namespace corv::meter::test
