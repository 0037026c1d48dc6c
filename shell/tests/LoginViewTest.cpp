// The login view driven as a user would: picking, typing, creating and deleting users,
// passwords, the policy switches, and users held or owned by somebody else.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <filesystem>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/UserMaintenance.h"
#include "platform/qt/QtText.h"
#include "shell/login/LoginView.h"
#include "testsupport/TempDir.h"
#include "views/Art.h"
#include "views/BookForm.h"
#include "views/testkit/ViewHarness.h"

namespace corv {
namespace {

using test::ReadFile;
using test::WriteFile;
using viewtest::ViewHarness;

class LoginView : public ::testing::Test {
  protected:
    LoginView() {
        std::filesystem::create_directories(root / "Database");
        Localization().LoadFile(CORV_SOURCE_DIR "/install/language.eng", TLocalize::kBase);
        WriteFile(root / "0.grp", "Name=Everybody\r\n");
        SetPolicy({});
        h.Window().SetTitle("Welcome to Corvella");
    }
    ~LoginView() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
    }

    void SetPolicy(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        WriteFile(root / "Policy.dyn", text);
        CorvSettings::CloseAll();
        SetProgramSettings(TProgramSettings::Create(root.path()));
        ASSERT_TRUE(ProgramSettings());
        ASSERT_TRUE(CorvSettings::OpenPolicy(root.path() + "/"));
    }
    void AddGroup(int id, const std::string& name) {
        WriteFile(root / (std::to_string(id) + ".grp"), "Name=" + name + "\r\n");
    }
    // A saved user in a group, with an optional password.
    void AddUser(const std::string& name, int group = 0, const std::string& password = "") {
        auto user = TUser::Create(name);
        user->SetGroupId(group);
        if (!password.empty()) user->SetPassword(password);
        ASSERT_EQ(user->SaveUser(), 1);
        user.reset();
        TUser::RebuildIndexes();
    }
    std::string Db(const std::string& file) const { return root / ("Database/" + file); }
    bool Exists(const std::string& file) const { return std::filesystem::exists(Db(file)); }

    // Clicks (or double-clicks) the name in the list.
    void PickName(const std::string& name, bool twice = false) {
        h.Do(
            [this, name, twice] {
                const auto items = stg.NameList->findItems(ToQt(name), Qt::MatchExactly);
                ASSERT_EQ(items.size(), 1) << name;
                stg.NameList->scrollToItem(items[0]);
                const QPoint at = stg.NameList->visualItemRect(items[0]).center();
                QWidget* viewport = stg.NameList->viewport();
                if (twice) {
                    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
                    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
                } else {
                    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
                }
            },
            "pick " + name);
    }
    // Replaces a field's text by typing into it.
    void TypeInto(const std::string& control, const std::string& text) {
        h.Click(control);
        h.Do([this, control] { static_cast<QLineEdit*>(h.Find(control))->clear(); });
        h.Type(text);
    }
    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < stg.NameList->count(); ++i)
            names.push_back(FromQt(stg.NameList->item(i)->text()));
        return names;
    }
    int Run(const std::string& lastUser = "") {
        return h.Run([&] { return static_cast<int>(RunLoginView(stg, lastUser)); });
    }

    test::TempDir root;
    ViewHarness h;
    TLoginViewStg stg;
};

using Names = std::vector<std::string>;

TEST(LoginNames, EnteredNamesAreNormalised) {
    struct Case {
        std::string entered;
        std::string name;
    } cases[] = {
        {"  anna   berg ", "Anna Berg"},
        {"JOHN SMITH", "John Smith"},
        {"McDonald", "McDonald"},  // written with care: left alone
        {"mary-jane o'brien", "Mary-jane O'brien"},
        {"\tx\t", "X"},
        {"3d printer", "3d printer"},
        {"", ""},
        {std::string(30, 'a') + " " + std::string(30, 'b'),
         std::string("A") + std::string(29, 'a') + " B" + std::string(18, 'b')},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseLoginName(c.entered), c.name) << c.entered;
    // Cut at 50 characters, and a blank left at the cut goes too.
    EXPECT_EQ(NormaliseLoginName(std::string(49, 'Q') + "x " + "tail").size(), 50u);
    EXPECT_EQ(NormaliseLoginName("Ab " + std::string(46, 'c') + " d"),
              "Ab " + std::string(46, 'c'));
}

TEST_F(LoginView, PickingANameLogsThatUserOn) {
    AddUser("Anna Berg");
    AddUser("Tom Lind");
    h.Do([&] {
        EXPECT_EQ(h.TextOf("GreetingLbl"), Str(727));
        EXPECT_EQ(ListedNames(), (Names{"Anna Berg", "Tom Lind"}));
        EXPECT_EQ(h.TextOf("NameEdit"), "Tom Lind");  // the last user, selected in the list
        EXPECT_EQ(stg.NameList->currentRow(), 1);
        EXPECT_FALSE(h.IsShown("GroupList"));     // only one group
        EXPECT_FALSE(h.IsShown("PasswordEdit"));  // passwords not required
        EXPECT_TRUE(h.IsShown("NewUserBtn"));
        EXPECT_FALSE(h.Window().MenuVisible());
        EXPECT_TRUE(h.Window().NextBtn()->isHidden());
    });
    PickName("Anna Berg");
    h.Do([&] { EXPECT_EQ(h.TextOf("NameEdit"), "Anna Berg"); });
    h.Click("EnterBtn2");
    EXPECT_EQ(Run("Tom Lind"), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Anna Berg");

    // A double click on a name logs on at once; typing moves the list along.
    SetCurrentUser(nullptr);
    h.Click("NameEdit");
    h.Type("to");
    h.Do([&] { EXPECT_EQ(stg.NameList->currentRow(), 1); });
    PickName("Anna Berg", true);
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Anna Berg");
}

TEST_F(LoginView, EmptyNameIsRefusedAndEscapeCancels) {
    AddUser("Anna Berg");
    h.messages.Expect(ui::kAnswerOk, 415);
    h.Key(Qt::Key_Return);
    h.Do([&] { EXPECT_EQ(stg.Pages->currentWidget(), stg.LoginPage); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(CurrentUser(), nullptr);
}

TEST_F(LoginView, WithTheUserListDisabledTheNameIsTypedAndNotFilledIn) {
    SetPolicy({"DisableUserList=1"});
    AddGroup(1, "Class 1B");
    AddUser("Anna Berg");
    h.Do([&] {
        EXPECT_EQ(h.TextOf("NameEdit"), "");
        EXPECT_FALSE(h.IsShown("NameList"));
        EXPECT_FALSE(h.IsShown("GroupList"));
        EXPECT_EQ(stg.NameList->count(), 0);
    });
    h.Click("NameEdit");
    h.Type("ANNA   BERG");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run("Anna Berg"), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->FileBase(), "Anna Berg");
}

TEST_F(LoginView, GroupListChoosesWhoseNamesAreListed) {
    AddGroup(1, "Class 1B");
    AddGroup(2, "Evening course");
    AddUser("Anna Berg", 1);
    AddUser("Tom Lind", 2);
    AddUser("Ulla Mets");
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("GroupList"));
        ASSERT_EQ(stg.GroupList->count(), 5);
        EXPECT_EQ(FromQt(stg.GroupList->itemText(0)), Str(726));
        EXPECT_EQ(FromQt(stg.GroupList->itemText(2)), "Class 1B");
        EXPECT_EQ(stg.GroupList->currentIndex(), 4);  // type the name
        EXPECT_EQ(ListedNames(), Names{});
        EXPECT_FALSE(h.IsShown("NameList"));
        stg.GroupList->setCurrentIndex(2);
        EXPECT_TRUE(h.IsShown("NameList"));
        EXPECT_EQ(ListedNames(), Names{"Anna Berg"});
        stg.GroupList->setCurrentIndex(3);
        EXPECT_EQ(ListedNames(), Names{"Tom Lind"});
        stg.GroupList->setCurrentIndex(0);
        EXPECT_EQ(ListedNames(), (Names{"Anna Berg", "Tom Lind", "Ulla Mets"}));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);

    SetPolicy({"DisableGroupList=1"});
    h.Do([&] {
        EXPECT_FALSE(h.IsShown("GroupList"));
        EXPECT_EQ(ListedNames(), (Names{"Anna Berg", "Tom Lind", "Ulla Mets"}));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
}

TEST_F(LoginView, PasswordsAreCheckedAndAUserWithoutOneMustChooseOne) {
    SetPolicy({"RequirePasswords=1"});
    AddUser("Anna Berg", 0, "secret");
    AddUser("Tom Lind");
    // A wrong password: the field is emptied and the view stays.
    h.Do([&] { EXPECT_TRUE(h.IsShown("PasswordEdit")); });
    PickName("Anna Berg");
    TypeInto("PasswordEdit", "Secret");
    h.messages.Expect(ui::kAnswerOk, 419);
    h.Key(Qt::Key_Return);
    h.Do([&] { EXPECT_EQ(h.TextOf("PasswordEdit"), ""); });
    TypeInto("PasswordEdit", "secret");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Anna Berg");
    SetCurrentUser(nullptr);

    // No password yet: the set-password page, and the password twice.
    PickName("Tom Lind");
    h.Click("EnterBtn2");
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.NewUserPage);
        EXPECT_EQ(h.TextOf("GreetingLbl"), Str(1476));
        EXPECT_FALSE(h.IsShown("NewNameEdit"));
        EXPECT_FALSE(h.IsShown("BackBtn"));
        EXPECT_FALSE(h.IsShown("NewGroupCombo"));
        EXPECT_TRUE(h.IsShown("NewPasswordEdit2"));
    });
    h.Screenshot("set-password");
    h.messages.Expect(ui::kAnswerOk, 416);
    h.Click("EnterBtn");
    TypeInto("NewPasswordEdit", "tulip");
    TypeInto("NewPasswordEdit2", "tulips");
    h.messages.Expect(ui::kAnswerOk, 423);
    h.Click("EnterBtn");
    h.Do([&] {
        EXPECT_EQ(h.TextOf("NewPasswordEdit"), "");
        EXPECT_EQ(h.TextOf("NewPasswordEdit2"), "");
    });
    TypeInto("NewPasswordEdit", "tulip");
    TypeInto("NewPasswordEdit2", "tulip");
    h.Click("EnterBtn");
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Tom Lind");
    SetCurrentUser(nullptr);
    EXPECT_NE(ReadFile(Db("Tom Lind.usr")).find("Password=" + TUser::PasswordDigest("tulip")),
              std::string::npos);
}

TEST_F(LoginView, PreventedNewUsersAreRefused) {
    SetPolicy({"PreventNewUsers=1"});
    AddUser("Anna Berg");
    h.Do([&] { EXPECT_FALSE(h.IsShown("NewUserBtn")); });
    TypeInto("NameEdit", "Zoe Quist");
    h.messages.Expect(ui::kAnswerOk, 420);
    h.Key(Qt::Key_Return);
    h.Do([&] { EXPECT_EQ(stg.Pages->currentWidget(), stg.LoginPage); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_FALSE(Exists("Zoe Quist.usr"));
}

TEST_F(LoginView, AnUnknownNameIsCreatedOnlyWhenTheUserSaysSo) {
    SetPolicy({"DisableSelfGrouping=1"});
    AddUser("Anna Berg");
    TypeInto("NameEdit", "zoe quist");
    h.messages.Expect(ui::kAnswerNo, 421);
    h.Key(Qt::Key_Return);
    h.Do([&] { EXPECT_FALSE(Exists("Zoe Quist.usr")); });
    h.messages.Expect(ui::kAnswerYes, 421);
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Zoe Quist");
    EXPECT_TRUE(Exists("Zoe Quist.usr"));
    EXPECT_EQ(TUser::UserNames(0), (Names{"Anna Berg", "Zoe Quist"}));
}

TEST_F(LoginView, AnUnknownNameGoesToTheNewUserPageWhenAGroupCanBeChosen) {
    AddGroup(1, "Class 1B");
    AddUser("Anna Berg");
    h.Do([&] { stg.GroupList->setCurrentIndex(0); });
    TypeInto("NameEdit", "zoe quist");
    h.messages.Expect(ui::kAnswerYes, 421);
    h.Key(Qt::Key_Return);
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.NewUserPage);
        EXPECT_EQ(h.TextOf("NewNameEdit"), "Zoe Quist");
        EXPECT_TRUE(h.IsShown("NewGroupCombo"));
        EXPECT_TRUE(h.IsShown("BackBtn"));
        stg.NewGroupCombo->setCurrentIndex(1);
    });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->GroupId(), 1);
    EXPECT_EQ(CurrentUser()->GroupName(), "Class 1B");
}

TEST_F(LoginView, NewUserWithGroupAndPassword) {
    SetPolicy({"RequirePasswords=1"});
    AddGroup(1, "Class 1B");
    AddGroup(2, "Evening course");
    AddUser("Anna Berg", 1);
    h.Click("NewUserBtn");
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.NewUserPage);
        EXPECT_EQ(h.TextOf("GreetingLbl"), Str(728));
        EXPECT_NE(h.TextOf("GreetingText").find(Str(2)), std::string::npos);
        EXPECT_TRUE(h.IsShown("BackBtn"));
        ASSERT_EQ(stg.NewGroupCombo->count(), 3);
        EXPECT_EQ(stg.NewGroupCombo->currentIndex(), 0);
    });
    TypeInto("NewNameEdit", "anna berg");
    TypeInto("NewPasswordEdit", "pw");
    TypeInto("NewPasswordEdit2", "pw");
    h.Do([&] { stg.NewGroupCombo->setCurrentIndex(2); });
    h.Screenshot("new-user");
    // A name in use is refused with the name selected for retyping.
    h.messages.Expect(ui::kAnswerOk, 424);
    h.Click("EnterBtn");
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.NewUserPage);
        EXPECT_EQ(FromQt(stg.NewNameEdit->selectedText()), "anna berg");
    });
    h.Type("Carl Dahl");
    h.Click("EnterBtn");
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Carl Dahl");
    EXPECT_EQ(CurrentUser()->GroupId(), 2);
    EXPECT_EQ(CurrentUser()->GroupName(), "Evening course");
    EXPECT_TRUE(CurrentUser()->CheckPassword("pw"));
    EXPECT_EQ(TUser::UserNames(2), Names{"Carl Dahl"});
    EXPECT_EQ(ReadFile(Db("2.idx")), "Carl Dahl.usr=Carl Dahl\r\n");
}

TEST_F(LoginView, BackReturnsToTheLoginPage) {
    AddUser("Anna Berg");
    h.Click("NewUserBtn");
    h.Click("BackBtn");
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.LoginPage);
        EXPECT_EQ(h.TextOf("GreetingLbl"), Str(727));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
}

TEST_F(LoginView, TheFirstUserStartsOnTheNewUserPage) {
    h.Do([&] {
        EXPECT_EQ(stg.Pages->currentWidget(), stg.NewUserPage);
        EXPECT_FALSE(h.IsShown("BackBtn"));
        EXPECT_FALSE(h.IsShown("NewGroupCombo"));
    });
    h.Click("NewNameEdit");
    h.Type("eva fors");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(CurrentUser(), nullptr);
    EXPECT_EQ(CurrentUser()->DisplayName(), "Eva Fors");
}

TEST_F(LoginView, AUserHeldByAnotherProcessIsReportedAndKept) {
    AddUser("Anna Berg");
    const std::string before = ReadFile(Db("Anna Berg.usr"));
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int rc = 1;
        try {
            auto held = TUser::Open("Anna Berg", -1, TUser::kShared, true);
            held->File().DiscardChanges();
            rc = 0;
            char c = 'h';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release[0], &c, 1);
        } catch (...) {
        }
        ::_exit(rc);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);

    // Logging on shows why the user cannot be opened, and never creates a user over it.
    PickName("Anna Berg");
    h.messages.ExpectText(ui::kAnswerOk, Str(528));
    h.Key(Qt::Key_Return);
    // Deleting it is refused the same way.
    h.messages.ExpectText(ui::kAnswerOk, Str(528));
    h.Click("DeleteUsrBtn");
    h.Do([&] { EXPECT_EQ(stg.Pages->currentWidget(), stg.LoginPage); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(CurrentUser(), nullptr);
    EXPECT_EQ(ReadFile(Db("Anna Berg.usr")), before);

    (void)!::write(release[1], &c, 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

TEST_F(LoginView, AFileOwnedByAnotherNameIsReportedNotReplaced) {
    // "Anna Berg." is kept apart from "Anna Berg" by name, but both give the same file.
    AddUser("Anna Berg.");
    const std::string before = ReadFile(Db("Anna Berg.usr"));
    TypeInto("NameEdit", "Anna Berg");
    h.messages.ExpectText(ui::kAnswerOk, Str(1376));
    h.Key(Qt::Key_Return);
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(ReadFile(Db("Anna Berg.usr")), before);
}

TEST_F(LoginView, ADamagedUserFileIsReportedWithItsCopyAndKept) {
    AddUser("Anna Berg");
    const std::string cut = ReadFile(Db("Anna Berg.usr")).substr(0, 25);
    WriteFile(Db("Anna Berg.usr"), cut);
    // The learner is told what happened, where the copy is and how to get the last save.
    PickName("Anna Berg");
    h.messages.ExpectText(ui::kAnswerOk, "Anna Berg.usr is damaged: line 2 is cut off");
    h.Key(Qt::Key_Return);
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(CurrentUser(), nullptr);
    ASSERT_FALSE(h.messages.shown.empty());
    const std::string& told = h.messages.shown.back().text;
    EXPECT_NE(told.find("copied to Anna Berg.usr.damaged-"), std::string::npos) << told;
    EXPECT_NE(told.find("corvadm users restore \"Anna Berg\""), std::string::npos) << told;
    EXPECT_EQ(ReadFile(Db("Anna Berg.usr")), cut);
}

TEST_F(LoginView, DeletingAUserRemovesAllItsFilesFoundThroughTheIndex) {
    AddGroup(1, "Class 1B");
    // An older user whose file name differs from the name: only the index knows it.
    WriteFile(Db("Annab.usr"), "UserName=Anna Berg\r\nUserGroupID=1\r\nDateStarted=1.1.2014\r\n");
    WriteFile(Db("Anna Berg.DTA"), "stats");
    WriteFile(Db("Annab.SET"), "apps");
    WriteFile(Db("Anna Berg.TT3"), "typed");
    WriteFile(Db("Anna Berg.TTx"), "not a record");
    AddUser("Tom Lind", 1);
    ASSERT_EQ(TUser::UserNames(1), (Names{"Anna Berg", "Tom Lind"}));
    const std::string tomFile = ReadFile(Db("Tom Lind.usr"));

    h.Do([&] { stg.GroupList->setCurrentIndex(0); });
    PickName("Anna Berg");
    h.messages.Expect(ui::kAnswerNo, 1021);
    h.Click("DeleteUsrBtn");
    h.Do([&] { EXPECT_TRUE(Exists("Annab.usr")); });
    h.Screenshot("before-delete");
    h.messages.Expect(ui::kAnswerYes, 1021);
    h.Click("DeleteUsrBtn");
    h.Do([&] {
        EXPECT_EQ(ListedNames(), Names{"Tom Lind"});
        EXPECT_EQ(h.TextOf("NameEdit"), "");
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    for (const char* gone : {"Annab.usr", "Anna Berg.DTA", "Annab.SET", "Anna Berg.TT3"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_TRUE(Exists("Anna Berg.TTx"));
    EXPECT_EQ(ReadFile(Db("Tom Lind.usr")), tomFile);
    EXPECT_EQ(ReadFile(Db("1.idx")), "Tom Lind.usr=Tom Lind\r\n");
}

TEST_F(LoginView, DeletingAsksForTheUsersPasswordWhenPasswordsAreRequired) {
    SetPolicy({"RequirePasswords=1"});
    AddUser("Anna Berg", 0, "secret");
    AddUser("Tom Lind");
    PickName("Anna Berg");
    h.messages.Expect(ui::kAnswerOk, 416);
    h.Click("DeleteUsrBtn");
    TypeInto("PasswordEdit", "guess");
    h.messages.Expect(ui::kAnswerOk, 419);
    h.Click("DeleteUsrBtn");
    h.Do([&] { EXPECT_TRUE(Exists("Anna Berg.usr")); });
    TypeInto("PasswordEdit", "secret");
    h.messages.Expect(ui::kAnswerYes, 1021);
    h.Click("DeleteUsrBtn");
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_FALSE(Exists("Anna Berg.usr"));
    EXPECT_TRUE(Exists("Tom Lind.usr"));
}

TEST_F(LoginView, DeletingNeverReachesOutsideTheDatabaseNorTheVisitor) {
    // A user file that is a link: the link goes, what it points to stays.
    WriteFile(root / "Policy-copy.usr", "UserName=Mallory\r\n");
    std::filesystem::create_symlink(root / "Policy-copy.usr", Db("Mallory.usr"));
    // An index line naming the visitor's file resolves to an ordinary (missing) user.
    WriteFile(Db("visitor%%.usr"), "");
    WriteFile(Db("0.idx"), "visitor%%.usr=Vic\r\nMallory.usr=Mallory\r\n");
    AddUser("Tom Lind");

    TypeInto("NameEdit", "Vic");
    h.Click("DeleteUsrBtn");
    TypeInto("NameEdit", "Visitor%%");
    h.Click("DeleteUsrBtn");
    TypeInto("NameEdit", "Mallory");
    h.messages.Expect(ui::kAnswerYes, 1021);
    h.Click("DeleteUsrBtn");
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(Exists("visitor%%.usr"));
    EXPECT_FALSE(std::filesystem::is_symlink(Db("Mallory.usr")));
    EXPECT_TRUE(std::filesystem::exists(root / "Policy-copy.usr"));
    EXPECT_TRUE(Exists("Tom Lind.usr"));
}

TEST_F(LoginView, TheLogoComesFromThePolicy) {
    AddUser("Anna Berg");
    QImage wide(600, 120, QImage::Format_RGB32);
    wide.fill(QColor(30, 90, 140));
    wide.save(ToQt(root / "School.png"));
    for (const std::string& file :
         {std::string("school.PNG"), std::string("missing.png"), std::string()}) {
        SCOPED_TRACE(file);
        SetPolicy({"LoginLogoFile=" + file});
        h.Do([&, file] {
            const QPixmap logo = stg.LogoImage->pixmap();
            ASSERT_FALSE(logo.isNull());
            if (file == "school.PNG")
                EXPECT_EQ(logo.size(), QSize(250, 50));  // scaled into the logo's room
            else
                EXPECT_EQ(logo.toImage(), art::ProductMark(64, false).toImage());
        });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Run(), 2);
    }
}

}  // namespace
}  // namespace corv
