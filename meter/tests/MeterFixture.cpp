#include "meter/tests/MeterFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "meter/ipc/Ipc.h"
#include "platform/Identity.h"

namespace corv::meter::test {

namespace stdfs = std::filesystem;
using corv::test::WriteFile;

void MeterFixture::SetUp() {
    base = dir.path() + "/";
    desktop = std::make_unique<TScriptedDesktop>(layout);
    hook = std::make_unique<TScriptedHook>(*desktop);
    const std::string install = std::string(CORV_SOURCE_DIR) + "/install/";
    stdfs::create_directories(base + "program/inst");
    stdfs::create_directories(base + "db");
    for (const char* f : {"language.eng", "CorvLangs.ini"})
        stdfs::copy_file(install + f, base + "program/" + f);
    stdfs::copy_file(install + "0.grp", base + "program/inst/0.grp");
    WriteFile(base + "program/CorvNPath.ini",
              "[Path]\r\nDataPath=inst\r\nDataBase=" + base + "db\r\n");
    WritePolicy("");
    TProgramSettings::SetProgramFolder(base + "program");
    stdfs::create_directories(base + "session");
    ::chmod((base + "session").c_str(), 0700);
    ipc::SetSessionFolderForTesting(base + "session");
    SetTickClock(&clock);
    ::getcwd(cwd, sizeof cwd);
}

void MeterFixture::TearDown() {
    tray.reset();
    SetCurrentUser(nullptr);
    CorvSettings::CloseAll();
    SetProgramSettings(nullptr);
    SetTickClock(nullptr);
    ipc::SetSessionFolderForTesting("");
    TProgramSettings::SetProgramFolder("");
    Localization().Reset();
    ::chdir(cwd);
}

std::string MeterFixture::Login() const {
    return platform::LogonName();
}

void MeterFixture::WritePolicy(const std::string& extraLines) {
    WriteFile(base + "program/inst/Policy.dyn", "DisableWindowsLayouts=1\r\n" + extraLines);
}

void MeterFixture::SetLoginKey(const std::string& key, const std::string& value) {
    TDynamicSettings ws;
    ASSERT_EQ(ws.Open(Db() + TUser::WorkstationName() + ".wk10", 1), 1);
    ws.LoadNow();
    ws.SetText(key + "." + Login(), value);
    ASSERT_EQ(ws.Save(), 1);
}

bool MeterFixture::StartMeter(std::vector<std::string> args) {
    TMeterOptions options;
    options.args = std::move(args);
    options.now = [this] { return wall; };
    tray = std::make_unique<TTrayMain>(*hook, *desktop, shell, options);
    return tray->Start();
}

void MeterFixture::StartMeasuring(const std::string& user) {
    SetLoginKey("UseSelectedUser", "1");
    SetLoginKey("SelectedUser", user);
    ASSERT_TRUE(StartMeter());
    ASSERT_TRUE(tray->Enabled());
}

void MeterFixture::Take() {
    clock.ms = hook->time;
    tray->ProcessInput();
}

void MeterFixture::Type(const std::string& text, uint32_t msPerKey) {
    for (char c : text) {
        clock.ms = hook->time;
        hook->Type(std::string(1, c), msPerKey);
        tray->ProcessInput();
    }
    clock.ms = hook->time;
}

void MeterFixture::Key(const char* keysym, std::initializer_list<const char*> held) {
    clock.ms = hook->time;
    hook->Key(keysym, held);
    tray->ProcessInput();
}

void MeterFixture::Click(int button) {
    clock.ms = hook->time;
    hook->Click(button);
    tray->ProcessInput();
}

void MeterFixture::Wait(uint32_t ms) {
    hook->Wait(ms);
    clock.ms = hook->time;
}

void MeterFixture::AdvanceDays(double days) {
    wall += days;
}

std::string MeterFixture::UserValue(const std::string& user, const std::string& key) {
    // Read past the share lock: the meter may hold the user while the test looks.
    const std::string path = Db() + user + ".usr";
    if (!stdfs::exists(path)) return "<none>";
    const std::string text = corv::test::ReadFile(path);
    const std::string lowerKey = ToLower(key) + "=";
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (ToLower(line.substr(0, lowerKey.size())) == lowerKey)
            return line.substr(lowerKey.size());
        at = end + 2;
    }
    return "";
}

std::string MeterFixture::WorkstationValue(const std::string& key) {
    TDynamicSettings s;
    if (s.Open(Db() + TUser::WorkstationName() + ".wk10", -3) != 1 || s.LoadNow() != 1)
        return "<none>";
    return s.GetText(key);
}

}  // namespace corv::meter::test
