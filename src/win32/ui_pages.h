#pragma once
// A page control: one panel per named page, the active one shown. A tab strip
// shows the pages whose tab is visible; with none visible the pages fill it all.
// Smaller than what its active page needs, the page keeps that size and scrolls
// (scroll bars, the wheel, and focus moving to a control out of sight).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

class PagesView : public View {
public:
    PagesView(ui::Pages& model, HWND parent, int x, int y, int w, int h, COLORREF color = kFormColor);
    ~PagesView() override;
    ui::Pages& pages() const { return static_cast<ui::Pages&>(control()); }
    // The panel of a page of the model (made on first use); put its controls on it.
    Panel& page(const std::string& name);
    void setCaption(const std::string& name, const std::string& caption);
    void setTabVisible(const std::string& name, bool visible);
    // A page whose controls `build` makes the first time the page shows, or when
    // buildNext is asked: a window opens with only what it shows.
    void buildLater(const std::string& name, std::function<void(Panel&)> build);
    // Makes the controls of one page still waiting for them; false when none is.
    bool buildNext();
    bool onNotify(NMHDR* hdr, LRESULT& result) override;
    // Scrolls the active page so that `control`, one of its descendants, is in sight.
    void scrollIntoView(HWND control);

protected:
    void sync() override;
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    struct Page {
        std::string name, caption;
        bool tab = true;
        std::unique_ptr<Panel> panel;
        std::function<void(Panel&)> build;   // empty once the controls are made
    };
    Page& entry(const std::string& name);
    void build(const std::string& name);
    void rebuildTabs();
    void layout();
    // ui_pages_scroll.cpp: the active page's size, place and scroll bars.
    void placeActive(HWND page, const RECT& inner);
    SIZE contentOf(HWND panel) const;
    SIZE needOf(HWND page, SIZE room) const;
    void scrollTo(POINT at);
    bool scrollMessage(UINT msg, WPARAM wp);
    HWND activePanel() const;
    void watchFocus(bool on);
    Panel frame_;
    HWND tabs_ = nullptr;
    COLORREF color_;
    std::vector<Page> pages_;
    std::vector<std::string> tabNames_;   // the page behind each visible tab
    bool shownTabsVisible_ = true;
    POINT scroll_{0, 0};       // pixels the active page is moved up and left
    RECT view_{0, 0, 0, 0};    // where the active page shows, in the frame
    SIZE pageSize_{0, 0};      // the active page's size, pixels
    bool placing_ = false;
    std::string placed_;       // the page the scroll belongs to
};

}  // namespace tarvex::win32
