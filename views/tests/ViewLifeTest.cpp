// The modal run of views: answers, refusals, nested runs and the key hook.

#include <gtest/gtest.h>

#include <QLineEdit>

#include "core/UserInterface.h"
#include "views/testkit/ViewHarness.h"
#include "views/tests/SampleView.h"

namespace corv {
namespace {

using testviews::TSampleView;
using viewtest::ViewHarness;

class ViewLife : public ::testing::Test {
  protected:
    void SetUp() override {
        h.Window().AddMenuButton("Studying", "&Studying");
        h.Window().AddMenuButton("Games", "&Games");
        h.Window().HighlightSection("Studying");
    }
    ViewHarness h;
};

TEST_F(ViewLife, EachWayOfEndingGivesItsAnswer) {
    struct Case {
        const char* what;
        std::function<void(ViewHarness&)> act;
        int result;
        bool exit;
    };
    const Case cases[] = {
        {"menu section", [](ViewHarness& x) { x.PickSection("Games"); }, 0, false},
        {"Enter", [](ViewHarness& x) { x.Key(Qt::Key_Return); }, 1, false},
        {"keypad Enter", [](ViewHarness& x) { x.Key(Qt::Key_Enter); }, 1, false},
        {"Escape", [](ViewHarness& x) { x.Key(Qt::Key_Escape); }, 2, false},
        {"Next", [](ViewHarness& x) { x.Click("NextBtn"); }, 1, false},
        {"Cancel", [](ViewHarness& x) { x.Click("CancelBtn"); }, 2, false},
        {"storage Start", [](ViewHarness& x) { x.Click("StartBtn"); }, 1, false},
        {"menu Exit", [](ViewHarness& x) { x.Click("CloseBtn"); }, 0, true},
        {"title Exit", [](ViewHarness& x) { x.Click("CloseBtn2"); }, 0, true},
        {"window close", [](ViewHarness& x) { x.Do([&x] { x.Window().close(); }); }, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetCurrentSection({});
        SetExitRequested(false);
        TSampleView view;
        c.act(h);
        EXPECT_EQ(h.RunModal(view), c.result);
        EXPECT_EQ(ExitRequested(), c.exit);
        EXPECT_EQ(CurrentSection(), c.result == 0 && !c.exit ? "Games" : "");
        EXPECT_EQ(CurrentView(), nullptr);
        EXPECT_FALSE(view.Visible());
        EXPECT_EQ(view.teardowns, 1);
        EXPECT_EQ(h.Window().BorrowedCount(), 0);
    }
    EXPECT_TRUE(h.Window().isVisible()) << "the close request must not close the window";
}

TEST_F(ViewLife, SpaceClicksOnlyWhenAskedAndPrefersOK) {
    struct Case {
        const char* what;
        bool spaceClicks;
        bool useOK;
        int buttons;  // -1: as the flags give
        int result;
        const char* clicked;
    };
    const Case cases[] = {
        {"off: Space is a plain key", false, false, -1, 2, ""},
        {"on, only Next shown", true, false, TCustomBookView::kNextBit, 1, "NextBtn"},
        {"on with UseOK", true, true, -1, 1, "OKBtn"},
        {"on, no buttons shown", true, false, 0, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSampleView view;
        view.SpaceClicks = c.spaceClicks;
        view.SetUseOK(c.useOK);
        if (c.buttons >= 0)
            h.Do([&view, &c, this] {
                view.SetButtonSet(c.buttons);
                h.Window().SetBottomButtons(c.buttons);
            });
        h.Key(Qt::Key_Space);
        if (c.result == 2) h.Key(Qt::Key_Escape);  // Space did nothing: end it
        EXPECT_EQ(h.RunModal(view), c.result);
        const std::string clicked = view.clicked.empty() ? "" : view.clicked.front();
        EXPECT_EQ(clicked, c.clicked);
    }
}

TEST_F(ViewLife, UseOKSwapsNextForOK) {
    TSampleView view;
    EXPECT_EQ(view.ButtonSet(), TCustomBookView::kNextBit | TCustomBookView::kCancelBit);
    view.SetUseOK(true);
    view.SetShowCancel(false);
    EXPECT_EQ(view.ButtonSet(), TCustomBookView::kOkBit);
    h.Do([this] {
        EXPECT_TRUE(h.IsShown("OKBtn"));
        EXPECT_FALSE(h.IsShown("NextBtn"));
        EXPECT_FALSE(h.IsShown("CancelBtn"));
    });
    h.Click("OKBtn");
    EXPECT_EQ(h.RunModal(view), 1);
}

TEST_F(ViewLife, ARefusedViewIsNeverShown) {
    TSampleView view;
    view.refused = true;
    EXPECT_EQ(h.RunModal(view), 0);
    EXPECT_EQ(view.setups, 0);
    EXPECT_FALSE(view.Visible());
    EXPECT_FALSE(view.Modal());
    EXPECT_EQ(CurrentView(), nullptr);
    EXPECT_TRUE(h.screenshots.empty());
}

TEST_F(ViewLife, ARefusedCloseKeepsTheViewAndTheSection) {
    TSampleView view;
    bool refuse = true;
    int queries = 0;
    view.OnCloseQuery = [&](TFormView&, bool& r) {
        ++queries;
        r = refuse;
    };
    h.PickSection("Games");
    h.Key(Qt::Key_Return);  // refused as well: the run goes on with a fresh answer
    h.Do([&] {
        EXPECT_TRUE(view.Visible());
        EXPECT_EQ(view.ModalResult(), 0);
        EXPECT_EQ(CurrentSection(), "") << "a refused menu click must not switch sections";
        refuse = false;
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(h.RunModal(view), 2);
    EXPECT_EQ(queries, 3);
    EXPECT_EQ(view.teardowns, 1);
}

TEST_F(ViewLife, AnInnerViewHandsTheBookBackToTheOuterOne) {
    TSampleView outer, inner;
    int innerResult = -1;
    outer.onStart = [&] { innerResult = inner.ShowModal(); };
    h.Click("StartBtn");  // outer's Start runs the inner view
    h.Do([&] {
        EXPECT_EQ(CurrentView(), &inner);
        EXPECT_FALSE(outer.stg->panel->isVisible() || outer.stg->edit->isVisible())
            << "the outer view's controls are hidden while the inner one runs";
    });
    h.Key(Qt::Key_Return);
    h.Do([&] {
        EXPECT_EQ(innerResult, 1);
        EXPECT_EQ(CurrentView(), &outer);
        EXPECT_TRUE(outer.stg->edit->isVisible());
        EXPECT_TRUE(h.IsShown("NextBtn"));
    });
    h.Click("NextBtn");  // reaches the outer view again
    EXPECT_EQ(h.RunModal(outer), 1);
    EXPECT_EQ(outer.clicked, std::vector<std::string>{"NextBtn"});
}

TEST_F(ViewLife, AMenuClickInsideAnInnerViewUnwindsEveryView) {
    TSampleView outer, inner;
    int innerResult = -1;
    outer.onStart = [&] { innerResult = inner.ShowModal(); };
    h.Click("StartBtn");
    h.PickSection("Games");
    EXPECT_EQ(h.RunModal(outer), 0);
    EXPECT_EQ(innerResult, 0);
    EXPECT_EQ(CurrentSection(), "Games");
    EXPECT_TRUE(ShownViews().empty());
    EXPECT_EQ(outer.teardowns, 1);
    EXPECT_EQ(inner.teardowns, 1);
    EXPECT_EQ(h.Window().BorrowedCount(), 0);
}

TEST_F(ViewLife, DestroyingAShownViewWarnsAndClosesIt) {
    auto view = std::make_unique<TSampleView>();
    view->Show();
    ASSERT_TRUE(view->Visible());
    EXPECT_GT(h.Window().BorrowedCount(), 0);
    h.messages.ExpectText(ui::kAnswerOk, "Destroying an active view!");
    view.reset();
    h.messages.Verify();
    EXPECT_EQ(CurrentView(), nullptr);
    EXPECT_EQ(h.Window().BorrowedCount(), 0);
    EXPECT_EQ(h.Window().ButtonTarget(), nullptr);
}

TEST_F(ViewLife, CloseOnAViewNotShownDoesNothing) {
    TSampleView view;
    int queries = 0;
    view.OnCloseQuery = [&](TFormView&, bool&) { ++queries; };
    bool refuse = false;
    view.Close(refuse);
    EXPECT_FALSE(refuse);
    EXPECT_EQ(queries, 0);
    EXPECT_EQ(view.teardowns, 0);
}

TEST_F(ViewLife, TheStorageFormHandlerAnswersByName) {
    const std::pair<const char*, int> cases[] = {
        {"NextBtn", 1}, {"StartBtn", 1}, {"OKBtn", 1}, {"CancelBtn", 2}, {"PrintBtn", 0}};
    for (const auto& [name, result] : cases) {
        TSampleView view;
        QObject sender;
        sender.setObjectName(QString::fromLatin1(name));
        view.StorageButtonClick(&sender);
        EXPECT_EQ(view.ModalResult(), result) << name;
        EXPECT_EQ(view.Done(), result != 0) << name;
    }
}

TEST_F(ViewLife, TheFormKeyHookSeesKeysBeforeTheControl) {
    TSampleView view;
    std::string seen;
    view.formKeys = [&](char& key) {
        seen.push_back(key);
        if (key == 'x')
            key = 0;  // consumed
        else if (key == 'a')
            key = 'b';  // changed on its way to the control
    };
    h.Do([&] { view.stg->edit->setFocus(); });
    h.Type("xaz");
    h.Do([&] { EXPECT_EQ(view.stg->edit->text().toStdString(), "bz"); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(h.RunModal(view), 2);
    EXPECT_EQ(seen, std::string("xaz\x1b"));
}

}  // namespace
}  // namespace corv
