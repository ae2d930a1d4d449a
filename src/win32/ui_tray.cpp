#include "win32/ui_tray.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

namespace tarvex::win32 {

TrayView::TrayView(ui::Tray& model, std::vector<HICON> pictures, HWND owner)
    : View(model), pictures_(std::move(pictures)), owner_(owner),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    registerClass(L"TarvexTray", DefWindowProcW, 0);
    adopt(CreateWindowExW(WS_EX_TOOLWINDOW, L"TarvexTray", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          GetModuleHandleW(nullptr), nullptr));
}

TrayView::~TrayView() {
    if (added_) apply(NIM_DELETE);
}

bool TrayView::apply(DWORD action) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd();
    nid.uID = kIconId;
    if (action != NIM_DELETE) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
        nid.uCallbackMessage = kCallback;
        int i = tray().imageIndex();
        nid.hIcon = pictures_.empty() ? nullptr : pictures_[std::clamp<int>(i, 0, pictures_.size() - 1)];
        // The shell keeps 127 characters of a hint; a longer one is cut there.
        std::wstring tip = widen(tray().hint()).substr(0, std::size(nid.szTip) - 1);
        std::copy(tip.begin(), tip.end(), nid.szTip);
    }
    BOOL ok = Shell_NotifyIconW(action, &nid);
    if (action == NIM_ADD && ok) {
        nid.uVersion = NOTIFYICON_VERSION_4;
        Shell_NotifyIconW(NIM_SETVERSION, &nid);
    }
    if (action == NIM_ADD) added_ = ok;
    if (action == NIM_DELETE) added_ = false;
    return ok;
}

void TrayView::changed(ui::Control&) {
    if (!hwnd()) return;
    if (windowText(hwnd()) != tray().hint()) setWindowText(hwnd(), tray().hint());
    if (!tray().visible()) {
        if (added_) apply(NIM_DELETE);
        return;
    }
    apply(added_ ? NIM_MODIFY : NIM_ADD);
    if (added_ && tray().balloonCount() != balloonsShown_) showBalloon();
}

// The shell keeps 255 characters of a balloon's text and 63 of its title.
void TrayView::showBalloon() {
    balloonsShown_ = tray().balloonCount();
    const ui::Tray::Balloon& b = tray().balloon();
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd();
    nid.uID = kIconId;
    nid.uFlags = NIF_INFO;
    nid.dwInfoFlags = b.error ? NIIF_ERROR : NIIF_WARNING;
    const std::wstring text = widen(b.text).substr(0, std::size(nid.szInfo) - 1);
    const std::wstring title = widen(b.title).substr(0, std::size(nid.szInfoTitle) - 1);
    std::copy(text.begin(), text.end(), nid.szInfo);
    std::copy(title.begin(), title.end(), nid.szInfoTitle);
    Shell_NotifyIconW(NIM_MODIFY, &nid);
}

void TrayView::showMenu(int x, int y) {
    if (menu.empty()) return;
    HMENU popup = CreatePopupMenu();
    for (size_t i = 0; i < menu.size(); ++i)
        AppendMenuW(popup, MF_STRING, i + 1, widen(menu[i].caption).c_str());
    // Without this the menu does not close when the operator clicks elsewhere.
    HWND front = owner_ ? owner_ : hwnd();
    SetForegroundWindow(front);
    UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, front, nullptr);
    PostMessageW(front, WM_NULL, 0, 0);
    DestroyMenu(popup);
    if (chosen >= 1 && chosen <= menu.size() && menu[chosen - 1].action) menu[chosen - 1].action();
}

bool TrayView::onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == taskbarCreated_) {
        // The shell restarted and forgot the icon; if it still knows it, keep it.
        added_ = false;
        if (tray().visible()) {
            apply(NIM_ADD);
            if (!added_) added_ = apply(NIM_MODIFY);
        }
        result = 0;
        return true;
    }
    if (msg != kCallback) return false;
    result = 0;
    switch (LOWORD(lp)) {
    case WM_LBUTTONUP:
    case NIN_KEYSELECT:
        if (tray().onClick) tray().onClick();
        break;
    case WM_CONTEXTMENU:
        showMenu(GET_X_LPARAM(wp), GET_Y_LPARAM(wp));
        break;
    case NIN_BALLOONUSERCLICK:
        if (tray().onBalloonClick) tray().onBalloonClick();
        break;
    default:
        break;
    }
    return true;
}

}  // namespace tarvex::win32
