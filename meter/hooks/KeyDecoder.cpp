#include "meter/hooks/KeyDecoder.h"

#include <xkbcommon/xkbcommon.h>

#include "core/Cp1252.h"

namespace corv::meter {
namespace {

bool IsModifierKey(xkb_keysym_t s) {
    switch (s) {
        case XKB_KEY_Shift_L:
        case XKB_KEY_Shift_R:
        case XKB_KEY_Control_L:
        case XKB_KEY_Control_R:
        case XKB_KEY_Meta_L:
        case XKB_KEY_Meta_R:
        case XKB_KEY_Alt_L:
        case XKB_KEY_Alt_R:
        case XKB_KEY_Hyper_L:
        case XKB_KEY_Hyper_R:
        case XKB_KEY_Mode_switch:
            return true;
        default:
            // ISO_Lock .. ISO_Level5_Lock: AltGr, group and level keys
            return s >= 0xfe01 && s <= 0xfe13;
    }
}

bool IsDeadKey(xkb_keysym_t s) {
    return s >= 0xfe50 && s <= 0xfe93;
}

// The Windows virtual-key code of a key, from its unshifted symbol.
int VirtualKey(xkb_keysym_t base) {
    if (base >= 'a' && base <= 'z') return static_cast<int>(base - 'a' + 'A');
    if (base >= 'A' && base <= 'Z') return static_cast<int>(base);
    if (base >= '0' && base <= '9') return static_cast<int>(base);
    if (base >= XKB_KEY_F1 && base <= XKB_KEY_F24) return 112 + static_cast<int>(base - XKB_KEY_F1);
    if (base >= XKB_KEY_KP_0 && base <= XKB_KEY_KP_9)
        return 96 + static_cast<int>(base - XKB_KEY_KP_0);
    switch (base) {
        case XKB_KEY_BackSpace:
            return 8;
        case XKB_KEY_Tab:
        case XKB_KEY_ISO_Left_Tab:
            return 9;
        case XKB_KEY_Return:
        case XKB_KEY_KP_Enter:
            return 13;
        case XKB_KEY_Pause:
            return 19;
        case XKB_KEY_Caps_Lock:
            return 20;
        case XKB_KEY_Escape:
            return 27;
        case XKB_KEY_space:
            return 32;
        case XKB_KEY_Prior:
        case XKB_KEY_KP_Prior:
            return 33;
        case XKB_KEY_Next:
        case XKB_KEY_KP_Next:
            return 34;
        case XKB_KEY_End:
        case XKB_KEY_KP_End:
            return 35;
        case XKB_KEY_Home:
        case XKB_KEY_KP_Home:
            return 36;
        case XKB_KEY_Left:
        case XKB_KEY_KP_Left:
            return 37;
        case XKB_KEY_Up:
        case XKB_KEY_KP_Up:
            return 38;
        case XKB_KEY_Right:
        case XKB_KEY_KP_Right:
            return 39;
        case XKB_KEY_Down:
        case XKB_KEY_KP_Down:
            return 40;
        case XKB_KEY_Print:
            return 44;
        case XKB_KEY_Insert:
        case XKB_KEY_KP_Insert:
            return 45;
        case XKB_KEY_Delete:
        case XKB_KEY_KP_Delete:
            return 46;
        case XKB_KEY_Super_L:
            return 91;
        case XKB_KEY_Super_R:
            return 92;
        case XKB_KEY_Menu:
            return 93;
        case XKB_KEY_KP_Multiply:
            return 106;
        case XKB_KEY_KP_Add:
            return 107;
        case XKB_KEY_KP_Subtract:
            return 109;
        case XKB_KEY_KP_Decimal:
            return 110;
        case XKB_KEY_KP_Divide:
            return 111;
        case XKB_KEY_Num_Lock:
            return 144;
        case XKB_KEY_Scroll_Lock:
            return 145;
        case XKB_KEY_semicolon:
            return 186;
        case XKB_KEY_equal:
        case XKB_KEY_plus:
            return 187;
        case XKB_KEY_comma:
            return 188;
        case XKB_KEY_minus:
            return 189;
        case XKB_KEY_period:
            return 190;
        case XKB_KEY_slash:
            return 191;
        case XKB_KEY_grave:
            return 192;
        case XKB_KEY_bracketleft:
            return 219;
        case XKB_KEY_backslash:
            return 220;
        case XKB_KEY_bracketright:
            return 221;
        case XKB_KEY_apostrophe:
            return 222;
        default:
            return 223;  // any other character key
    }
}

unsigned char CharOf(xkb_keysym_t sym) {
    const uint32_t u = xkb_keysym_to_utf32(sym);
    if (u == 0 || u == 127) return 0;
    const int c = UnicodeToCp1252(static_cast<char32_t>(u));
    return c < 0 ? 0 : static_cast<unsigned char>(c);
}

xkb_keysym_t BaseSym(xkb_keymap* keymap, xkb_keycode_t key, xkb_layout_index_t layout) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms) >= 1) return syms[0];
    return XKB_KEY_NoSymbol;
}

}  // namespace

std::unique_ptr<TKeyDecoder> TKeyDecoder::FromNames(const char* layout, const char* variant) {
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!ctx) return nullptr;
    xkb_rule_names names = {};
    names.layout = layout;
    names.variant = variant;
    xkb_keymap* keymap = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(ctx);
    if (!keymap) return nullptr;
    auto decoder = std::make_unique<TKeyDecoder>(keymap);
    xkb_keymap_unref(keymap);
    return decoder;
}

TKeyDecoder::TKeyDecoder(xkb_keymap* keymap) : keymap_(xkb_keymap_ref(keymap)) {
    state_ = xkb_state_new(keymap_);
    ctrl_ = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_CTRL);
    alt_ = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_ALT);
    shift_ = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_SHIFT);
    level3_ = xkb_keymap_mod_get_index(keymap_, "Mod5");
}

TKeyDecoder::~TKeyDecoder() {
    if (state_) xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
}

void TKeyDecoder::SetState(xkb_state* state) {
    if (!state) return;
    if (state_) xkb_state_unref(state_);
    state_ = state;
}

TKeyInfo TKeyDecoder::Feed(const TInputEvent& event) {
    TKeyInfo info;
    const xkb_keycode_t key = event.code;
    if (event.kind == TInputEvent::Kind::kKeyUp) {
        xkb_state_update_key(state_, key, XKB_KEY_UP);
        return info;
    }
    if (event.kind != TInputEvent::Kind::kKeyDown) return info;

    auto active = [&](uint32_t mod) {
        return mod != XKB_MOD_INVALID &&
               xkb_state_mod_index_is_active(state_, mod, XKB_STATE_MODS_EFFECTIVE) > 0;
    };
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, key);
    const xkb_layout_index_t layout = xkb_state_key_get_layout(state_, key);
    const xkb_keysym_t base = BaseSym(keymap_, key, layout);
    info.ctrl = active(ctrl_);
    info.shift = active(shift_);
    const bool alt = active(alt_);
    info.altGr = active(level3_) || (layout != XKB_LAYOUT_INVALID &&
                                     xkb_state_key_get_level(state_, key, layout) >= 2);
    xkb_state_update_key(state_, key, XKB_KEY_DOWN);

    if (sym == XKB_KEY_NoSymbol && base == XKB_KEY_NoSymbol) return info;
    if (IsModifierKey(sym) || IsModifierKey(base)) return info;
    if (alt && !info.ctrl) return info;  // the system's own Alt combinations

    info.report = true;
    info.vk = VirtualKey(base != XKB_KEY_NoSymbol ? base : sym);
    info.dead = IsDeadKey(sym);
    info.ch = info.dead ? 0 : CharOf(sym);
    const unsigned char baseChar = CharOf(base);
    info.digitKey = baseChar >= '0' && baseChar <= '9';
    return info;
}

uint8_t TKeyDecoder::KeyFor(unsigned char ch, bool& shift) const {
    for (xkb_level_index_t level = 0; level < 2; ++level) {
        for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap_);
             k <= xkb_keymap_max_keycode(keymap_) && k < 256; ++k) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, k, 0, level, &syms) < 1) continue;
            if (CharOf(syms[0]) == ch && !IsDeadKey(syms[0])) {
                shift = level == 1;
                return static_cast<uint8_t>(k);
            }
        }
    }
    return 0;
}

uint8_t TKeyDecoder::KeyForName(const char* keysymName) const {
    const xkb_keysym_t want = xkb_keysym_from_name(keysymName, XKB_KEYSYM_NO_FLAGS);
    for (xkb_level_index_t level = 0; level < 2; ++level)
        for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap_);
             k <= xkb_keymap_max_keycode(keymap_) && k < 256; ++k) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, k, 0, level, &syms) >= 1 &&
                syms[0] == want)
                return static_cast<uint8_t>(k);
        }
    return 0;
}

}  // namespace corv::meter
