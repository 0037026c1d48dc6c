#include "testsupport/RecordingUi.h"

#include <algorithm>

namespace corv::testsupport {
namespace {

class RecordingProgressView : public ui::ProgressView {
  public:
    explicit RecordingProgressView(RecordingUi::ProgressState& state) : state_(state) {
        state_.open = true;
        ++state_.opened;
    }
    ~RecordingProgressView() override { state_.open = false; }
    void SetCaption(const std::string& caption) override { state_.caption = caption; }
    void SetMessage(const std::string& message) override { state_.message = message; }
    void SetRange(int min, int max) override {
        state_.min = min;
        state_.max = max;
    }
    void SetPosition(int position) override {
        state_.position = position;
        state_.positions.push_back(position);
    }

  private:
    RecordingUi::ProgressState& state_;
};

}  // namespace

RecordingUi::RecordingUi() {
    ui::SetMessageUi(this);
    ui::SetProgressUi(this);
    ui::SetSoundUi(this);
    ui::SetShellUi(this);
    ui::SetWindowUi(this);
}

RecordingUi::~RecordingUi() {
    ui::SetMessageUi(nullptr);
    ui::SetProgressUi(nullptr);
    ui::SetSoundUi(nullptr);
    ui::SetShellUi(nullptr);
    ui::SetWindowUi(nullptr);
}

std::vector<int> RecordingUi::ShownStrings() const {
    std::vector<int> ids;
    for (const auto& m : messages) ids.insert(ids.end(), m.stringIds.begin(), m.stringIds.end());
    return ids;
}

bool RecordingUi::ShowedString(int n) const {
    auto ids = ShownStrings();
    return std::find(ids.begin(), ids.end(), n) != ids.end();
}

std::string RecordingUi::LastText() const {
    return messages.empty() ? std::string() : ui::NormalizeLineEnds(messages.back().text);
}

int RecordingUi::Show(const ui::MessageRequest& request) {
    messages.push_back(request);
    if (!answers_.empty()) {
        int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (request.buttons != ui::Buttons::kOk) ++unscriptedQuestions;
    return request.defaultAnswer != ui::kAnswerNone ? request.defaultAnswer
                                                    : ui::SafeAnswer(request.buttons);
}

std::unique_ptr<ui::ProgressView> RecordingUi::Open() {
    return std::make_unique<RecordingProgressView>(progress);
}

ui::SoundResult RecordingUi::Play(const std::string& path) {
    played.push_back(path);
    return soundResult;
}

bool RecordingUi::OpenAddress(const std::string& address) {
    openedAddresses.push_back(address);
    return shellResult;
}

bool RecordingUi::Run(const std::string& program, const std::string& parameters,
                      const std::string& folder) {
    runs.push_back({program, parameters, folder});
    return shellResult;
}

void RecordingUi::EndProgram(int exitCode) {
    endProgramCalls.push_back(exitCode);
}

bool RecordingUi::BringToFront(ui::WindowRef window) {
    broughtToFront.push_back(window);
    return true;
}

bool RecordingUi::CloseProgramWindow(const std::string& windowClass, const std::string& title) {
    closedWindows.emplace_back(windowClass, title);
    return true;
}

void RecordingUi::AllowMessage(unsigned message) {
    allowedMessages.push_back(message);
}

}  // namespace corv::testsupport
