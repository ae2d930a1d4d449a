#include "win32/ui_calendar.h"

namespace tarvex::win32 {

CalendarView::CalendarView(ui::Calendar& model, HWND parent, int x, int y, int w, int h) : View(model) {
    adopt(CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, scaled(x), scaled(y),
                          scaled(w), scaled(h), parent, nullptr, GetModuleHandleW(nullptr), nullptr));
}

void CalendarView::sync() {
    const ui::Calendar& c = calendar();
    if (c.fontSize() != shownFont_ && c.fontSize() > 0) {
        shownFont_ = c.fontSize();
        setFont(fontPoints(shownFont_));
    }
    SYSTEMTIME shown{};
    SendMessageW(hwnd(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    if (shown.wYear != c.year() || shown.wMonth != c.month() || shown.wDay != c.day()) {
        SYSTEMTIME day{};
        day.wYear = static_cast<WORD>(c.year());
        day.wMonth = static_cast<WORD>(c.month());
        day.wDay = static_cast<WORD>(c.day());
        SendMessageW(hwnd(), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day));
    }
}

bool CalendarView::onNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code != MCN_SELCHANGE || syncing_) return false;
    const auto* sel = reinterpret_cast<const NMSELCHANGE*>(hdr);
    const SYSTEMTIME& d = sel->stSelStart;
    result = 0;
    if (d.wYear != calendar().year() || d.wMonth != calendar().month() || d.wDay != calendar().day())
        calendar().setDate(d.wYear, d.wMonth, d.wDay);
    return true;
}

}  // namespace tarvex::win32
