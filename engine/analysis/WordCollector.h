#pragma once
// What the typing analysis needs of the word collector: the word in progress with its
// error weight, slow keys and mark, storing it under a source code, and the score of the
// difficult words collected so far.

#include <cstdint>
#include <string>

namespace corv {

class IWordCollector {
  public:
    virtual ~IWordCollector() = default;

    virtual void AddChar(char c) = 0;
    virtual void Backspace() = 0;
    virtual const std::string& Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual int ErrorWeight() const = 0;
    virtual void SetErrorWeight(int weight) = 0;
    virtual int SlowKeys() const = 0;
    virtual void AddSlowKey() = 0;
    virtual int Mark() const = 0;
    virtual void SetMark(int mark) = 0;
    // Stores the word in progress under the source code; its slot, or -1 when not kept.
    virtual int Store(int32_t source) = 0;
    // Forgets the word in progress (text, weight, slow keys).
    virtual void Reset() = 0;
    // 0..100 over the collected words whose sources share a bit with the mask.
    virtual int WordIndex(int mask) = 0;
};

// Keeps the word in progress and stores nothing: the collector of a program that has no
// word list (yet).
class TPlainWordCollector : public IWordCollector {
  public:
    void AddChar(char c) override { text_ += c; }
    void Backspace() override {
        if (!text_.empty()) text_.pop_back();
    }
    const std::string& Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }
    int ErrorWeight() const override { return errorWeight_; }
    void SetErrorWeight(int weight) override { errorWeight_ = weight; }
    int SlowKeys() const override { return slowKeys_; }
    void AddSlowKey() override { ++slowKeys_; }
    int Mark() const override { return mark_; }
    void SetMark(int mark) override { mark_ = mark; }
    int Store(int32_t) override { return -1; }
    void Reset() override {
        text_.clear();
        errorWeight_ = 0;
        slowKeys_ = 0;
    }
    int WordIndex(int) override { return 0; }

  private:
    std::string text_;
    int errorWeight_ = 0;
    int slowKeys_ = 0;
    int mark_ = 0;
};

}  // namespace corv
