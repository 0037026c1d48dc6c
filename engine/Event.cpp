#include "engine/Event.h"

#include <QAbstractButton>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "engine/analysis/Analyzer.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {

namespace {

bool PolicyBool(const std::string& key) {
    TDynamicSettings* policy = CorvSettings::Policy();
    return policy && policy->GetBool(key);
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += "\r\n";
        out += lines[i];
    }
    return out;
}

// Keys of a directive, with "HOMEROW" standing for the layout's home row.
std::string DirectiveKeys(const std::string& keys) {
    return EqualsNoCase(TrimBlanks(keys), "HOMEROW") ? HomeRowKeys() : keys;
}

std::string RepeatedText(const std::string& text) {
    const std::string lower = ToLower(text);
    const size_t marker = lower.find("$loop$");
    std::string out;
    if (marker != std::string::npos) {
        const std::string after = text.substr(marker + 6);
        out = text.substr(0, marker);
        for (int i = 0; i < 5; ++i) {
            if (i) out += "\r\n";
            out += after;
        }
    } else {
        for (int i = 0; i < 6; ++i) {
            if (i) out += "\r\n";
            out += text;
        }
    }
    return out;
}

std::string TouchingText(const std::string& keys) {
    if (keys.size() < 8) return keys;
    const std::string first = keys.substr(0, 4), second = keys.substr(4, 4);
    std::string out = first + " " + first + " " + second + " " + second + " " + keys + " " + keys;
    if (out.size() > 255) out.resize(255);
    return out;
}

QString RemainingText(int remaining) {
    if (remaining < 0) remaining = 0;  // past the limit the clock stands at 00:00
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%2.2d:%2.2d", remaining / 60, remaining % 60);
    return QString::fromLatin1(buffer);
}

}  // namespace

std::string CourseFilePath(const std::string& name) {
    const bool absolute = (name.size() > 1 && (name[1] == ':' || name[1] == '\\')) ||
                          (!name.empty() && (name[0] == '/' || name[0] == '\\'));
    const std::string path = absolute ? name : fs::Join(LessonsFolder(), name);
    return fs::ResolveCase(fs::NormalizeSeparators(path));
}

std::vector<std::string> SplitEventLine(const std::string& line) {
    std::string text = line;
    const size_t eq = text.find('=');
    const size_t semi = text.find(';');
    if (eq == std::string::npos)
        text = ";" + text;
    else if (semi == std::string::npos || eq < semi)
        text = text.substr(0, eq) + ";" + text.substr(eq);
    return SplitWords(text, ";");
}

// --- TEvent ---

TEvent::TEvent(const std::string& line) {
    SemicolonSubstitute = 0;
    DecimalSeparator = Services().keypadDecimalSeparator ? Services().keypadDecimalSeparator() : 0;
    Storage = std::make_unique<TEventsStg>();
    if (auto* window = MainWindow()) window->setFocus(Qt::OtherFocusReason);
    Params = SplitEventLine(line);
    SetupGoals();
    RepeatText = false;
    TextDirective.clear();
}

TEvent::~TEvent() {
    CloseBeforeDestroy();
}

std::string TEvent::Param(size_t i) const {
    return i < Params.size() ? Params[i] : std::string();
}

bool TEvent::LockApplies() const {
    return PolicyBool("Exercise_Lock") ||
           (!CourseId.empty() && PolicyBool(CourseId + ".Exercise_Lock"));
}

void TEvent::Route(QAbstractButton* button) {
    routes_.push_back(QObject::connect(button, &QAbstractButton::clicked,
                                       [this, button] { ButtonClick(button); }));
}

void TEvent::ResolveTextDirective() {
    std::string directive = TextDirective;
    if (directive.empty() && Params.size() >= 4) directive = Params[3];
    if (EqualsNoCase(directive, "NIL")) return;  // filled by the event's creator
    Text.clear();

    if (StartsWithNoCase(directive, "FILE:")) {
        const std::string name = TrimBlanks(directive.substr(5));
        TStreamFile file;
        std::string text;
        if (file.Open(CourseFilePath(name), 1) != kFileOk || file.ReadRest(text) < 0) {
            text = "File not found";
            ReportError(-501, "File " + name + " missing or read error");
        }
        if (SemicolonSubstitute)
            for (char& c : text)
                if (c == ';') c = SemicolonSubstitute;
        if (DecimalSeparator == ',')
            for (char& c : text)
                if (c == '.') c = ',';
        Text = RepeatText ? RepeatedText(text) : text;
        return;
    }
    if (StartsWithNoCase(directive, "KEYBUILDER:")) {
        const std::string keys = DirectiveKeys(TrimBlanks(directive.substr(11)));
        std::vector<std::string> lines;
        if (!keys.empty() && Services().buildKeyDrill) lines = Services().buildKeyDrill(keys);
        if (!lines.empty())
            Text = JoinLines(lines);
        else
            ReportError(-501, "Keybuilder: " + keys + " no key sequence available");
        return;
    }
    if (StartsWithNoCase(directive, "TOUCHING:")) {
        Text = TouchingText(DirectiveKeys(TrimBlanks(directive.substr(9))));
        return;
    }
    if (StartsWithNoCase(directive, "WORDBUILDER:")) {
        const std::string keys = DirectiveKeys(TrimBlanks(directive.substr(12)));
        std::vector<std::string> words;
        if (Services().buildWordList) words = Services().buildWordList(keys);
        if (words.empty())
            ReportError(-501, "Wordbuilder: " + keys + " no words available");
        else
            Text = JoinLines(words);
        return;
    }
    Text = directive;
}

void TEvent::Setup() {
    TCustomBookView::Setup();
    auto* window = MainWindow();
    // Reduced graphics: the main window's low-colour mode.
    if (window && window->LowColour())
        for (QWidget* w :
             {Storage->BottomShadingPic, Storage->TopShadingPic, Storage->TopshadingMsg,
              Storage->ShadingLeftPic, Storage->ShadingRightPic})
            w->hide();
    ShowMenu = false;
    SetButtonSet(0);
    if (window) window->SetMenuVisible(false);
    ResolveTextDirective();
    if (ResultItem) ResultItem->StartTime = NowDateTime();
    EventState = kEventReady;
    OnCloseQuery = [this](TFormView&, bool& refuse) { CloseQuery(refuse); };
    StartTick = TickCount();
    Route(Storage->MessageNextBtn);
    Route(Storage->MessageCancelBtn);
    Route(Storage->NextEventBtn);
    Route(Storage->CancelEventBtn);
    Storage->TopShadingPic->hide();
    Storage->DividerLine->hide();
    Storage->NextEventBtn->setText(ToQt(Str(603)));
    Storage->CancelEventBtn->setText(ToQt(Str(602)));
    Storage->CancelEventBtn->setVisible(ShowCancel());
    if (window) {
        window->SetTitle("");
        window->HookFormKeyPress(this);
    }
}

void TEvent::Resume() {
    TCustomBookView::Resume();
    if (auto* window = MainWindow()) {
        window->SetMenuVisible(false);
        window->HookFormKeyPress(this);
    }
}

void TEvent::Teardown() {
    TCustomBookView::Teardown();
    if (ResultItem)
        ResultItem->ElapsedSeconds =
            // Halves to the even neighbour, as every rounding of the figures.
            std::max(0, static_cast<int32_t>(std::nearbyint((TickCount() - StartTick) / 1000.0)));
    if (auto* window = MainWindow())
        if (window->FormKeyTarget() == this) window->HookFormKeyPress(nullptr);
    for (const auto& c : routes_) QObject::disconnect(c);
    routes_.clear();
}

void TEvent::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    int result = 0;
    for (const char* next : {"NextBtn", "OKBtn", "MessageNextBtn", "NextEventBtn"})
        if (name == QLatin1String(next)) result = 1;
    for (const char* cancel : {"CancelBtn", "MessageCancelBtn", "CancelEventBtn"})
        if (name == QLatin1String(cancel)) result = 2;
    if (result == 0) return;
    if (result == 1 && GoalsActive && Storage->ViewGoalMsg->isVisible()) {
        Storage->ViewGoalMsg->hide();  // the event goes on
        return;
    }
    const bool finished = EventState == kEventFinished;
    if (result == 2)
        result = finished ? 4 : 2;
    else
        result = LockApplies() && !finished ? 2 : 3;
    SetModalResult(result);
}

void TEvent::CloseQuery(bool& refuse) {
    const int result = ModalResult();
    if ((result != 2 && result != 4) || !LockApplies()) return;
    const int answer =
        ui::Message(Str(129), Str(1), ui::Icon::kQuestion, ui::Buttons::kYesNo, {129, 1});
    if (answer != ui::kAnswerYes) refuse = true;
}

int TEvent::Execute() {
    return ShowModal();
}

void TEvent::LayoutMessage(QSize picture, bool pictureLeft) {
    const QRect area = TEventsStg::MessageArea();
    QLabel* text = Storage->MessageText;
    const int gap = 30;
    const bool hasPicture = picture.isValid() && !picture.isEmpty();
    const int room = hasPicture ? area.width() - picture.width() - gap : area.width();
    // As wide as its longest line needs, never wider than 360.
    const QFontMetrics fm(text->font());
    int natural = 0;
    for (const QString& line : text->text().split(QLatin1Char('\n')))
        natural = std::max(natural, fm.horizontalAdvance(line) + 8);
    const int width = std::max(40, std::min({360, natural, std::max(room, 40)}));
    const int height = std::min(area.height(), text->heightForWidth(width));
    int textLeft = area.left() + (area.width() - width) / 2;
    if (hasPicture) {
        const int picTop = area.top() + std::max(0, (area.height() - picture.height()) / 2);
        if (pictureLeft) {
            Storage->MessagePic->setGeometry(area.left(), picTop, picture.width(),
                                             picture.height());
            const int left = area.left() + picture.width() + gap;
            textLeft = left + std::max(0, (area.right() - left - width) / 2);
        } else {
            const int picLeft = area.right() + 1 - picture.width();
            Storage->MessagePic->setGeometry(picLeft, picTop, picture.width(), picture.height());
            textLeft = area.left() + std::max(0, (picLeft - gap - area.left() - width) / 2);
        }
    }
    const int textTop = area.top() + std::max(0, (area.height() - height) / 2);
    text->setGeometry(textLeft, textTop, width, height);
}

// --- TTimedEvent ---

TTimedEvent::TTimedEvent(const std::string& line) : TEvent(line) {
    TimerVisible = !PolicyBool("HideTimer");
}

TTimedEvent::~TTimedEvent() {
    CloseBeforeDestroy();
    if (TickTimer) TickTimer->stop();
}

int TTimedEvent::ProgressPercent() {
    return 0;
}

void TTimedEvent::EnsureTickTimer() {
    if (TickTimer) return;
    TickTimer = std::make_unique<QTimer>();
    TickTimer->setInterval(100);
    QObject::connect(TickTimer.get(), &QTimer::timeout, [this] { Tick(); });
}

int TTimedEvent::Execute() {
    Analysis().Timer().Reset();
    LastRemaining = -1;
    EventState = kEventReady;
    EnsureTickTimer();
    TickTimer->stop();
    return ShowModal();
}

void TTimedEvent::Setup() {
    // A negative limit is no limit, not one that is over before the event starts.
    if (TimeLimit < 0) TimeLimit = 0;
    const CourseFacts* course = LoadedCourse();
    ExtensionSeconds = course ? course->dynamicDurationMargin * 60 : 0;
    BaseTimeLimit = TimeLimit;
    if (DynamicDuration)
        TimeLimit += ExtensionSeconds;
    else
        ExtensionSeconds = 0;
    DurationText = std::to_string(TimeLimit / 60);
    if (DynamicDuration)
        DurationText = std::to_string(BaseTimeLimit / 60) + " - " + std::to_string(TimeLimit / 60);
    Storage->TimeGraph->setVisible(!DynamicDuration);
    EnsureTickTimer();
    Route(Storage->PauseBtn);
    SetupGoalControls();

    TEvent::Setup();
    EnterAccepts = false;
    ShowLogo = false;
    if (auto* window = MainWindow()) {
        window->SetLogoVisible(false);
        window->BorrowControl(Storage->EventMsg);
    }
    Storage->EventMsg->hide();
    ShowProgress(0);

    AutoPauseSeconds = 0;
    LastKeyTick = 0;
    FinishTick = 0;

    Storage->GoalPanel->setVisible(GoalsActive && DynamicDuration);
    Storage->GoalPanel->raise();
    Storage->TimePanel->setVisible(TimerVisible);
    if (auto* window = MainWindow()) {
        window->BorrowControl(Storage->EventConsole);
        window->BorrowControl(Storage->DrillTipPanel);
    }
    Tick();
}

void TTimedEvent::Activate() {
    TEvent::Activate();
    if (GoalsActive) ShowGoalDialog();
}

void TTimedEvent::FormKeyPress(QObject* sender, char& key) {
    if (GoalKeys(key)) return;
    TEvent::FormKeyPress(sender, key);
}

void TTimedEvent::Tick() {
    if (AutoPauseSeconds > 0 && EventState == kEventRunning && LastKeyTick > 0 &&
        (TickCount() - LastKeyTick) / 1000.0 >= AutoPauseSeconds) {
        Storage->TimeLbl->setText(ToQt(Str(130) + Str(1693)));
        Pause();
    }
    const int typed = Analysis().Timer().Seconds();
    if (TimeLimit > 0) {
        Storage->TimeGraph->setValue(std::min(typed, Storage->TimeGraph->maximum()));
        const int remaining = TimeLimit - typed;
        if (remaining != LastRemaining) {
            LastRemaining = remaining;
            Storage->TimeLabel->setText(RemainingText(remaining));
            if (typed >= TimeLimit && EventState != kEventFinished) Finish();
        }
    } else {
        Storage->TimeLbl->setText(ToQt(Str(247)));
    }
}

void TTimedEvent::ShowProgress(int percent) {
    ProgressShown = percent;
    if (TimeLimit > 0) return;
    Storage->TimeLabel->setText(QString::number(percent) + QStringLiteral(" %"));
    Storage->TimeGraph->setRange(0, 100);
    Storage->TimeGraph->setValue(std::clamp(percent, 0, 100));
}

void TTimedEvent::Start() {
    for (QWidget* w :
         {static_cast<QWidget*>(Storage->TipPic1), static_cast<QWidget*>(Storage->TipText1),
          static_cast<QWidget*>(Storage->TipPic2), static_cast<QWidget*>(Storage->TipText2)})
        w->hide();
    const bool exam = ResultKind == "TEST" || ResultKind == "FINALTEST" || ResultKind == "EXAM" ||
                      ResultKind == "EXAM2";
    Storage->PauseBtn->setVisible(TimeLimit > 0 && !exam);
    Storage->TimeLbl->setText(ToQt(Str(130)));
    Analysis().Timer().Start();
    EnsureTickTimer();
    TickTimer->start();
    Storage->EventMsg->hide();
    if (TimeLimit > 0) Storage->TimeGraph->setRange(0, TimeLimit);
    EventState = kEventRunning;
}

void TTimedEvent::Pause() {
    Storage->PauseBtn->hide();
    Analyzer_Pause();  // both timers, and the rhythm starts over
    if (TickTimer) TickTimer->stop();
    EventState = kEventPaused;
}

void TTimedEvent::Finish() {
    Storage->PauseBtn->hide();
    if (!GoalsActive || Storage->GoalStatusMsg->isVisible()) {
        Storage->EventMsg->show();
        Storage->EventMsg->raise();
    } else {
        ShowGoalStatus();
    }
    PlaySound(kSoundTheEnd);
    if (TickTimer) TickTimer->stop();
    Analysis().Timer().Pause();
    EnterAccepts = true;
    FinishTick = TickCount();
    if (ResultItem) ResultItem->Completed = true;
    EventState = kEventFinished;
}

void TTimedEvent::Teardown() {
    Storage->EventMsg->hide();
    Storage->ViewGoalMsg->hide();
    Storage->GoalStatusMsg->hide();
    for (const auto& c : goalRoutes_) QObject::disconnect(c);
    goalRoutes_.clear();
    TEvent::Teardown();
    if (TickTimer) TickTimer->stop();
    if (ResultItem) {
        ResultItem->Kind = "TIME";
        ResultItem->TypingSeconds = Analysis().Timer().Seconds();
        ResultItem->TimeLimit = TimeLimit;
    }
}

void TTimedEvent::ButtonClick(QObject* sender) {
    TEvent::ButtonClick(sender);
    if (sender && sender->objectName() == QLatin1String("PauseBtn")) {
        Storage->TimeLbl->setText(ToQt(Str(130) + Str(1693)));
        Pause();
    }
}

void TTimedEvent::CloseQuery(bool& refuse) {
    const bool wasRunning = EventState == kEventRunning;
    if (wasRunning) Pause();
    TEvent::CloseQuery(refuse);
    // Only an event this question paused runs on; one the user paused stays paused.
    if (refuse && wasRunning && EventState == kEventPaused) Start();
}

}  // namespace corv
