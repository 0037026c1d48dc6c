#pragma once
// The event classes behind the script types, and the window services the course model
// uses while it runs (frozen transitions, Num Lock, the loaded course the events read).

namespace corv {

// Registers every event class this build has, and installs the hooks the course model
// and the events need from the program (lessons folder, home row, transitions).
void RegisterEventClasses();

}  // namespace corv
