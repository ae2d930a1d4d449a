#pragma once
// A month calendar showing the model's day in the model's font size; a day the
// operator picks becomes the model's date.
#include "win32/ui_base.h"

namespace tarvex::win32 {

class CalendarView : public View {
public:
    CalendarView(ui::Calendar& model, HWND parent, int x, int y, int w, int h);
    ui::Calendar& calendar() const { return static_cast<ui::Calendar&>(control()); }
    bool onNotify(NMHDR* hdr, LRESULT& result) override;

protected:
    void sync() override;

private:
    int shownFont_ = 0;
};

}  // namespace tarvex::win32
