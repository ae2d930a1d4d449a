#include "win32/ui_label.h"
#include "win32/handles.h"

namespace tarvex::win32 {

namespace {
HWND makeChild(const wchar_t* cls, DWORD style, HWND parent, int x, int y, int w, int h) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, scaled(x), scaled(y), scaled(w), scaled(h),
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

// ---- StyledView ----

void StyledView::create(const wchar_t* cls, DWORD style, HWND parent, int x, int y, int w, int h) {
    adopt(makeChild(cls, style, parent, x, y, w, h));
    if (style_.font) setFont(style_.font);
}

bool StyledView::onCtlColor(HDC dc, HBRUSH& brush) {
    SetTextColor(dc, style_.color);
    SetBkColor(dc, style_.background);
    brush = solidBrush(style_.background);
    return true;
}

// ---- LabelView ----

LabelView::LabelView(ui::Label& model, HWND parent, int x, int y, int w, int h, TextStyle style)
    : StyledView(model, style) {
    create(L"STATIC", SS_NOTIFY | SS_NOPREFIX | (style.centred ? SS_CENTER : SS_LEFT), parent, x, y, w, h);
}

void LabelView::sync() {
    if (windowText(hwnd()) != label().caption()) setWindowText(hwnd(), label().caption());
}

bool LabelView::onCommand(WORD code) {
    if (code != STN_CLICKED) return false;
    label().click();
    return true;
}

// ---- ButtonView ----

ButtonView::ButtonView(ui::Button& model, HWND parent, int x, int y, int w, int h, ButtonStyle style)
    : View(model), style_(style) {
    adopt(makeChild(L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, parent, x, y, w, h));
    if (style_.font) setFont(style_.font);
}

void ButtonView::sync() {
    if (windowText(hwnd()) != button().caption()) setWindowText(hwnd(), button().caption());
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool ButtonView::onCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    button().click();
    return true;
}

bool ButtonView::onDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    FillRect(dc, &rc, solidBrush(style_.background));
    if (style_.picture) {
        const MemoryDC mem(dc);
        const Selected picture(mem.get(), style_.picture);
        BITMAP bm{};
        GetObjectW(style_.picture, sizeof(bm), &bm);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem.get(), 0, 0, bm.bmWidth,
                   bm.bmHeight, SRCCOPY);
    }
    if (pressed) DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
    else if (!style_.flat) DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
    int shift = pressed ? 1 : 0;
    if (style_.icon) {
        int size = std::min<int>(scaled(32), std::min(rc.right - rc.left, rc.bottom - rc.top) - 4);
        int ix = (rc.left + rc.right - size) / 2 + shift, iy = (rc.top + rc.bottom - size) / 2 + shift;
        DrawIconEx(dc, ix, iy, style_.icon, size, size, 0, nullptr, DI_NORMAL);
    }
    std::wstring text = button().caption().empty() ? style_.glyph : widen(button().caption());
    if (style_.showCaption && !text.empty()) {
        SetBkMode(dc, TRANSPARENT);
        bool enabled = !(item.itemState & ODS_DISABLED);
        SetTextColor(dc, enabled ? style_.textColor : GetSysColor(COLOR_GRAYTEXT));
        const Selected font(dc, style_.font ? fontForDpi(style_.font) : defaultFont());
        RECT tr = rc;
        OffsetRect(&tr, shift, shift);
        DrawTextW(dc, text.c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (!style_.flat && (item.itemState & ODS_FOCUS)) {
        RECT fr = rc;
        InflateRect(&fr, -3, -3);
        DrawFocusRect(dc, &fr);
    }
    return true;
}

// ---- CheckBoxView ----

CheckBoxView::CheckBoxView(ui::CheckBox& model, HWND parent, int x, int y, int w, int h, TextStyle style)
    : StyledView(model, style) {
    create(L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, parent, x, y, w, h);
}

void CheckBoxView::sync() {
    if (windowText(hwnd()) != box().caption()) setWindowText(hwnd(), box().caption());
    WPARAM state = box().checked() ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(hwnd(), BM_GETCHECK, 0, 0)) != state)
        SendMessageW(hwnd(), BM_SETCHECK, state, 0);
}

bool CheckBoxView::onCommand(WORD code) {
    if (code != BN_CLICKED || syncing_) return false;
    box().setChecked(SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED);
    return true;
}

}  // namespace tarvex::win32
