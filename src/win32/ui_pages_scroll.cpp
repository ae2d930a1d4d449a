// A page control smaller than its active page: the page keeps the size its
// controls need and moves under the frame, which shows scroll bars. Focus moving
// to a control out of sight (Tab, a mnemonic, code) brings it into sight.
#include "win32/ui_pages.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace tarvex::win32 {

namespace {

// Posted to a page control's frame: wParam is the window that took the focus.
constexpr UINT kFocusMoved = WM_APP + 0x31;

std::vector<HWND>& watchedFrames() {
    static std::vector<HWND> frames;
    return frames;
}
HHOOK gFocusHook = nullptr;

// Told before the focus moves; the frames look after the move, in their own
// turn, the innermost first so the outer one sees where the inner one put it.
LRESULT CALLBACK focusHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_SETFOCUS && wp) {
        auto to = reinterpret_cast<HWND>(wp);
        const auto& frames = watchedFrames();
        for (auto it = frames.rbegin(); it != frames.rend(); ++it)
            if (IsChild(*it, to)) PostMessageW(*it, kFocusMoved, wp, 0);
    }
    return CallNextHookEx(gFocusHook, code, wp, lp);
}

LONG width(const RECT& r) { return r.right - r.left; }
LONG height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

void PagesView::watchFocus(bool on) {
    auto& frames = watchedFrames();
    HWND frame = frame_.hwnd();
    frames.erase(std::remove(frames.begin(), frames.end(), frame), frames.end());
    if (on) frames.push_back(frame);
    if (!frames.empty() && !gFocusHook)
        gFocusHook = SetWindowsHookExW(WH_CBT, focusHook, nullptr, GetCurrentThreadId());
    if (frames.empty() && gFocusHook) {
        UnhookWindowsHookEx(gFocusHook);
        gFocusHook = nullptr;
    }
}

HWND PagesView::activePanel() const {
    const std::string& active = pages().active();
    for (const auto& p : pages_)
        if (p.name == active) return p.panel->hwnd();
    return nullptr;
}

// How far the shown controls inside `panel` reach, from its top left corner. A
// panel inside (a group, a page control) reaches as far as its own controls do.
SIZE PagesView::contentOf(HWND panel) const {
    SIZE reach{0, 0};
    for (HWND c = GetWindow(panel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
        if (GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
            const SIZE inside = contentOf(c);
            // A scrolled page starts above and left of its frame: its size is what counts.
            r.left = std::max(0L, r.left);
            r.top = std::max(0L, r.top);
            r.right = r.left + std::max(width(r), inside.cx);
            r.bottom = r.top + std::max(height(r), inside.cy);
        }
        reach.cx = std::max(reach.cx, r.right);
        reach.cy = std::max(reach.cy, r.bottom);
    }
    return reach;
}

// What the page needs, laid out at `room`: as far as its controls reach, with a
// margin where that is more than the room, so page controls inside it get all of
// theirs too (they reach to their frame's edge less a margin of their own).
SIZE PagesView::needOf(HWND page, SIZE room) const {
    SetWindowPos(page, nullptr, 0, 0, room.cx, room.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE reach = contentOf(page);
    const int margin = scaled(8);
    return SIZE{reach.cx > room.cx ? reach.cx + margin : reach.cx, reach.cy > room.cy ? reach.cy + margin : reach.cy};
}

// The page is laid out at the room there is and kept as large as its controls
// then reach; what does not fit the frame scrolls. One scroll bar takes room from
// the other direction: the page is laid out again in what is left.
void PagesView::placeActive(HWND page, const RECT& inner) {
    SIZE room{width(inner), height(inner)};
    SIZE need = needOf(page, room);
    bool across = need.cx > room.cx, down = need.cy > room.cy;
    if (across && !down) {
        room.cy -= GetSystemMetrics(SM_CYHSCROLL);
        need = needOf(page, SIZE{need.cx, room.cy});
        down = need.cy > room.cy;
    } else if (down && !across) {
        room.cx -= GetSystemMetrics(SM_CXVSCROLL);
        need = needOf(page, SIZE{room.cx, need.cy});
        across = need.cx > room.cx;
    }
    HWND frame = frame_.hwnd();
    ShowScrollBar(frame, SB_HORZ, across);
    ShowScrollBar(frame, SB_VERT, down);

    view_ = inner;
    if (down) view_.right -= GetSystemMetrics(SM_CXVSCROLL);
    if (across) view_.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    pageSize_ = SIZE{std::max(width(view_), need.cx), std::max(height(view_), need.cy)};
    SetWindowPos(page, nullptr, 0, 0, pageSize_.cx, pageSize_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    scrollTo(scroll_);
}

// Moves the active page so that `at` of it shows at the frame's top left corner.
void PagesView::scrollTo(POINT at) {
    HWND page = activePanel();
    if (!page) return;
    at.x = std::clamp(at.x, 0L, std::max(0L, pageSize_.cx - width(view_)));
    at.y = std::clamp(at.y, 0L, std::max(0L, pageSize_.cy - height(view_)));
    scroll_ = at;
    HWND frame = frame_.hwnd();
    auto bar = [&](int which, LONG total, LONG shown, LONG pos) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = std::max(0L, total - 1);
        si.nPage = static_cast<UINT>(std::max(0L, shown));
        si.nPos = pos;
        SetScrollInfo(frame, which, &si, TRUE);
    };
    if (GetWindowLongW(frame, GWL_STYLE) & WS_HSCROLL) bar(SB_HORZ, pageSize_.cx, width(view_), at.x);
    if (GetWindowLongW(frame, GWL_STYLE) & WS_VSCROLL) bar(SB_VERT, pageSize_.cy, height(view_), at.y);
    SetWindowPos(page, nullptr, view_.left - at.x, view_.top - at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PagesView::scrollIntoView(HWND control) {
    HWND page = activePanel();
    if (!page || !IsChild(page, control)) return;
    RECT r;   // in the page's own places, whatever its scroll
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    POINT at = scroll_;
    // The far edge first, then the near one, so a control larger than the view shows its start.
    if (r.right > at.x + width(view_)) at.x = r.right - width(view_);
    if (r.left < at.x) at.x = r.left;
    if (r.bottom > at.y + height(view_)) at.y = r.bottom - height(view_);
    if (r.top < at.y) at.y = r.top;
    if (at.x != scroll_.x || at.y != scroll_.y) scrollTo(at);
}

// Scroll bars, the mouse wheel and focus moves; true when handled.
bool PagesView::scrollMessage(UINT msg, WPARAM wp) {
    const int line = scaled(20);
    auto step = [&](int bar, LONG pos, LONG shown) -> LONG {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(frame_.hwnd(), bar, &si);
        switch (LOWORD(wp)) {
        case SB_LINEUP: return pos - line;
        case SB_LINEDOWN: return pos + line;
        case SB_PAGEUP: return pos - shown;
        case SB_PAGEDOWN: return pos + shown;
        case SB_TOP: return 0;
        case SB_BOTTOM: return LONG_MAX / 2;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: return si.nTrackPos;
        default: return pos;
        }
    };
    switch (msg) {
    case WM_HSCROLL: scrollTo(POINT{step(SB_HORZ, scroll_.x, width(view_)), scroll_.y}); return true;
    case WM_VSCROLL: scrollTo(POINT{scroll_.x, step(SB_VERT, scroll_.y, height(view_))}); return true;
    case WM_MOUSEWHEEL:
        if (!(GetWindowLongW(frame_.hwnd(), GWL_STYLE) & WS_VSCROLL)) return false;   // on to the window
        scrollTo(POINT{scroll_.x, scroll_.y - GET_WHEEL_DELTA_WPARAM(wp) * 3 * line / WHEEL_DELTA});
        return true;
    case kFocusMoved:
        if (GetFocus() == reinterpret_cast<HWND>(wp)) scrollIntoView(reinterpret_cast<HWND>(wp));
        return true;
    default: return false;
    }
}

}  // namespace tarvex::win32
