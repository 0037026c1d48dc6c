#pragma once
// The word collector of both programs: the word being typed with its slow keys and
// corrections, judged when it ends and stored in the collected words (CollectedWords())
// under the source that saw it. The meter's analysis feeds it keystroke by keystroke.

#include <string>
#include <vector>

#include "data/WordList.h"
#include "engine/analysis/WordCollector.h"

namespace corv {

class TWord : public IWordCollector {
  public:
    // Works on `list` (not owned); the process's table by default.
    explicit TWord(TWordList& list = CollectedWords()) : list_(list) {}

    void AddChar(char c) override;
    void Backspace() override;
    const std::string& Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }
    int ErrorWeight() const override { return errorPoints_; }
    void SetErrorWeight(int weight) override { errorPoints_ = weight; }
    int SlowKeys() const override { return slowKeys_; }
    void AddSlowKey() override { ++slowKeys_; }
    int Mark() const override { return mark_; }
    void SetMark(int mark) override { mark_ = mark; }
    // Letters only (and the apostrophe), 4 characters or more; the slot, or -1.
    int Store(int32_t source) override;
    void Reset() override;
    int WordIndex(int mask) override;

    int Corrections() const { return corrections_; }
    int BackspaceRun() const { return backspaceRun_; }
    std::vector<std::string> List(int mask, int kind) const { return list_.List(mask, 2, kind); }
    TWordList& Words() { return list_; }

    // A word with a character outside the letters never enters the collection.
    static bool Storable(const std::string& text);

    bool keepIgnored = false;

  private:
    TWordList& list_;
    std::string text_;
    int backspaceRun_ = 0;
    int slowKeys_ = 0;
    int corrections_ = 0;
    int errorPoints_ = 0;
    int mark_ = 0;
};

}  // namespace corv
