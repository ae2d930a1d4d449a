#include "win32/ui_edit.h"

namespace tarvex::win32 {

EditView::EditView(ui::Edit& model, HWND parent, int x, int y, int w, int h, EditOptions options)
    : View(model), combo_(!options.suggestions.empty()) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (options.upperCase) style |= combo_ ? 0 : ES_UPPERCASE;
    HWND hw;
    if (combo_) {
        // The drop-down list's height is part of the window's height.
        hw = CreateWindowExW(0, L"COMBOBOX", L"", style | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, scaled(x),
                             scaled(y), scaled(w), scaled(h + 160), parent, nullptr, inst, nullptr);
        for (const auto& s : options.suggestions)
            SendMessageW(hw, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(s).c_str()));
        if (options.maxLength) SendMessageW(hw, CB_LIMITTEXT, options.maxLength, 0);
    } else {
        style |= ES_AUTOHSCROLL;
        if (options.multiline) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
        hw = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, scaled(x), scaled(y), scaled(w), scaled(h), parent,
                             nullptr, inst, nullptr);
        // The default limit (32K characters) would cut a long memo.
        SendMessageW(hw, EM_SETLIMITTEXT, options.maxLength, 0);
    }
    adopt(hw);
}

void EditView::sync() {
    if (!combo_) SendMessageW(hwnd(), EM_SETREADONLY, edit().readOnly(), 0);
    if (edit().text() == shown_) return;
    shown_ = edit().text();
    setWindowText(hwnd(), shown_);
}

void EditView::typed(const std::string& text) {
    shown_ = text;
    edit().setText(text);
}

bool EditView::onCommand(WORD code) {
    if (syncing_) return true;
    if (code == EN_CHANGE || code == CBN_EDITCHANGE) {
        typed(windowText(hwnd()));
        return true;
    }
    if (code == CBN_SELCHANGE) {
        // The edit part is updated only after this notification.
        auto i = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
        if (i == CB_ERR) return true;
        auto n = SendMessageW(hwnd(), CB_GETLBTEXTLEN, i, 0);
        std::wstring w(static_cast<size_t>(n) + 1, L'\0');
        SendMessageW(hwnd(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(w.data()));
        w.resize(n);
        typed(narrow(w));
        return true;
    }
    return false;
}

bool EditView::onCtlColor(HDC dc, HBRUSH& brush) {
    // A read-only field stays white, as the operator expects of a display box.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    brush = GetSysColorBrush(COLOR_WINDOW);
    return true;
}

}  // namespace tarvex::win32
