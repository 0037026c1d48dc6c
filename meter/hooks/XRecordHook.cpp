#include "meter/hooks/XRecordHook.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

#include <cstdio>

namespace corv::meter {

struct TXRecordHook::Connections {
    Display* control = nullptr;
    Display* data = nullptr;
    XRecordContext context = 0;
};

namespace {

// Xlib ends the process when a connection breaks; the meter wants to save first.
int QuietIoError(Display*) {
    return 0;
}

void MarkLost(Display*, void* flag) {
    static_cast<std::atomic<bool>*>(flag)->store(true);
}

}  // namespace

TXRecordHook::TXRecordHook(std::string display) : display_(std::move(display)) {}

TXRecordHook::~TXRecordHook() {
    Stop();
}

bool TXRecordHook::Start(TInputQueue& queue) {
    if (Running()) return true;
    XInitThreads();
    XSetIOErrorHandler(QuietIoError);
    auto x = std::make_unique<Connections>();
    const char* name = display_.empty() ? nullptr : display_.c_str();
    x->control = XOpenDisplay(name);
    x->data = XOpenDisplay(name);
    int major = 0, minor = 0;
    if (!x->control || !x->data || !XRecordQueryVersion(x->control, &major, &minor)) {
        if (x->control) XCloseDisplay(x->control);
        if (x->data) XCloseDisplay(x->data);
        return false;
    }
    lost_ = false;
    XSetIOErrorExitHandler(x->control, MarkLost, &lost_);
    XSetIOErrorExitHandler(x->data, MarkLost, &lost_);
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonPress;
    XRecordClientSpec clients = XRecordAllClients;
    x->context = XRecordCreateContext(x->control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!x->context) {
        XCloseDisplay(x->control);
        XCloseDisplay(x->data);
        return false;
    }
    XSync(x->control, False);
    queue_ = &queue;
    x_ = std::move(x);
    thread_ = std::thread([this] { Body(); });
    return true;
}

void TXRecordHook::Body() {
    auto deliver = [](XPointer self, XRecordInterceptData* d) {
        auto* hook = reinterpret_cast<TXRecordHook*>(self);
        if (d->category == XRecordFromServer && d->data_len * 4 >= sizeof(xEvent)) {
            const auto* e = reinterpret_cast<const xEvent*>(d->data);
            const int type = e->u.u.type & 0x7F;
            TInputEvent ev;
            ev.code = e->u.u.detail;
            ev.time = static_cast<uint32_t>(e->u.keyButtonPointer.time);
            bool take = true;
            if (type == KeyPress)
                ev.kind = TInputEvent::Kind::kKeyDown;
            else if (type == KeyRelease)
                ev.kind = TInputEvent::Kind::kKeyUp;
            else if (type == ButtonPress)
                ev.kind = TInputEvent::Kind::kButtonDown;
            else
                take = false;
            if (take) hook->queue_->Push(ev);
        }
        XRecordFreeData(d);
    };
    if (!XRecordEnableContext(x_->data, x_->context, deliver, reinterpret_cast<XPointer>(this)))
        lost_ = true;
    // Wakes the main thread, which then finds the hook lost (or stopped).
    if (lost_) queue_->Push(nullptr, 0);
}

void TXRecordHook::Stop() {
    if (!Running()) return;
    if (!lost_) {
        XRecordDisableContext(x_->control, x_->context);
        XFlush(x_->control);
    }
    thread_.join();
    if (!lost_) XRecordFreeContext(x_->control, x_->context);
    XCloseDisplay(x_->data);
    XCloseDisplay(x_->control);
    x_.reset();
    queue_ = nullptr;
}

}  // namespace corv::meter
