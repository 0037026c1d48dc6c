// The about view: the version of this build, and help links that name the page they could
// not open.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QTest>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "platform/qt/QtText.h"
#include "shell/AboutView.h"
#include "shell/AppFrame.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"
#include "version/BuildVersion.h"
#include "views/FormView.h"
#include "views/testkit/ViewHarness.h"

namespace corv {
namespace {

using test::WriteFile;
using viewtest::ViewHarness;

class AboutView : public ::testing::Test {
  protected:
    AboutView() {
        Localization().LoadFile(CORV_SOURCE_DIR "/install/language.eng", TLocalize::kBase);
        WriteFile(root / "Policy.dyn", "");
        CorvSettings::OpenPolicy(root.path() + "/");
        // The help pages are named from the root folder, the tutor's current folder.
        std::filesystem::create_directories(root / "manual");
        WriteFile(root / "manual/tutor.htm", "<html><body>Help</body></html>\r\n");
        before = std::filesystem::current_path();
        std::filesystem::current_path(root.path());
    }
    ~AboutView() override {
        std::filesystem::current_path(before);
        CorvSettings::CloseAll();
    }

    // Clicks the text of the n-th help link, as a user would.
    void ClickLink(int n) {
        h.Do([this, n] {
            auto* links = dynamic_cast<QLabel*>(h.Find("LinksLbl"));
            ASSERT_TRUE(links);
            // Each link is a paragraph of its own, one line high.
            const int line = links->fontMetrics().lineSpacing();
            const int paragraph = line + links->fontMetrics().height();
            QTest::mouseClick(links, Qt::LeftButton, {}, QPoint(12, line / 2 + n * paragraph));
        });
    }

    test::TempDir root;
    std::filesystem::path before;
    testsupport::RecordingUi shell;  // before the harness: it keeps the message boxes
    ViewHarness h;
};

TEST_F(AboutView, ShowsTheVersionOfThisBuild) {
    h.Do([this] {
        const std::string shown = h.TextOf("VersionLbl");
        EXPECT_EQ(shown, std::string(build_version::kVersion) + "." + build_version::kBuild + " (" +
                             build_version::kDate + ")");
        EXPECT_NE(shown.find(Product().buildDate), std::string::npos);
    });
    h.Do([] { CloseCurrentView(); });
    TAboutView view;
    h.RunModal(view);
}

TEST_F(AboutView, HelpLinksOpenThePageOrNameTheOneMissing) {
    ClickLink(0);  // manual/tutor.htm is there
    h.Do([this] {
        ASSERT_EQ(shell.openedAddresses.size(), 1u);
        EXPECT_EQ(shell.openedAddresses[0], "manual/tutor.htm");
    });
    ClickLink(1);  // manual/user-manual.htm is not
    h.messages.ExpectText(ui::kAnswerOk, root / "manual/user-manual.htm");
    h.Do([this] {
        EXPECT_EQ(shell.openedAddresses.size(), 1u);
        shell.shellResult = false;  // no browser can be started
    });
    ClickLink(0);
    h.messages.ExpectText(ui::kAnswerOk, root / "manual/tutor.htm");
    h.Do([] { CloseCurrentView(); });
    TAboutView view;
    h.RunModal(view);
}

TEST_F(AboutView, HelpLinksFollowTheModeAndThePolicy) {
    using Links = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char* what;
        std::string policy;
        bool typeTest;
        Links links;
    } cases[] = {
        {"the manual",
         "",
         false,
         {{"manual/tutor.htm", Str(551)},
          {"manual/user-manual.htm", Str(1478)},
          {"manual/schools.htm", Str(553)}}},
        {"the typing test's pages on the web",
         "",
         true,
         {{"https://www.corvella.example/typingtest/help.htm", Str(551)},
          {"https://www.corvella.example/typingtest/manual.htm", Str(1478)},
          {"https://www.corvella.example/typingtest/schools.htm", Str(553)}}},
        {"no internet links",
         "RemoveInternetLinks=1\r\nLinkAddress2=https://school.example/\r\n",
         false,
         {{"manual/tutor.htm", Str(551)}, {"manual/schools.htm", Str(553)}}},
        {"no internet links in the typing test", "RemoveInternetLinks=1\r\n", true, {}},
        {"the school's own page",
         "LinkAddress3=https://school.example/help\r\n",
         false,
         {{"manual/tutor.htm", Str(551)},
          {"manual/user-manual.htm", Str(1478)},
          {"https://school.example/help", Str(553)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CorvSettings::CloseAll();
        WriteFile(root / "Policy.dyn", c.policy);
        ASSERT_TRUE(CorvSettings::OpenPolicy(root.path() + "/"));
        EXPECT_EQ(TAboutView::HelpLinks(c.typeTest), c.links);
    }
}

}  // namespace
}  // namespace corv
