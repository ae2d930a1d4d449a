// Message boxes that do not hold the scheduler: each runs on a thread of its own
// and posts its answer to a message-only window on the window's thread.
#include <windows.h>

#include <memory>

#include "win32/callback_guard.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

constexpr UINT WM_BOX_ANSWER = WM_APP + 41;
const wchar_t* const kRepliesClass = L"TARVEX.Respostas";

struct Box {
    std::wstring caption, text;
    UINT style;
    int question;
    HWND replies;
};

DWORD WINAPI boxThread(void* param) {
    std::unique_ptr<Box> box(static_cast<Box*>(param));
    const int id = MessageBoxW(nullptr, box->text.c_str(), box->caption.c_str(),
                               box->style | MB_TOPMOST | MB_SETFOREGROUND);
    if (box->question) PostMessageW(box->replies, WM_BOX_ANSWER, box->question, id == IDOK);
    return 0;
}

LRESULT CALLBACK repliesProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_BOX_ANSWER) {
        auto* op = reinterpret_cast<Win32Operator*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (op) guarded([&] { op->answered(static_cast<int>(wp), lp != 0); });
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND makeRepliesWindow(Win32Operator* op) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = repliesProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kRepliesClass;
    RegisterClassW(&wc);   // fails harmlessly when already registered
    HWND h = CreateWindowExW(0, kRepliesClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (h) SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(op));
    return h;
}

BOOL CALLBACK closeBox(HWND hwnd, LPARAM) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

// The thread's id, or 0 when no thread could be started (then nothing is shown).
int Win32Operator::openBox(const std::string& caption, const std::string& text, unsigned style) {
    if (!replies_) replies_ = reinterpret_cast<std::uintptr_t>(makeRepliesWindow(this));
    const int question = style & MB_OKCANCEL ? ++lastQuestion_ : 0;
    auto* box = new Box{widen(caption), widen(text), style, question, reinterpret_cast<HWND>(replies_)};
    DWORD thread = 0;
    HANDLE h = CreateThread(nullptr, 0, boxThread, box, 0, &thread);
    if (!h) {
        delete box;
        return -1;
    }
    CloseHandle(h);
    if (question) waiting_[question].thread = thread;
    return question;
}

void Win32Operator::notice(const std::string& caption, const std::string& text) {
    if (openBox(caption, text, MB_OK | MB_ICONINFORMATION) < 0) message(caption, text);
}

int Win32Operator::askLater(const std::string& caption, const std::string& text,
                            std::function<void(bool ok)> answered) {
    const int question = openBox(caption, text, MB_OKCANCEL | MB_ICONQUESTION);
    if (question < 0) {   // no thread: asked the old way rather than not at all
        answered(this->question(caption, text));
        return 0;
    }
    waiting_[question].answered = std::move(answered);
    return question;
}

void Win32Operator::withdraw(int question) {
    auto it = waiting_.find(question);
    if (it == waiting_.end()) return;
    EnumThreadWindows(it->second.thread, closeBox, 0);
    waiting_.erase(it);
}

void Win32Operator::answered(int question, bool ok) {
    auto it = waiting_.find(question);
    if (it == waiting_.end()) return;   // withdrawn meanwhile
    auto answer = std::move(it->second.answered);
    waiting_.erase(it);
    if (answer) answer(ok);
}

}  // namespace tarvex::win32
