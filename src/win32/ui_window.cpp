#include "win32/ui_window.h"

#include <algorithm>

namespace tarvex::win32 {

WindowView::WindowView(ui::Window& model, HWND frame, bool minimiseHides)
    : View(model), minimiseHides_(minimiseHides) {
    adopt(frame);
}

WindowView::~WindowView() {
    release();  // the frame belongs to its owner
}

RECT WindowView::normalRect() const {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd(), &wp);
    return wp.rcNormalPosition;
}

void WindowView::changed(ui::Control&) {
    HWND h = hwnd();
    if (!h || syncing_) return;
    syncing_ = true;
    const ui::Window& w = window();
    if (windowText(h) != w.caption()) setWindowText(h, w.caption());
    applyBounds();
    bool hidden = !w.visible() || (minimiseHides_ && w.state() == ui::Window::State::Minimized);
    if (hidden) {
        if (IsWindowVisible(h)) ShowWindow(h, SW_HIDE);
    } else {
        switch (w.state()) {
        case ui::Window::State::Normal:
            if (!IsWindowVisible(h) || IsIconic(h) || IsZoomed(h)) ShowWindow(h, SW_SHOWNORMAL);
            SetForegroundWindow(h);
            break;
        case ui::Window::State::Maximized:
            if (!IsWindowVisible(h) || !IsZoomed(h)) ShowWindow(h, SW_SHOWMAXIMIZED);
            break;
        case ui::Window::State::Minimized:
            if (!IsWindowVisible(h) || !IsIconic(h)) ShowWindow(h, SW_SHOWMINIMIZED);
            break;
        }
    }
    syncing_ = false;
}

namespace {

// A window larger than the screen's work area hides its own close box and
// "Iconizar" (a design size at 144 DPI on a small screen): it is made to fit,
// and moved inside, on the monitor it would mostly be on.
RECT insideWorkArea(RECT r) {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return r;
    const RECT& work = mi.rcWork;
    const LONG w = std::min(r.right - r.left, work.right - work.left);
    const LONG h = std::min(r.bottom - r.top, work.bottom - work.top);
    const LONG left = std::clamp(r.left, work.left, work.right - w);
    const LONG top = std::clamp(r.top, work.top, work.bottom - h);
    return RECT{left, top, left + w, top + h};
}

}  // namespace

void WindowView::applyBounds() {
    const ui::Window::Rect& b = window().normalBounds();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd(), &wp);
    // The size is kept in design units, so the window opens big enough for its
    // contents at any scale; the place is where it was on the screen.
    RECT want = insideWorkArea({b.left, b.top, b.left + scaled(b.width), b.top + scaled(b.height)});
    if (EqualRect(&want, &wp.rcNormalPosition)) return;
    wp.rcNormalPosition = want;
    wp.flags = 0;
    // Keep the window as shown (hidden, normal, maximised): only its normal rectangle moves.
    wp.showCmd = !IsWindowVisible(hwnd()) ? SW_HIDE : IsZoomed(hwnd()) ? SW_SHOWMAXIMIZED
                 : IsIconic(hwnd())      ? SW_SHOWMINIMIZED : SW_SHOWNOACTIVATE;
    SetWindowPlacement(hwnd(), &wp);
}

void WindowView::reportBounds() {
    RECT r = normalRect();
    window().moved({static_cast<int>(r.top), static_cast<int>(r.left), unscaled(r.right - r.left),
                    unscaled(r.bottom - r.top)},
                   true);
}

bool WindowView::onMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    // The normal-state rectangle, whatever the state now, so the settings keep it.
    if (msg == WM_WINDOWPOSCHANGED && !syncing_) reportBounds();
    // The operator's minimise, maximise and restore reach the model; the model's
    // own changes come back here only through changed().
    if (msg != WM_SYSCOMMAND || syncing_) return false;
    ui::Window::State s;
    switch (wp & 0xFFF0) {
    case SC_MINIMIZE: s = ui::Window::State::Minimized; break;
    case SC_MAXIMIZE: s = ui::Window::State::Maximized; break;
    case SC_RESTORE: s = ui::Window::State::Normal; break;
    default: return false;
    }
    result = 0;
    window().setState(s);
    return true;
}

}  // namespace tarvex::win32
