#pragma once
// Events: the screens an exercise is made of. Each event is a view built from one script
// line; it finds its text, runs modally on the book and hands a close result back to the
// exercise runner:
//   0 closed from outside, 1 go on, 2 interrupted, 3 done and go on, 4 cancelled after
//   finishing.

#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/Results.h"
#include "engine/EventServices.h"
#include "engine/EventsStg.h"
#include "views/FormView.h"

class QAbstractButton;

namespace corv {

enum EventStateValue : uint8_t {
    kEventReady = 0,
    kEventRunning = 1,
    kEventPaused = 2,
    kEventFinished = 3,
};

// The fields of a script line: the key, the type (still led by "="), the duration, the text
// directive, the title and the rest. "Event=TEXT;5;x" and "Event;TEXT;5;x" give the same
// positions; empty fields are dropped; "%;" keeps a ";" inside a field.
std::vector<std::string> SplitEventLine(const std::string& line);

// A course file as the scripts name it: as written when it names a drive or a root,
// otherwise in the lessons folder; the existing file of that name in any letter case.
std::string CourseFilePath(const std::string& name);

class TEvent : public TCustomBookView {
  public:
    // Builds the event from its script line; nothing is shown yet.
    explicit TEvent(const std::string& line);
    ~TEvent() override;

    std::vector<std::string> Params;
    double StartTick = 0;
    double LastKeyTick = 0;
    int32_t AutoPauseSeconds = 0;
    uint8_t EventState = kEventReady;
    std::unique_ptr<TEventsStg> Storage;
    std::string ResultKind;
    int32_t PageNumber = 0;
    std::string DurationText;
    int32_t PageCount = 0;
    std::string Text;
    bool DynamicDuration = false;
    // Goals: active when the line has goal fields, the course accuracy levels and the user
    // a level.
    bool GoalsActive = false;
    int32_t GoalLevel = 0;
    int32_t AccuracyGoalOffset = 0;
    int32_t GoalNotifyMargin = 10;
    int32_t AccuracyGoal = 0;
    int32_t LevelAccuracy = 0;
    int32_t NextLevelAccuracy = 0;
    int32_t MinSpeedGoal = 0;
    int32_t FinalSpeedGoal = 0;
    int32_t StartSpeedGoal = 0;
    int32_t MidSpeedGoal = 0;
    int32_t ObjectiveTextId = 0;
    bool RepeatText = false;
    char SemicolonSubstitute = 0;
    char DecimalSeparator = 0;
    std::string CourseId;
    std::string KeySet;
    std::string TextDirective;
    TResultItem* ResultItem = nullptr;  // not owned

    // Field i of the line; empty when the line is shorter.
    std::string Param(size_t i) const;
    // "Exercise_Lock" of the policy, or of the course (CourseId + ".Exercise_Lock").
    bool LockApplies() const;
    // The accuracy goal of GoalLevel; a level the course does not have turns the goals off.
    void ComputeGoalAccuracy();

    virtual void CloseQuery(bool& refuse);
    // Runs the event modally; returns the close result.
    virtual int Execute();

    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;

  protected:
    void Resume() override;
    // Text directive (TextDirective, else field 3) into Text.
    void ResolveTextDirective();
    // Clicks of this button go to ButtonClick until Teardown.
    void Route(QAbstractButton* button);
    // Lays out a message page: title, text and an optional picture.
    void LayoutMessage(QSize picture, bool pictureLeft);

  private:
    // The goal fields of the line, the user's level and the goal accuracy (at creation).
    void SetupGoals();

    std::vector<QMetaObject::Connection> routes_;
};

class TTimedEvent : public TEvent {
  public:
    // CreateTimed.
    explicit TTimedEvent(const std::string& line);
    ~TTimedEvent() override;

    bool DoNotInterruptGoals = false;
    int32_t ProgressShown = 0;
    // Seconds; 0 (or below) means no limit.
    int32_t TimeLimit = 0;
    bool TimerVisible = true;
    int32_t LastRemaining = -1;
    double FinishTick = 0;
    int32_t GoalProgress = 0;
    std::unique_ptr<QTimer> TickTimer;
    int32_t ExtensionSeconds = 0;
    int32_t BaseTimeLimit = 0;

    // How much of the work is done, 0 to 100.
    virtual int ProgressPercent();
    virtual void Pause();
    virtual void Finish();
    virtual void Start();

    void Setup() override;
    void Activate() override;
    void FormKeyPress(QObject* sender, char& key) override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;
    void CloseQuery(bool& refuse) override;
    int Execute() override;

    // One tick of the 100 ms timer: auto pause, the countdown and the finish by time.
    void Tick();
    // Progress display for subclasses: shown in the time label when there is no limit.
    void ShowProgress(int percent);

    // Goals: the progress from the figures typed so far, into GoalProgress and the bar.
    void UpdateGoalProgress();
    // The goal buttons: begin, continue after an early goal, results.
    void GoalButtonClick(QObject* sender);
    // A row of the level list was chosen (row 0 is the advanced level).
    void GoalLevelClick(int row);

  protected:
    // The goal keys; true when the key was consumed (it is then 0).
    bool GoalKeys(char& key);

  private:
    void EnsureTickTimer();
    void SetupGoalControls();
    void ShowGoalDialog();
    void ShowGoalStatus();
    void ShowEarlyGoal();
    void RouteGoal(QAbstractButton* button);
    std::vector<QMetaObject::Connection> goalRoutes_;
};

}  // namespace corv
