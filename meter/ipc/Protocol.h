#pragma once
// The names both programs use to find and talk to each other (see Ipc.h for the means).

namespace corv::meterprotocol {

// Windows and mutexes.
constexpr const char* kMeterWindow = "Wendro 10";  // the meter's application window title
constexpr const char* kMeterMutex = "CorvHollinMutex";
constexpr const char* kTutorMutex = "Corv2004Mutex";
constexpr const char* kTutorClass = "TBookFormEx";

// Registered messages.
constexpr const char* kNewMonApp = "CorvVantor1999.WM_NEWMONAPP";
constexpr const char* kDisable = "CorvVantor1999.DISABLE";
constexpr const char* kEnable = "CorvVantor1999.ENABLE";
constexpr const char* kSendKeyInfo = "CorvVantor1999.WM_SENDKEYINFO";
constexpr const char* kMouseClicked = "CorvVantor1999.WM_MOUSECLICKED";
constexpr const char* kSendWordHdr = "CorvVantor1999.WM_SENDWORDHDR";
constexpr const char* kSendWordData = "CorvVantor1999.WM_SENDWORDDATA";
constexpr const char* kBringFront = "Corv2001.BRINGFRONT";
// The meter's answer to DISABLE, once its user's files are saved and released. It goes to
// the sender's reply window (ipc::ReplyWindowTitle), so the tutor opens the user's files
// as soon as they are free instead of after a fixed pause.
constexpr const char* kDisabled = "CorvVantor1999.DISABLED";

// Workstation key of the hand-over: "HollinLogon." + the log-in name the user is for.
constexpr const char* kHandOverKey = "HollinLogon.";

}  // namespace corv::meterprotocol
