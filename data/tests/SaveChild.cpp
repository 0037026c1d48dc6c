// A program that keeps saving one user, for the tests that kill it mid-save or run two
// of it side by side: corv_save_child ROOT NAME FIRST COUNT [WORKSTATION]
//
// Each round opens the user (waiting while another process holds it), writes a test
// result's typed-text file, adds the result "soak<n>", types a few keys into the
// difficult-key table, saves, closes, and only then prints "saved <n>". COUNT 0 runs until
// killed; "ready" comes first, once the program has started. With a workstation name every round
// also records itself in that workstation's file and rebuilds the user indexes, as a second
// workstation's tutor would. Exit 3: a file read as damaged; 4: a save failed.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/AtomicFile.h"
#include "core/Settings.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"

using namespace corv;

namespace {

std::unique_ptr<TUser> OpenWhenFree(const std::string& name) {
    for (;;) {
        try {
            return TUser::Open(name, -1, TUser::kShared, false);
        } catch (const DamagedUserFile& e) {
            std::printf("damaged %s\n", e.what());
            std::fflush(stdout);
            std::_Exit(3);
        } catch (const UserError&) {
            ::usleep(1000);  // held by the other process
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ROOT NAME FIRST COUNT [WORKSTATION]\n", argv[0]);
        return 2;
    }
    const std::string root = std::string(argv[1]) + "/";
    const std::string name = argv[2];
    const int first = std::atoi(argv[3]);
    const int count = std::atoi(argv[4]);
    const std::string workstation = argc > 5 ? argv[5] : "";
    SetProgramSettings(TProgramSettings::Create(root));
    if (!ProgramSettings() || !CorvSettings::OpenPolicy(root)) return 2;
    const std::string db = ProgramSettings()->databaseFolder;
    std::printf("ready\n");  // started: a kill from now on lands in the rounds
    std::fflush(stdout);

    for (int n = first; count == 0 || n < first + count; ++n) {
        if (!workstation.empty()) {
            TDynamicSettings ws;
            if (ws.Open(db + workstation + ".wk10", 1) != 1 || ws.LoadNow() != 1) return 4;
            if (!ws.File().Damage().empty()) return 3;
            ws.SetText("LastStudent", name);
            ws.SetInteger("Rounds", ws.GetInteger("Rounds") + 1);
            if (ws.Save() != 1) return 4;
        }
        std::unique_ptr<TUser> user = OpenWhenFree(name);
        TResultItem result;
        result.Source = "NAME";
        result.Identifier = "soak" + std::to_string(n);
        result.Kind = "TEST";
        result.Mode = "CT";
        result.StartTime = 46000 + n / 1000.0;
        result.TypingSeconds = 60;
        result.GrossSpeed = 100 + n % 300;
        result.NetSpeed = 90 + n % 300;
        result.Accuracy = 95;
        result.Name = "Soak";
        const int index = user->Results().NextIndex();
        const std::string typed = db + TUser::NormalizeName(name) + ".TT" + std::to_string(index);
        if (!WriteFileAtomic(typed, "typed " + std::to_string(n) + "\r\n")) return 4;
        user->Results().Add(result);
        for (int k = 0; k < 12; ++k)
            DifficultKeysA().RecordKeystroke(static_cast<char>('a' + (n + k) % 26), k % 5 == 0);
        if (user->SaveUser() != 1) return 4;
        user.reset();
        if (!workstation.empty()) TUser::RebuildIndexes();
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
    return 0;
}
