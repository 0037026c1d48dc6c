#include "engine/TextTyping.h"

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/TypedTexts.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Scores.h"

namespace corv {

namespace {

int32_t FieldNumber(const std::vector<std::string>& params, size_t i) {
    if (i >= params.size()) return 0;
    return settings_format::ParseInt32(TrimBlanks(params[i])).value_or(0);
}

}  // namespace

TWordMatch MatchTypedWord(int a, int b, int c, int d) {
    if (b < a - 20 && b <= 40) return TWordMatch::kSkippedOne;
    if (c < a - 50 && c <= 5) return TWordMatch::kSkippedTwo;
    if (d < a - 20 && d <= 40) return TWordMatch::kRepeated;
    return TWordMatch::kDue;
}

TTypedWord TTextTyping::WordTyped(ITextCursor& cursor, std::string typed, char key,
                                  bool enterAtLineEnd, TTypedTexts* record) {
    if (LineBreakPending) {
        if (record) record->AddLineBreak();
        LineBreakPending = false;
    }
    if (cursor.CurrentEndsLine() && record) LineBreakPending = true;

    const std::string w0 = cursor.WordAt(0), w1 = cursor.WordAt(1), w2 = cursor.WordAt(2),
                      previous = cursor.WordAt(-1);
    TErrorFinder& finder = Analysis().ErrorFinder();
    const int a = finder.Share(w0, typed);
    const int b = finder.Share(w1, typed);
    const int c = finder.Share(w2, typed);
    const int d = finder.Share(previous, typed);
    if (a > 0) HadErrors = true;

    TTypedWord result;
    result.match = MatchTypedWord(a, b, c, d);
    TEfficiencyInfo& figures = Analysis().Efficiency();
    switch (result.match) {
        case TWordMatch::kSkippedOne:
            FailedWordRun = 0;
            result.share = Analyzer_EndWord(w1, typed);
            if (record) {
                record->Add(w0, "");
                record->Add(w1, typed);
            }
            cursor.Advance();
            figures.SkippedWord(w0);
            cursor.Advance();
            break;
        case TWordMatch::kSkippedTwo:
            FailedWordRun = 0;
            result.share = Analyzer_EndWord(w2, typed);
            if (record) {
                record->Add(w0, "");
                record->Add(w1, "");
                record->Add(w2, typed);
            }
            cursor.Advance();
            figures.SkippedWord(w0);
            cursor.Advance();
            figures.SkippedWord(w1);
            cursor.Advance();
            break;
        case TWordMatch::kRepeated:
            FailedWordRun = 0;
            result.share = Analyzer_EndWord(previous, typed);
            if (record) record->Add("", typed);
            figures.RepeatedWord(previous);
            break;
        case TWordMatch::kDue:
            if (key == ' ' && enterAtLineEnd && cursor.CurrentEndsLine())
                typed += kMissingEnterMark;
            result.share = Analyzer_EndWord(w0, typed);
            if (record) record->Add(w0, typed);
            FailedWordRun = a <= finder.ErrorLimit ? 0 : FailedWordRun + 1;
            cursor.Advance();
            break;
    }
    return result;
}

TExamCriteria InternalExamCriteria(const std::vector<std::string>& params, int charsPerWord) {
    TExamCriteria c;
    c.MinGrossSpeed = FieldNumber(params, 5) * charsPerWord;
    c.MinAccuracy = FieldNumber(params, 6);
    c.MinRhythm = FieldNumber(params, 7);
    c.MinNetSpeed = FieldNumber(params, 8) * charsPerWord;
    const int32_t all = FieldNumber(params, 9);
    c.MustTypeAll = all == 1;
    c.LoopText = all != 0;
    return c;
}

TExamCriteria ChapterExamCriteria(TDynamicSettings* policy, const std::string& courseId,
                                  int charsPerWord) {
    TExamCriteria c;
    if (!policy) return c;
    const std::string prefix = courseId + ".";
    c.MustTypeAll = policy->GetBool(prefix + "chapter_must_type_all");
    c.MinNetSpeed = policy->GetInteger(prefix + "chapter_min_speed") * charsPerWord;
    c.MinAccuracy = policy->GetInteger(prefix + "chapter_min_accuracy");
    c.MinRhythm = policy->GetInteger(prefix + "chapter_min_rhythm");
    return c;
}

TExamVerdict JudgeExam(const TExamCriteria& criteria, const TExamFigures& figures,
                       const std::function<std::string(int)>& speedText) {
    TExamVerdict v;
    const std::string paragraph = "\r\r";
    auto fail = [&v, &paragraph](const std::string& line) {
        v.passed = false;
        v.tip += line + paragraph;
    };
    if (!figures.finished && criteria.MustTypeAll) fail(Str(265));
    if (figures.accuracy < criteria.MinAccuracy)
        fail(Str(261) + std::to_string(criteria.MinAccuracy) + "%");
    if (figures.netSpeed < criteria.MinNetSpeed)
        fail(Str(262) + speedText(criteria.MinNetSpeed) + " (" + Str(586) + ")");
    if (figures.grossSpeed < criteria.MinGrossSpeed)
        fail(Str(262) + speedText(criteria.MinGrossSpeed) + " (" + Str(587) + ")");
    if (figures.rhythm < criteria.MinRhythm)
        fail(Str(263) + std::to_string(criteria.MinRhythm) + "%");
    if (v.passed) v.tip = Str(375);
    return v;
}

void FillTypingResult(TResultItem& r, const std::string& mode, bool keepSeconds) {
    TAnalysis& a = Analysis();
    const TEfficiencyInfo& e = a.Efficiency();
    r.Kind = "TEXT";
    r.Mode = mode;
    r.Passed = true;
    if (e.WordsTyped < 5 || r.TypingSeconds <= 10) {
        r.Valid = false;
        if (!keepSeconds) r.TypingSeconds = 1;
        return;
    }
    r.Valid = true;
    if (r.CharsPerWord <= 0) r.CharsPerWord = CorvSettings::CharsPerWord();
    const int f = r.CharsPerWord, s = r.TypingSeconds;
    r.GrossSpeed = e.GrossSpeed(s);
    r.NetSpeed = e.NetSpeed(s, f);
    r.Accuracy = e.Accuracy(f);
    r.Efficiency = e.Efficiency(s, f);
    r.Rhythm = a.DeviationMeter().Rhythm();
    r.DifficultKeyScore = DifficultKeyScore();
    r.StudyingTip = StudyingTipText(f);
    r.TotalHits = e.TotalHits;
    r.ErrorHits = e.ErrorWords;
}

void JudgeExamResult(TResultItem& r, const TExamCriteria& criteria, bool finished, TUser* user) {
    if (!r.Valid) {
        // Too little typing to measure proves nothing: never a pass.
        r.Passed = false;
        return;
    }
    const bool chapter = r.Chapter > 0;
    if (user) user->SetInteger("corvlms.exampassed", chapter && r.Completed ? 1 : 0);
    TExamFigures figures;
    figures.finished = finished;
    figures.accuracy = r.Accuracy;
    figures.netSpeed = r.NetSpeed;
    figures.grossSpeed = r.GrossSpeed;
    figures.rhythm = r.Rhythm;
    const int f = r.CharsPerWord > 0 ? r.CharsPerWord : CorvSettings::CharsPerWord();
    auto speedText = [user, f](int cpm) {
        if (user) return std::to_string(user->SpeedInUnit(cpm)) + " " + user->SpeedUnitLabel();
        return std::to_string(f > 0 ? cpm / f : cpm) + " " + Str(208);
    };
    const TExamVerdict verdict = JudgeExam(criteria, figures, speedText);
    r.StudyingTip = verdict.tip;
    if (!verdict.passed) r.Passed = false;
    if (verdict.passed && chapter && user) user->SetInteger("corvlms.exampassed", 2);
}

void WriteLmsResult(const std::string& kind, const TResultItem& r, TUser* user) {
    if (!user || !r.Valid || r.Chapter <= 0 || !IsLmsKind(kind)) return;
    const int f = r.CharsPerWord > 0 ? r.CharsPerWord : CorvSettings::CharsPerWord();
    WriteLmsFigures(*user, r, Analysis().Efficiency().AccuracyDecimal(f));
}

bool IsLmsKind(std::string_view kind) {
    for (std::string_view k : {"FINALTEST", "TEST", "EASYEXAM", "EXAM", "EXAM2"})
        if (kind == k) return true;
    return false;
}

void WriteLmsFigures(TDynamicSettings& user, const TResultItem& result, double accuracy) {
    user.SetText("corvlms.netspeed", "int: " + std::to_string(result.NetSpeed));
    user.SetText("corvlms.grossspeed", "int: " + std::to_string(result.GrossSpeed));
    user.SetText("corvlms.accuracy", "double: " + settings_format::FormatReal(accuracy));
    user.SetText("corvlms.timespent", "int: " + std::to_string(result.TypingSeconds));
    user.SetText("corvlms.errorhits", "int: " + std::to_string(result.ErrorHits));
    user.SetText("corvlms.totalhits", "int: " + std::to_string(result.TotalHits));
}

}  // namespace corv
