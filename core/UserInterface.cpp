#include "core/UserInterface.h"

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/Cp1252.h"

extern char** environ;

namespace corv::ui {
namespace {

class HeadlessProgressUi : public ProgressUi {
  public:
    std::unique_ptr<ProgressView> Open() override { return nullptr; }
};

class SilentSoundUi : public SoundUi {
  public:
    SoundResult Play(const std::string&) override { return SoundResult::kFailed; }
};

class HeadlessWindowUi : public WindowUi {
  public:
    bool BringToFront(WindowRef) override { return false; }
    bool CloseProgramWindow(const std::string&, const std::string&) override { return false; }
    void AllowMessage(unsigned) override {}
};

struct Registry {
    HeadlessMessageUi headlessMessages;
    HeadlessProgressUi headlessProgress;
    SilentSoundUi silentSounds;
    HeadlessShellUi headlessShell;
    HeadlessWindowUi headlessWindows;
    MessageUi* messages = nullptr;
    ProgressUi* progress = nullptr;
    SoundUi* sounds = nullptr;
    ShellUi* shell = nullptr;
    WindowUi* windows = nullptr;
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

std::string& ProgramName() {
    static std::string name = program_invocation_short_name;
    return name;
}

// Starts argv[0] found on PATH; the child is reaped by a detached waiter so no zombie
// stays behind.
bool Spawn(const std::vector<std::string>& args, const std::string& folder) {
    if (args.empty() || args[0].empty()) return false;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

}  // namespace

int SafeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::kOk:
            return kAnswerOk;
        case Buttons::kYesNo:
            return kAnswerNo;
        case Buttons::kAbortRetryIgnore:
            return kAnswerAbort;
        case Buttons::kOkCancel:
        case Buttons::kYesNoCancel:
        case Buttons::kRetryCancel:
            break;
    }
    return kAnswerCancel;
}

void SetMessageUi(MessageUi* impl) {
    Reg().messages = impl;
}
void SetProgressUi(ProgressUi* impl) {
    Reg().progress = impl;
}
void SetSoundUi(SoundUi* impl) {
    Reg().sounds = impl;
}
void SetShellUi(ShellUi* impl) {
    Reg().shell = impl;
}
void SetWindowUi(WindowUi* impl) {
    Reg().windows = impl;
}

MessageUi& Messages() {
    return Reg().messages ? *Reg().messages : Reg().headlessMessages;
}
ProgressUi& Progress() {
    return Reg().progress ? *Reg().progress : Reg().headlessProgress;
}
SoundUi& Sounds() {
    return Reg().sounds ? *Reg().sounds : Reg().silentSounds;
}
ShellUi& Shell() {
    return Reg().shell ? *Reg().shell : Reg().headlessShell;
}
WindowUi& Windows() {
    return Reg().windows ? *Reg().windows : Reg().headlessWindows;
}

int Message(const MessageRequest& request) {
    try {
        return Messages().Show(request);
    } catch (...) {
        return request.defaultAnswer != kAnswerNone ? request.defaultAnswer
                                                    : SafeAnswer(request.buttons);
    }
}

int Message(const std::string& text, const std::string& caption, Icon icon, Buttons buttons,
            std::vector<int> stringIds) {
    try {
        MessageRequest request;
        request.text = text;
        request.caption = caption;
        request.icon = icon;
        request.buttons = buttons;
        request.stringIds = std::move(stringIds);
        return Message(request);
    } catch (...) {  // out of memory while copying
        return SafeAnswer(buttons);
    }
}

const std::string& ProgramFileName() {
    return ProgramName();
}
void SetProgramFileName(std::string name) {
    ProgramName() = std::move(name);
}

int HeadlessMessageUi::Show(const MessageRequest& request) {
    std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(request.caption).c_str(),
                 Cp1252ToUtf8(NormalizeLineEnds(request.text)).c_str());
    return request.defaultAnswer != kAnswerNone ? request.defaultAnswer
                                                : SafeAnswer(request.buttons);
}

bool HeadlessShellUi::OpenAddress(const std::string& address) {
    if (address.empty()) return false;
    return Spawn({"xdg-open", address}, "");
}

bool HeadlessShellUi::Run(const std::string& program, const std::string& parameters,
                          const std::string& folder) {
    std::vector<std::string> args{program};
    for (auto& a : SplitCommandLine(parameters)) args.push_back(std::move(a));
    return Spawn(args, folder);
}

void HeadlessShellUi::EndProgram(int exitCode) {
    std::fflush(nullptr);
    std::exit(exitCode);
}

std::string NormalizeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            char next = i + 1 < text.size() ? text[i + 1] : 0;
            if ((next == '\r' || next == '\n') && next != c) ++i;  // a CR LF or LF CR pair
            out.push_back('\n');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<std::string> SplitCommandLine(const std::string& parameters) {
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < parameters.size(); ++i) {
        char c = parameters[i];
        if (c == '"') {
            inArg = true;
            if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
                arg.push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg) args.push_back(std::move(arg));
            arg.clear();
            inArg = false;
        } else {
            arg.push_back(c);
            inArg = true;
        }
    }
    if (inArg) args.push_back(std::move(arg));
    return args;
}

}  // namespace corv::ui
