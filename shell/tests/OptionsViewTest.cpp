// The options page driven as a user would: each choice stored at once where it belongs,
// the locks of the policy and the group, a layout that does not load, the language
// switched with the page and the menu in the new language, and a visit that changes
// nothing leaving every file as it was.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <climits>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "data/keyboard/KeySystem.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/options/OptionsView.h"
#include "testsupport/TempDir.h"
#include "views/BookForm.h"
#include "views/testkit/ViewHarness.h"

namespace corv {
namespace {

namespace stdfs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using viewtest::ViewHarness;

// The system's layouts as a test sets them.
class FakeLayoutSystem : public TLayoutSystem {
  public:
    std::string current = "00000409";
    std::string CurrentLayoutId() override { return current; }
    std::vector<std::string> InstalledLayoutIds() override { return {current}; }
    bool ActivateLayout(const std::string& id) override {
        current = id;
        return true;
    }
    bool KeyTable(TSystemKeyTable&) override { return false; }
};

class Options : public ::testing::Test {
  protected:
    Options() {
        root = dir.path() + "/";
        const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/";
        stdfs::create_directories(root + "Database");
        stdfs::copy(shipped + "keyboards", root + "keyboards", stdfs::copy_options::recursive);
        for (const char* file :
             {"CorvKeyb.ini", "CorvLangs.ini", "language.eng", "language.deu", "language.fra"})
            stdfs::copy_file(shipped + file, root + file);
        WriteFile(root + "0.grp", "Name=Everybody\r\n");
        ::getcwd(cwd, sizeof cwd);
        ::chdir(root.c_str());  // language files are opened by their bare names
        auto system = std::make_unique<FakeLayoutSystem>();
        layouts = system.get();
        SetLayoutSystem(std::move(system));
        Localization().Reset();
        Localization().Load("language");
        // As the tutor's own hook does.
        SetLanguageChangedHook([this] {
            h.Window().AddMenuButton("Settings", Str(560));
            h.Window().AddMenuButton("Info", Str(561));
            h.Window().ApplyCaptions();
            h.Window().SetTitle(Str(568));
        });
        h.Window().AddMenuButton("Settings", Str(560));
        h.Window().AddMenuButton("Info", Str(561));
        h.Window().HighlightSection("Settings");
        h.Window().SetTitle(Str(568));
        SetSoundsOn(false);
    }
    ~Options() override {
        SetLanguageChangedHook(nullptr);
        SetCurrentUser(nullptr);
        SetCurrentLayout(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
        SetLayoutSystem(nullptr);
        Localization().Reset();
        ResetSounds();
        ::chdir(cwd);
    }

    // The installation, a saved user and the workstation; the user's layout is loaded.
    void Start(const std::vector<std::string>& policy, const std::string& userLines = "",
               const std::string& groupLines = "", const std::string& workstation = "") {
        std::string text = "DisableWindowsLayouts=1\r\n";
        for (const std::string& line : policy) text += line + "\r\n";
        WriteFile(root + "Policy.dyn", text);
        WriteFile(root + "0.grp", "Name=Everybody\r\n" + groupLines);
        WriteFile(root + "Database/PC1.wk10", workstation);
        stdfs::remove(Usr());
        SetProgramSettings(TProgramSettings::Create(root));
        ASSERT_TRUE(ProgramSettings());
        ASSERT_TRUE(CorvSettings::OpenPolicy(root));
        ASSERT_TRUE(CorvSettings::OpenWorkstation("PC1.wk10", root + "Database/", 2));
        {
            auto user = TUser::Create("Anna Berg");
            for (size_t at = 0, end; (end = userLines.find("\r\n", at)) != std::string::npos;
                 at = end + 2) {
                const std::string line = userLines.substr(at, end - at);
                user->SetText(line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
            }
            ASSERT_EQ(user->SaveUser(), 1);
        }
        SetCurrentUser(TUser::OpenExisting("Anna Berg", false, -1, TUser::kShared));
        ASSERT_TRUE(CurrentUser());
        ASSERT_GE(LoadUserLayout(*CurrentUser()), 0);
    }
    std::string Usr() const { return root + "Database/Anna Berg.usr"; }
    std::string Ws() const { return root + "Database/PC1.wk10"; }
    // Saves what the program holds, as it does at its end.
    void SaveAll() {
        ASSERT_EQ(CurrentUser()->SaveUser(), 1);
        CorvSettings::Workstation()->Save();
    }
    // Runs the page with the queued actions; the menu leaves it.
    void RunPage() {
        h.PickSection("Info");
        EXPECT_EQ(h.Run([] { return RunOptionsView(); }), 0);
    }
    TOptioStg* Page() { return dynamic_cast<TOptionsView*>(CurrentView())->Storage(); }
    void Choose(QComboBox* TOptioStg::*combo, int index) {
        h.Do([this, combo, index] {
            QComboBox* c = Page()->*combo;
            c->setCurrentIndex(index);
            emit c->activated(index);
        });
    }
    void Check(const std::function<void(TOptioStg&)>& check) {
        h.Do([this, check] { check(*Page()); });
    }
    std::string UserValue(const std::string& key) { return CurrentUser()->GetText(key); }

    test::TempDir dir;
    std::string root;
    char cwd[PATH_MAX] = {};
    FakeLayoutSystem* layouts = nullptr;
    ViewHarness h;
};

TEST_F(Options, AVisitThatChangesNothingLeavesEveryFileAsItWas) {
    struct Case {
        const char* what;
        std::vector<std::string> policy;
        std::string user, workstation, systemLayout;
    } cases[] = {
        {"nothing set", {}, "", "", "00000409"},
        {"a layout not in the list",
         {},
         "KeyboardLayout=Klingon\r\nKeyboardAutoDetect=0\r\n",
         "",
         "00000409"},
        {"a system layout nobody knows",
         {},
         "KeyboardAutoDetect=1\r\n",
         "FullScreen=1\r\n",
         "00000416"},
        {"a screen size without item",
         {"NoFullScreen=1"},
         "cpm=0\r\nSounds=1\r\n",
         "FullScreen=2\r\n",
         "00000407"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        layouts->current = c.systemLayout;
        Start(c.policy, c.user, "", c.workstation);
        SaveAll();
        const std::string usr = ReadFile(Usr()), ws = ReadFile(Ws());
        TKeyDataExt* layout = CurrentLayout();
        RunPage();
        SaveAll();
        EXPECT_EQ(ReadFile(Usr()), usr);
        EXPECT_EQ(ReadFile(Ws()), ws);
        EXPECT_EQ(CurrentLayout(), layout) << "opening the page loaded the layout again";
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
    }
}

TEST_F(Options, EachChoiceIsStoredWhenItIsMade) {
    Start({}, "cpm=0\r\nThemeSound=1\r\n");
    Check([](TOptioStg& s) {
        EXPECT_EQ(s.SpeedUnitCombo->currentIndex(), 1);  // cpm false shows words per minute
        EXPECT_EQ(s.FontSizeCombo->count(), 3);
        EXPECT_TRUE(s.GeneralTheme->isChecked());
    });
    Choose(&TOptioStg::SpeedUnitCombo, 0);
    Check([this](TOptioStg&) { EXPECT_EQ(UserValue("cpm"), "1"); });
    // The sounds list stores the theme box too, before the page closes.
    h.Click("GeneralTheme");
    Choose(&TOptioStg::SoundsCombo, 1);
    Check([this](TOptioStg&) {
        EXPECT_EQ(UserValue("ThemeSound"), "0");
        EXPECT_EQ(UserValue("Sounds"), "1");
        EXPECT_TRUE(SoundsOn());
    });
    Choose(&TOptioStg::FontSizeCombo, 1);
    Check([](TOptioStg&) { EXPECT_EQ(CorvSettings::Workstation()->GetText("FullScreen"), "1"); });
    h.Screenshot("english");
    RunPage();
    SaveAll();
    const std::string usr = ReadFile(Usr());
    EXPECT_NE(usr.find("cpm=1\r\n"), std::string::npos);
    EXPECT_NE(usr.find("Sounds=1\r\n"), std::string::npos);
    EXPECT_NE(usr.find("ThemeSound=0\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(Ws()).find("FullScreen=1\r\n"), std::string::npos);
}

TEST_F(Options, PickingALayoutLeavesAutomaticDetectionAndLoadsIt) {
    layouts->current = "00000407";  // German, which the list knows
    Start({}, "KeyboardAutoDetect=1\r\n");
    EXPECT_EQ(stdfs::path(CurrentLayout()->fileName).filename(), "german.kbd");
    Check([](TOptioStg& s) {
        EXPECT_TRUE(s.AutoDetect->isChecked());
        EXPECT_EQ(FromQt(s.AutoDetect->text()), Str(198) + " (German)");
        const int french = s.Layout->findText("French");
        ASSERT_GE(french, 0);
        s.Layout->setCurrentIndex(french);
        emit s.Layout->activated(french);
        EXPECT_TRUE(s.UserLayout->isChecked());
    });
    Check([this](TOptioStg&) {
        EXPECT_EQ(UserValue("KeyboardAutoDetect"), "0");
        EXPECT_EQ(UserValue("KeyboardLayout"), "French");
        EXPECT_EQ(stdfs::path(CurrentLayout()->fileName).filename(), "french.kbd");
    });
    h.Click("AutoDetect");
    Check([this](TOptioStg&) {
        EXPECT_EQ(UserValue("KeyboardAutoDetect"), "1");
        EXPECT_EQ(stdfs::path(CurrentLayout()->fileName).filename(), "german.kbd");
    });
    RunPage();
}

TEST_F(Options, ALayoutThatDoesNotLoadLeavesLayoutAndSettingsAsTheyWere) {
    WriteFile(root + "CorvKeyb.ini", ReadFile(root + "CorvKeyb.ini") + "Gone=gone.kbd;07;XXX\r\n");
    Start({}, "KeyboardLayout=French\r\nKeyboardAutoDetect=0\r\n");
    TKeyDataExt* before = CurrentLayout();
    h.messages.ExpectText(ui::kAnswerOk, "gone.kbd not found!");
    Check([](TOptioStg& s) {
        const int gone = s.Layout->findText("Gone");
        ASSERT_GE(gone, 0);
        s.Layout->setCurrentIndex(gone);
        emit s.Layout->activated(gone);
    });
    Check([this, before](TOptioStg& s) {
        EXPECT_EQ(CurrentLayout(), before);
        EXPECT_EQ(UserValue("KeyboardLayout"), "French");
        EXPECT_EQ(FromQt(s.Layout->currentText()), "French");
    });
    RunPage();
}

TEST_F(Options, ALockedChoiceIsDisabledWithLocked) {
    struct Case {
        const char* what;
        std::vector<std::string> policy;
        std::string group;
        std::vector<const char*> disabled;
        const char* label;
    } cases[] = {
        {"policy locks the layout",
         {"KeyboardLayout=German", "KeyboardLayout.locked=1"},
         "",
         {"Layout"},
         "KeyboardLocked"},
        {"group locks detection",
         {},
         "KeyboardAutoDetect=0\r\nKeyboardAutoDetect.locked=1\r\n",
         {"AutoDetect", "UserLayout"},
         "KeyboardLocked"},
        {"policy locks the theme",
         {"ThemeSound=1", "ThemeSound.locked=1"},
         "",
         {"GeneralTheme"},
         "ThemeLocked"},
        {"group locks the sounds",
         {},
         "Sounds=0\r\nSounds.locked=1\r\n",
         {"SoundsCombo"},
         "SoundsLocked"},
        {"policy locks the unit", {"cpm=1", "cpm.locked=1"}, "", {"SpeedUnitCombo"}, "UnitLocked"},
        {"group locks the language",
         {},
         "languagecode=ENG\r\nlanguagecode.locked=1\r\n",
         {"LangList"},
         "LanguageLocked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The user's own file says otherwise: the lock wins and nothing is written.
        Start(c.policy, "KeyboardLayout=French\r\nThemeSound=0\r\nSounds=1\r\ncpm=0\r\n", c.group);
        const std::string usr = ReadFile(Usr());
        Check([&c](TOptioStg& s) {
            for (const char* name : c.disabled) EXPECT_FALSE(s.Control(name)->isEnabled()) << name;
            EXPECT_TRUE(s.Control(c.label)->isVisible());
            EXPECT_EQ(FromQt(static_cast<QLabel*>(s.Control(c.label))->text()), "Locked");
            for (const char* other : {"KeyboardLocked", "ThemeLocked", "SoundsLocked", "UnitLocked",
                                      "LanguageLocked"}) {
                if (std::string(other) == c.label) continue;
                EXPECT_FALSE(s.Control(other)->isVisible()) << other;
            }
        });
        if (std::string(c.label) == "KeyboardLocked" && c.policy.size()) {
            Check([](TOptioStg& s) {
                EXPECT_TRUE(s.UserLayout->isChecked());
                EXPECT_EQ(FromQt(s.Layout->currentText()), "German");
            });
            h.Screenshot("locked-layout");
        }
        RunPage();
        SaveAll();
        EXPECT_EQ(ReadFile(Usr()), usr);
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
    }
}

TEST_F(Options, WithoutFullScreenTheListHasTwoSizesAndAStoredTwoSelectsNothing) {
    Start({"NoFullScreen=1"}, "", "", "FullScreen=2\r\n");
    Check([](TOptioStg& s) {
        EXPECT_EQ(s.FontSizeCombo->count(), 2);
        EXPECT_EQ(s.FontSizeCombo->currentIndex(), -1);
    });
    RunPage();
    EXPECT_EQ(CorvSettings::Workstation()->GetText("FullScreen"), "2");
}

TEST_F(Options, ANewLanguageRelabelsThePageAndTheMenuAtOnce) {
    Start({});
    struct Step {
        const char* language;
        const char* code;
    } steps[] = {{"Deutsch", "DEU"},
                 {"Fran\xe7"
                  "ais",
                  "FRA"},
                 {"English", "ENG"}};
    for (const Step& step : steps) {
        Check([step](TOptioStg& s) {
            const int at = s.LangList->findText(ToQt(step.language));
            ASSERT_GE(at, 0) << step.language;
            s.LangList->setCurrentIndex(at);
            emit s.LangList->activated(at);
        });
        Check([this, step](TOptioStg& s) {
            EXPECT_EQ(TLocalize::CurrentCode(), step.code);
            EXPECT_EQ(UserValue("LanguageCode"), step.code);
            EXPECT_EQ(FromQt(s.LanguageC->text()), Str(1435));
            EXPECT_EQ(FromQt(s.SoundsCombo->itemText(1)), DropAmpersands(Str(183)));
            EXPECT_EQ(FromQt(h.Window().MenuButton("Settings")->text()), Str(560));
            EXPECT_EQ(FromQt(s.LangList->currentText()), step.language);
        });
        if (std::string(step.code) != "ENG") h.Screenshot(step.code);
    }
    RunPage();
}

TEST_F(Options, ALanguageFileThatIsMissingOrDamagedKeepsTheLanguageAndTheSetting) {
    Start({});
    stdfs::remove(root + "language.deu");
    WriteFile(root + "language.fra", "0=language.fra\r\n1=Corvella\r\nthe end\r\n");
    auto choose = [this](const char* language) {
        Check([language](TOptioStg& s) {
            const int at = s.LangList->findText(ToQt(language));
            ASSERT_GE(at, 0) << language;
            s.LangList->setCurrentIndex(at);
            emit s.LangList->activated(at);
        });
    };
    h.messages.ExpectText(ui::kAnswerOk, "language.DEU not found");
    choose("Deutsch");
    h.messages.ExpectText(ui::kAnswerOk, "The last rows of the string resource file not valid");
    choose(
        "Fran\xe7"
        "ais");
    Check([this](TOptioStg& s) {
        EXPECT_EQ(TLocalize::CurrentCode(), "ENG");
        EXPECT_EQ(FromQt(s.LangList->currentText()), "English");
        EXPECT_EQ(FromQt(s.LanguageC->text()), "Language");
        EXPECT_EQ(FromQt(h.Window().MenuButton("Settings")->text()), "Settings");
        EXPECT_EQ(UserValue("LanguageCode"), "");
    });
    RunPage();
}

}  // namespace
}  // namespace corv
