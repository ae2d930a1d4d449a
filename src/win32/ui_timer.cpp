#include "win32/ui_timer.h"

namespace tarvex::win32 {

TimerView::TimerView(ui::Timer& model, UINT_PTR id) : View(model), id_(id) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    // A message-only window: nothing to show, and it gets WM_TIMER for this timer alone.
    adopt(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr));
}

void TimerView::changed(ui::Control&) {
    if (!hwnd() || timer().generation() == generation_) return;
    generation_ = timer().generation();
    running_ = timer().isEnabled() && timer().interval() > 0;
    if (running_) SetTimer(hwnd(), id_, static_cast<UINT>(timer().interval()), nullptr);
    else KillTimer(hwnd(), id_);
}

bool TimerView::onMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_TIMER || wp != id_) return false;
    result = 0;
    timer().fire();
    return true;
}

}  // namespace tarvex::win32
