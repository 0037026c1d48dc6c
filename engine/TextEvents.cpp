#include "engine/TextEvents.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "core/DateTime.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "engine/analysis/AnalysisClock.h"
#include "engine/analysis/Analyzer.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

// Where the typing screen's parts stand on the book.
constexpr int kViewLeft = 150;
constexpr int kViewTop = 36;
constexpr int kViewWidth = 500;
constexpr int kViewHeight = 230;
constexpr int kBoxGap = 20;
constexpr int kFramePad = 6;  // the page around a canvas

const QColor kPageColour(239, 255, 215);
const QColor kTypedColour(185, 224, 128);
const QColor kMarkColour(52, 0, 202);
const QColor kEchoColour(84, 110, 48);
const QColor kUnderlineColour(233, 79, 105);

bool PolicyBool(const std::string& key) {
    TDynamicSettings* policy = CorvSettings::Policy();
    return policy && policy->GetBool(key);
}

int PolicyInteger(const std::string& key) {
    TDynamicSettings* policy = CorvSettings::Policy();
    return policy ? policy->GetInteger(key) : 0;
}

bool LargeFonts() {
    TUser* user = CurrentUser();
    return user && user->LBool("LargeFonts", 1);
}

bool LowColourMode() {
    const TBookFormEx* window = MainWindow();
    return window && window->LowColour();
}

// The text font of the typing screens.
void SetTypingFont(TExerciseCanvas* canvas) {
    canvas->SetTextFont(QStringLiteral("Georgia"), LargeFonts() ? 18 : 14, false);
}

QString FrameStyle(const QColor& background) {
    return QStringLiteral(
               "QFrame { background: %1; border: 1px solid #c9d8b0; border-radius: 6px; }")
        .arg(background.name());
}

char KeypadTranslated(char key) {
    return TypingHooks().keypadTranslate ? TypingHooks().keypadTranslate(key) : key;
}

// Keys the typing events handle: Backspace, Enter and the characters from Space on.
bool IsTypingKey(char key) {
    const auto k = static_cast<unsigned char>(key);
    return k == 8 || k == 13 || k >= 32;
}

// Both ends without blanks and control characters.
std::string Trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return text.substr(b, e - b);
}

// The interval since the previous keystroke in units of 0.864 s.
double IntervalUnits(double nowTick, double lastTick) {
    return std::max(0.0, nowTick - lastTick) / 864.0;
}

}  // namespace

TypingServices& TypingHooks() {
    static TypingServices hooks;
    return hooks;
}

std::string TypedTextsPath(int resultIndex) {
    TUser* user = CurrentUser();
    const TProgramSettings* settings = ProgramSettings();
    if (!user || !settings || settings->databaseFolder.empty()) return {};
    const std::string base = TUser::NormalizeName(user->GetText("Username"));
    if (base.empty()) return {};
    return fs::ResolveCase(
        fs::Join(settings->databaseFolder, base + ".TT" + std::to_string(resultIndex)));
}

// --- Controls ---

TTypingStg::TTypingStg() {
    TextFrame = Make<QFrame>(this, "TextFrame");
    TypingFrame = Make<QFrame>(this, "TypingFrame");
    for (QFrame* f : {TextFrame, TypingFrame}) {
        f->setStyleSheet(FrameStyle(kPageColour));
        f->hide();
    }

    TextView = Make<TViewCanvas>(this, "TextView");
    TextView->hide();
    TypingBox = Make<TTypingCanvas>(this, "TypingBox");
    TypingBox->hide();
    DrillView = Make<TViewCanvas>(this, "DrillView");
    DrillView->hide();

    RhythmTitle = Make<QLabel>(this, "RhythmTitle");
    RhythmTitle->setFont(art::UiFont(9, true));
    RhythmTitle->setStyleSheet(QStringLiteral("color: #5d6f7c; background: transparent;"));
    RhythmTitle->hide();
    RhythmLight = Make<TTrafficLightLcd>(this, "RhythmLight");
    RhythmLight->hide();

    TypeHerePanel = Make<QFrame>(this, "TypeHerePanel");
    TypeHerePanel->setStyleSheet(
        QStringLiteral("QFrame#TypeHerePanel { background: #fffaf0; border: 2px solid #f2b134; "
                       "border-radius: 10px; }"));
    TypeHereLbl = Make<QLabel>(TypeHerePanel, "TypeHereLbl");
    TypeHereLbl->setAlignment(Qt::AlignCenter);
    TypeHereLbl->setFont(art::UiFont(12, true));
    TypeHereLbl->setStyleSheet(QStringLiteral("color: #123c52; background: transparent;"));
    TypeHerePanel->hide();
}

// --- TCustomTypingEvent ---

TCustomTypingEvent::TCustomTypingEvent(const std::string& line)
    : TTimedEvent(line), Controls(std::make_unique<TTypingStg>()) {
    TextView = Controls->TextView;
    // The runner sets the time limit after construction, so looping stays off unless an
    // exam turns it on.
    LoopText = false;
    EnterAtLineEnd = false;
}

TCustomTypingEvent::~TCustomTypingEvent() {
    CloseBeforeDestroy();
}

void TCustomTypingEvent::PlaceOnBook(QWidget* control, const QRect& place) {
    if (auto* window = MainWindow()) window->BorrowControl(control);
    control->setGeometry(place);
}

void TCustomTypingEvent::Setup() {
    TTimedEvent::Setup();
    SetButtonSet(0);
    if (auto* window = MainWindow()) window->SetBottomButtons(0);
    AutoPauseSeconds = 5;
    SetTypingFont(TextView);
    TextView->FontColour = QColor(0, 0, 0);
    const QRect view(kViewLeft, kViewTop, kViewWidth, kViewHeight);
    PlaceOnBook(Controls->TextFrame, view.adjusted(-kFramePad, -kFramePad, kFramePad, kFramePad));
    PlaceOnBook(TextView, view);
    Controls->TextFrame->show();
    TextView->show();
    TextView->SetText(Text, StoryPointer);
    // Typing screens have no drill tips.
    for (QWidget* w :
         {static_cast<QWidget*>(Storage->TipPic1), static_cast<QWidget*>(Storage->TipText1),
          static_cast<QWidget*>(Storage->TipPic2), static_cast<QWidget*>(Storage->TipText2)})
        w->hide();
}

void TCustomTypingEvent::FormKeyPress(QObject* sender, char& key) {
    if (EventState == kEventPaused) Start();
    LastKeyTick = TickCount();
    LastKeyTime = NowDateTime();
    TTimedEvent::FormKeyPress(sender, key);  // the goal keys
    if (key == 0) return;
    key = KeypadTranslated(key);
}

void TCustomTypingEvent::Teardown() {
    TTimedEvent::Teardown();
}

void TCustomTypingEvent::Pause() {
    TTimedEvent::Pause();
}

void TCustomTypingEvent::ShowFinishTexts() {
    Storage->EventMsgText->setText(ToQt(Str(127) + "\n" + Str(128)));
}

void TCustomTypingEvent::Finish() {
    ShowFinishTexts();
    TTimedEvent::Finish();
}

void TCustomTypingEvent::Start() {
    TTimedEvent::Start();
    Tick();  // the time display at once, not 100 ms later
}

// --- TCustomTextEvent ---

TCustomTextEvent::TCustomTextEvent(const std::string& line) : TCustomTypingEvent(line) {
    TypedTexts.reset();
    TextView->SetMode(TViewCanvas::kWordMode);
    TypingBox = Controls->TypingBox;
    RhythmLight = Controls->RhythmLight;
    TextRestarted = false;
}

TCustomTextEvent::~TCustomTextEvent() {
    CloseBeforeDestroy();
}

void TCustomTextEvent::Setup() {
    // Colours before the base set-up lays the text out.
    TextView->Background = kPageColour;
    TextView->TypedColour = kTypedColour;
    TextView->CurrentColour = TextView->MarkerColour = TextView->RestColour = kMarkColour;
    TCustomTypingEvent::Setup();
    Analyzer_Reset();
    Typing.Reset();
    keySeen_ = false;
    TextRestarted = false;

    const bool low = LowColourMode();
    TypingBox->Background = low ? QColor(255, 255, 255) : kPageColour;
    TypingBox->FontColour = kEchoColour;
    TypingBox->DecorationColour = kUnderlineColour;
    TypingBox->SetTextFont(QStringLiteral("Georgia"), TextView->FontPoints(), false);
    const int top = kViewTop + kViewHeight + kBoxGap;
    const QRect box(kViewLeft, top, kViewWidth, low ? 120 : kViewHeight);
    Controls->TypingFrame->setStyleSheet(FrameStyle(TypingBox->Background));
    PlaceOnBook(Controls->TypingFrame, box.adjusted(-kFramePad, -kFramePad, kFramePad, kFramePad));
    PlaceOnBook(TypingBox, box);
    Controls->TypingFrame->show();
    TypingBox->show();
    TypingBox->Reset();
    TypingBox->setEnabled(true);
    TypingBox->setFocus(Qt::OtherFocusReason);
    IsExam = false;

    const int lightLeft = kViewLeft + kViewWidth + kFramePad + 14;
    PlaceOnBook(Controls->RhythmTitle, QRect(lightLeft, kViewTop, 128, 20));
    PlaceOnBook(RhythmLight, QRect(lightLeft, kViewTop + 24, 128, 110));
    Controls->RhythmTitle->setText(ToQt(Str(264)));
    RhythmLight->SetCaptions(Str(266), Str(267), Str(268));
    RhythmLight->SetState(0);
    const bool rhythm = PolicyBool("Rhythm");
    Controls->RhythmTitle->setVisible(rhythm);
    RhythmLight->setVisible(rhythm);
    Storage->EventMsg->hide();
}

void TCustomTextEvent::ShowTypeHere() {
    Storage->DividerLine->setVisible(true);
    const QRect box = TypingBox->geometry();
    // In the gap between the two pages, reaching out beyond them.
    const int gapMiddle = (TextView->geometry().bottom() + box.top()) / 2;
    const QRect divider(40, gapMiddle - 2, TBookFormEx::kBookWidth - 80, 6);
    PlaceOnBook(Storage->DividerLine, divider);
    Storage->DividerLine->show();
    Controls->TypeHereLbl->setText(ToQt(Str(269)));
    const QSize panel(240, 48);
    PlaceOnBook(Controls->TypeHerePanel,
                QRect(QPoint(box.center().x() - panel.width() / 2, box.top() + 40), panel));
    Controls->TypeHereLbl->setGeometry(0, 0, panel.width(), panel.height());
    Controls->TypeHerePanel->show();
    Controls->TypeHerePanel->raise();
}

void TCustomTextEvent::SetupExam() {
    IsExam = true;
    AutoPauseSeconds = 0;
    ShowTypeHere();
    if (TimeLimit == 0) LoopText = false;
    GoalsActive = false;  // an exam is judged by its criteria
    Storage->GoalPanel->hide();
}

void TCustomTextEvent::FormKeyPress(QObject* sender, char& key) {
    // A finished event types nothing, but its goal verdict still takes Enter.
    if (EventState == kEventFinished) GoalKeys(key);
    if (EventState == kEventFinished || !IsTypingKey(key)) return;

    // The interval since the previous keystroke feeds the rhythm.
    const double now = TickCount();
    double interval = 0;
    if (keySeen_) {
        const double i = IntervalUnits(now, lastKeyTick_);
        TDeviationMeter& rhythm = Analysis().DeviationMeter();
        if (TextRestarted) {
            TextRestarted = false;  // the first key of a text started again
        } else if (i > 5) {
            rhythm.Reset();
            interval = i;
        } else {
            rhythm.AddInterval(i);
            RhythmLight->SetState(rhythm.LightState);
            interval = i;
        }
    }
    keySeen_ = true;
    lastKeyTick_ = now;

    TCustomTypingEvent::FormKeyPress(sender, key);
    if (key == 0) return;

    const bool wordEnd =
        Analyzer_CharPressed(key, IntervalArgFromMs(static_cast<int64_t>(interval * 864.0)), 1);
    if (wordEnd) {
        if (key == '\r' && EnterAtLineEnd) {
            if (!TextView->CurrentEndsLine() || TypingBox->TypedWord().empty())
                PlaySound(kSoundError);
            WordTyped('\r');
        } else if (key == ' ' && EnterAtLineEnd) {
            if (TextView->CurrentEndsLine()) PlaySound(kSoundError);
            WordTyped(' ');
        } else {
            WordTyped(key);
        }
    } else if (key == 8) {
        if (TypingBox->TypedWord().empty() || CorvSettings::BackspacePrevented())
            PlaySound(kSoundError);
        else
            TypingBox->Backspace();
    } else {
        TypingBox->Append(key);
    }
    if (EventState == kEventReady) Start();
    key = 0;  // handled here; the typing box shows it
}

void TCustomTextEvent::WordTyped(char key) {
    const std::string typed = TypingBox->TypedWord();
    int share = 0;
    if (!typed.empty())
        share = Typing.WordTyped(*TextView, typed, key, EnterAtLineEnd, TypedTexts.get()).share;
    TypingBox->CloseWord(key == '\r' ? '\r' : ' ', share != 0);
    OnLastWord = TextView->WordAt(1).empty();
    if (TextView->AtEnd()) TextFinished();
    if (EventState != kEventFinished) ShowProgress(ProgressPercent());
}

int TCustomTextEvent::ProgressPercent() {
    return TextView->PercentDone();
}

void TCustomTextEvent::TextFinished() {
    TextRestarted = true;
}

void TCustomTextEvent::Start() {
    TypingBox->setEnabled(true);
    Controls->TypeHerePanel->hide();
    TCustomTypingEvent::Start();
    // Exams never pause, whatever kind the runner recorded.
    if (IsExam) Storage->PauseBtn->hide();
}

void TCustomTextEvent::Pause() {
    TCustomTypingEvent::Pause();
}

void TCustomTextEvent::Finish() {
    TypingBox->setEnabled(false);
    TCustomTypingEvent::Finish();
}

void TCustomTextEvent::Teardown() {
    Controls->RhythmTitle->hide();
    TCustomTypingEvent::Teardown();
    StoryPointer = TextView->LineStart;
    ActiveDifficultKeys().Update();
    if (!ResultItem) return;
    FillTypingResult(*ResultItem, "CT", false);
    if (IsExam) JudgeExamResult(*ResultItem, Criteria, EventState == kEventFinished, CurrentUser());
    WriteLmsResult(ResultKind, *ResultItem, CurrentUser());
}

// --- TTextEvent ---

void TTextEvent::TextFinished() {
    TCustomTextEvent::TextFinished();
    if (LoopText)
        TextView->SetText(Text, 0);
    else
        Finish();
    ShowProgress(100);
}

void TTextEvent::WordTyped(char key) {
    TCustomTextEvent::WordTyped(key);
}

void TTextEvent2::Setup() {
    RepeatText = true;
    EnterAtLineEnd = true;
    TTextEvent::Setup();
    ShowTypeHere();
}

// --- Exams ---

TExamEvent::TExamEvent(const std::string& line, bool internal)
    : TTextEvent(line), Internal(internal) {}

void TExamEvent::Setup() {
    TTextEvent::Setup();
    EnterAtLineEnd = true;
    const int f = CorvSettings::CharsPerWord();
    const bool mustTypeAll = PolicyBool(CourseId + ".chapter_must_type_all");
    TypedTexts = std::make_unique<TTypedTexts>();
    if (Internal) {
        if (TypingHooks().setKeypadMode) TypingHooks().setKeypadMode(false);
        Criteria = InternalExamCriteria(Params, f);
        Criteria.MustTypeAll = Criteria.MustTypeAll || mustTypeAll;
        if (Criteria.LoopText) LoopText = true;
    } else {
        Criteria = ChapterExamCriteria(CorvSettings::Policy(), CourseId, f);
        Criteria.MustTypeAll = mustTypeAll;
    }
    SetupExam();
}

void SaveExamRecord(TCustomTextEvent& event) {
    if (event.ResultItem && event.TypedTexts) {
        const std::string path = TypedTextsPath(event.ResultItem->Index);
        if (!path.empty()) event.TypedTexts->Save(path);
    }
    event.TypedTexts.reset();
    if (event.ResultItem) event.ResultItem->Kind = "TEST";
}

void StoreStoryPointer(int32_t pointer) {
    if (TUser* user = CurrentUser()) user->SetInteger("StoryPointer", pointer);
}

void TExamEvent::Teardown() {
    TTextEvent::Teardown();
    // Where the user stopped: the start of the line being typed.
    StoreStoryPointer(StoryPointer);
    SaveExamRecord(*this);
}

void TExamEvent2::Setup() {
    TTextEvent2::Setup();
    Criteria = ChapterExamCriteria(CorvSettings::Policy(), CourseId, CorvSettings::CharsPerWord());
    TypedTexts = std::make_unique<TTypedTexts>();
    const int minutes = PolicyInteger(CourseId + ".chapter_exam_duration");
    if (minutes > 0) {
        TimeLimit = BaseTimeLimit = minutes * 60;
        DurationText = std::to_string(minutes);
        std::string duration = "[";
        duration += std::to_string(minutes);
        duration += ']';
        Storage->TimeLabel->setText(ToQt(duration));
        Storage->TimeLbl->setText(ToQt(Str(130)));
    }
    SetupExam();
}

void TExamEvent2::Teardown() {
    TTextEvent2::Teardown();
    StoreStoryPointer(StoryPointer);
    SaveExamRecord(*this);
}

// --- TCustomTypingEvent2 ---

TCustomTypingEvent2::TCustomTypingEvent2(const std::string& line)
    : TTimedEvent(line), Controls(std::make_unique<TTypingStg>()) {
    RepeatText = true;
    DrillView = Controls->DrillView;
    SetTypingFont(DrillView);
    DrillView->Background = kPageColour;
    DrillView->FontColour = QColor(0, 0, 0);
    DrillView->TypedColour = kTypedColour;
    DrillView->CurrentColour = DrillView->MarkerColour = DrillView->RestColour = kMarkColour;
    TimeLimited = false;
    StrictSpaceEnter = false;
}

TCustomTypingEvent2::~TCustomTypingEvent2() {
    CloseBeforeDestroy();
}

void TCustomTypingEvent2::Setup() {
    TTimedEvent::Setup();
    SetButtonSet(0);
    if (auto* window = MainWindow()) window->SetBottomButtons(0);
    AcceptedKeys.clear();
    TypedKeys.clear();
    Analyzer_Reset();
    keySeen_ = false;
    AutoPauseSeconds = 5;
    SetTypingFont(DrillView);
    // The page of the text events until a drill chooses its own colours.
    const QRect view(kViewLeft, kViewTop, kViewWidth, 250);
    if (auto* window = MainWindow()) {
        window->BorrowControl(Controls->TextFrame);
        window->BorrowControl(DrillView);
    }
    Controls->TextFrame->setGeometry(view.adjusted(-kFramePad, -kFramePad, kFramePad, kFramePad));
    Controls->TextFrame->show();
    DrillView->setGeometry(view);
    DrillView->show();
    DrillView->SetText(Text, StartOffset);
}

void TCustomTypingEvent2::FormKeyPress(QObject* sender, char& key) {
    TTimedEvent::FormKeyPress(sender, key);  // the goal keys
    if (key == 0) return;
    key = KeypadTranslated(key);
    if (EventState == kEventPaused) Start();
    if (EventState == kEventFinished || !IsTypingKey(key)) return;

    const double now = TickCount();
    double interval = 0;
    if (keySeen_) {
        const double i = IntervalUnits(now, lastKeyTick_);
        TDeviationMeter& rhythm = Analysis().DeviationMeter();
        if (SkipInterval) {
            SkipInterval = false;
        } else if (i > 5) {
            rhythm.Reset();
            interval = i;
        } else {
            rhythm.AddInterval(i);
            interval = i;
        }
    }
    keySeen_ = true;
    lastKeyTick_ = now;
    LastKeyTick = now;
    LastKeyTime = NowDateTime();

    TypedKeys += key;
    const char current = DrillView->ExpectedChar();
    const bool spaceOrEnter = key == ' ' || key == '\r';
    const bool expectsSpaceOrEnter =
        ExpectedChar == ' ' || ExpectedChar == '\r' || current == ' ' || current == '\r';
    lastAccepted_ = ExpectedChar == 0 || ExpectedChar == key ||
                    (!StrictSpaceEnter && spaceOrEnter && expectsSpaceOrEnter);
    if (!lastAccepted_) return;
    AcceptedKeys += key;
    const int32_t arg = IntervalArgFromMs(static_cast<int64_t>(interval * 864.0));
    if (Analyzer_CharPressed(key, arg, 1)) {
        Analyzer_EndWord(Trimmed(AcceptedKeys), Trimmed(TypedKeys));
        AcceptedKeys.clear();
        TypedKeys.clear();
    }
}

void TCustomTypingEvent2::Teardown() {
    ActiveDifficultKeys().Update();
    TTimedEvent::Teardown();
    if (ResultItem) FillTypingResult(*ResultItem, "C2", true);
}

void TCustomTypingEvent2::Pause() {
    TTimedEvent::Pause();
}

void TCustomTypingEvent2::Finish() {
    Storage->EventMsgText->setText(ToQt(Str(127) + "\n" + Str(128)));
    TTimedEvent::Finish();
}

void TCustomTypingEvent2::Start() {
    TTimedEvent::Start();
    Tick();
}

}  // namespace corv
