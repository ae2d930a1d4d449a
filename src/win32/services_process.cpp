#include "win32/services_process.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/operator.h"
#include "win32/handles.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

bool startProcess(const std::string& commandLine, int show, DWORD creationFlags,
                  PROCESS_INFORMATION& pi) {
    std::wstring line = widen(commandLine);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    pi = PROCESS_INFORMATION{};
    return CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                          nullptr, &si, &pi) != 0;
}

void waitPumping(HANDLE object) {
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) return;
        platform::op().processMessages();
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
            WaitForSingleObject(object, INFINITE);
            return;
        }
    }
}

platform::ProcessEnd Win32Processes::runAndWait(const std::string& commandLine, int show) {
    PROCESS_INFORMATION pi;
    if (!startProcess(commandLine, show, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, pi))
        return {0, platform::ioError("O comando não pôde ser iniciado", commandLine,
                                     {static_cast<int>(GetLastError()), std::system_category()})};
    const Process started(pi);
    waitPumping(started.process.get());
    DWORD exitCode = 0;
    GetExitCodeProcess(started.process.get(), &exitCode);
    // A crash's status (0xC0000005...) is still a failure, never "could not start".
    return {static_cast<int>(std::min<DWORD>(exitCode, INT_MAX)), std::nullopt};
}

}  // namespace tarvex::win32
