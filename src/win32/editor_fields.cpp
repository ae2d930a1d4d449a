#include "win32/editor_fields.h"

#include <algorithm>

namespace tarvex::win32 {

// ---- the hour field ----

HourEditView::HourEditView(ui::Edit& model, HWND parent, int x, int y, int w, int h)
    : EditView(model, parent, x, y, w, h, EditOptions{false, false, 5, {}}) {}

void HourEditView::put(int pos, wchar_t ch) {
    std::string text = edit().text();
    text.resize(5, ' ');
    text[static_cast<size_t>(pos)] = static_cast<char>(ch);
    edit().setText(text);   // the model keeps its mask; the view follows
    SendMessageW(hwnd(), EM_SETSEL, pos + 1, pos + 1);
}

bool HourEditView::onMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_CHAR) return false;
    DWORD from = 0;
    SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), 0);
    int pos = static_cast<int>(from);
    const auto ch = static_cast<wchar_t>(wp);
    result = 0;
    if (ch == L'\b') {
        if (pos == 3) pos = 2;   // over the colon
        if (pos > 0) {
            put(pos - 1, L' ');
            SendMessageW(hwnd(), EM_SETSEL, pos - 1, pos - 1);
        }
        return true;
    }
    // "8:30" and "8h30": one digit and the separator make the hour "08".
    if (ch == L':' || ch == L'h' || ch == L'H') {
        std::string text = edit().text();
        text.resize(5, ' ');
        if (pos == 1 && text[0] >= '0' && text[0] <= '9' && text[1] == ' ') {
            text[1] = text[0];
            text[0] = '0';
            edit().setText(text);
        }
        if (pos <= 2) SendMessageW(hwnd(), EM_SETSEL, 3, 3);
        return true;
    }
    if ((ch >= L'0' && ch <= L'9') || ch == L' ') {
        if (pos == 2) pos = 3;
        if (pos < 5) put(pos, ch);
        if (pos == 1) SendMessageW(hwnd(), EM_SETSEL, 3, 3);
        return true;
    }
    // Tab, Enter and the clipboard keys keep their meaning; other characters do not fit the mask.
    return ch >= L' ' || ch == L'\r' ? true : false;
}

// ---- the memo in the text font ----

FontedMemoView::FontedMemoView(ui::Edit& model, HWND parent, int x, int y, int w, int h,
                               std::function<const settings::Settings&()> settings)
    : EditView(model, parent, x, y, w, h, EditOptions{true, false, 0, {}}), settings_(std::move(settings)) {
    applyFont();
}

void FontedMemoView::applyFont() {
    if (!hwnd() || !settings_) return;
    const settings::Settings& s = settings_();
    const int points = std::clamp(settings::textFontPoints(s), 4, 72);
    HFONT font = fontPoints(points, false, s.fontName.empty() ? "MS Sans Serif" : s.fontName);
    if (font == applied_) return;
    applied_ = font;
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool FontedMemoView::onMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_PAINT) applyFont();
    return false;
}

// ---- a list picked from ----

int droppedHeight(HWND combo, int rows) {
    const auto itemHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    return 21 + rows * std::max(13, unscaled(itemHeight)) + 4;   // design units
}

bool PickListView::onCommand(WORD code) {
    if (syncing_) return true;
    const bool dropped = SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    // While the list is open the selection follows the mouse and the arrows; the
    // pick is the item the operator ends on. Closed, every arrow key is a pick.
    if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) {
        const auto i = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
        if (i < 0) return true;
        if (i == list().itemIndex()) list().setItemIndex(-1);
        list().setItemIndex(i);
        return true;
    }
    return code == CBN_SELCHANGE;
}

// ---- a named panel ----

PanelView::PanelView(ui::Control& model, HWND parent, int x, int y, int w, int h, COLORREF color)
    : View(model), panel_(std::make_unique<Panel>(parent, x, y, w, h, color)) {
    adopt(panel_->hwnd());
}

PanelView::~PanelView() {
    // The panel destroys its window; the base must not do it again.
    release();
    panel_.reset();
}

}  // namespace tarvex::win32
