#include "meter/hooks/X11Desktop.h"

#include <unistd.h>
#include <xcb/xcb.h>
// The generated C header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <cstring>

#include "core/Cp1252.h"

namespace corv::meter {

struct TX11Desktop::X {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_window_t active = 0;  // the window whose names are followed
    uint8_t xkbEvent = 0;
    int32_t device = -1;
    xkb_context* ctx = nullptr;
    bool ewmh = false;
    xcb_atom_t netActive = 0, netName = 0, utf8 = 0, netPid = 0;
};

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    auto* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

// The property as bytes; empty when missing.
std::string Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 1024), nullptr);
    std::string out;
    if (r && r->format == 8)
        out.assign(static_cast<const char*>(xcb_get_property_value(r)),
                   static_cast<size_t>(xcb_get_property_value_length(r)));
    else if (r && r->format == 32 && xcb_get_property_value_length(r) >= 4)
        out.assign(static_cast<const char*>(xcb_get_property_value(r)), 4);
    std::free(r);
    return out;
}

uint32_t Card32(const std::string& bytes) {
    uint32_t v = 0;
    if (bytes.size() >= 4) std::memcpy(&v, bytes.data(), 4);
    return v;
}

std::string ProgramOf(uint32_t pid) {
    if (pid == 0) return {};
    char link[4096];
    const std::string proc = "/proc/" + std::to_string(pid);
    ssize_t n = ::readlink((proc + "/exe").c_str(), link, sizeof link - 1);
    std::string path;
    if (n > 0) {
        path.assign(link, static_cast<size_t>(n));
    } else if (FILE* f = std::fopen((proc + "/comm").c_str(), "r")) {
        char buf[64] = {};
        if (std::fgets(buf, sizeof buf, f)) path = buf;
        std::fclose(f);
        while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
    }
    const size_t slash = path.rfind('/');
    return ToUpper(slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace

TX11Desktop::TX11Desktop() : x_(std::make_unique<X>()) {}

TX11Desktop::~TX11Desktop() {
    decoder_.reset();
    if (x_->ctx) xkb_context_unref(x_->ctx);
    if (x_->c) xcb_disconnect(x_->c);
}

std::unique_ptr<TX11Desktop> TX11Desktop::Connect(const std::string& display) {
    std::unique_ptr<TX11Desktop> d(new TX11Desktop());
    X& x = *d->x_;
    int screen = 0;
    x.c = xcb_connect(display.empty() ? nullptr : display.c_str(), &screen);
    if (!x.c || xcb_connection_has_error(x.c)) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(x.c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) return nullptr;
    x.root = it.data->root;

    uint8_t base = 0;
    if (!xkb_x11_setup_xkb_extension(
            x.c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &base, nullptr))
        return nullptr;
    x.xkbEvent = base;
    x.device = xkb_x11_get_core_keyboard_device_id(x.c);
    x.ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (x.device < 0 || !x.ctx) return nullptr;
    // Told when the layout changes (setxkbmap, a new keyboard).
    const uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    xcb_xkb_select_events(x.c, static_cast<xcb_xkb_device_spec_t>(x.device), events, 0, events,
                          0xFFFF, 0xFFFF, nullptr);
    d->LoadKeymap();
    if (!d->decoder_) return nullptr;

    x.netActive = Atom(x.c, "_NET_ACTIVE_WINDOW");
    x.netName = Atom(x.c, "_NET_WM_NAME");
    x.utf8 = Atom(x.c, "UTF8_STRING");
    x.netPid = Atom(x.c, "_NET_WM_PID");
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x.c, x.root, XCB_CW_EVENT_MASK, &mask);
    d->ReadActiveWindow();
    xcb_flush(x.c);
    return d;
}

void TX11Desktop::LoadKeymap() {
    xkb_keymap* keymap =
        xkb_x11_keymap_new_from_device(x_->ctx, x_->c, x_->device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return;
    decoder_ = std::make_unique<TKeyDecoder>(keymap);
    xkb_keymap_unref(keymap);
    SyncKeyboard();
}

void TX11Desktop::SyncKeyboard() {
    if (decoder_)
        decoder_->SetState(xkb_x11_state_new_from_device(decoder_->Keymap(), x_->c, x_->device));
}

void TX11Desktop::ReadActiveWindow() {
    X& x = *x_;
    const std::string active = Property(x.c, x.root, x.netActive, XCB_ATOM_WINDOW);
    x.ewmh = active.size() >= 4;
    xcb_window_t w = Card32(active);
    if (!x.ewmh) {
        auto* f = xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr);
        w = f ? f->focus : 0;
        std::free(f);
    }
    if (w != x.active) {
        // Follow the new window's title, leave the old one alone.
        const uint32_t none = 0, mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        if (x.active && x.active != x.root)
            xcb_change_window_attributes(x.c, x.active, XCB_CW_EVENT_MASK, &none);
        if (w && w != x.root) xcb_change_window_attributes(x.c, w, XCB_CW_EVENT_MASK, &mask);
        x.active = w;
    }
    TActiveWindow info;
    if (w && w != x.root) {
        // WM_NAME is Latin-1, which the code page holds as it is.
        std::string title = Utf8ToCp1252(Property(x.c, w, x.netName, x.utf8));
        if (title.empty()) title = Property(x.c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        while (!title.empty() && title.back() == ' ') title.pop_back();
        info.title = title;
        info.program = ProgramOf(Card32(Property(x.c, w, x.netPid, XCB_ATOM_CARDINAL)));
    }
    window_ = info;
}

int TX11Desktop::Fd() const {
    return xcb_get_file_descriptor(x_->c);
}

bool TX11Desktop::Connected() const {
    return xcb_connection_has_error(x_->c) == 0;
}

void TX11Desktop::Dispatch() {
    X& x = *x_;
    bool windowNews = false, keymapNews = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(x.c)) {
        const uint8_t type = e->response_type & 0x7F;
        if (type == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            if ((p->window == x.root && p->atom == x.netActive) ||
                (p->window == x.active && (p->atom == x.netName || p->atom == XCB_ATOM_WM_NAME)))
                windowNews = true;
        } else if (type == x.xkbEvent) {
            keymapNews = true;
        }
        std::free(e);
    }
    if (!x.ewmh) windowNews = true;  // the focus tells no one: ask when keys come
    if (keymapNews) LoadKeymap();
    if (windowNews) {
        const TActiveWindow before = window_;
        ReadActiveWindow();
        xcb_flush(x.c);
        if (!(before == window_) && onChanged) onChanged();
    }
    if (keymapNews && onChanged) onChanged();
}

}  // namespace corv::meter
