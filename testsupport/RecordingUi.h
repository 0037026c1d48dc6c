#pragma once
// A user interface for tests: registers itself for every service while it lives, answers
// modal questions from a script and records what the code under test showed, played,
// opened and started.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/UserInterface.h"

namespace corv::testsupport {

class RecordingUi : public ui::MessageUi,
                    public ui::ProgressUi,
                    public ui::SoundUi,
                    public ui::ShellUi,
                    public ui::WindowUi {
  public:
    RecordingUi();
    ~RecordingUi() override;
    RecordingUi(const RecordingUi&) = delete;
    RecordingUi& operator=(const RecordingUi&) = delete;

    // --- Messages ---
    // The next modal question gets this answer; without one, the cautious answer
    // (ui::SafeAnswer) and the question is counted as unscripted.
    void QueueAnswer(int answer) { answers_.push_back(answer); }
    std::vector<ui::MessageRequest> messages;
    int unscriptedQuestions = 0;
    // Every language string number the shown messages named.
    std::vector<int> ShownStrings() const;
    bool ShowedString(int n) const;
    // Text of the last message with line ends turned into "\n".
    std::string LastText() const;

    // --- Progress box ---
    struct ProgressState {
        bool open = false;
        int opened = 0;
        std::string caption;
        std::string message;
        int min = 0;
        int max = 0;
        int position = 0;
        std::vector<int> positions;
    };
    ProgressState progress;

    // --- Sounds ---
    std::vector<std::string> played;  // every path asked for, also busy and failed ones
    ui::SoundResult soundResult = ui::SoundResult::kPlayed;

    // --- Shell and windows ---
    struct RunCall {
        std::string program, parameters, folder;
    };
    std::vector<std::string> openedAddresses;
    std::vector<RunCall> runs;
    std::vector<int> endProgramCalls;
    std::vector<ui::WindowRef> broughtToFront;
    std::vector<std::pair<std::string, std::string>> closedWindows;
    std::vector<unsigned> allowedMessages;
    bool shellResult = true;

    int Show(const ui::MessageRequest& request) override;
    std::unique_ptr<ui::ProgressView> Open() override;
    ui::SoundResult Play(const std::string& path) override;
    bool OpenAddress(const std::string& address) override;
    bool Run(const std::string& program, const std::string& parameters,
             const std::string& folder) override;
    void EndProgram(int exitCode) override;
    bool BringToFront(ui::WindowRef window) override;
    bool CloseProgramWindow(const std::string& windowClass, const std::string& title) override;
    void AllowMessage(unsigned message) override;

  private:
    std::deque<int> answers_;
};

}  // namespace corv::testsupport
