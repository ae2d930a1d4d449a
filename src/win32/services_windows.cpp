#include <windows.h>

#include "win32/callback_guard.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

std::string windowText(HWND h) {
    wchar_t buffer[1024];
    int n = GetWindowTextW(h, buffer, static_cast<int>(std::size(buffer)));
    return narrow(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string className(HWND h) {
    wchar_t buffer[257];
    int n = GetClassNameW(h, buffer, static_cast<int>(std::size(buffer)));
    return narrow(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

BOOL CALLBACK collect(HWND h, LPARAM list) {
    auto& windows = *reinterpret_cast<std::vector<platform::TopWindow>*>(list);
    return guarded<BOOL>(FALSE, [&] {
        windows.push_back({reinterpret_cast<std::uintptr_t>(h), windowText(h), className(h),
                           IsWindowVisible(h) != 0});
        return TRUE;
    });
}

}  // namespace

std::vector<platform::TopWindow> Win32Windows::topLevel() {
    std::vector<platform::TopWindow> windows;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::uintptr_t Win32Windows::find(const std::string& cls, const std::string& title) {
    // Both empty would match whatever window comes first.
    if (cls.empty() && title.empty()) return 0;
    std::wstring wClass = widen(cls), wTitle = widen(title);
    HWND h = FindWindowW(cls.empty() ? nullptr : wClass.c_str(), title.empty() ? nullptr : wTitle.c_str());
    return reinterpret_cast<std::uintptr_t>(h);
}

bool Win32Windows::postClose(std::uintptr_t handle) {
    return PostMessageW(reinterpret_cast<HWND>(handle), WM_CLOSE, 0, 0) != 0;
}

bool Win32Windows::exists(std::uintptr_t handle) { return IsWindow(reinterpret_cast<HWND>(handle)) != FALSE; }

}  // namespace tarvex::win32
