#pragma once
// Turns the X key codes the hook delivers into what the measurement works with: a
// Windows-style virtual-key code, the modifiers that were down, and the character the key
// typed, through an xkbcommon keyboard state that follows every press and release (Shift,
// Caps Lock, AltGr, the layout group). Main thread only.

#include <cstdint>
#include <memory>

#include "meter/hooks/InputHook.h"

struct xkb_keymap;
struct xkb_state;
struct xkb_context;

namespace corv::meter {

struct TKeyInfo {
    // False for the modifier keys themselves and for Alt combinations without Ctrl (the
    // system's own keys): those are not reported at all.
    bool report = false;
    int vk = 0;  // 8 Backspace, 9 Tab, 13 Enter, 27 Esc, 37-40 arrows, 48-57, 65-90 ...
    bool ctrl = false;
    bool shift = false;
    bool altGr = false;  // AltGr (level 3) combinations count as Ctrl+Alt
    bool dead = false;   // a dead key: the next key makes no character
    // The character the key typed (Windows-1252), 0 when none: Backspace is 8, Enter 13.
    unsigned char ch = 0;
    // The key's unshifted character is a digit: it never reaches word analysis.
    bool digitKey = false;
};

class TKeyDecoder {
  public:
    // A keymap compiled from rules names (the tests, and the fallback): "us", "de" ...
    static std::unique_ptr<TKeyDecoder> FromNames(const char* layout, const char* variant = "");
    // Takes a reference on the keymap; the state starts with nothing pressed.
    explicit TKeyDecoder(xkb_keymap* keymap);
    ~TKeyDecoder();
    TKeyDecoder(const TKeyDecoder&) = delete;
    TKeyDecoder& operator=(const TKeyDecoder&) = delete;

    // Takes over a state read from the server (locked Caps Lock, the group); owned.
    void SetState(xkb_state* state);
    // Press or release; a press gives the key's meaning before the press changes the state.
    TKeyInfo Feed(const TInputEvent& event);

    xkb_keymap* Keymap() const { return keymap_; }
    // The key code and whether Shift is needed to type `ch` (Windows-1252); code 0 when
    // the layout has no such key. For the scripted hook.
    uint8_t KeyFor(unsigned char ch, bool& shift) const;
    uint8_t KeyForName(const char* keysymName) const;

  private:
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    uint32_t ctrl_ = 0, alt_ = 0, shift_ = 0, level3_ = 0;
};

}  // namespace corv::meter
