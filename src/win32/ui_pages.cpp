#include "win32/ui_pages.h"

#include <algorithm>
#include <utility>

namespace tarvex::win32 {

PagesView::PagesView(ui::Pages& model, HWND parent, int x, int y, int w, int h, COLORREF color)
    : View(model), frame_(parent, x, y, w, h, color), color_(color) {
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, w, h,
                            frame_.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
    // The tab strip's notifications reach the frame; the frame is this view's window.
    SetPropW(tabs_, L"TARVEX.View", this);
    adopt(frame_.hwnd());
    watchFocus(true);
}

PagesView::~PagesView() {
    watchFocus(false);
    if (tabs_ && IsWindow(tabs_)) RemovePropW(tabs_, L"TARVEX.View");
    pages_.clear();
}

PagesView::Page& PagesView::entry(const std::string& name) {
    auto it = std::find_if(pages_.begin(), pages_.end(), [&](const Page& p) { return p.name == name; });
    if (it != pages_.end()) return *it;
    Page p{name, name, true, std::make_unique<Panel>(frame_.hwnd(), 0, 0, 10, 10, color_), nullptr};
    ShowWindow(p.panel->hwnd(), SW_HIDE);
    setControlName(p.panel->hwnd(), name);
    pages_.push_back(std::move(p));
    rebuildTabs();
    return pages_.back();
}

Panel& PagesView::page(const std::string& name) { return *entry(name).panel; }

void PagesView::setCaption(const std::string& name, const std::string& caption) {
    entry(name).caption = caption;
    rebuildTabs();
}

void PagesView::setTabVisible(const std::string& name, bool visible) {
    entry(name).tab = visible;
    rebuildTabs();
}

void PagesView::buildLater(const std::string& name, std::function<void(Panel&)> build) {
    entry(name).build = std::move(build);
    if (name == pages().active()) sync();
}

bool PagesView::buildNext() {
    for (const Page& p : pages_)
        if (p.build) {
            build(p.name);
            return true;
        }
    return false;
}

// The page's controls, laid out at the size the page already has.
void PagesView::build(const std::string& name) {
    auto it = std::find_if(pages_.begin(), pages_.end(), [&](const Page& p) { return p.name == name; });
    if (it == pages_.end() || !it->build) return;
    const auto make = std::exchange(it->build, nullptr);
    Panel& panel = *it->panel;
    make(panel);
    RECT rc;
    GetClientRect(panel.hwnd(), &rc);
    SendMessageW(panel.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
}

void PagesView::rebuildTabs() {
    SendMessageW(tabs_, TCM_DELETEALLITEMS, 0, 0);
    tabNames_.clear();
    for (const auto& name : pages().pages()) {
        auto it = std::find_if(pages_.begin(), pages_.end(), [&](const Page& p) { return p.name == name; });
        if (it == pages_.end() || !it->tab || !pages().tabsVisible()) continue;
        std::wstring caption = widen(it->caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, tabNames_.size(), reinterpret_cast<LPARAM>(&item));
        tabNames_.push_back(name);
    }
    ShowWindow(tabs_, tabNames_.empty() ? SW_HIDE : SW_SHOWNA);
    layout();
    sync();
}

void PagesView::layout() {
    if (placing_) return;   // showing a scroll bar resizes the frame: already being placed
    placing_ = true;
    // The whole frame, scroll bars or not: they are decided again below.
    RECT win;
    GetWindowRect(frame_.hwnd(), &win);
    RECT rc{0, 0, win.right - win.left, win.bottom - win.top};
    RECT inner = rc;
    if (!tabNames_.empty()) SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
    HWND active = activePanel();
    for (auto& p : pages_)
        if (p.panel->hwnd() != active)
            MoveWindow(p.panel->hwnd(), inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top,
                       FALSE);
    if (active) placeActive(active, inner);
    GetClientRect(frame_.hwnd(), &rc);
    MoveWindow(tabs_, 0, 0, rc.right, rc.bottom, TRUE);
    placing_ = false;
}

void PagesView::sync() {
    if (pages().tabsVisible() != shownTabsVisible_) {
        shownTabsVisible_ = pages().tabsVisible();
        rebuildTabs();   // comes back here
        return;
    }
    const std::string& active = pages().active();
    build(active);
    for (auto& p : pages_) {
        HWND h = p.panel->hwnd();
        bool show = p.name == active;
        if (show) SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        // The page's own flag: IsWindowVisible is false for every page while the
        // window is hidden (start-up), which would leave the old page showing.
        else if (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) ShowWindow(h, SW_HIDE);
    }
    // Another page starts at its top left corner.
    if (active != placed_) {
        placed_ = active;
        scroll_ = POINT{0, 0};
        layout();
    }
    auto it = std::find(tabNames_.begin(), tabNames_.end(), active);
    SendMessageW(tabs_, TCM_SETCURSEL, it == tabNames_.end() ? -1 : it - tabNames_.begin(), 0);
}

bool PagesView::onNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->hwndFrom != tabs_ || hdr->code != TCN_SELCHANGE) return false;
    auto i = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
    result = 0;
    if (i >= 0 && i < static_cast<LRESULT>(tabNames_.size())) pages().show(tabNames_[i]);
    return true;
}

bool PagesView::onMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_SIZE) layout();
    if (scrollMessage(msg, wp)) {
        result = 0;
        return true;
    }
    return false;  // the frame still reflects and paints
}

}  // namespace tarvex::win32
