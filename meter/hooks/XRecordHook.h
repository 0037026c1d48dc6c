#pragma once
// The X11 hook: the RECORD extension (libXtst) on two connections of its own, in a thread
// of its own, sees every key press and release and every button press of the display as
// the server processes them, and queues them for the main thread. It never grabs or
// delays an event. A display that goes away ends the thread and marks the hook lost.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "meter/hooks/InputHook.h"

namespace corv::meter {

class TXRecordHook : public IInputHook {
  public:
    // An empty name is $DISPLAY.
    explicit TXRecordHook(std::string display = "");
    ~TXRecordHook() override;

    bool Start(TInputQueue& queue) override;
    void Stop() override;
    bool Running() const override { return thread_.joinable(); }
    bool Lost() const override { return lost_; }

  private:
    struct Connections;
    void Body();

    std::string display_;
    std::unique_ptr<Connections> x_;
    std::thread thread_;
    TInputQueue* queue_ = nullptr;
    std::atomic<bool> lost_{false};
};

}  // namespace corv::meter
