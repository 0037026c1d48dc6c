// Script lines and the text an event works on.

#include <gtest/gtest.h>

#include "core/ErrorReport.h"
#include "engine/Event.h"
#include "engine/tests/EngineTestSupport.h"

namespace corv {
namespace {

using enginetest::EventTest;

TEST(EventLine, TheTwoWaysOfWritingALineGiveTheSameFields) {
    const std::vector<std::string> expected = {"Event", "=TEXT", "5", "FILE:a.txt"};
    EXPECT_EQ(SplitEventLine("Event=TEXT;5;FILE:a.txt"), expected);
    EXPECT_EQ(SplitEventLine("Event=TEXT;5;;FILE:a.txt"), expected) << "empty fields drop out";
    const std::vector<std::string> plain = SplitEventLine("Event;TEXT;5;FILE:a.txt");
    ASSERT_EQ(plain.size(), 4u);
    EXPECT_EQ(plain[3], "FILE:a.txt");
    EXPECT_EQ(plain[2], "5");
}

TEST(EventLine, EdgeForms) {
    struct Case {
        const char* line;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"Event=MESSAGE", {"Event", "=MESSAGE"}},
        {"Event;TEXT;0;a=b", {"Event", "TEXT", "0", "a=b"}},  // "=" after the first ";" stays
        {"Event=TEXT;0;one%;two;T", {"Event", "=TEXT", "0", "one;two", "T"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitEventLine(c.line), c.fields) << c.line;
}

class TextDirective : public EventTest {
  protected:
    // Resolves the text as Setup does, by showing the event and closing it at once.
    std::string TextOf(TEvent& event) {
        h.Key(Qt::Key_Escape);
        h.RunModal(event);
        return event.Text;
    }
};

TEST_F(TextDirective, FileTextsFromTheLessonsFolder) {
    WriteLesson("Drill.TXT", "asdf; jkl.\r\nfj fj");
    TEvent event("Event=TEXT;0;file:drill.txt");
    EXPECT_EQ(TextOf(event), "asdf; jkl.\r\nfj fj") << "names match in any case";

    TEvent substituted("Event=TEXT;0;FILE:drill.txt");
    substituted.SemicolonSubstitute = '\xF6';
    substituted.DecimalSeparator = ',';
    EXPECT_EQ(TextOf(substituted), "asdf\xF6 jkl,\r\nfj fj");

    TEvent absolute("Event=TEXT;0;FILE:" + lessons + "/Drill.txt");
    EXPECT_EQ(TextOf(absolute), "asdf; jkl.\r\nfj fj");
}

TEST_F(TextDirective, RepeatedFileTexts) {
    WriteLesson("loop.txt", "Intro $LOOP$ab");
    TEvent looped("Event=TEXT;0;FILE:loop.txt");
    looped.RepeatText = true;
    EXPECT_EQ(TextOf(looped), "Intro ab\r\nab\r\nab\r\nab\r\nab");

    WriteLesson("plain.txt", "xy");
    TEvent plain("Event=TEXT;0;FILE:plain.txt");
    plain.RepeatText = true;
    EXPECT_EQ(TextOf(plain), "xy\r\nxy\r\nxy\r\nxy\r\nxy\r\nxy");
}

TEST_F(TextDirective, AMissingFileIsReportedAndTheEventRunsOn) {
    TEvent event("Event=TEXT;0;FILE:gone.txt");
    h.messages.ExpectText(ui::kAnswerOk, "File gone.txt missing or read error");
    EXPECT_EQ(TextOf(event), "File not found");
    ASSERT_FALSE(h.messages.shown.empty());
    EXPECT_NE(h.messages.shown.back().text.find("#-501"), std::string::npos);
}

TEST_F(TextDirective, NilKeepsTheTextItsCreatorGave) {
    TEvent event("Event=TEXT;0;NIL");
    event.Text = "prepared";
    EXPECT_EQ(TextOf(event), "prepared");
    TEvent directive("Event=TEXT;0;FILE:x.txt");
    directive.TextDirective = "nil";
    directive.Text = "kept";
    EXPECT_EQ(TextOf(directive), "kept") << "TextDirective comes before field 3";
}

TEST_F(TextDirective, TouchingDrills) {
    struct Case {
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {"Event=TEXT;0;TOUCHING:fjdk", "fjdk"},
        {"Event=TEXT;0;TOUCHING:fjdksla%;", "fjdk fjdk sla; sla; fjdksla; fjdksla;"},
        {"Event=TEXT;0;touching:homerow", "asdf asdf jkl; jkl; asdfjkl; asdfjkl;"},
    };
    for (const Case& c : cases) {
        TEvent event(c.line);
        EXPECT_EQ(TextOf(event), c.text) << c.line;
    }
    TEvent layout("Event=TEXT;0;TOUCHING:HOMEROW");
    Services().homeRowKeys = [] { return std::string("asdfjkl\xF6"); };
    EXPECT_EQ(TextOf(layout), "asdf asdf jkl\xF6 jkl\xF6 asdfjkl\xF6 asdfjkl\xF6");
}

TEST_F(TextDirective, BuildersReportWhenTheyFindNothing) {
    TEvent keys("Event=DRILL;0;KEYBUILDER:fj");
    h.messages.ExpectText(ui::kAnswerOk, "Keybuilder: fj no key sequence available");
    EXPECT_EQ(TextOf(keys), "");
    TEvent words("Event=DRILL;0;WORDBUILDER:asdf");
    h.messages.ExpectText(ui::kAnswerOk, "Wordbuilder: asdf no words available");
    EXPECT_EQ(TextOf(words), "");

    Services().buildKeyDrill = [](const std::string& k) {
        return std::vector<std::string>{k + k, k};
    };
    Services().buildWordList = [](const std::string&) {
        return std::vector<std::string>{"sad", "dad"};
    };
    TEvent built("Event=DRILL;0;KEYBUILDER:homerow");
    EXPECT_EQ(TextOf(built), "asdfjkl;asdfjkl;\r\nasdfjkl;");
    TEvent listed("Event=DRILL;0;WordBuilder:asd");
    EXPECT_EQ(TextOf(listed), "sad\r\ndad");
}

TEST_F(TextDirective, AnythingElseIsTheTextItself) {
    TEvent event("Event=TEXT;0;The quick brown fox");
    EXPECT_EQ(TextOf(event), "The quick brown fox");
    TEvent shortLine("Event=TEXT;0");
    shortLine.Text = "old";
    EXPECT_EQ(TextOf(shortLine), "") << "no directive and no field 3: an empty text";
}

}  // namespace
}  // namespace corv
