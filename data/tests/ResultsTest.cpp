#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/FileNames.h"
#include "core/Settings.h"
#include "data/Results.h"
#include "testsupport/TempDir.h"

using namespace corv;
using test::TempDir;

namespace {

TResultItem Bkm(const std::string& course, int chapter, int exercise, const std::string& kind,
                const std::string& mode, int event = 1) {
    TResultItem r;
    r.Source = "BKM";
    r.CourseId = course;
    r.Chapter = chapter;
    r.Exercise = exercise;
    r.EventNumber = event;
    r.Kind = kind;
    r.Mode = mode;
    r.GrossSpeed = 100;
    return r;
}

TResultItem Named(const std::string& id, const std::string& kind, const std::string& name = "") {
    TResultItem r;
    r.Source = "NAME";
    r.Identifier = id;
    r.Kind = kind;
    r.Name = name;
    r.GrossSpeed = 100;
    return r;
}

// Every field the line keeps.
void ExpectSameStored(const TResultItem& a, const TResultItem& b) {
    EXPECT_EQ(a.Source, b.Source);
    EXPECT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.Mode, b.Mode);
    EXPECT_EQ(a.Identifier, b.Identifier);
    EXPECT_EQ(a.CourseId, b.CourseId);
    EXPECT_EQ(a.Chapter, b.Chapter);
    EXPECT_EQ(a.Exercise, b.Exercise);
    EXPECT_EQ(a.EventNumber, b.EventNumber);
    EXPECT_EQ(a.Checked, b.Checked);
    EXPECT_DOUBLE_EQ(a.StartTime, b.StartTime);
    EXPECT_EQ(a.ElapsedSeconds, b.ElapsedSeconds);
    EXPECT_EQ(a.TypingSeconds, b.TypingSeconds);
    EXPECT_EQ(a.Completed, b.Completed);
    EXPECT_EQ(a.TimeLimit, b.TimeLimit);
    EXPECT_EQ(a.CumulativeSeconds, b.CumulativeSeconds);
    EXPECT_EQ(a.GrossSpeed, b.GrossSpeed);
    EXPECT_EQ(a.Accuracy, b.Accuracy);
    EXPECT_EQ(a.NetSpeed, b.NetSpeed);
    EXPECT_EQ(a.Rhythm, b.Rhythm);
    EXPECT_EQ(a.Efficiency, b.Efficiency);
    EXPECT_EQ(a.DifficultKeyScore, b.DifficultKeyScore);
    EXPECT_EQ(a.TotalHits, b.TotalHits);
    EXPECT_EQ(a.ErrorHits, b.ErrorHits);
    EXPECT_EQ(a.CharsPerWord, b.CharsPerWord);
    EXPECT_EQ(a.Passed, b.Passed);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.GameScore, b.GameScore);
}

// A settings file with the given CR LF lines, opened read-write.
struct UserFile {
    TempDir dir;
    std::string path = dir / "Anna.usr";
    TDynamicSettings settings;
    explicit UserFile(const std::vector<std::string>& lines = {}) {
        std::string content;
        for (const auto& l : lines) content += l + "\r\n";
        test::WriteFile(path, content);
        EXPECT_EQ(settings.Open(path, 2), 1);
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// The stored line

TEST(ResultLine, ReadsTheExampleCourseLine) {
    TResultItem r;
    ASSERT_TRUE(TResults::ParseLine(
        "BKM;ENGLISH;3;2;1;0;1;39000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;12;0;450;3;5",
        r));
    EXPECT_EQ(r.Source, "BKM");
    EXPECT_EQ(r.CourseId, "ENGLISH");
    EXPECT_EQ(r.Chapter, 3);
    EXPECT_EQ(r.Exercise, 2);
    EXPECT_EQ(r.EventNumber, 1);
    EXPECT_TRUE(r.Checked);
    EXPECT_DOUBLE_EQ(r.StartTime, 39000.5);
    EXPECT_EQ(r.ElapsedSeconds, 95);
    EXPECT_EQ(r.Mode, "CT");
    EXPECT_EQ(r.CumulativeSeconds, 95);
    EXPECT_EQ(r.Kind, "TEXT");
    EXPECT_TRUE(r.Completed);
    EXPECT_TRUE(r.Passed);
    EXPECT_EQ(r.TypingSeconds, 90);
    EXPECT_EQ(r.TimeLimit, 600);
    EXPECT_EQ(r.GrossSpeed, 180);
    EXPECT_EQ(r.NetSpeed, 160);
    EXPECT_EQ(r.Accuracy, 96);
    EXPECT_EQ(r.Rhythm, 70);
    EXPECT_EQ(r.Efficiency, 85);
    EXPECT_EQ(r.DifficultKeyScore, 12);
    EXPECT_EQ(r.TotalHits, 450);
    EXPECT_EQ(r.ErrorHits, 3);
    EXPECT_EQ(r.CharsPerWord, 5);
    EXPECT_EQ(r.Name, "");
    EXPECT_EQ(r.Identifier, "");
    EXPECT_EQ(r.GameScore, 0);
    // Written back, it is the same line.
    EXPECT_EQ(
        TResults::FormatLine(r),
        "BKM;ENGLISH;3;2;1;0;1;39000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;12;0;450;3;5");
}

TEST(ResultLine, LayoutsOfEachSourceAndKind) {
    struct Case {
        const char* line;
        const char* source;
        const char* kind;
        int typing, limit, gross, game, hits, cpw;
        bool completed, passed;
        const char* name;
    } cases[] = {
        // Short "STD" lines end after the kind.
        {"BKM;FR;1;1;1;0;0;40000;30;0;0;30;STD", "BKM", "STD", 0, 0, 0, 0, -1, -1, false, false,
         ""},
        {"NAME;Bubbles;0;0;1;40000;61;0;0;61;GAME;2;60;60;0;0;1234;0;0", "NAME", "GAME", 60, 60, 0,
         1234, -1, -1, true, false, ""},
        {"BKM;FR;1;2;3;0;1;40000;61;KB;0;90;TIME;3;55;60;0;0", "BKM", "TIME", 55, 60, 0, 0, -1, -1,
         false, true, ""},
        // Flags "1" read as both.
        {"NAME;Story;0;0;1;40000;300;0;0;300;TEST;1;290;300;0;0;200;190;97;80;90;-;The Fox;900;4;5",
         "NAME", "TEST", 290, 300, 200, 0, 900, 5, true, true, "The Fox"},
        // Hits and characters per word missing: -1.
        {"NAME;Story;0;0;1;40000;300;0;0;300;TEST;0;290;300;0;0;200;190;97;80;90;7;-", "NAME",
         "TEST", 290, 300, 200, 0, -1, -1, false, false, ""},
        // Another source has no identifying fields.
        {"WIZ;1;40000;10;REV;0;10;TEXT;4;9;0;0;0;150;140;95;0;0;0;0;50;2;5", "WIZ", "TEXT", 9, 0,
         150, 0, 50, 5, true, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TResultItem r;
        ASSERT_TRUE(TResults::ParseLine(c.line, r));
        EXPECT_EQ(r.Source, c.source);
        EXPECT_EQ(r.Kind, c.kind);
        EXPECT_EQ(r.TypingSeconds, c.typing);
        EXPECT_EQ(r.TimeLimit, c.limit);
        EXPECT_EQ(r.GrossSpeed, c.gross);
        EXPECT_EQ(r.GameScore, c.game);
        EXPECT_EQ(r.TotalHits, c.hits);
        EXPECT_EQ(r.CharsPerWord, c.cpw);
        EXPECT_EQ(r.Completed, c.completed);
        EXPECT_EQ(r.Passed, c.passed);
        EXPECT_EQ(r.Name, c.name);
        TResultItem again;
        ASSERT_TRUE(TResults::ParseLine(TResults::FormatLine(r), again));
        ExpectSameStored(r, again);
    }
}

TEST(ResultLine, UnreadableLinesAreRejected) {
    TResultItem r;
    const char* bad[] = {
        "",
        ";;;",
        "BKM;FR;x;1;1;0;0;40000;30;0;0;30;STD",  // chapter not a number
        "BKM;FR;1;1;1;0;0;40000;30;0;0",         // too short
        "NAME;S;0;0;1;40000;300;0;0;300;TEST;4;290;300;0;0;200;190;97;80;90",  // no key score
        "NAME;S;0;0;1;40000;300;0;0;300;TEST;4;290;300;0;0;200;190;97;80;90;7;-;x;4;5",
        "NAME;G;0;0;1;40000;61;0;0;61;GAME;2;60;60;0;0",  // no score
        "BKM;FR;1;1;1;0;0;40000;99999999999;0;0;30;STD",  // beyond 32 bits
    };
    for (const char* line : bad) EXPECT_FALSE(TResults::ParseLine(line, r)) << line;
    // A start time that is not a number reads as 0; it does not reject the line.
    ASSERT_TRUE(TResults::ParseLine("BKM;FR;1;1;1;0;0;yesterday;30;0;0;30;STD", r));
    EXPECT_EQ(r.StartTime, 0);
    ASSERT_TRUE(TResults::ParseLine("BKM;FR;1;1;1;0;0;nan;30;0;0;30;STD", r));
    EXPECT_EQ(r.StartTime, 0);
}

// Text fields are escaped so no name can move the fields after it: ";" as "%;", an empty
// field as "-", and one more "-" after a field of dashes or a field ending in "%".
TEST(ResultLine, TrickyTextsRoundTrip) {
    const std::string names[] = {"a;b",       "50%", "x%;y", "",           "-",  "--",
                                 "%",         "%-",  "a%;",  ";",          ";;", "%%",
                                 "100% sure", "a-",  "=x=",  "\xE9t\xE9 %"};
    for (const std::string& name : names) {
        SCOPED_TRACE("[" + name + "]");
        TResultItem r = Named(name, "TEST", name);
        r.Mode = name;
        r.NetSpeed = 77;
        r.TotalHits = 300;
        const std::string line = TResults::FormatLine(r);
        TResultItem back;
        ASSERT_TRUE(TResults::ParseLine(line, back)) << line;
        ExpectSameStored(r, back);

        // The same through the settings file.
        UserFile file;
        ASSERT_EQ(file.settings.SetText("Re0", line), 1);
        TResults results;
        ASSERT_EQ(results.Load(file.settings), 1);
        ExpectSameStored(r, results[0]);
    }
    // Plain names keep the form every older file has.
    TResultItem plain = Named("Story", "TEST", "");
    EXPECT_EQ(TResults::FormatLine(plain),
              "NAME;Story;0;0;0;0;0;0;0;0;TEST;0;0;0;0;0;100;0;0;0;0;0;-;-1;-1;-1");
    plain.Name = "The Fox";
    EXPECT_EQ(TResults::FormatLine(plain),
              "NAME;Story;0;0;0;0;0;0;0;0;TEST;0;0;0;0;0;100;0;0;0;0;0;The Fox;-1;-1;-1");
    // Line breaks cannot live in a settings line; they become spaces instead of losing it.
    TResultItem broken = Named("a\r\nb", "GAME");
    TResultItem back;
    ASSERT_TRUE(TResults::ParseLine(TResults::FormatLine(broken), back));
    EXPECT_EQ(back.Identifier, "a  b");
}

TEST(ResultLine, RandomAndDamagedLinesNeverCrash) {
    std::mt19937 rng(4711);
    const std::string alphabet = "BKMNAETXSGI0123456789;;;;%-.e+ \xFF";
    const std::string seeds[] = {
        "BKM;ENGLISH;3;2;1;0;1;39000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;12;0;450;3;5",
        "NAME;Story;0;0;1;40000;300;0;0;300;TEST;1;290;300;0;0;200;190;97;80;90;-;The Fox;900;4;5",
        "NAME;Bubbles;0;0;1;40000;61;0;0;61;GAME;2;60;60;0;0;1234;0;0",
    };
    int read = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        if (round % 2 == 0) {
            std::uniform_int_distribution<size_t> len(0, 80);
            std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
            for (size_t n = len(rng); n > 0; --n) line += alphabet[pick(rng)];
        } else {  // a real line with a few bytes changed, dropped or doubled
            line = seeds[round % 3];
            std::uniform_int_distribution<size_t> at(0, line.size() - 1);
            for (int e = 0; e < 3; ++e) {
                size_t p = at(rng);
                switch (rng() % 3) {
                    case 0:
                        line[p] = alphabet[rng() % alphabet.size()];
                        break;
                    case 1:
                        line.erase(p, 1);
                        break;
                    default:
                        line.insert(p, 1, line[p]);
                        break;
                }
                if (line.empty()) break;
                at = std::uniform_int_distribution<size_t>(0, line.size() - 1);
            }
        }
        TResultItem r;
        if (!TResults::ParseLine(line, r)) continue;
        ++read;
        // Whatever was read is written in a form that reads back the same.
        const std::string once = TResults::FormatLine(r);
        TResultItem again;
        ASSERT_TRUE(TResults::ParseLine(once, again)) << line << " -> " << once;
        ASSERT_EQ(TResults::FormatLine(again), once) << line;
    }
    EXPECT_GT(read, 100);  // the mutations did reach the readable paths
}

// ---------------------------------------------------------------------------------------
// Loading and saving

TEST(ResultsStore, GapAndUnreadableLinesKeepTheirIndexes) {
    UserFile file({
        "UserName=Anna", "ReCnt=3", "Re0=BKM;FR;1;1;1;0;1;40000;30;0;0;30;STD",
        "Re2=BKM;FR;1;2;1;0;1;40001;30;0;0;30;STD", "Re3=garbage",
        "re2=BKM;FR;9;9;1;0;1;40001;30;0;0;30;STD",   // the second of two equal names is not read
        "Re07=BKM;FR;7;7;1;0;1;40001;30;0;0;30;STD",  // not the key of 7
    });
    TResults results;
    ASSERT_EQ(results.Load(file.settings), 2);
    EXPECT_EQ(results[0].Index, 0);
    EXPECT_EQ(results[1].Index, 2);
    EXPECT_EQ(results[1].Exercise, 2);
    // Re3 could not be read but its number is taken: a new result gets 4, not 2 (the
    // number of items) nor 3.
    EXPECT_EQ(results.HighestIndex(), 3);
    TResultItem* added = results.Add(Bkm("FR", 2, 1, "TEXT", "CT"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Index, 4);

    ASSERT_EQ(results.Save(file.settings), 1);
    ASSERT_EQ(file.settings.Save(), 1);
    EXPECT_EQ(file.settings.GetText("Re3"), "garbage");  // never overwritten or dropped
    EXPECT_EQ(file.settings.GetInteger("ReCnt"), 4);
    EXPECT_EQ(file.settings.GetText("Re4").substr(0, 9), "BKM;FR;2;");
    EXPECT_EQ(file.settings.GetText("Re1"), "");
}

TEST(ResultsStore, LinesAboveAStaleCountAreStillResults) {
    UserFile file({"ReCnt=0", "Re0=BKM;FR;1;1;1;0;1;40000;30;0;0;30;STD",
                   "Re5=BKM;FR;1;2;1;0;1;40000;30;0;0;30;STD"});
    TResults results;
    EXPECT_EQ(results.Load(file.settings), 2);
    EXPECT_EQ(results.NextIndex(), 6);
}

TEST(ResultsStore, HugeIndexesNeverWrap) {
    UserFile file({"Re2147483648=BKM;FR;1;1;1;0;1;40000;30;0;0;30;STD", "Re2147483647=garbage"});
    TResults results;
    EXPECT_EQ(results.Load(file.settings), 0);
    EXPECT_EQ(results.HighestIndex(), 2147483647);
    EXPECT_EQ(results.Add(Bkm("FR", 1, 1, "STD", "0")), nullptr);
    EXPECT_EQ(results.Count(), 0);
}

TEST(ResultsStore, RoundTripThroughTheUserFile) {
    TempDir dir;
    const std::string path = dir / "Anna.usr";
    std::vector<TResultItem> made;
    {
        TDynamicSettings settings;
        ASSERT_EQ(settings.Open(path, 2), 1);
        settings.SetText("UserName", "Anna");
        TResults results;
        TResultItem a = Bkm("ENGLISH", 3, 2, "TEXT", "CT", 4);
        a.Checked = true;
        a.StartTime = 45123.456789;
        a.ElapsedSeconds = 95;
        a.TypingSeconds = 90;
        a.Completed = true;
        a.Passed = true;
        a.TimeLimit = 600;
        a.CumulativeSeconds = 300;
        a.GrossSpeed = 180;
        a.NetSpeed = 160;
        a.Accuracy = 96;
        a.Rhythm = 70;
        a.Efficiency = 85;
        a.DifficultKeyScore = 12;
        a.TotalHits = 450;
        a.ErrorHits = 3;
        a.CharsPerWord = 5;
        TResultItem b = Named("Fox; and Hound 50%", "TEST", "Fox; and Hound 50% (3.2)");
        b.TypingSeconds = 300;
        b.Passed = true;
        TResultItem c = Named("WordTris", "GAME");
        c.GameScore = 98765;
        c.Completed = true;
        c.GrossSpeed = 0;  // games and drills keep no speeds
        TResultItem d = Bkm("ENGLISH", 1, 1, "TIME", "KB");
        d.TypingSeconds = 55;
        d.GrossSpeed = 0;
        TResultItem e = Bkm("ENGLISH", 1, 2, "STD", "0");
        e.GrossSpeed = 0;
        for (const TResultItem* r : {&a, &b, &c, &d, &e}) made.push_back(*results.Add(*r));
        ASSERT_EQ(results.Save(settings), 1);
    }  // closing saves
    const std::string bytes = test::ReadFile(path);
    EXPECT_NE(bytes.find("\r\nReCnt=4\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nRe1=NAME;Fox%; and Hound 50%-;0;0;"), std::string::npos) << bytes;

    TDynamicSettings settings;
    ASSERT_EQ(settings.Open(path, -3), 1);
    TResults results;
    ASSERT_EQ(results.Load(settings), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i].Index, i);
        ExpectSameStored(made[static_cast<size_t>(i)], results[i]);
    }
}

TEST(ResultsStore, TenThousandResultsLoadAndSave) {
    UserFile file;
    std::mt19937 rng(1);
    for (int i = 0; i < 10000; ++i) {
        TResultItem r = Bkm("C" + std::to_string(i % 7), i, 1, "TEXT", "CT");
        r.StartTime = 40000 + i;
        r.TypingSeconds = static_cast<int>(rng() % 100);
        ASSERT_EQ(file.settings.SetText("Re" + std::to_string(9999 - i), TResults::FormatLine(r)),
                  1);
    }
    TResults results;
    ASSERT_EQ(results.Load(file.settings), 10000);
    EXPECT_EQ(results[0].Index, 0);
    EXPECT_EQ(results[0].Chapter, 9999);
    EXPECT_EQ(results.NextIndex(), 10000);
    EXPECT_EQ(results.Save(file.settings), 1);
    EXPECT_EQ(results.CourseResults("C3", false).size(), 1429u);
}

// ---------------------------------------------------------------------------------------
// Ranking and merging

TEST(ResultsMerge, RankTable) {
    struct Case {
        const char* kind;
        const char* mode;
        int rank;
    } cases[] = {
        {"TEXT", "REV", 4}, {"TEST", "REV", 4}, {"STD", "REV", 4}, {"TEXT", "CT", 8},
        {"TEXT", "C2", 7},  {"TEXT", "0", 5},   {"TEXT", "PG", 5}, {"TIME", "KB", 5},
        {"TIME", "NK", 2},  {"TIME", "KT", 3},  {"TIME", "0", 3},  {"GAME", "0", 4},
        {"STD", "0", 1},    {"TEST", "CT", 10}, {"", "0", 0},      {"FOO", "CT", 0},
        {"text", "CT", 0},
    };
    for (const auto& c : cases) {
        TResultItem r;
        r.Kind = c.kind;
        r.Mode = c.mode;
        EXPECT_EQ(TResults::Rank(r), c.rank) << c.kind << "/" << c.mode;
    }
}

TEST(ResultsMerge, RulesForTheStoredResultOfTheSameExercise) {
    struct Case {
        const char* what;
        TResultItem stored, incoming;
        bool replaced;
    };
    auto with = [](TResultItem r, auto change) {
        change(r);
        return r;
    };
    const TResultItem textCt = Bkm("FR", 2, 3, "TEXT", "CT", 2);
    const Case cases[] = {
        {"higher rank replaces (TEXT/CT over TIME)", Bkm("FR", 2, 3, "TIME", "0"), textCt, true},
        {"lower rank leaves it", textCt, Bkm("FR", 2, 3, "TIME", "KB", 5), false},
        {"equal rank, later event", textCt, with(textCt, [](TResultItem& r) { r.EventNumber = 3; }),
         true},
        {"equal rank, same event", textCt, with(textCt, [](TResultItem& r) { r.NetSpeed = 1; }),
         true},
        {"equal rank, lower event number", textCt,
         with(textCt, [](TResultItem& r) { r.EventNumber = 1; }), false},
        {"equal rank, text with no speed", textCt,
         with(textCt, [](TResultItem& r) { r.GrossSpeed = 0; }), false},
        {"equal rank, timed drill with no speed", Bkm("FR", 2, 3, "TIME", "KB"),
         with(Bkm("FR", 2, 3, "TIME", "KB"), [](TResultItem& r) { r.GrossSpeed = 0; }), true},
        {"equal rank, unchecked over checked",
         with(textCt, [](TResultItem& r) { r.Checked = true; }), textCt, false},
        {"equal rank, checked over checked", with(textCt, [](TResultItem& r) { r.Checked = true; }),
         with(textCt, [](TResultItem& r) { r.Checked = true; }), true},
        {"higher rank replaces even unchecked",
         with(Bkm("FR", 2, 3, "STD", "0"), [](TResultItem& r) { r.Checked = true; }), textCt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TResults results;
        results.Add(c.stored);
        results.Add(Bkm("FR", 9, 9, "STD", "0"));  // something after it
        TResultItem incoming = c.incoming;
        incoming.Accuracy = 42;  // marks the new result's fields
        TResultItem* holder = results.Add(incoming);
        ASSERT_EQ(results.Count(), 2);
        EXPECT_EQ(holder != nullptr, c.replaced);
        if (c.replaced) {
            // The stored item takes every field, keeps its index and moves to the end.
            EXPECT_EQ(holder, &results[1]);
            EXPECT_EQ(results[1].Index, 0);
            EXPECT_EQ(results[1].Accuracy, 42);
            EXPECT_EQ(results[1].Kind, incoming.Kind);
            EXPECT_EQ(results[0].Chapter, 9);
        } else {
            EXPECT_EQ(results[0].Index, 0);
            EXPECT_EQ(results[0].Kind, c.stored.Kind);
            EXPECT_NE(results[0].Accuracy, 42);
        }
        EXPECT_EQ(results.NextIndex(), 2);
    }
}

TEST(ResultsMerge, WhatCountsAsTheSameThing) {
    TResults results;
    results.Add(Named("Story", "TEST"));
    results.Add(Bkm("FR", 1, 1, "STD", "0"));
    TResultItem other;
    other.Source = "WIZ";
    other.Kind = "TEXT";
    results.Add(other);
    results.Add(other);  // other sources never merge
    EXPECT_EQ(results.Count(), 4);
    results.Add(Named("story", "TEST"));          // another identifier
    results.Add(Bkm("DE", 1, 1, "STD", "0"));     // another course
    results.Add(Bkm("FR", 1, 2, "STD", "0"));     // another exercise
    results.Add(Bkm("FR", 1, 1, "STD", "0", 2));  // the same exercise, later event
    results.Add(Named("Story", "TEST"));          // the same text
    EXPECT_EQ(results.Count(), 7);
    std::vector<int> indexes;
    for (int i = 0; i < results.Count(); ++i) indexes.push_back(results[i].Index);
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(results.NextIndex(), 7);
}

TEST(ResultsMerge, CompanionFileFollowsTheTestResult) {
    TempDir dir;
    TResults results;
    results.SetCompanionFiles(dir.path() + "/", "Anna");
    results.Add(Bkm("FR", 1, 1, "STD", "0"));
    results.Add(Named("Story", "TEST"));  // index 1
    results.Add(Named("Other", "TEST"));  // index 2
    test::WriteFile(dir / "Anna.TT1", "old record of 1");
    test::WriteFile(dir / "Anna.TT2", "record of 2");

    // The exam writes its record under the index the result would get, written in
    // another case as the system on Windows may have done.
    TResultItem again = Named("Story", "TEST");
    again.Index = results.NextIndex();
    ASSERT_EQ(again.Index, 3);
    test::WriteFile(dir / "ANNA.tt3", "new record");
    ASSERT_NE(results.Add(again), nullptr);
    EXPECT_EQ(test::ReadFile(dir / "Anna.TT1"), "new record");
    EXPECT_FALSE(fs::FileExists(dir / "Anna.TT3"));

    // A result that claims an index in use never takes that result's record.
    TResultItem stray = Named("Story", "TEST");
    stray.Index = 2;
    ASSERT_NE(results.Add(stray), nullptr);
    EXPECT_EQ(test::ReadFile(dir / "Anna.TT2"), "record of 2");
    EXPECT_EQ(test::ReadFile(dir / "Anna.TT1"), "new record");
}

// ---------------------------------------------------------------------------------------
// Questions asked of the store

TEST(ResultsQueries, DoneCheckedAndSuperseded) {
    TResults results;
    TResultItem a = Bkm("FR", 1, 1, "TEXT", "CT", 1);
    a.Checked = true;
    results.Add(a);
    TResultItem b = Bkm("FR", 1, 2, "TEXT", "CT", 1);
    results.Add(b);
    TResultItem c = Bkm("DE", 1, 1, "TEXT", "CT");
    c.Checked = true;
    results.Add(c);
    EXPECT_TRUE(results.IsExerciseDone("FR", 1, 1));
    EXPECT_FALSE(results.IsExerciseDone("FR", 1, 2));
    EXPECT_FALSE(results.IsExerciseDone("FR", 1, 3));
    EXPECT_EQ(results.CheckedCount("FR"), 1);
    EXPECT_EQ(results.CheckedCount("DE"), 1);

    // A lower-ranked later event leaves the mark; an equal-ranked later one clears it.
    results.UncheckSuperseded(Bkm("FR", 1, 1, "TIME", "0", 2));
    EXPECT_TRUE(results.IsExerciseDone("FR", 1, 1));
    results.UncheckSuperseded(Bkm("FR", 1, 1, "TEXT", "CT", 1));  // not a later event
    EXPECT_TRUE(results.IsExerciseDone("FR", 1, 1));
    results.UncheckSuperseded(Bkm("FR", 1, 1, "TEXT", "CT", 2));
    EXPECT_FALSE(results.IsExerciseDone("FR", 1, 1));
    EXPECT_EQ(results.CheckedCount("FR"), 0);
}

TEST(ResultsQueries, SortsAndFilters) {
    TResults results;
    auto add = [&](const std::string& course, int chapter, int exercise, double start,
                   const char* kind, int typing) {
        TResultItem r = Bkm(course, chapter, exercise, kind, "CT");
        r.StartTime = start;
        r.TypingSeconds = typing;
        return results.Add(r)->Index;
    };
    add("FR", 2, 1, 300, "TEXT", 60);  // 0
    add("FR", 1, 2, 100, "TEXT", 60);  // 1
    add("FR", 1, 1, 200, "TIME", 60);  // 2
    add("DE", 1, 1, 400, "TEXT", 5);   // 3
    auto indexes = [](const std::vector<TResultItem*>& list) {
        std::vector<int> out;
        for (auto* r : list) out.push_back(r->Index);
        return out;
    };
    EXPECT_EQ(indexes(results.Query({}, false, false)),
              (std::vector<int>{3, 0, 2, 1}));  // newest first
    EXPECT_EQ(indexes(results.Query({}, true, false)), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(indexes(results.CourseResults("FR", false)), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(indexes(results.CourseResults("FR", true)), (std::vector<int>{1, 2, 0}));
    TResultFilter f;
    f.Kind = "TEXT";
    f.MinTypingSeconds = 10;
    EXPECT_EQ(indexes(results.Query(f, false, false)), (std::vector<int>{0, 1}));
    EXPECT_EQ(indexes(results.Query(f, false, true)), (std::vector<int>{1, 0}));
}

TEST(ResultsQueries, EqualKeysComeInTheExchangeSortOrder) {
    // Stored c(ch 1), b(ch 2), a(ch 2); scanned from last to first: a, b, c. The exchange
    // sort swaps a and c, giving c, b, a where a stable sort would give c, a, b.
    TResults results;
    results.Add(Bkm("X", 1, 1, "TEXT", "CT"));  // 0 = c
    results.Add(Bkm("Y", 2, 1, "TEXT", "CT"));  // 1 = b
    results.Add(Bkm("Z", 2, 1, "TEXT", "CT"));  // 2 = a
    std::vector<int> got;
    for (auto* r : results.Query({}, false, true)) got.push_back(r->Index);
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2}));

    // The same with start times, for the date sorts.
    TResults timed;
    for (double t : {1.0, 2.0, 2.0}) {
        TResultItem r = Named("T" + std::to_string(timed.Count()), "TEST");
        r.StartTime = t;
        r.TypingSeconds = 20;
        timed.Add(r);
    }
    got.clear();
    for (auto* r : timed.Tests(true)) got.push_back(r->Index);
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2}));
    got.clear();
    for (auto* r : timed.Tests(false)) got.push_back(r->Index);
    EXPECT_EQ(got, (std::vector<int>{2, 1, 0}));  // already in order: nothing moves
}

TEST(ResultsQueries, TestsAndLatestTest) {
    TResults results;
    EXPECT_EQ(results.LatestTest(), nullptr);
    auto test = [&](const std::string& id, double start, int typing) {
        TResultItem r = Named(id, "TEST");
        r.StartTime = start;
        r.TypingSeconds = typing;
        results.Add(r);
    };
    test("A", 10, 60);
    test("B", 30, 9);  // too short to count
    test("C", 20, 10);
    results.Add(Named("G", "GAME"));
    ASSERT_NE(results.LatestTest(), nullptr);
    EXPECT_EQ(results.LatestTest()->Identifier, "C");
    auto tests = results.Tests(true);
    ASSERT_EQ(tests.size(), 2u);
    EXPECT_EQ(tests[0]->Identifier, "A");
}

TEST(ResultsQueries, FigureSeriesAndLabels) {
    TResults results;
    auto add = [&](int chapter, int exercise, const char* kind, const char* mode, int net) {
        TResultItem r = Bkm("FR", chapter, exercise, kind, mode);
        r.NetSpeed = net;
        r.DifficultKeyScore = net / 10;
        results.Add(r);
    };
    add(2, 1, "TEXT", "CT", 150);
    add(1, 2, "TEST", "CT", 120);
    add(1, 1, "TEXT", "CT", 100);
    add(1, 3, "TEXT", "REV", 999);  // reviews are left out
    add(1, 4, "TIME", "KB", 999);   // so are drills
    add(1, 5, "TEXT", "CT", 0);     // and zeros
    std::vector<std::string> labels;
    EXPECT_EQ(results.FigureSeries("netspeed", "FR", &labels),
              (std::vector<std::string>{"100", "120", "150"}));
    EXPECT_EQ(labels, (std::vector<std::string>{"1.1", "1.2", "2.1"}));
    EXPECT_EQ(results.FigureSeries("DIFFINDEX", "FR", nullptr),
              (std::vector<std::string>{"10", "12", "15"}));
    EXPECT_TRUE(results.FigureSeries("SPEED", "FR", &labels).empty());
    EXPECT_TRUE(labels.empty());

    // 26 results (counting the ones left out): only the first of each chapter is labelled.
    for (int e = 6; e < 26; ++e) add(1, e, "STD", "0", 0);
    ASSERT_EQ(results.CourseResults("FR", false).size(), 26u);
    results.FigureSeries("NETSPEED", "FR", &labels);
    EXPECT_EQ(labels, (std::vector<std::string>{"1.1", "", "2.1"}));
}
