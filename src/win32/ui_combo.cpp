#include "win32/ui_combo.h"

namespace tarvex::win32 {

ComboBoxView::ComboBoxView(ui::ComboBox& model, HWND parent, int x, int y, int w, int h) : View(model) {
    // The list's drop-down height is part of the window's height.
    adopt(CreateWindowExW(0, L"COMBOBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, scaled(x),
                          scaled(y), scaled(w), scaled(h + 200), parent, nullptr, GetModuleHandleW(nullptr), nullptr));
}

void ComboBoxView::sync() {
    if (combo().items != shownItems_) {
        shownItems_ = combo().items;
        SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
        for (const auto& s : shownItems_) SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(s).c_str()));
        shownText_.clear();   // resetting the list empties the edit part
        SetWindowTextW(hwnd(), L"");
    }
    if (combo().text() != shownText_) {
        shownText_ = combo().text();
        setWindowText(hwnd(), shownText_);
    }
}

bool ComboBoxView::onCommand(WORD code) {
    if (syncing_) return true;
    if (code == CBN_EDITCHANGE) {
        shownText_ = windowText(hwnd());
        combo().setText(shownText_);
        return true;
    }
    if (code == CBN_SELCHANGE) {
        auto i = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
        if (i >= 0 && i < static_cast<LRESULT>(combo().items.size())) {
            shownText_ = combo().items[i];   // the edit part changes only after this
            combo().pick(static_cast<int>(i));
        }
        return true;
    }
    return false;
}

bool ComboBoxView::onCtlColor(HDC dc, HBRUSH& brush) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    brush = GetSysColorBrush(COLOR_WINDOW);
    return true;
}

}  // namespace tarvex::win32
