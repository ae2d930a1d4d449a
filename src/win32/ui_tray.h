#pragma once
// The notification-area icon. It lives on a hidden top-level window of its own
// (so the shell's "TaskbarCreated" broadcast reaches it and it can re-add the
// icon), whose text is the icon's hint. A click runs the model's onClick; the
// right button shows the menu items given.
#include <functional>
#include <string>
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

struct TrayMenuItem {
    std::string caption;
    std::function<void()> action;
};

class TrayView : public View {
public:
    // pictures: index 0 at rest, 1 while running, 2 after an unseen failure. owner:
    // brought forward for the menu.
    TrayView(ui::Tray& model, std::vector<HICON> pictures, HWND owner = nullptr);
    ~TrayView() override;
    ui::Tray& tray() const { return static_cast<ui::Tray&>(control()); }
    std::vector<TrayMenuItem> menu;
    bool added() const { return added_; }
    void changed(ui::Control& control) override;

    static constexpr UINT kCallback = WM_APP + 1;   // the icon's callback message
    static constexpr UINT kIconId = 1;

protected:
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool apply(DWORD action);
    void showBalloon();
    void showMenu(int x, int y);
    std::vector<HICON> pictures_;
    HWND owner_;
    bool added_ = false;
    int balloonsShown_ = 0;
    UINT taskbarCreated_;
};

}  // namespace tarvex::win32
