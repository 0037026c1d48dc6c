#include "meter/hooks/ScriptedInput.h"

namespace corv::meter {

TScriptedDesktop::TScriptedDesktop(const char* layout, const char* variant)
    : decoder_(TKeyDecoder::FromNames(layout, variant)) {}

void TScriptedDesktop::Switch(TActiveWindow to) {
    window = std::move(to);
    if (onChanged) onChanged();
}

void TScriptedDesktop::SetLocked(bool on) {
    locked = on;
    if (onChanged) onChanged();
}

bool TScriptedHook::Start(TInputQueue& queue) {
    queue_ = &queue;
    ++starts;
    return true;
}

void TScriptedHook::Push(TInputEvent::Kind kind, uint8_t code) {
    if (!queue_ || code == 0) return;
    queue_->Push(TInputEvent{kind, code, time});
}

void TScriptedHook::Type(const std::string& text, uint32_t msPerKey) {
    const uint8_t shiftKey = desktop_.Decoder().KeyForName("Shift_L");
    for (char ch : text) {
        bool shift = false;
        const uint8_t key = desktop_.Decoder().KeyFor(static_cast<unsigned char>(ch), shift);
        if (key == 0) continue;
        if (shift) Push(TInputEvent::Kind::kKeyDown, shiftKey);
        Push(TInputEvent::Kind::kKeyDown, key);
        Push(TInputEvent::Kind::kKeyUp, key);
        if (shift) Push(TInputEvent::Kind::kKeyUp, shiftKey);
        time += msPerKey;
    }
}

void TScriptedHook::Press(const char* keysym) {
    Push(TInputEvent::Kind::kKeyDown, desktop_.Decoder().KeyForName(keysym));
}

void TScriptedHook::Release(const char* keysym) {
    Push(TInputEvent::Kind::kKeyUp, desktop_.Decoder().KeyForName(keysym));
}

void TScriptedHook::Key(const char* keysym, std::initializer_list<const char*> held) {
    for (const char* h : held) Press(h);
    Press(keysym);
    Release(keysym);
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) Release(*it);
    time += keyGap;
}

void TScriptedHook::Click(int button) {
    Push(TInputEvent::Kind::kButtonDown, static_cast<uint8_t>(button));
    time += keyGap;
}

}  // namespace corv::meter
