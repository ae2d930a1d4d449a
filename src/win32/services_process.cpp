#include "win32/services_process.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/cp1252.h"
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

unsigned OemCodePage::number() const { return GetOEMCP(); }

namespace {
// One character through the code page and back: a best-fit stand-in ("ç" as "c")
// would name another file, so only an exact round trip counts.
std::optional<std::string> encodeExactly(const std::u16string& text, UINT page) {
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, n, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, n, out.data(), size, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}
}  // namespace

std::optional<std::string> OemCodePage::fromCp1252(const std::string& text, char& missing) const {
    const UINT page = GetOEMCP();
    if (auto whole = encodeExactly(platform::cp1252ToUtf16(text), page)) return whole;
    for (char c : text)
        if (!encodeExactly(platform::cp1252ToUtf16(std::string(1, c)), page)) {
            missing = c;
            return std::nullopt;
        }
    return std::nullopt;
}

}  // namespace tarvex::win32
