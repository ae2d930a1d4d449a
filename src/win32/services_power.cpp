#include "win32/handles.h"
#include "win32/services_process.h"
#include "win32/services_win32.h"

namespace tarvex::win32 {

bool Win32Power::enableShutdownPrivilege() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened))
        return false;
    const Handle token(opened);
    TOKEN_PRIVILEGES tp{};
    bool ok = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid) != 0;
    if (ok) {
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // Success of the call alone does not mean the privilege was granted.
        ok = AdjustTokenPrivileges(token.get(), FALSE, &tp, 0, nullptr, nullptr) != 0 &&
             GetLastError() == ERROR_SUCCESS;
    }
    return ok;
}

bool Win32Power::exitWindows(unsigned flags, unsigned reason) {
    return ExitWindowsEx(flags, reason) != 0;
}

bool Win32Power::runCommand(const std::string& line) {
    PROCESS_INFORMATION pi;
    if (!startProcess(line, SW_HIDE, NORMAL_PRIORITY_CLASS, pi)) return false;
    const Process started(pi);   // not waited for: the handles only go back
    return true;
}

}  // namespace tarvex::win32
