#include "test_ui_driver.h"

#include "win32/ui_base.h"

namespace tarvex::testui {

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool waitFor(const std::function<bool()>& done, int ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(ms)) return done();
        pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::string nameOf(HWND h) { return win32::controlName(h); }

HWND findByName(HWND root, const std::string& name) { return win32::findOrMakeControl(root, name); }

namespace {
struct TopSearch {
    std::string name;
    DWORD pid;
    HWND found = nullptr;
};
BOOL CALLBACK topProc(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TopSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if ((s->pid == 0 || pid == s->pid) && win32::controlName(h) == s->name) { s->found = h; return FALSE; }
    return TRUE;
}
}  // namespace

namespace {
struct TextSearch {
    std::string text;
    HWND found = nullptr;
};
BOOL CALLBACK textProc(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TextSearch*>(lp);
    if (readText(h) == s->text) { s->found = h; return FALSE; }
    return TRUE;
}
}  // namespace

HWND findByText(HWND root, const std::string& text) {
    TextSearch s{text};
    EnumChildWindows(root, textProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND findTopByName(const std::string& name, DWORD pid) {
    TopSearch s{name, pid};
    EnumWindows(topProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string readText(HWND h) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return {};
    std::wstring w(len + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(w.data()), SMTO_ABORTIFHUNG, 5000, &got);
    w.resize(got);
    return win32::narrow(w);
}

void typeText(HWND h, const std::string& text) {
    for (wchar_t c : win32::widen(text)) PostMessageW(h, WM_CHAR, c, 1);
}

void click(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(h, WM_LBUTTONUP, 0, at);
}

void pressKey(HWND h, WPARAM key) {
    PostMessageW(h, WM_KEYDOWN, key, 1);
    PostMessageW(h, WM_KEYUP, key, 0xC0000001);
}

}  // namespace tarvex::testui
