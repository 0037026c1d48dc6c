// The day's figures in the user's file, and their roll-over from day to day.

#include <cmath>

#include "core/DateTime.h"
#include "data/User.h"
#include "engine/analysis/Analyzer.h"
#include "meter/tests/MeterFixture.h"

namespace corv::meter::test {
namespace {

class Statistics : public MeterFixture {
  protected:
    void Disable() {
        tray->HandleMessage({ipc::RegisterMessage("CorvVantor1999.DISABLE"), 0, 0, 0});
    }
    void Enable() { tray->HandleMessage({ipc::RegisterMessage("CorvVantor1999.ENABLE"), 0, 0, 0}); }
    int Day() const { return TTrayMain::Weekday(wall); }
    std::string Slot(const char* key, int weekday) {
        return UserValue("Anna", key + std::to_string(weekday));
    }
    // Typing time and hits for one weekday: fills its slot and moves to the next day.
    void TypeADay() {
        Type(" quick brown foxes jump ", 250);
        Disable();
        AdvanceDays(1);
        Enable();
    }
};

TEST_F(Statistics, TheSameDayContinuesTodaysFigures) {
    StartMeasuring();
    Type(" alpha bravo charlie ", 250);
    Disable();
    const std::string hits = Slot("TotalHits.day", Day());
    EXPECT_EQ(hits, "21");
    EXPECT_EQ(Slot("TypedWords.day", Day()), "3");
    EXPECT_EQ(Slot("TypingSeconds.day", Day()), "5");
    Enable();
    EXPECT_EQ(Analysis().Efficiency().NetKeys, 21);
    Type(" delta ", 250);
    Disable();
    EXPECT_EQ(Slot("TotalHits.day", Day()), "28");
    EXPECT_EQ(UserValue("Anna", "VantorDays.counter"), "1");
}

TEST_F(Statistics, GapsAreClearedTheNextDayLeavesEverything) {
    StartMeasuring();
    for (int i = 0; i < 7; ++i) TypeADay();  // every weekday has figures
    for (int d = 1; d <= 7; ++d) ASSERT_NE(Slot("TotalHits.day", d), "0") << d;
    Disable();
    AdvanceDays(1);  // the next day: nothing cleared
    Enable();
    Disable();
    int cleared = 0;
    for (int d = 1; d <= 7; ++d) cleared += Slot("TotalHits.day", d) == "0";
    EXPECT_EQ(cleared, 2) << "the load cleared nothing: only the two days stored untyped";

    AdvanceDays(3);  // three days later: the two days between are cleared
    Enable();
    Disable();
    const int today = Day();
    auto before = [&](int n) { return ((today - 1 - n) % 7 + 7) % 7 + 1; };
    EXPECT_EQ(Slot("TotalHits.day", before(1)), "0");
    EXPECT_EQ(Slot("TotalHits.day", before(2)), "0");
    EXPECT_NE(Slot("TotalHits.day", before(5)), "0");

    AdvanceDays(8);
    Enable();
    Disable();
    for (int d = 1; d <= 7; ++d) EXPECT_EQ(Slot("TotalHits.day", d), "0") << d;
    EXPECT_EQ(UserValue("Anna", "VantorDays.counter"), "11");
}

TEST_F(Statistics, TypingAcrossMidnightFilesTheDayThatEnded) {
    wall = std::floor(wall) + 0.999;  // 23:58
    StartMeasuring();
    const int yesterday = Day();
    const double yesterdayDate = std::floor(wall);
    Type(" before midnight words ", 250);
    AdvanceDays(0.01);  // past midnight, still typing
    Type("after ", 250);
    Click(1);  // the first interruption after midnight
    EXPECT_EQ(Analysis().Efficiency().NetKeys, 0) << "the new day starts from nothing";
    Disable();
    EXPECT_EQ(Slot("TotalHits.day", yesterday), "29");
    EXPECT_EQ(Slot("TotalHits.day", Day()), "0");
    // The day is filed under its own week and day of the month.
    int y = 0, m = 0, d = 0;
    DecodeDate(yesterdayDate, y, m, d);
    EXPECT_EQ(UserValue("Anna", "SaWSp" + std::to_string(d)), "29");
    EXPECT_EQ(UserValue("Anna", "Lastdate"), std::to_string(static_cast<int>(std::floor(wall))));
}

TEST_F(Statistics, RecordsNeedAStrictlyHigherValueAndAMinuteOfTyping) {
    StartMeasuring();
    Type(" fast ", 50);  // a few seconds: no speed record
    Disable();
    EXPECT_EQ(UserValue("Anna", "Speed.TopTen"), "");
    EXPECT_EQ(UserValue("Anna", "TypedWords.TopTen"), "1");
    Enable();
    for (int i = 0; i < 30; ++i) Type("steady words ", 200);
    Disable();
    const std::string record = UserValue("Anna", "Speed.TopTen");
    ASSERT_NE(record, "");
    EXPECT_NEAR(std::stoi(record), 300, 15) << "a key every 200 ms";
    const std::string when = UserValue("Anna", "Speed.TopTen.Date");
    AdvanceDays(1);
    Enable();
    for (int i = 0; i < 30; ++i) Type("steady words ", 200);  // the same speed again
    Disable();
    EXPECT_EQ(UserValue("Anna", "Speed.TopTen.Date"), when);
}

TEST_F(Statistics, StoredFiguresAreReadWithinTheirRange) {
    SetLoginKey("UseSelectedUser", "1");
    SetLoginKey("SelectedUser", "Anna");
    corv::test::WriteFile(
        Db() + "Anna.usr",
        "UserName=Anna\r\nDateStarted=1.1.2025\r\nLastdate=" +
            std::to_string(static_cast<int>(wall)) + "\r\nTotalHits.day" +
            std::to_string(TTrayMain::Weekday(wall)) + "=-500\r\nTypingSeconds.day" +
            std::to_string(TTrayMain::Weekday(wall)) + "=99999999\r\ntotalHits=-3\r\n");
    ASSERT_TRUE(StartMeter());
    EXPECT_EQ(Analysis().Efficiency().NetKeys, 0);
    EXPECT_LE(Analysis().Timer().Seconds(), 86400);
    EXPECT_EQ(tray->Counters().totalHits, 0u);
}

TEST_F(Statistics, TheCheckpointSavesWithoutEndingTheDay) {
    StartMeasuring();
    Type(" alpha bravo charlie ", 250);
    tray->Checkpoint();
    EXPECT_TRUE(tray->Enabled());
    EXPECT_EQ(Slot("TotalHits.day", Day()), "21");
    EXPECT_EQ(UserValue("Anna", "totalHits"), "21");
    Type("delta ", 250);
    EXPECT_EQ(Analysis().Efficiency().NetKeys, 27) << "the day goes on";
}

}  // namespace
}  // namespace corv::meter::test
