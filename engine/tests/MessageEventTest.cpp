// Message pages: answers, pictures and their layout, HTML pages and their links.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTextDocument>
#include <filesystem>

#include "core/Localize.h"
#include "engine/MessageEvents.h"
#include "engine/tests/EngineTestSupport.h"
#include "platform/qt/QtText.h"
#include "testsupport/LocalHttpServer.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using enginetest::EventTest;

const char kWelcome[] =
    "Welcome to the home row.\r\nPlace your fingers on A S D F and J K L ; and keep "
    "your thumbs on the space bar. Press Next when you are ready.";
// The same text as a script line writes it: "%;" keeps the semicolon in the field.
const char kWelcomeField[] =
    "Welcome to the home row.\r\nPlace your fingers on A S D F and J K L %; and keep "
    "your thumbs on the space bar. Press Next when you are ready.";

class MessageEvent : public EventTest {};

TEST_F(MessageEvent, AFinishedPageAnswersByTheWayItWasLeft) {
    struct Case {
        const char* what;
        std::function<void(viewtest::ViewHarness&)> act;
        int result;
    };
    const Case cases[] = {
        {"Next", [](viewtest::ViewHarness& x) { x.Click("MessageNextBtn"); }, 3},
        {"Cancel", [](viewtest::ViewHarness& x) { x.Click("MessageCancelBtn"); }, 4},
        {"Enter", [](viewtest::ViewHarness& x) { x.Key(Qt::Key_Return); }, 1},
        {"Escape", [](viewtest::ViewHarness& x) { x.Key(Qt::Key_Escape); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TResultItem record;
        TMessageEvent event(std::string("Event=MESSAGE;0;") + kWelcomeField + ";Getting started");
        event.ResultItem = &record;
        c.act(h);
        EXPECT_EQ(h.RunModal(event), c.result);
        EXPECT_TRUE(record.Valid);
        EXPECT_TRUE(record.Completed);
    }
}

TEST_F(MessageEvent, ALockDoesNotTurnAFinishedPageIntoAnInterruption) {
    SetPolicy({"Exercise_Lock=1"});
    TMessageEvent next("Event=MESSAGE;0;Hello;Title");
    h.Click("MessageNextBtn");
    EXPECT_EQ(h.RunModal(next), 3);
    TMessageEvent cancel("Event=MESSAGE;0;Hello;Title");
    h.messages.Expect(ui::kAnswerYes, 129);
    h.Click("MessageCancelBtn");
    EXPECT_EQ(h.RunModal(cancel), 4);
}

TEST_F(MessageEvent, TextAndPictureLayout) {
    WritePicture("hills.bmp", 200, 150);
    const QRect area = TEventsStg::MessageArea();
    struct Case {
        const char* line;
        bool picture;
        bool left;
    };
    const std::string base = std::string("Event=MESSAGE;0;") + kWelcomeField + ";The home row";
    const Case cases[] = {
        {"", false, false},
        {";HILLS.BMP", true, false},
        {";hills.bmp;left", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TMessageEvent event(base + c.line);
        h.Do([&] {
            QLabel* text = event.Storage->MessageText;
            QLabel* pic = event.Storage->MessagePic;
            EXPECT_EQ(event.HasPicture(), c.picture);
            EXPECT_LE(text->width(), 360);
            EXPECT_EQ(h.TextOf("MessageTitleLbl"), "The home row");
            EXPECT_EQ(h.TextOf("MessageText"), std::string(kWelcome));
            if (!c.picture) {
                EXPECT_NEAR(text->geometry().center().x(), area.center().x(), 2);
            } else if (c.left) {
                EXPECT_EQ(pic->x(), area.left());
                EXPECT_GT(text->x(), pic->geometry().right());
            } else {
                EXPECT_EQ(pic->geometry().right(), area.right());
                EXPECT_LT(text->geometry().right(), pic->x());
            }
        });
        h.Click("MessageNextBtn");
        EXPECT_EQ(h.RunModal(event), 3);
    }
}

TEST_F(MessageEvent, PictureFormats) {
    WritePicture("photo.jpg", 120, 90);
    WriteAnimatedGif("wave.gif");
    std::filesystem::create_directories(root / "images");
    test::WriteFile(root / "images/shared.gif", test::ReadFile(lessons + "/wave.gif"));
    struct Case {
        const char* picture;
        bool shown;
        bool animated;
    };
    const Case cases[] = {
        {"photo.jpg", true, false},    {"WAVE.GIF", true, true},      {"shared.gif", true, true},
        {"missing.bmp", false, false}, {"missing.gif", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        TMessageEvent event(std::string("Event=MESSAGE;0;A picture;Pictures;") + c.picture);
        h.Do([&] {
            EXPECT_EQ(event.HasPicture(), c.shown);
            EXPECT_EQ(event.Movie() != nullptr, c.animated);
            if (c.animated) {
                EXPECT_EQ(event.Movie()->frameCount(), 2);
                EXPECT_EQ(event.Movie()->state(), QMovie::Running);
            }
        });
        h.Key(Qt::Key_Return);
        EXPECT_EQ(h.RunModal(event), 1);
        EXPECT_EQ(event.Movie(), nullptr) << "the animation stops with the page";
    }
}

TEST_F(MessageEvent, MeterModeActionEndsAsDone) {
    TMessageEvent plain("Event=MESSAGE;0;Text;Title");
    h.Do([this] { EXPECT_FALSE(h.IsShown("ActionBtn")); });
    h.Key(Qt::Key_Escape);
    h.RunModal(plain);
    // Empty fields drop out, so a meter page names a picture and a side to reach field 7.
    TMessageEvent meter("Event=MESSAGE;0;Text;Title;none.gif;right;vantor");
    h.Click("ActionBtn");
    EXPECT_EQ(h.RunModal(meter), 3);
}

TEST_F(MessageEvent, ReducedGraphicsDropsTheShading) {
    for (bool low : {false, true}) {
        h.Window().SetLowColour(low);
        TMessageEvent event("Event=MESSAGE;0;Text;Title");
        h.Do([&] {
            EXPECT_EQ(h.IsShown("TopshadingMsg"), !low);
            EXPECT_EQ(h.IsShown("BottomShadingPic"), !low);
        });
        h.Key(Qt::Key_Return);
        h.RunModal(event);
    }
    h.Window().SetLowColour(false);
}

TEST_F(MessageEvent, AMessagePageRenders) {
    WritePicture("keyboard.png", 240, 180);
    TMessageEvent event(std::string("Event=MESSAGE;0;") + kWelcomeField +
                        ";The home row;keyboard.png");
    h.Click("MessageNextBtn");
    EXPECT_EQ(h.RunModal(event), 3);
}

class HtmlMessage : public EventTest {
  protected:
    void WritePage() {
        std::filesystem::create_directories(lessons + "/images");
        WritePicture("images/pic.bmp", 180, 120);
        WriteLesson("intro.htm",
                    "<html><head><title>Intro</title></head><body>"
                    "<h2>Your first lesson</h2>"
                    "<p>Touch typing means typing without looking at the keys. Na\xEFve "
                    "guesses give way to a steady rhythm.</p>"
                    "<p><img src=\"Images\\Pic.BMP\" width=\"180\" height=\"120\"></p>"
                    "<p>More in <a href=\"second.htm\">the next part</a>, or "
                    "<a href=\"http://www.example.com/help\">on the web</a>.</p>"
                    "</body></html>");
        WriteLesson("second.htm", "<html><body><p>Second part</p></body></html>");
    }
};

TEST_F(HtmlMessage, ALocalPageWithAPictureRenders) {
    WritePage();
    THTMLMessageEvent event("Event=HTMLMESSAGE;0;intro.htm;Lesson 1");
    event.PageNumber = 2;
    event.PageCount = 3;
    h.Do([&] {
        THtmlView* viewer = event.Viewer();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->size(), QSize(510, 410));
        EXPECT_EQ(viewer->mapTo(h.Window().Book(), QPoint(0, 0)), QPoint(145, 95));
        EXPECT_NE(FromQt(viewer->toPlainText()).find("Na\xEFve"), std::string::npos)
            << "a page without a charset is Windows-1252";
        const QVariant image = viewer->loadResource(QTextDocument::ImageResource,
                                                    QUrl(QStringLiteral("Images\\Pic.BMP")));
        EXPECT_EQ(image.value<QImage>().size(), QSize(180, 120));
        EXPECT_EQ(h.TextOf("MessagePageLbl"), "2" + Str(712) + "3");
        EXPECT_EQ(h.TextOf("MessageNextBtn"), Str(603));
        EXPECT_EQ(h.TextOf("MessageTitleLbl"), "Lesson 1");
        EXPECT_FALSE(h.IsShown("MessageText"));
    });
    h.Click("MessageNextBtn");
    EXPECT_EQ(h.RunModal(event), 3);
}

TEST_F(HtmlMessage, PageNumbersAndTheLastPage) {
    WritePage();
    struct Case {
        int number, count;
        bool label;
        std::string next;
    };
    for (const Case& c :
         {Case{1, 1, false, Str(1692)}, Case{3, 3, true, Str(1692)}, Case{1, 4, true, Str(603)}}) {
        THTMLMessageEvent event("Event=HTMLMESSAGE;0;intro.htm;Lesson 1");
        event.PageNumber = c.number;
        event.PageCount = c.count;
        h.Do([&] {
            EXPECT_EQ(h.IsShown("MessagePageLbl"), c.label) << c.number << "/" << c.count;
            EXPECT_EQ(h.TextOf("MessageNextBtn"), c.next) << c.number << "/" << c.count;
        });
        h.Key(Qt::Key_Return);
        h.RunModal(event);
    }
}

TEST_F(HtmlMessage, APageThatCannotBeFoundShowsTheLineText) {
    THTMLMessageEvent event("Event=HTMLMESSAGE;0;nothere.htm;Lesson 1");
    h.Do([&] {
        EXPECT_FALSE(event.Viewer()->isVisible());
        EXPECT_TRUE(h.IsShown("MessageText"));
        EXPECT_EQ(h.TextOf("MessageText"), "nothere.htm");
    });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(h.RunModal(event), 1);
}

TEST_F(HtmlMessage, PagesOverHttp) {
    test::LocalHttpServer server;
    test::HttpReply page;
    page.body = "<html><body><p>Served page</p><img src=\"dot.bmp\"></body></html>";
    server.Route("/page.htm", page);
    WritePicture("dot.bmp", 8, 8);
    test::HttpReply dot;
    dot.body = test::ReadFile(lessons + "/dot.bmp");
    server.Route("/dot.bmp", dot);
    THTMLMessageEvent event("Event=HTMLMESSAGE;0;" + server.Url("/page.htm") + ";Online");
    h.Do([&] {
        EXPECT_TRUE(event.Viewer()->isVisible());
        EXPECT_NE(FromQt(event.Viewer()->toPlainText()).find("Served page"), std::string::npos);
        const QVariant image = event.Viewer()->loadResource(QTextDocument::ImageResource,
                                                            QUrl(QStringLiteral("dot.bmp")));
        EXPECT_EQ(image.value<QImage>().size(), QSize(8, 8));
    });
    h.Key(Qt::Key_Return);
    h.RunModal(event);

    THTMLMessageEvent gone("Event=HTMLMESSAGE;0;" + server.Url("/gone.htm") + ";Online");
    h.Do([&] { EXPECT_FALSE(gone.Viewer()->isVisible()); });
    h.Key(Qt::Key_Return);
    h.RunModal(gone);
}

TEST_F(HtmlMessage, LinksGoToTheBrowserOrStayInTheViewer) {
    WritePage();
    THTMLMessageEvent event("Event=HTMLMESSAGE;0;intro.htm;Lesson 1");
    h.Do([&] {
        THtmlView* viewer = event.Viewer();
        for (const char* link : {"http://www.example.com/help", "mailto:teacher@example.com",
                                 "https://www.example.com/secure"})
            emit viewer->anchorClicked(QUrl(QString::fromLatin1(link)));
        EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.example.com/help",
                                                          "mailto:teacher@example.com",
                                                          "https://www.example.com/secure"}));
        EXPECT_FALSE(event.HandleLink(QUrl(QStringLiteral("ftp://example.com/x"))));
        emit viewer->anchorClicked(QUrl(QStringLiteral("second.htm")));
        EXPECT_NE(FromQt(viewer->toPlainText()).find("Second part"), std::string::npos);
    });
    h.Do([&] {
        shell.openResult = false;
        h.messages.ExpectText(ui::kAnswerOk, "#-8001");
        EXPECT_TRUE(event.HandleLink(QUrl(QStringLiteral("http://www.example.com/"))));
    });
    h.Key(Qt::Key_Return);
    h.RunModal(event);
    ASSERT_FALSE(h.messages.shown.empty());
    EXPECT_NE(h.messages.shown.back().text.find(Str(18)), std::string::npos);
}

TEST_F(HtmlMessage, NoInternetLinksWhenThePolicySaysSo) {
    WritePage();
    SetPolicy({"RemoveInternetLinks=1"});
    THTMLMessageEvent event("Event=HTMLMESSAGE;0;intro.htm;Lesson 1");
    h.Do([&] {
        EXPECT_TRUE(event.HandleLink(QUrl(QStringLiteral("http://www.example.com/"))));
        EXPECT_TRUE(shell.opened.empty());
    });
    h.Key(Qt::Key_Return);
    h.RunModal(event);
}

}  // namespace
}  // namespace corv
