// Typing in other programs segmented into words, judged and collected.

#include "data/DifficultKeys.h"
#include "data/User.h"
#include "data/WordList.h"
#include "engine/analysis/Analyzer.h"
#include "meter/tests/MeterFixture.h"

namespace corv::meter::test {
namespace {

// The slot of a collected word, 0 when it is not there.
int SlotOf(const std::string& word) {
    const TWordList& list = CollectedWords();
    for (int s = 1; s <= list.UsedCount(); ++s)
        if (list.Record(s).word == word) return s;
    return 0;
}

class Measurement : public MeterFixture {
  protected:
    void SetUp() override {
        MeterFixture::SetUp();
        StartMeasuring();
        Type(" ", 200);  // the first word after the start is dropped: an empty one
    }
    int Words() { return Analysis().Efficiency().WordsTyped; }
};

TEST_F(Measurement, StreadyWordsAreStoredWhenASeparatorEndsThem) {
    Type("hello world", 200);
    ASSERT_NE(SlotOf("hello"), 0);
    EXPECT_EQ(CollectedWords().Record(SlotOf("hello")).history[0], 0) << "no slow keys";
    EXPECT_EQ(SlotOf("world"), 0) << "not ended yet";
    Type(".", 200);
    EXPECT_NE(SlotOf("world"), 0);
    EXPECT_EQ(Words(), 2);
    EXPECT_EQ(tray->Counters().monitoredHits, 13u);
}

TEST_F(Measurement, TheFirstWordAfterAnInterruptionIsDropped) {
    Click(1);
    Type("first second third ", 200);
    EXPECT_EQ(SlotOf("first"), 0);
    EXPECT_NE(SlotOf("second"), 0);
    EXPECT_NE(SlotOf("third"), 0);
}

TEST_F(Measurement, WhatIsNotProseAbandonsTheWordInProgress) {
    Type("xaaa", 200);
    EXPECT_EQ(tray->Word().Text(), "xaaa");
    Type("a", 200);  // the third repetition: the word starts over from this key
    EXPECT_EQ(tray->Word().Text(), "a");
    Type("a", 200);  // and so does every further one
    EXPECT_EQ(tray->Word().Text(), "a");

    Type(" first second ", 200);  // a word end that counts starts the 60 afresh
    const std::string sixty = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefgh";
    Type(sixty, 150);
    EXPECT_EQ(tray->Word().Text().size(), 60u);
    Type("i", 150);
    EXPECT_EQ(tray->Word().Text(), "i") << "the 61st character starts counting again";

    Type(" ", 200);
    Type("still", 200);
    hook->Wait(6500);
    tray->TypingStopped();  // 6 s without a key
    EXPECT_EQ(tray->Word().Text(), "");

    Type("again", 200);
    desktop->Switch({"Other window", "FIREFOX"});
    EXPECT_EQ(tray->Word().Text(), "") << "a window switch ends the word";
}

TEST_F(Measurement, ApostrophesJoinAndHyphensSplitWords) {
    Type("don't well-known it's dog ", 200);
    EXPECT_NE(SlotOf("don't"), 0);
    EXPECT_NE(SlotOf("well"), 0);
    EXPECT_NE(SlotOf("known"), 0);
    EXPECT_NE(SlotOf("it's"), 0);
    EXPECT_EQ(SlotOf("dog"), 0) << "three letters are too few";
}

TEST_F(Measurement, ACorrectionMakesTheWordHarderAndMarksTheKey) {
    const int before = DifficultKeysB().CountsOf('h').pendingErrors;
    Type("teh", 200);
    Key("BackSpace");
    Key("BackSpace");
    Type("hen ", 200);
    ASSERT_NE(SlotOf("then"), 0);
    EXPECT_EQ(CollectedWords().Record(SlotOf("then")).history[0], 2);
    EXPECT_EQ(DifficultKeysB().CountsOf('h').pendingErrors, before + 1);
    EXPECT_EQ(tray->Counters().backSpaces, 2u);
}

TEST_F(Measurement, WithoutWordCollectionEverythingButTheWordsIsMeasured) {
    tray->HandleMessage({ipc::RegisterMessage("CorvVantor1999.DISABLE"), 0, 0, 0});
    TDynamicSettings s;
    ASSERT_EQ(s.Open(Db() + "Anna.usr", 1), 1);
    s.LoadNow();
    s.SetBool("DoNotCollectWords", true);
    s.Save();
    s.File().Close();
    tray->HandleMessage({ipc::RegisterMessage("CorvVantor1999.ENABLE"), 0, 0, 0});
    ASSERT_TRUE(tray->Enabled());
    Type(" alpha bravo charlie ", 200);
    EXPECT_EQ(SlotOf("bravo"), 0);
    EXPECT_EQ(Words(), 3);
    EXPECT_GT(Analysis().Efficiency().NetKeys, 0);
}

TEST_F(Measurement, SecretsAreNeverCollectedAndALockedScreenIsNotMeasured) {
    struct Case {
        TActiveWindow window;
        bool collected;
    };
    const Case cases[] = {
        {{"Password", "XTERM"}, false},
        {{"Enter PIN for token", "FIREFOX"}, false},
        {{"Unlock Login Keyring", "GCR-PROMPTER"}, false},
        {{"", "PINENTRY-GTK-2"}, false},
        {{"Authenticate", "POLKIT-GNOME-AUTHENTICATION-AGENT-1"}, false},
        {{"spinning tops", "XTERM"}, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        desktop->Switch(c.window);
        const std::string word = std::string("secret") + static_cast<char>('a' + n++);
        const uint64_t hits = tray->Counters().totalHits;
        Type("go " + word + " more ", 200);  // "go": the first word after the switch
        EXPECT_EQ(SlotOf(word) != 0, c.collected) << c.window.title;
        EXPECT_EQ(tray->Counters().totalHits, hits + word.size() + 9) << "counted all the same";
    }
    desktop->SetLocked(true);
    const TMeterCounters before = tray->Counters();
    Type(" lockscreen words ", 200);
    Click(1);
    EXPECT_EQ(tray->Counters().totalHits, before.totalHits);
    EXPECT_EQ(tray->Counters().mouseClicks, before.mouseClicks);
    desktop->SetLocked(false);
    Type(" unlocked words ", 200);
    EXPECT_GT(tray->Counters().totalHits, before.totalHits);
}

// --- The word collector and the table on their own ---

TEST(WordCollector, StoresOnlyLettersOfFourOrMore) {
    EXPECT_FALSE(TWord::Storable("dog"));
    EXPECT_FALSE(TWord::Storable("ab1c"));
    EXPECT_FALSE(TWord::Storable("a.bc"));
    EXPECT_TRUE(TWord::Storable("it's"));
    EXPECT_TRUE(
        TWord::Storable("\xDC"
                        "ber"));
}

TEST(WordCollector, ThreeOrMoreBackspacesThatEraseTheWordForgetIt) {
    TWordList list;
    TWord word(list);
    for (char c : std::string("abc")) word.AddChar(c);
    word.Backspace();
    word.Backspace();
    word.Backspace();
    EXPECT_EQ(word.Text(), "");
    EXPECT_EQ(word.BackspaceRun(), 0) << "reset";
    word.AddChar('x');
    EXPECT_EQ(word.Corrections(), 0);
}

TEST(WordList, ScoresWeighTheNewestDifficultiesMost) {
    TWordList list;
    int slot = 0;
    for (int i = 0; i < 8; ++i) slot = list.FindOrAdd("steady", 0, false, 1);
    EXPECT_EQ(list.Score(slot), 0);
    EXPECT_TRUE(list.List(1, 2, 0).empty());
    for (int i = 0; i < 7; ++i) slot = list.FindOrAdd("tricky", 3, false, 1);
    EXPECT_EQ(list.Score(slot), 100);
    const auto lines = list.List(1, 2, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "tricky;100");
    EXPECT_TRUE(list.List(4, 2, 0).empty()) << "another source";
}

TEST(WordList, AFullTableOverwritesTheFirstRarelyRepeatedWord) {
    TWordList list;
    for (int i = 0; i < TWordList::kSlots; ++i) list.Add("w" + std::to_string(i), 1, 1);
    list.FindOrAdd("w0", 1, false, 1);  // slot 1 repeated once
    EXPECT_EQ(list.FindOrAdd("newcomer", 2, false, 1), 2);
    EXPECT_EQ(list.Record(1).word, "w0");
    EXPECT_EQ(list.EvictionLevel(), 1);
}

TEST(WordList, ADamagedBlockIsBroughtIntoRange) {
    TWordList list;
    list.FindOrAdd("alpha", 4, false, 1);
    list.FindOrAdd("alpha", 5, false, 1);
    std::string bytes = list.ToBytes();
    ASSERT_EQ(bytes.size(), TWordList::kRecordSize);
    bytes[258] = 77;                           // history position beyond 10
    bytes[260] = '\xFF', bytes[261] = '\xFF';  // repeat count -1
    bytes[262] = 99;                           // a difficulty of 99
    bytes += std::string(100, 'x');            // a torn last record
    TWordList back;
    back.FromBytes(bytes);
    EXPECT_EQ(back.UsedCount(), 1);
    EXPECT_EQ(back.NextSlot(), 1);
    EXPECT_EQ(back.Record(1).position, 10);
    EXPECT_EQ(back.Record(1).repeats, 0);
    EXPECT_EQ(back.Record(1).history[0], 10);
    EXPECT_LE(back.Score(1), 100);
    EXPECT_FALSE(back.Changed());

    // A full table whose trailing integers point anywhere.
    TWordList full;
    for (int i = 0; i < TWordList::kSlots + 1; ++i) full.Add("w" + std::to_string(i), 1, 1);
    std::string fb = full.ToBytes();
    ASSERT_EQ(fb.size(), TWordList::kSlots * TWordList::kRecordSize + 8);
    fb[fb.size() - 5] = '\x7F';  // next slot far beyond 2000
    fb[fb.size() - 1] = '\x80';  // eviction level negative
    full.FromBytes(fb);
    EXPECT_EQ(full.NextSlot(), TWordList::kSlots);
    EXPECT_EQ(full.EvictionLevel(), 0);
    EXPECT_GE(full.Add("another", 1, 1), 1);
}

}  // namespace
}  // namespace corv::meter::test
