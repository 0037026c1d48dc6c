#pragma once
// The decisions of the text events that need no screen: which word of the text a typed
// word belongs to (the due word, one or two words further when the user skipped some, or
// the previous word typed again), what that does to the figures and the typed-text
// record, and an exam's verdict and learning-management values.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

class TDynamicSettings;
class TUser;
class TTypedTexts;
struct TResultItem;

// The words around the place the user has reached in the text.
class ITextCursor {
  public:
    virtual ~ITextCursor() = default;
    // The word k places from the current one (k = -1, 0, 1, 2); empty when there is none.
    virtual std::string WordAt(int k) const = 0;
    // A line break of the text follows the current word.
    virtual bool CurrentEndsLine() const = 0;
    // Moves to the next word.
    virtual void Advance() = 0;
};

enum class TWordMatch {
    kDue,         // the current word
    kSkippedOne,  // the word after it: one word was left out
    kSkippedTwo,  // two words further
    kRepeated,    // the previous word typed again
};

// From the error shares of the typed word against the current word (a), the next two
// (b, c) and the previous one (d); a clearly better match elsewhere wins.
TWordMatch MatchTypedWord(int a, int b, int c, int d);

// The missing Enter at a line end counts as a wrong character.
constexpr char kMissingEnterMark = static_cast<char>(0xAB);

struct TTypedWord {
    TWordMatch match = TWordMatch::kDue;
    // The analysis' error share of the word as it was judged (0 .. 100).
    int share = 0;
};

// One text's running judgement of typed words.
class TTextTyping {
  public:
    bool HadErrors = false;
    // The last recorded word ended a line; the break goes into the record before the next.
    bool LineBreakPending = false;
    // Consecutive words typed with more errors than the error finder accepts.
    int32_t FailedWordRun = 0;

    void Reset() { *this = TTextTyping{}; }

    // A finished, non-empty typed word, ended by key (Space, Enter, Tab, LF): decides its
    // place in the text, feeds the analysis, records it (when record is given) and moves
    // the cursor on.
    TTypedWord WordTyped(ITextCursor& cursor, std::string typed, char key, bool enterAtLineEnd,
                         TTypedTexts* record);
};

// --- Exams ---

struct TExamCriteria {
    int32_t MinGrossSpeed = 0;  // characters per minute
    int32_t MinNetSpeed = 0;    // characters per minute
    int32_t MinAccuracy = 0;    // percent
    int32_t MinRhythm = 0;      // percent
    bool MustTypeAll = false;   // an unfinished text fails
    bool LoopText = false;      // the text starts again when it ends before the time
};

// "EXAMINTERNAL": fields 5 minimum gross speed and 8 minimum net speed (words per minute),
// 6 accuracy, 7 rhythm (percent), 9 "mustTypeAll" (1 all of the text and looping, any
// other non-zero value looping). Fields 8 and 9 may be missing.
TExamCriteria InternalExamCriteria(const std::vector<std::string>& params, int charsPerWord);
// A chapter exam: the course's keys in the policy (speed in words per minute).
TExamCriteria ChapterExamCriteria(TDynamicSettings* policy, const std::string& courseId,
                                  int charsPerWord);

struct TExamFigures {
    bool finished = false;
    int32_t accuracy = 0;
    int32_t netSpeed = 0;
    int32_t grossSpeed = 0;
    int32_t rhythm = 0;
};

struct TExamVerdict {
    bool passed = true;
    // One paragraph per failed criterion, or the congratulation.
    std::string tip;
};

// speedText gives a speed in characters per minute as the user reads speeds ("30 wpm").
TExamVerdict JudgeExam(const TExamCriteria& criteria, const TExamFigures& figures,
                       const std::function<std::string(int)>& speedText);

// --- Results ---

// The figures of the typing just ended into the result: kind "TEXT", the mode, passed.
// Fewer than 5 words or at most 10 typing seconds make it not valid; its typing seconds
// then become 1 unless keepSeconds. A valid result gets speeds, accuracy, efficiency,
// rhythm, difficult-key score, studying tip and hits, with the result's characters per
// word (the setting's when it has none).
void FillTypingResult(TResultItem& result, const std::string& mode, bool keepSeconds);

// An exam's valid result: the verdict replaces the tip and the passed flag, and the
// user's "corvlms.exampassed" says 0, 1 (a finished chapter exam) or 2 (passed). An
// invalid exam result is never passed. user may be null.
void JudgeExamResult(TResultItem& result, const TExamCriteria& criteria, bool finished,
                     TUser* user);

// The kinds whose results the learning-management connector receives.
bool IsLmsKind(std::string_view kind);
// Writes the "corvlms." figures of a result into the user's settings.
void WriteLmsFigures(TDynamicSettings& user, const TResultItem& result, double accuracy);
// For a valid chapter result of those kinds, with the figures of the analysis.
void WriteLmsResult(const std::string& kind, const TResultItem& result, TUser* user);

}  // namespace corv
