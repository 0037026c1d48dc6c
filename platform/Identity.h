#pragma once
// Who and where: the machine's name, the log-on name, a remote session's client name.

#include <string>

namespace corv::platform {

// The host name; empty when the system cannot tell it.
std::string ComputerName();
// The operating-system log-on name of the process's user.
std::string LogonName();
// The value of CLIENTNAME in a remote session; empty when not set.
std::string RemoteClientName();

}  // namespace corv::platform
