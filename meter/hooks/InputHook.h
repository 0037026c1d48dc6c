#pragma once
// The meter's view of the keyboard and mouse: a hook that sees every key press and
// release and every button press of the session, whatever window has the focus, and hands
// them to the meter's main thread through a queue. The hook does nothing else: decoding
// and measuring happen on the main thread (KeyDecoder.h, meter/TrayMain.h).
//
// Backends: XRecordHook.h (X11, a thread of its own on its own connection) and the
// scripted stub of the tests (ScriptedInput.h).

#include <cstdint>
#include <mutex>
#include <vector>

namespace corv::meter {

struct TInputEvent {
    enum class Kind : uint8_t { kKeyDown, kKeyUp, kButtonDown };
    Kind kind = Kind::kKeyDown;
    uint8_t code = 0;   // X key code (8..255), or the button (1 left, 2 middle, 3 right...)
    uint32_t time = 0;  // the server's time of the event, milliseconds
};

// Many writers, one reader (the main thread). The reader waits on Fd() (readable while
// events wait) in its event loop.
class TInputQueue {
  public:
    TInputQueue();
    ~TInputQueue();
    TInputQueue(const TInputQueue&) = delete;
    TInputQueue& operator=(const TInputQueue&) = delete;

    void Push(const TInputEvent& event);
    void Push(const TInputEvent* events, size_t count);
    // Moves every waiting event into `out` (cleared first), in the order pushed.
    void TakeAll(std::vector<TInputEvent>& out);
    int Fd() const { return fd_; }
    // Events pushed since the start (for the benchmark and the tests).
    uint64_t Pushed() const;

  private:
    mutable std::mutex mutex_;
    std::vector<TInputEvent> events_;
    uint64_t pushed_ = 0;
    bool signalled_ = false;
    int fd_ = -1;
};

class IInputHook {
  public:
    virtual ~IInputHook() = default;
    // Starts watching; events go to `queue` until Stop. False when the hook cannot watch
    // (then nothing is delivered).
    virtual bool Start(TInputQueue& queue) = 0;
    // Stops watching and, for a threaded backend, joins the thread.
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    // True once a started hook has lost its connection to the display.
    virtual bool Lost() const { return false; }
};

}  // namespace corv::meter
