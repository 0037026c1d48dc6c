#include "platform/KeyboardLayouts.h"

#include <xcb/xcb.h>
// The generated C header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace corv::platform {
namespace {

// ---------------------------------------------------------------------------------------
// XKB names to Windows layout identifiers

struct IdEntry {
    const char* layout;
    const char* variant;  // "" = the layout's basic form
    const char* id;
};

const IdEntry kIds[] = {
    {"us", "", "00000409"},       {"us", "intl", "00020409"},     {"us", "alt-intl", "00020409"},
    {"us", "dvorak", "00010409"}, {"us", "dvorak-l", "00030409"}, {"us", "dvorak-r", "00040409"},
    {"gb", "", "00000809"},       {"gb", "extd", "00000452"},     {"ie", "", "00001809"},
    {"de", "", "00000407"},       {"at", "", "00000407"},         {"ch", "", "00000807"},
    {"ch", "fr", "0000100C"},     {"fr", "", "0000040C"},         {"be", "", "0000080C"},
    {"ca", "", "00001009"},       {"ca", "multix", "00011009"},   {"fi", "", "0000040B"},
    {"se", "", "0000041D"},       {"no", "", "00000414"},         {"dk", "", "00000406"},
    {"is", "", "0000040F"},       {"es", "", "0000040A"},         {"latam", "", "0000080A"},
    {"it", "", "00000410"},       {"pt", "", "00000816"},         {"br", "", "00000416"},
    {"nl", "", "00000413"},       {"pl", "", "00000415"},         {"cz", "", "00000405"},
    {"sk", "", "0000041B"},       {"hu", "", "0000040E"},         {"tr", "", "0000041F"},
    {"ru", "", "00000419"},       {"ua", "", "00000422"},         {"gr", "", "00000408"},
    {"ee", "", "00000425"},       {"lv", "", "00000426"},         {"lt", "", "00010427"},
    {"si", "", "00000424"},       {"hr", "", "0000041A"},         {"ro", "", "00010418"},
    {"il", "", "0000040D"},       {"jp", "", "00000411"},         {"kr", "", "00000412"},
};

// When the server gives no rules names, the keymap's layout descriptions are all there is.
struct DescriptionEntry {
    const char* description;
    const char* id;
};
const DescriptionEntry kDescriptions[] = {
    {"English (US)", "00000409"},     {"English (US, intl., with dead keys)", "00020409"},
    {"English (Dvorak)", "00010409"}, {"English (UK)", "00000809"},
    {"German", "00000407"},           {"French", "0000040C"},
    {"Finnish", "0000040B"},          {"Swedish", "0000041D"},
};

std::vector<std::string> SplitCommas(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.emplace_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return parts;
}

// ---------------------------------------------------------------------------------------
// The connection

struct KeymapDeleter {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateDeleter {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapDeleter>;
using StatePtr = std::unique_ptr<xkb_state, StateDeleter>;

class Session {
  public:
    ~Session() { Drop(); }

    void SetDisplay(const char* name) {
        Drop();
        if (name)
            display_ = name;
        else
            display_.reset();
    }

    // An open connection with the keyboard extension, or null.
    xcb_connection_t* Connection() {
        if (conn_ && !xcb_connection_has_error(conn_)) return conn_;
        Drop();
        const char* name = display_ ? display_->c_str() : std::getenv("DISPLAY");
        if (!name || !*name) return nullptr;
        conn_ = xcb_connect(name, &screen_);
        if (xcb_connection_has_error(conn_)) {
            Drop();
            return nullptr;
        }
        if (!xkb_x11_setup_xkb_extension(
                conn_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
            Drop();
            return nullptr;
        }
        device_ = xkb_x11_get_core_keyboard_device_id(conn_);
        if (device_ < 0) {
            Drop();
            return nullptr;
        }
        return conn_;
    }

    int32_t Device() const { return device_; }

    xcb_window_t Root() {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
        for (int i = 0; i < screen_ && it.rem; ++i) xcb_screen_next(&it);
        return it.rem ? it.data->root : 0;
    }

    xkb_context* Context() {
        // The keymap comes from the server: no files and no environment are consulted.
        if (!context_)
            context_ = xkb_context_new(static_cast<xkb_context_flags>(
                XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
        return context_;
    }

  private:
    void Drop() {
        if (conn_) xcb_disconnect(conn_);
        conn_ = nullptr;
        device_ = -1;
        if (context_) xkb_context_unref(context_);
        context_ = nullptr;
    }

    std::optional<std::string> display_;
    xcb_connection_t* conn_ = nullptr;
    int screen_ = 0;
    int32_t device_ = -1;
    xkb_context* context_ = nullptr;
};

Session& TheSession() {
    static Session session;
    return session;
}

// The effective group, or -1.
int CurrentGroup(Session& s) {
    xcb_connection_t* c = s.Connection();
    if (!c) return -1;
    xcb_generic_error_t* error = nullptr;
    xcb_xkb_get_state_reply_t* reply =
        xcb_xkb_get_state_reply(c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), &error);
    std::free(error);
    if (!reply) return -1;
    int group = reply->group;
    std::free(reply);
    return group;
}

// Layouts and variants from the root window's rules names, as setxkbmap leaves them.
bool RulesNames(Session& s, std::vector<std::string>& layouts, std::vector<std::string>& variants) {
    xcb_connection_t* c = s.Connection();
    if (!c) return false;
    static const char kName[] = "_XKB_RULES_NAMES";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
    if (!atom) return false;
    xcb_atom_t a = atom->atom;
    std::free(atom);
    if (a == XCB_ATOM_NONE) return false;
    xcb_get_property_reply_t* prop = xcb_get_property_reply(
        c, xcb_get_property(c, 0, s.Root(), a, XCB_ATOM_STRING, 0, 4096), nullptr);
    if (!prop) return false;
    const char* data = static_cast<const char*>(xcb_get_property_value(prop));
    std::string value(data, static_cast<size_t>(xcb_get_property_value_length(prop)));
    std::free(prop);
    // rules, model, layout, variant, options: each ended by NUL.
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= value.size() && fields.size() < 5) {
        size_t end = value.find('\0', start);
        if (end == std::string::npos) end = value.size();
        fields.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    if (fields.size() < 3 || fields[2].empty()) return false;
    layouts = SplitCommas(fields[2]);
    variants = fields.size() > 3 ? SplitCommas(fields[3]) : std::vector<std::string>{};
    variants.resize(layouts.size());
    return true;
}

KeymapPtr ServerKeymap(Session& s) {
    xcb_connection_t* c = s.Connection();
    if (!c || !s.Context()) return nullptr;
    return KeymapPtr(
        xkb_x11_keymap_new_from_device(s.Context(), c, s.Device(), XKB_KEYMAP_COMPILE_NO_FLAGS));
}

std::string IdOfDescription(const char* description) {
    if (!description) return {};
    for (const DescriptionEntry& e : kDescriptions)
        if (std::strcmp(e.description, description) == 0) return e.id;
    return {};
}

std::vector<std::string> Ids(Session& s) {
    std::vector<std::string> ids, layouts, variants;
    if (RulesNames(s, layouts, variants)) {
        for (size_t i = 0; i < layouts.size(); ++i)
            ids.push_back(WindowsLayoutId(layouts[i], variants[i]));
        return ids;
    }
    if (KeymapPtr keymap = ServerKeymap(s)) {
        for (xkb_layout_index_t i = 0; i < xkb_keymap_num_layouts(keymap.get()); ++i)
            ids.push_back(IdOfDescription(xkb_keymap_layout_get_name(keymap.get(), i)));
    }
    return ids;
}

// The spacing form of a dead key, as the layout model lists accents.
char32_t DeadKeyAccent(xkb_keysym_t sym) {
    switch (sym) {
        case XKB_KEY_dead_grave:
            return 0x60;
        case XKB_KEY_dead_acute:
            return 0xB4;
        case XKB_KEY_dead_circumflex:
            return 0x5E;
        case XKB_KEY_dead_tilde:
            return 0x7E;
        case XKB_KEY_dead_macron:
            return 0xAF;
        case XKB_KEY_dead_breve:
            return 0x2D8;
        case XKB_KEY_dead_abovedot:
            return 0x2D9;
        case XKB_KEY_dead_diaeresis:
            return 0xA8;
        case XKB_KEY_dead_abovering:
            return 0xB0;
        case XKB_KEY_dead_doubleacute:
            return 0x2DD;
        case XKB_KEY_dead_caron:
            return 0x2C7;
        case XKB_KEY_dead_cedilla:
            return 0xB8;
        case XKB_KEY_dead_ogonek:
            return 0x2DB;
        default:
            return 0;
    }
}

char32_t CharacterOf(xkb_keysym_t sym) {
    if (sym == XKB_KEY_NoSymbol) return 0;
    if (char32_t accent = DeadKeyAccent(sym)) return accent;
    return xkb_keysym_to_utf32(sym);
}

// The first key that gives `wanted` unmodified in the layout; 0 when none.
xkb_keycode_t KeyWithSymbol(xkb_keymap* keymap, xkb_layout_index_t layout, xkb_keysym_t wanted) {
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap); kc <= xkb_keymap_max_keycode(keymap);
         ++kc) {
        // A key with fewer groups wraps, as the server does (modifier keys often have one).
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, kc);
        if (groups == 0) continue;
        const xkb_keysym_t* syms = nullptr;
        int n = xkb_keymap_key_get_syms_by_level(keymap, kc, layout % groups, 0, &syms);
        for (int i = 0; i < n; ++i)
            if (syms[i] == wanted) return kc;
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------

void SetLayoutDisplay(const char* name) {
    TheSession().SetDisplay(name);
}

std::string WindowsLayoutId(std::string_view layout, std::string_view variant) {
    const char* basic = nullptr;
    for (const IdEntry& e : kIds) {
        if (layout != e.layout) continue;
        if (variant == e.variant) return e.id;
        if (!*e.variant) basic = e.id;
    }
    return basic ? basic : "";
}

std::vector<std::string> LayoutIds() {
    return Ids(TheSession());
}

std::string CurrentLayoutId() {
    Session& s = TheSession();
    int group = CurrentGroup(s);
    if (group < 0) return {};
    std::vector<std::string> ids = Ids(s);
    return static_cast<size_t>(group) < ids.size() ? ids[static_cast<size_t>(group)]
                                                   : std::string();
}

std::string CurrentLayoutDescription() {
    Session& s = TheSession();
    int group = CurrentGroup(s);
    if (group < 0) return {};
    KeymapPtr keymap = ServerKeymap(s);
    if (!keymap || static_cast<xkb_layout_index_t>(group) >= xkb_keymap_num_layouts(keymap.get()))
        return {};
    const char* name =
        xkb_keymap_layout_get_name(keymap.get(), static_cast<xkb_layout_index_t>(group));
    return name ? name : "";
}

bool ActivateLayout(std::string_view id) {
    if (id.empty()) return false;
    Session& s = TheSession();
    std::vector<std::string> ids = Ids(s);
    for (size_t group = 0; group < ids.size() && group < 4; ++group) {
        if (ids[group].size() != id.size()) continue;
        bool same = true;
        for (size_t i = 0; i < id.size(); ++i)
            same = same && std::toupper(static_cast<unsigned char>(ids[group][i])) ==
                               std::toupper(static_cast<unsigned char>(id[i]));
        if (!same) continue;
        xcb_connection_t* c = s.Connection();
        if (!c) return false;
        xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, static_cast<uint8_t>(group),
                                 0, 0, 0);
        xcb_flush(c);
        // The state request is answered after the lock is applied.
        return CurrentGroup(s) == static_cast<int>(group);
    }
    return false;
}

bool LayoutCharacters(std::array<KeyCharacters, 128>& table) {
    table.fill(KeyCharacters{});
    Session& s = TheSession();
    int group = CurrentGroup(s);
    if (group < 0) return false;
    KeymapPtr keymap = ServerKeymap(s);
    if (!keymap) return false;
    xkb_keymap* km = keymap.get();
    const xkb_layout_index_t layout =
        static_cast<xkb_layout_index_t>(group) < xkb_keymap_num_layouts(km)
            ? static_cast<xkb_layout_index_t>(group)
            : 0;

    // The modifiers are pressed as keys, so the keymap's own actions decide what they do.
    xkb_keycode_t shiftKey = KeyWithSymbol(km, layout, XKB_KEY_Shift_L);
    if (!shiftKey) shiftKey = KeyWithSymbol(km, layout, XKB_KEY_Shift_R);
    const xkb_keycode_t altGrKey = KeyWithSymbol(km, layout, XKB_KEY_ISO_Level3_Shift);

    auto makeState = [&](bool shift, bool altGr) -> StatePtr {
        if ((shift && !shiftKey) || (altGr && !altGrKey)) return nullptr;
        StatePtr state(xkb_state_new(km));
        if (!state) return nullptr;
        xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, layout);
        if (shift) xkb_state_update_key(state.get(), shiftKey, XKB_KEY_DOWN);
        if (altGr) xkb_state_update_key(state.get(), altGrKey, XKB_KEY_DOWN);
        return state;
    };
    StatePtr states[4] = {makeState(false, false), makeState(true, false), makeState(false, true),
                          makeState(true, true)};
    if (!states[0]) return false;
    // The keypad is read as typing with Num Lock on.
    StatePtr keypad(xkb_state_new(km));
    const xkb_mod_index_t numLock = xkb_keymap_mod_get_index(km, XKB_MOD_NAME_NUM);
    if (keypad && numLock != XKB_MOD_INVALID && numLock < 32)
        xkb_state_update_mask(keypad.get(), 0, 0, 1u << numLock, 0, 0, layout);

    const xkb_keycode_t maxKey = xkb_keymap_max_keycode(km);
    for (size_t scan = 1; scan < table.size(); ++scan) {
        // evdev keycodes are the PC scan codes moved up by 8.
        const xkb_keycode_t kc = static_cast<xkb_keycode_t>(scan + 8);
        if (kc > maxKey) break;
        char32_t* out[4] = {&table[scan].plain, &table[scan].shift, &table[scan].altGr,
                            &table[scan].shiftAltGr};
        for (int i = 0; i < 4; ++i) {
            if (!states[i]) continue;
            *out[i] = CharacterOf(xkb_state_key_get_one_sym(states[i].get(), kc));
        }
        if (scan >= 71 && scan <= 83 && keypad)
            table[scan].plain = CharacterOf(xkb_state_key_get_one_sym(keypad.get(), kc));
        // AltGr on a key without a third level falls back to the first two levels there;
        // Windows gives nothing for such a key, and neither does the model.
        for (int i = 2; i < 4; ++i) {
            if (!states[i]) continue;
            const xkb_layout_index_t keyLayout = xkb_state_key_get_layout(states[i].get(), kc);
            if (keyLayout == XKB_LAYOUT_INVALID ||
                xkb_state_key_get_level(states[i].get(), kc, keyLayout) < 2)
                *out[i] = 0;
        }
    }
    return true;
}

}  // namespace corv::platform
