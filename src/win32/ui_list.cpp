#include "win32/ui_list.h"

#include <algorithm>

namespace tarvex::win32 {

ListView::ListView(ui::ListBox& model, HWND parent, int x, int y, int w, int h, ListKind kind,
                   const std::string& caption)
    : View(model), kind_(kind), w_(w), h_(h) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    switch (kind) {
    case ListKind::Radio:
        frame_ = std::make_unique<Panel>(parent, x, y, w, h);
        // The group box's inside is not painted by it: the frame must paint under it.
        SetWindowLongW(frame_->hwnd(), GWL_STYLE, GetWindowLongW(frame_->hwnd(), GWL_STYLE) & ~WS_CLIPCHILDREN);
        group_ = CreateWindowExW(0, L"BUTTON", widen(caption).c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0, scaled(w), scaled(h),
                                 frame_->hwnd(), nullptr, inst, nullptr);
        SendMessageW(group_, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
        adopt(frame_->hwnd());
        break;
    case ListKind::DropDown:
        adopt(CreateWindowExW(0, L"COMBOBOX", L"", style | CBS_DROPDOWNLIST | WS_VSCROLL, scaled(x), scaled(y),
                              scaled(w), scaled(h + 200), parent, nullptr, inst, nullptr));
        break;
    case ListKind::List:
        adopt(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style | LBS_NOTIFY | WS_VSCROLL, scaled(x), scaled(y),
                              scaled(w), scaled(h), parent, nullptr, inst, nullptr));
        break;
    }
}

ListView::~ListView() {
    // The frame's window goes with the panel; the base must not destroy it again.
    frame_.reset();
}

void ListView::rebuild() {
    shownItems_ = list().items;
    HWND h = hwnd();
    if (kind_ == ListKind::Radio) {
        for (HWND r : radios_) DestroyWindow(r);
        radios_.clear();
        int n = std::max<int>(1, shownItems_.size());
        int step = std::max(17, (h_ - 20) / n);
        for (size_t i = 0; i < shownItems_.size(); ++i) {
            DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
            HWND r = CreateWindowExW(0, L"BUTTON", widen(shownItems_[i]).c_str(), style, scaled(8),
                                     scaled(16 + static_cast<int>(i) * step), scaled(w_ - 16), scaled(17), h, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
            SendMessageW(r, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
            SetWindowPos(r, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // above the group box
            radios_.push_back(r);
        }
        return;
    }
    UINT reset = kind_ == ListKind::DropDown ? CB_RESETCONTENT : LB_RESETCONTENT;
    UINT add = kind_ == ListKind::DropDown ? CB_ADDSTRING : LB_ADDSTRING;
    SendMessageW(h, reset, 0, 0);
    for (const auto& s : shownItems_) SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(widen(s).c_str()));
}

void ListView::sync() {
    if (list().items != shownItems_) rebuild();
    int i = list().itemIndex();
    if (kind_ == ListKind::Radio) {
        for (size_t k = 0; k < radios_.size(); ++k)
            SendMessageW(radios_[k], BM_SETCHECK, static_cast<int>(k) == i ? BST_CHECKED : BST_UNCHECKED, 0);
    } else {
        SendMessageW(hwnd(), kind_ == ListKind::DropDown ? CB_SETCURSEL : LB_SETCURSEL, i, 0);
    }
}

bool ListView::onCommand(WORD code) {
    if (syncing_) return true;
    if ((kind_ == ListKind::DropDown && code == CBN_SELCHANGE) || (kind_ == ListKind::List && code == LBN_SELCHANGE)) {
        auto i = SendMessageW(hwnd(), kind_ == ListKind::DropDown ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
        list().setItemIndex(static_cast<int>(i));
        return true;
    }
    return false;
}

bool ListView::onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // A radio group's buttons are plain children of the frame: their clicks come here.
    if (kind_ != ListKind::Radio || msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return false;
    auto it = std::find(radios_.begin(), radios_.end(), reinterpret_cast<HWND>(lp));
    if (it == radios_.end()) return false;
    result = 0;
    if (!syncing_) list().setItemIndex(static_cast<int>(it - radios_.begin()));
    return true;
}

}  // namespace tarvex::win32
