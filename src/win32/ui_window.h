#pragma once
// The top-level window as the core sees it: caption, visible, and the state
// (normal, minimised, maximised). With minimiseHides, a minimised window is
// hidden, leaving only the notification-area icon.
#include "win32/ui_base.h"

namespace tarvex::win32 {

class WindowView : public View {
public:
    // Takes a top-level window made elsewhere (the main window's frame).
    WindowView(ui::Window& model, HWND frame, bool minimiseHides);
    ~WindowView() override;
    ui::Window& window() const { return static_cast<ui::Window&>(control()); }
    void changed(ui::Control& control) override;
    // The last normal-state rectangle, also while minimised or maximised.
    RECT normalRect() const;

protected:
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void applyBounds();
    void reportBounds();
    bool minimiseHides_;
};

}  // namespace tarvex::win32
