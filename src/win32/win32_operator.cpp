#include <windows.h>

#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

// In front of every window, as the operator may be working in another program.
constexpr UINT kInFront = MB_TOPMOST | MB_SETFOREGROUND;

int box(std::uintptr_t owner, const std::string& caption, const std::string& text, UINT style) {
    std::wstring wText = widen(text), wCaption = widen(caption);
    HWND hwnd = reinterpret_cast<HWND>(owner);
    if (hwnd && !IsWindow(hwnd)) hwnd = nullptr;
    return MessageBoxW(hwnd, wText.c_str(), wCaption.c_str(), style | kInFront);
}

}  // namespace

void Win32Operator::message(const std::string& caption, const std::string& text) {
    box(owner_, caption, text, MB_OK);
}

bool Win32Operator::carefulQuestion(const std::string& caption, const std::string& text) {
    return box(owner_, caption, text, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDOK;
}

bool Win32Operator::question(const std::string& caption, const std::string& text) {
    return box(owner_, caption, text, MB_OKCANCEL) == IDOK;
}

platform::Choice Win32Operator::choose(const std::string& caption, const std::string& text) {
    switch (box(owner_, caption, text, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return platform::Choice::Yes;
    case IDNO: return platform::Choice::No;
    default: return platform::Choice::Cancel;
    }
}

void Win32Operator::error(const std::string& text) {
    box(owner_, platform::appTitle(), text, MB_OK | MB_ICONERROR);
}

// Wakes for every message, and every 100 ms for the progress.
void Win32Operator::waitUntil(const std::function<bool()>& done, const std::function<void()>& tick) {
    bool quitting = false;
    while (!done()) {
        if (quitting) {
            Sleep(20);
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        processMessages();
        MSG quit;
        quitting = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
        tick();
    }
    tick();
}

void Win32Operator::processMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the main loop to see.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace tarvex::win32
