#pragma once
// The keyboard's toggle keys (Caps Lock, Num Lock, Scroll Lock) on an X11 display.
// Without a display every operation does nothing and reports false.

namespace corv::platform {

enum ToggleKey { kCapsLock = 0, kNumLock = 1, kScrollLock = 2 };

// key 1 = Num Lock, 2 = Scroll Lock, anything else Caps Lock. When the state differs the
// key is pressed and released once (the server's test extension), or else the lock is
// set directly. `display` is an X display name; null means the session's own.
// True when the toggle has the wanted state afterwards.
bool SetToggle(int key, bool on, const char* display = nullptr);
// False also when there is no display.
bool ToggleOn(int key, const char* display = nullptr);
bool CapsLockOn(const char* display = nullptr);

}  // namespace corv::platform
