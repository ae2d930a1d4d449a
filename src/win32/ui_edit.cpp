#include "win32/ui_edit.h"

#include <utility>

namespace tarvex::win32 {

EditView::EditView(ui::Edit& model, HWND parent, int x, int y, int w, int h, EditOptions options)
    : View(model), picks_(dynamic_cast<ui::ComboBox*>(&model)), suggestions_(std::move(options.suggestions)),
      combo_(picks_ || !suggestions_.empty()) {
    adopt(combo_ ? createCombo(parent, x, y, w, h, options.maxLength) : createEdit(parent, x, y, w, h, options));
}

HWND EditView::createCombo(HWND parent, int x, int y, int w, int h, int maxLength) {
    // The drop-down list's height is part of the window's height.
    const int listHeight = picks_ ? 200 : 160;
    HWND hw = CreateWindowExW(0, L"COMBOBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                              scaled(x), scaled(y), scaled(w), scaled(h + listHeight), parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (maxLength) SendMessageW(hw, CB_LIMITTEXT, maxLength, 0);
    return hw;
}

namespace {

// Tab (without Ctrl) leaves a multi-line box for the next field, as in any other
// box; Ctrl+Tab types a tab into it.
LRESULT CALLBACK tabLeaves(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    LRESULT code = DefSubclassProc(h, msg, wp, lp);
    if (msg == WM_GETDLGCODE && wp == VK_TAB && GetKeyState(VK_CONTROL) >= 0)
        code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    return code;
}

}  // namespace

HWND EditView::createEdit(HWND parent, int x, int y, int w, int h, const EditOptions& options) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    if (options.upperCase) style |= ES_UPPERCASE;
    if (options.multiline) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    HWND hw = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, scaled(x), scaled(y), scaled(w), scaled(h),
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    // The default limit (32K characters) would cut a long memo.
    SendMessageW(hw, EM_SETLIMITTEXT, options.maxLength, 0);
    if (options.multiline) SetWindowSubclass(hw, tabLeaves, 0, 0);
    return hw;
}

void EditView::syncItems() {
    if (items() == shownItems_) return;
    shownItems_ = items();
    SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    for (const auto& s : shownItems_) SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(s).c_str()));
    shown_.clear();   // resetting the list empties the edit part
    SetWindowTextW(hwnd(), L"");
}

void EditView::sync() {
    if (combo_) syncItems();
    else SendMessageW(hwnd(), EM_SETREADONLY, edit().readOnly(), 0);
    if (!combo_ && edit().masked() != shownMasked_) {
        shownMasked_ = edit().masked();
        SendMessageW(hwnd(), EM_SETPASSWORDCHAR, shownMasked_ ? 0x25CF : 0, 0);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }
    if (edit().text() == shown_) return;
    shown_ = edit().text();
    setWindowText(hwnd(), shown_);
}

void EditView::typed(const std::string& text) {
    shown_ = text;
    edit().setText(text);
}

// The edit part changes only after the selection's notification.
void EditView::picked() {
    auto i = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
    if (i < 0 || i >= static_cast<LRESULT>(items().size())) return;
    shown_ = items()[i];
    if (picks_) picks_->pick(static_cast<int>(i));
    else edit().setText(shown_);
}

bool EditView::onCommand(WORD code) {
    if (syncing_) return true;
    if (code == EN_CHANGE || code == CBN_EDITCHANGE) {
        typed(windowText(hwnd()));
        return true;
    }
    if (code == CBN_SELCHANGE) {
        picked();
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
