#include "exec/power.h"

namespace tarvex::exec {

bool endWindowsSession(platform::Power& p, unsigned flags) {
    // Without the privilege the request is refused; that refusal is the answer.
    p.enableShutdownPrivilege();
    return p.exitWindows(flags, 0);
}

bool powerOffPc(platform::Power& p) {
    return endWindowsSession(p, EWX_SHUTDOWN_ | EWX_FORCE_ | EWX_POWEROFF_);
}

bool restartPc(platform::Power& p) {
    return endWindowsSession(p, EWX_REBOOT_ | EWX_FORCE_);
}

void shutdownByCommand(platform::Power& p) {
    p.runCommand("shutdown -s -f -t 00");
    p.exitWindows(EWX_POWEROFF_, 8);
    p.exitWindows(EWX_SHUTDOWN_ | EWX_FORCE_, 0);
}

}  // namespace tarvex::exec
