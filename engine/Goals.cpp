// The goals of timed events: set-up from the line and the course, the goal dialog before
// the start, the goal bar while typing, the early-goal note and the verdict at the end.
// The figures themselves are engine/analysis/Goals.

#include "engine/analysis/Goals.h"

#include <QAbstractButton>
#include <QListWidget>
#include <algorithm>

#include "core/Localize.h"
#include "core/Settings.h"
#include "data/User.h"
#include "engine/Event.h"
#include "engine/analysis/Analyzer.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {

namespace {

// The characters per word of the result, or of the installation when it has none.
int CharsPerWordOf(const TResultItem* item) {
    return item && item->CharsPerWord > 0 ? item->CharsPerWord : CorvSettings::CharsPerWord();
}

std::string Replaced(std::string format, const std::string& value) {
    const size_t at = format.find("%s");
    if (at != std::string::npos) format.replace(at, 2, value);
    return format;
}

// The title stands beside the picture, or in its place when there is none.
void ShowCompletedPicture(TEventsStg& s, bool on) {
    s.ExerciseCompletedPic->setVisible(on);
    const QRect title = s.GoalStatusTitle->geometry();
    const int left =
        on ? s.ExerciseCompletedPic->geometry().right() + 12 : s.ExerciseCompletedPic->x();
    s.GoalStatusTitle->setGeometry(left, title.y(), title.right() + 1 - left, title.height());
}

void Raise(QWidget* w) {
    w->show();
    w->raise();
}

}  // namespace

// --- TEvent ---

void TEvent::SetupGoals() {
    if (TDynamicSettings* policy = CorvSettings::Policy())
        GoalNotifyMargin = policy->GetInteger("GoalNotifyMargin");
    if (GoalNotifyMargin == 0) GoalNotifyMargin = 10;
    GoalsActive = false;
    ObjectiveTextId = 0;
    const CourseFacts* course = LoadedCourse();
    const GoalFields goals =
        ReadGoalFields(Params, course ? course->exerciseFields : ExerciseFieldsLookup());
    if (!goals.present) return;
    AccuracyGoalOffset = goals.accuracyOffset;
    MinSpeedGoal = goals.minSpeed;
    FinalSpeedGoal = goals.finalSpeed;
    StartSpeedGoal = goals.startSpeed;
    MidSpeedGoal = goals.midSpeed;
    ObjectiveTextId = goals.objectiveTextId;
    if (!course || course->accuracyGoals.empty()) return;
    TUser* user = CurrentUser();
    GoalLevel = user ? user->GetInteger(course->identifier + ".GoalLevel") : 0;
    GoalsActive =
        GoalLevel > 0 && (MinSpeedGoal || FinalSpeedGoal || StartSpeedGoal || MidSpeedGoal);
    if (GoalsActive) ComputeGoalAccuracy();
}

void TEvent::ComputeGoalAccuracy() {
    const CourseFacts* course = LoadedCourse();
    const GoalAccuracy a = GoalAccuracyOf(course ? course->accuracyGoals : std::vector<int>(),
                                          GoalLevel, AccuracyGoalOffset);
    if (!a.valid) {
        // A level the course has no percentage for: no goals rather than a made-up one.
        GoalsActive = false;
        return;
    }
    LevelAccuracy = a.levelAccuracy;
    AccuracyGoal = a.accuracyGoal;
    NextLevelAccuracy = a.nextLevelAccuracy;
}

// --- TTimedEvent ---

void TTimedEvent::RouteGoal(QAbstractButton* button) {
    goalRoutes_.push_back(QObject::connect(button, &QAbstractButton::clicked,
                                           [this, button] { GoalButtonClick(button); }));
}

void TTimedEvent::SetupGoalControls() {
    TUser* user = CurrentUser();
    DoNotInterruptGoals = user && user->GetBool("DoNotInterruptGoals");
    for (const auto& c : goalRoutes_) QObject::disconnect(c);
    goalRoutes_.clear();
    RouteGoal(Storage->GoalBeginBtn);
    RouteGoal(Storage->GoalStatus_ContinueBtn);
    RouteGoal(Storage->GoalStatus_ResultsBtn);
    goalRoutes_.push_back(QObject::connect(
        Storage->AccuracyGoalList, &QListWidget::itemClicked,
        [this](QListWidgetItem* item) { GoalLevelClick(Storage->AccuracyGoalList->row(item)); }));
    QListWidget* list = Storage->AccuracyGoalList;
    list->clear();
    const CourseFacts* course = LoadedCourse();
    if (course && !course->accuracyGoals.empty()) {
        // The highest level first; a course with fewer levels lists only those it has.
        const int levels = std::min<int>(3, static_cast<int>(course->accuracyGoals.size()));
        for (int level = levels; level >= 1; --level) {
            const int percent = course->accuracyGoals[static_cast<size_t>(level - 1)];
            auto* item =
                new QListWidgetItem(ToQt(std::to_string(percent) + "% " + Str(1600 + level)), list);
            item->setData(Qt::UserRole, level);
        }
    }
    GoalProgress = 0;
    Storage->ProgressBarFullPic->resize(0, Storage->ProgressBarFullPic->height());
}

void TTimedEvent::ShowGoalDialog() {
    TEventsStg& s = *Storage;
    s.ViewGoalMsg->setWindowTitle(ToQt(Str(1789)));
    s.ViewGoalTitle2->setText(ToQt(Str(1789)));
    s.ViewGoalObjective->setText(ObjectiveTextId ? ToQt(Str(1619 + ObjectiveTextId))
                                                 : QStringLiteral("-"));
    if (DynamicDuration) {
        s.ViewGoalDuration->setText(ToQt(Replaced(Str(1610), DurationText)));
        s.OptimizedPic->show();
    } else {
        s.ViewGoalDuration->setText(ToQt(DurationText + " " + Str(1368)));
        s.OptimizedPic->hide();
    }
    QListWidget* list = s.AccuracyGoalList;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(Qt::UserRole).toInt() == GoalLevel) list->setCurrentRow(row);
    if (auto* window = MainWindow()) window->BorrowControl(s.ViewGoalMsg);
    Raise(s.ViewGoalMsg);
}

void TTimedEvent::UpdateGoalProgress() {
    const TEfficiencyInfo& e = Analysis().Efficiency();
    const int seconds = Analysis().Timer().Seconds();
    GoalInputs in;
    in.accuracy = e.AccuracyDecimal(CharsPerWordOf(ResultItem));
    in.grossSpeed = e.GrossSpeed(seconds);
    in.typedSeconds = seconds;
    in.timeLimit = TimeLimit;
    in.baseTimeLimit = BaseTimeLimit;
    in.margin = GoalNotifyMargin;
    in.accuracyGoal = AccuracyGoal;
    in.speeds = {MinSpeedGoal, FinalSpeedGoal, StartSpeedGoal, MidSpeedGoal};
    GoalProgress = GoalProgressOf(in);
    QWidget* bar = Storage->ProgressBarFullPic;
    bar->resize(GoalBarWidth(GoalProgress), bar->height());
}

bool TTimedEvent::GoalKeys(char& key) {
    if (!GoalsActive) return false;
    const bool enter = key == '\r', space = key == ' ';
    TEventsStg& s = *Storage;
    if (s.GoalStatusMsg->isVisible()) {
        if (space && EventState != kEventFinished) {
            GoalButtonClick(s.GoalStatus_ContinueBtn);
            return false;  // and typed
        }
        if (enter) GoalButtonClick(s.GoalStatus_ResultsBtn);
        key = 0;
        return true;
    }
    if (s.ViewGoalMsg->isVisible()) {
        Pause();
        if (space || enter) s.ViewGoalMsg->hide();
        key = 0;
        return true;
    }
    if (!enter && !space) return false;
    UpdateGoalProgress();
    const int remaining = TimeLimit - Analysis().Timer().Seconds();
    if (DynamicDuration && !DoNotInterruptGoals && remaining > GoalNotifyMargin &&
        GoalProgress == 100) {
        Pause();
        key = 0;
        DoNotInterruptGoals = true;  // once per event
        if (ResultItem) ResultItem->Completed = true;
        ShowEarlyGoal();
        return true;
    }
    return false;
}

void TTimedEvent::ShowEarlyGoal() {
    TEventsStg& s = *Storage;
    s.GoalStatusTitle->setText(ToQt(Str(1611)));
    s.GoalStatusText->setText(ToQt(Str(1612)));
    ShowCompletedPicture(s, true);
    s.GoalStatus_ResultsBtn->setText(ToQt(Str(1885)));
    s.GoalStatus_ContinueBtn->show();
    s.GoalStatus_Disable->show();
    s.GoalStatus_Disable->setChecked(false);
    if (auto* window = MainWindow()) window->BorrowControl(s.GoalStatusMsg);
    Raise(s.GoalStatusMsg);
}

void TTimedEvent::ShowGoalStatus() {
    UpdateGoalProgress();
    TEventsStg& s = *Storage;
    const TEfficiencyInfo& e = Analysis().Efficiency();
    const double accuracy = e.AccuracyDecimal(CharsPerWordOf(ResultItem));
    const int speed = e.GrossSpeed(Analysis().Timer().Seconds());
    if (accuracy < AccuracyGoal) {
        s.GoalStatusTitle->setText(ToQt(Str(1873)));
        ShowCompletedPicture(s, false);
        s.GoalStatusText->setText(ToQt(Str(1874)));
    } else {
        s.GoalStatusTitle->setText(ToQt(Str(1869)));
        ShowCompletedPicture(s, true);
        s.GoalStatusText->setText(ToQt(Str(speed < MinSpeedGoal ? 1872 : 1870)));
    }
    s.GoalStatus_ResultsBtn->setText(ToQt(Str(1885)));
    s.GoalStatus_ContinueBtn->hide();
    s.GoalStatus_Disable->show();
    TUser* user = CurrentUser();
    s.GoalStatus_Disable->setChecked(user && user->GetBool("DoNotInterruptGoals"));
    if (auto* window = MainWindow()) window->BorrowControl(s.GoalStatusMsg);
    Raise(s.GoalStatusMsg);
}

void TTimedEvent::GoalButtonClick(QObject* sender) {
    TEventsStg& s = *Storage;
    if (sender == s.GoalBeginBtn) {
        s.ViewGoalMsg->hide();
        return;
    }
    if (TUser* user = CurrentUser())
        user->SetBool("DoNotInterruptGoals", s.GoalStatus_Disable->isChecked());
    s.GoalStatusMsg->hide();
    if (sender == s.GoalStatus_ContinueBtn) return;
    SetModalResult(3);
}

void TTimedEvent::GoalLevelClick(int row) {
    QListWidgetItem* item = Storage->AccuracyGoalList->item(row);
    if (!item) return;
    const int level = item->data(Qt::UserRole).toInt();
    const CourseFacts* course = LoadedCourse();
    TUser* user = CurrentUser();
    if (user && course) {
        const std::string id = course->identifier;
        user->SetInteger(id + ".GoalLevel", level);
        user->SetText(id + ".Feedback.GoalTipID", "");
        for (const char* counter :
             {".Feedback.GoalTipCount", ".Feedback.GoalFailCount", ".Feedback.GoalExceedCount"})
            user->SetInteger(id + counter, 0);
    }
    GoalLevel = level;
    if (GoalsActive) ComputeGoalAccuracy();
}

}  // namespace corv
