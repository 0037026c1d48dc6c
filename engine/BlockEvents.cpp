#include "engine/BlockEvents.h"

#include <algorithm>
#include <cmath>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/User.h"
#include "engine/TypedTexts.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

constexpr int kKeyboardTop = 335;  // where the paragraph screens' keyboard stands
constexpr std::string_view kNoteMarker = "\"\xA4|w\"";

bool Blank(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

// 100 less the share of the text from the block's start on.
int ProgressFrom(const std::string& text, size_t start) {
    if (text.empty()) return 100;
    const double rest = static_cast<double>(text.size() - std::min(start, text.size()));
    return 100 - static_cast<int>(std::lround(rest / static_cast<double>(text.size()) * 100));
}

bool LargeFonts() {
    TUser* user = CurrentUser();
    return user && user->LBool("LargeFonts", 1);
}

void Borrow(QWidget* control, const QRect& place) {
    if (auto* window = MainWindow()) window->BorrowControl(control);
    control->setGeometry(place);
}

}  // namespace

TBlockLine BlockLineAt(std::string_view text, size_t from) {
    TBlockLine line;
    size_t end = text.find('\n', from);
    line.next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view row = text.substr(from, end - from);
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (row.substr(0, kNoteMarker.size()) == kNoteMarker) {
        line.kind = TBlockLine::kNote;
        line.text = "\xA9 " + std::string(row.substr(kNoteMarker.size()));
    } else if (!Blank(row)) {
        line.kind = TBlockLine::kText;
        line.text = std::string(row);
    }
    return line;
}

TBlockStg::TBlockStg() {
    CopyrightLbl = art::NewLabel(this, 9, false, art::InkSoft());
    Register(CopyrightLbl, "CopyrightLbl");
    CopyrightLbl->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CopyrightLbl->hide();
}

// --- Line events ---

TTextBlockEvent::TTextBlockEvent(const std::string& line)
    : TCustomTextEvent(line), BlockControls(std::make_unique<TBlockStg>()) {}

TTextBlockEvent::~TTextBlockEvent() {
    CloseBeforeDestroy();
}

void TTextBlockEvent::Setup() {
    TCustomTextEvent::Setup();
    QRect view = TextView->geometry();
    view.setHeight(200);
    TextView->setGeometry(view);
    Controls->TextFrame->setGeometry(view.adjusted(-6, -6, 6, 6));
    Borrow(BlockControls->CopyrightLbl, QRect(20, 250, TBookFormEx::kBookWidth - 40, 24));
    BlockControls->CopyrightLbl->setText(QString());
    BlockControls->CopyrightLbl->show();
    BlockStart = NextPosition = 0;
    NextBlock();
}

void TTextBlockEvent::NextBlock() {
    SourceNote.clear();
    bool wrapped = false;
    while (EventState != kEventFinished) {
        BlockStart = NextPosition;
        if (NextPosition >= Text.size()) {
            ShowProgress(100);
            if (ResultItem) ResultItem->Completed = true;
            // A text without a line to type ends instead of looping for ever.
            if (LoopText && !wrapped) {
                wrapped = true;
                NextPosition = 0;
                continue;
            }
            Finish();
            break;
        }
        const TBlockLine line = BlockLineAt(Text, NextPosition);
        NextPosition = line.next;
        if (line.kind == TBlockLine::kNote) SourceNote = line.text;
        if (line.kind != TBlockLine::kText) continue;
        Block = line.text;
        TextView->SetText(Block, 0);
        wrapped = false;
        break;
    }
    BlockControls->CopyrightLbl->setText(ToQt(SourceNote));
}

void TTextBlockEvent::FormKeyPress(QObject* sender, char& key) {
    TCustomTextEvent::FormKeyPress(sender, key);
    if (key != 0 && EventState == kEventPaused) Start();
}

int TTextBlockEvent::ProgressPercent() {
    return ProgressFrom(Text, BlockStart);
}

void TTextBlockEvent::TextFinished() {
    TCustomTextEvent::TextFinished();
    Pause();
    NextBlock();
}

void TSentenceEvent::Setup() {
    TTextBlockEvent::Setup();
    TextView->SetTextFont(QStringLiteral("Georgia"), LargeFonts() ? 26 : 20, false);
    TextView->SetText(Block, 0);
}

// --- Paragraph events ---

TParagraphEvent2::TParagraphEvent2(const std::string& line)
    : TCustomTextEvent(line), BlockControls(std::make_unique<TBlockStg>()) {}

TParagraphEvent2::~TParagraphEvent2() {
    CloseBeforeDestroy();
}

void TParagraphEvent2::Setup() {
    TCustomTextEvent::Setup();
    Storage->BottomShadingPic->show();
    BlockControls->CopyrightLbl->hide();
    EnterAtLineEnd = true;
    TextView->SetTextFont(QStringLiteral("Georgia"), 17, false);
    // Six lines of the paragraph on one page; the typing box fills the room above the
    // keyboard's place.
    const int viewHeight = std::max(150, TextView->LineTop(kMaxLines + 1) + TextView->BottomMargin);
    const QRect view(TextView->x(), 14, TextView->width(), viewHeight);
    TextView->setGeometry(view);
    Controls->TextFrame->setGeometry(view.adjusted(-6, -6, 6, 4));
    const int boxTop = view.bottom() + 14;
    const QRect box(TypingBox->x(), boxTop, TypingBox->width(),
                    std::min(view.height(), kKeyboardTop - 8 - boxTop));
    TypingBox->SetTextFont(QStringLiteral("Georgia"), 17, false);
    TypingBox->setGeometry(box);
    Controls->TypingFrame->setGeometry(box.adjusted(-6, -4, 6, 6));
    TypingBox->setFocus(Qt::OtherFocusReason);
    Borrow(Storage->DividerLine, QRect(40, box.top() - 5 - 3, TBookFormEx::kBookWidth - 80, 3));
    Storage->DividerLine->show();
    NextPosition = BlockStart = 0;
    NextParagraph();
    Controls->TypeHereLbl->setText(ToQt(Str(269)));
    Borrow(Controls->TypeHerePanel, QRect(box.center().x() - 120, box.top() + 30, 240, 48));
    Controls->TypeHereLbl->setGeometry(0, 0, 240, 48);
    if (EventState != kEventFinished) {
        Controls->TypeHerePanel->show();
        Controls->TypeHerePanel->raise();
    }
}

void TParagraphEvent2::NextParagraph() {
    if (NextPosition > Text.size() || (Text.empty() && !LoopText)) {
        Finish();
        return;
    }
    Paragraph.clear();
    SourceNote.clear();
    int lines = 0;
    bool wrapped = false;
    BlockStart = NextPosition;
    while (lines < kMaxLines) {
        if (NextPosition >= Text.size()) {
            ShowProgress(100);
            if (ResultItem) ResultItem->Completed = true;
            if (!LoopText) {
                NextPosition = Text.size() + 1;  // past the end: the next call finishes
                break;
            }
            NextPosition = 0;
            // A paragraph that is still empty goes on from the start, once.
            if (lines > 0 || wrapped) break;
            wrapped = true;
            BlockStart = 0;
            continue;
        }
        const size_t start = NextPosition;
        const TBlockLine line = BlockLineAt(Text, NextPosition);
        NextPosition = line.next;
        if (line.kind == TBlockLine::kEmpty) {
            // Empty lines before a paragraph never make an empty one.
            if (lines > 0) break;
            BlockStart = NextPosition;
            continue;
        }
        if (line.kind == TBlockLine::kNote) continue;
        if (lines == 0) BlockStart = start;
        Paragraph += line.text + "\r";
        ++lines;
    }
    if (lines == 0) {
        Finish();
        return;
    }
    TextView->SetText(Paragraph, 0);
}

void TParagraphEvent2::FormKeyPress(QObject* sender, char& key) {
    TCustomTextEvent::FormKeyPress(sender, key);
    if (key != 0 && EventState == kEventPaused) Start();
}

int TParagraphEvent2::ProgressPercent() {
    return ProgressFrom(Text, BlockStart);
}

void TParagraphEvent2::TextFinished() {
    TCustomTextEvent::TextFinished();
    TypingBox->Reset();
    Pause();
    NextParagraph();
}

void TParagraphEvent2::Teardown() {
    TCustomTextEvent::Teardown();
    if (ResultItem) ResultItem->Mode = "PG";
}

// --- The paragraph exam ---

void TEasyExamEvent::Setup() {
    TParagraphEvent2::Setup();
    TDynamicSettings* policy = CorvSettings::Policy();
    Criteria = ChapterExamCriteria(policy, CourseId, CorvSettings::CharsPerWord());
    Criteria.MinGrossSpeed = 0;
    const int minutes = policy ? policy->GetInteger(CourseId + ".chapter_exam_duration") : 0;
    if (minutes > 0) {
        TimeLimit = BaseTimeLimit = minutes * 60;
        DurationText = std::to_string(minutes);
        Storage->TimeLabel->setText(ToQt("[" + ClockText(TimeLimit, "") + "]"));
    }
    TypedTexts = std::make_unique<TTypedTexts>();
    IsExam = true;
    AutoPauseSeconds = 0;
    if (TimeLimit == 0) LoopText = false;
    GoalsActive = false;  // an exam is judged by its criteria
    Storage->GoalPanel->hide();
}

void TEasyExamEvent::Teardown() {
    StoreStoryPointer(StoryPointer);
    TParagraphEvent2::Teardown();
    SaveExamRecord(*this);
}

}  // namespace corv
