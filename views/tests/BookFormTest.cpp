// The main window: borrowing, the section menu, the title, geometry and transitions.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include "views/BookForm.h"
#include "views/StorageForm.h"
#include "views/testkit/ViewHarness.h"
#include "views/tests/SampleView.h"

namespace corv {
namespace {

using viewtest::ViewHarness;

class TPanelStg : public TStorageForm {
  public:
    TPanelStg() {
        panel = Make<QWidget>(this, "ListPanel");
        for (int i = 0; i < 4; ++i) {
            const std::string name = "Item" + std::to_string(i);
            auto* label = Make<QLabel>(panel, name.c_str());
            label->setGeometry(10 + i, 20 * i, 100, 18);
            items.push_back(label);
        }
        items[2]->hide();
        lone = Make<QPushButton>(this, "LoneBtn");
        lone->move(300, 400);
    }
    QWidget* panel;
    std::vector<QWidget*> items;
    QPushButton* lone;
};

std::vector<QWidget*> WidgetChildren(QWidget* parent) {
    std::vector<QWidget*> out;
    for (QObject* o : parent->children())
        if (auto* w = qobject_cast<QWidget*>(o)) out.push_back(w);
    return out;
}

class BookForm : public ::testing::Test {
  protected:
    ViewHarness h;
    TBookFormEx& w = h.Window();
};

TEST_F(BookForm, BorrowingShiftsAndGivingBackRestoresEverything) {
    TPanelStg stg;
    const std::vector<QWidget*> order = WidgetChildren(stg.panel);
    std::vector<QPoint> positions;
    for (QWidget* item : stg.items) positions.push_back(item->pos());
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        w.BorrowChildren(stg.panel);
        EXPECT_TRUE(WidgetChildren(stg.panel).empty());
        for (size_t i = 0; i < stg.items.size(); ++i) {
            EXPECT_EQ(stg.items[i]->parentWidget(), w.Book());
            EXPECT_EQ(stg.items[i]->pos(), positions[i] + QPoint(6, 6));
        }
        EXPECT_TRUE(stg.items[0]->isVisible());
        EXPECT_TRUE(stg.items[2]->isHidden()) << "a hidden control stays hidden on the book";
        stg.items[1]->move(500, 500);  // the view may move its controls
        w.GiveBack(nullptr);
        EXPECT_EQ(WidgetChildren(stg.panel), order);
        for (size_t i = 0; i < stg.items.size(); ++i)
            EXPECT_EQ(stg.items[i]->pos(), positions[i]) << "no drift after give-back";
        EXPECT_TRUE(stg.items[2]->isHidden());
        EXPECT_FALSE(stg.items[0]->isHidden());
    }
    EXPECT_EQ(w.BorrowedCount(), 0);
}

TEST_F(BookForm, GivingBackOneControlPutsItBackInItsPlace) {
    TPanelStg stg;
    const std::vector<QWidget*> order = WidgetChildren(stg.panel);
    w.BorrowControl(stg.items[1]);
    w.BorrowControl(stg.lone);
    EXPECT_EQ(stg.lone->pos(), QPoint(306, 406));
    w.GiveBack(nullptr);
    EXPECT_EQ(WidgetChildren(stg.panel), order) << "not appended behind its later siblings";
    EXPECT_EQ(stg.lone->parentWidget(), &stg);
    EXPECT_EQ(stg.lone->pos(), QPoint(300, 400));
}

TEST_F(BookForm, AStorageFormGoingAwayTakesItsControlsBack) {
    auto stg = std::make_unique<TPanelStg>();
    w.BorrowChildren(stg->panel);
    EXPECT_EQ(w.BorrowedCount(), 4);
    stg.reset();
    EXPECT_EQ(w.BorrowedCount(), 0);
    EXPECT_EQ(w.Book()->findChild<QWidget*>(QStringLiteral("Item0")), nullptr);
}

TEST_F(BookForm, MenuButtonsStackWithAGapAndKeepTheirPlace) {
    const char* names[] = {"Studying", "Vantor", "Review", "Test", "Games", "Statistics"};
    for (const char* n : names) w.AddMenuButton(n, n);
    w.AddMenuGap();
    w.AddMenuButton("Settings", "Settings");
    w.AddMenuButton("Info", "Info");
    w.AddMenuButton("Review", "Revision");  // exists: only the caption changes

    const auto buttons = w.MenuButtons();
    ASSERT_EQ(buttons.size(), 8u);
    const int tops[] = {50, 90, 130, 170, 210, 250, 305, 345};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->y(), tops[i]) << i;
        EXPECT_EQ(buttons[i]->size(), QSize(175, 39));
        EXPECT_EQ(buttons[i]->x(), 0);
        EXPECT_EQ(buttons[i]->font().bold(), i < 6) << "bold only before the gap";
    }
    EXPECT_EQ(buttons[2]->text(), QStringLiteral("Revision"));
    EXPECT_EQ(buttons[2]->objectName(), QStringLiteral("Review"));

    w.HighlightSection("Test");
    for (QAbstractButton* b : buttons) EXPECT_EQ(b->isEnabled(), b->objectName() != "Test");
    EXPECT_EQ(w.TabMarkerTop(), 170 - 8);
    w.HighlightSection("Info");
    EXPECT_TRUE(w.MenuButton("Test")->isEnabled());
    EXPECT_EQ(w.TabMarkerTop(), 345 - 8);
}

TEST_F(BookForm, TitleSizeAndShading) {
    w.SetTitle("");
    EXPECT_FALSE(w.TitleShadingVisible());
    w.SetTitle("Lessons");
    EXPECT_TRUE(w.TitleShadingVisible());
    EXPECT_EQ(w.TitlePointSize(), 20);
    const std::string longTitle = "Lesson 12: Numbers, symbols and the top row in sentences";
    w.SetTitle(longTitle, TBookFormEx::kTitleLimitOfLessons);
    EXPECT_EQ(w.TitlePointSize(), 14);
    EXPECT_EQ(w.Title(), longTitle);
    w.SetTitle(longTitle);
    EXPECT_EQ(w.TitlePointSize(), 20) << "no limit outside the lesson view";
    w.SetLowColour(true);
    w.SetTitle("");
    w.SetTitle("Lessons");
    EXPECT_FALSE(w.TitleShadingVisible()) << "left alone (hidden) in low-colour mode";
    w.SetLowColour(false);
}

TEST_F(BookForm, BottomButtonsFollowTheBits) {
    for (int bits = 0; bits < 8; ++bits) {
        w.SetBottomButtons(bits);
        EXPECT_EQ(!w.NextBtn()->isHidden(), (bits & 1) != 0) << bits;
        EXPECT_EQ(!w.CancelBtn()->isHidden(), (bits & 2) != 0) << bits;
        EXPECT_EQ(!w.OKBtn()->isHidden(), (bits & 4) != 0) << bits;
    }
}

TEST(BookFormGeometry, ClientSizeRules) {
    struct Case {
        QSize client;
        int screenWidth;
        QSize expected;
    };
    const Case cases[] = {
        {{800, 500}, 1024, {970, 650}},   {{800, 500}, 1295, {1110, 650}},
        {{959, 700}, 1920, {1110, 700}},  {{960, 649}, 1024, {960, 650}},
        {{1200, 800}, 1024, {1200, 800}}, {{0, 0}, 1294, {970, 650}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TBookFormEx::AdjustedClientSize(c.client, c.screenWidth), c.expected)
            << c.client.width() << "x" << c.client.height() << " on " << c.screenWidth;
    EXPECT_EQ(TBookFormEx::BookOrigin({970, 650}), QPoint(85, 25));
    EXPECT_EQ(TBookFormEx::BookOrigin({1110, 700}), QPoint(155, 50));
    EXPECT_EQ(TBookFormEx::BookOrigin({960, 650}), QPoint(81, 26));
}

TEST_F(BookForm, ResizingKeepsTheMinimumAndCentresTheBook) {
    w.resize(500, 400);
    EXPECT_GE(w.height(), 650);
    EXPECT_GE(w.width(), 970);
    EXPECT_EQ(w.Book()->pos(), TBookFormEx::BookOrigin(w.size()));
    EXPECT_EQ(w.Book()->size(), QSize(800, 600));
}

TEST_F(BookForm, FrozenTransitionsOnlyWhileAsked) {
    for (bool freeze : {false, true}) {
        SCOPED_TRACE(freeze);
        w.FreezeTransitions = freeze;
        testviews::TSampleView view;
        h.Key(Qt::Key_Return);
        h.RunModal(view);
        EXPECT_EQ(w.SnapshotShown(), freeze) << "a closed view leaves its last picture";
        w.ShowBook();
        EXPECT_FALSE(w.SnapshotShown());
    }
    w.FreezeTransitions = false;
}

TEST_F(BookForm, MenuPictureLoadsOrStaysAway) {
    EXPECT_FALSE(w.SetMenuPicture("/nonexistent/menuad.bmp", "x"));
    EXPECT_FALSE(h.IsShown("MenuPic"));
}

// A view as it stands in the finished program: menu, current section, title, buttons.
TEST_F(BookForm, ScreenshotOfAViewWithTheMenu) {
    const std::pair<const char*, const char*> menu[] = {
        {"Studying", "&Studying"}, {"Vantor", "&Vantor"}, {"Review", "&Review lessons"},
        {"Test", "&Typing test"},  {"Games", "&Games"},   {"Statistics", "St&atistics"}};
    for (const auto& [name, caption] : menu) w.AddMenuButton(name, caption);
    w.AddMenuGap();
    w.AddMenuButton("Settings", "Se&ttings");
    w.AddMenuButton("Info", "&Info");
    w.HighlightSection("Studying");
    w.SetTitle("Studying");
    testviews::TSampleView view;
    h.Click("NextBtn");
    EXPECT_EQ(h.RunModal(view), 1);
    ASSERT_FALSE(h.screenshots.empty() && std::getenv("CORV_SCREENSHOTS"));
}

}  // namespace
}  // namespace corv
