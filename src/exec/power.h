#pragma once
// Type "05": ending Windows. The flags are ExitWindowsEx's.
#include "platform/services.h"

namespace tarvex::exec {

constexpr unsigned EWX_SHUTDOWN_ = 1;
constexpr unsigned EWX_REBOOT_ = 2;
constexpr unsigned EWX_FORCE_ = 4;
constexpr unsigned EWX_POWEROFF_ = 8;

// Enables the shutdown privilege (a refusal is not reported), then asks for the
// exit with the given flags. True when the system accepted the request.
bool endWindowsSession(platform::Power& p, unsigned flags);
bool powerOffPc(platform::Power& p);    // shutdown + force + power-off (13)
bool restartPc(platform::Power& p);   // reboot + force (6)

// Function 1, "Desliga computador": the system's shutdown command, hidden and
// not waited for, then two exit requests without the privilege; results are
// not consulted because the command does the work where they are refused.
void shutdownByCommand(platform::Power& p);

}  // namespace tarvex::exec
