#pragma once
// Start-up steps of the tutor that need the screen and the user's folders: the splash, the
// display checks and taking over the users of the earlier version, and what they share
// with the rest of the start-up.

#include <functional>
#include <string>

#include "shell/AppFrame.h"

namespace corv {

// Lets the window's own events run while the program waits, until `done` says so.
void WaitProcessingEvents(int ms, const std::function<bool()>& done = {});

// The screen as start-up sees it (a test's own when it gave one).
TAppFrame::ScreenFacts CurrentScreenFacts(QWidget& window);

// "splashcorv.bmp" of the root folder, when there is one, for 2.5 seconds.
void ShowSplash(TBookFormEx& window);
// Few colours: told once per workstation (unless the policy chose it), then the simpler
// look. A screen 640 pixels wide or less: the question, and on Yes the advice.
void CheckDisplay(TBookFormEx& window);
// "Corvella7" under My Documents with a file of this workstation: on Yes its files join
// the database folder; files already there are kept.
void ImportEarlierUsers(const std::string& workstation);

}  // namespace corv
