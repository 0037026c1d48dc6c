#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "meter/hooks/InputHook.h"

namespace corv::meter {

TInputQueue::TInputQueue() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    events_.reserve(256);
}

TInputQueue::~TInputQueue() {
    if (fd_ >= 0) ::close(fd_);
}

void TInputQueue::Push(const TInputEvent& event) {
    Push(&event, 1);
}

void TInputQueue::Push(const TInputEvent* events, size_t count) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.insert(events_.end(), events, events + count);
        pushed_ += count;
        // One wake-up per batch the reader has not taken yet.
        wake = !signalled_;
        signalled_ = true;
    }
    if (wake && fd_ >= 0) {
        const uint64_t one = 1;
        (void)!::write(fd_, &one, sizeof one);
    }
}

void TInputQueue::TakeAll(std::vector<TInputEvent>& out) {
    out.clear();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        out.swap(events_);
        signalled_ = false;
        if (fd_ >= 0) {
            uint64_t value = 0;
            (void)!::read(fd_, &value, sizeof value);
        }
    }
}

uint64_t TInputQueue::Pushed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pushed_;
}

}  // namespace corv::meter
