#pragma once
// A message-driven timer on a window of its own. Its ID is named by the owner;
// a change of interval or enabled state (the model's generation) restarts the count.
#include "win32/ui_base.h"

namespace tarvex::win32 {

class TimerView : public View {
public:
    TimerView(ui::Timer& model, UINT_PTR id);
    ui::Timer& timer() const { return static_cast<ui::Timer&>(control()); }
    UINT_PTR id() const { return id_; }
    bool running() const { return running_; }
    void changed(ui::Control& control) override;

protected:
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    UINT_PTR id_;
    unsigned generation_ = ~0u;
    bool running_ = false;
};

}  // namespace tarvex::win32
