#include "win32/services_process.h"

#include <algorithm>
#include <climits>
#include <vector>

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

namespace {
// The stock cursors by number, as their names are narrow texts in a non-Unicode build.
HCURSOR stockCursor(WORD id) { return LoadCursorW(nullptr, MAKEINTRESOURCEW(id)); }
constexpr WORD kArrow = 32512, kHourglass = 32514;
}  // namespace

int Win32Processes::runAndWait(const std::string& commandLine, int show) {
    // The thread waits without pumping messages, so the hourglass stays until the end.
    HCURSOR previous = SetCursor(stockCursor(kHourglass));
    PROCESS_INFORMATION pi;
    int result = -1;
    if (startProcess(commandLine, show, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(pi.hProcess, &exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        // A crash's status (0xC0000005...) is still a failure, never "could not start".
        result = static_cast<int>(std::min<DWORD>(exitCode, INT_MAX));
    }
    SetCursor(previous ? previous : stockCursor(kArrow));
    return result;
}

}  // namespace tarvex::win32
