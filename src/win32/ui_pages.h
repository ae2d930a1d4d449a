#pragma once
// A page control: one panel per named page, the active one shown. A tab strip
// shows the pages whose tab is visible; with none visible the pages fill it all.
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
    bool onNotify(NMHDR* hdr, LRESULT& result) override;

protected:
    void sync() override;
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    struct Page {
        std::string name, caption;
        bool tab = true;
        std::unique_ptr<Panel> panel;
    };
    Page& entry(const std::string& name);
    void rebuildTabs();
    void layout();
    Panel frame_;
    HWND tabs_ = nullptr;
    COLORREF color_;
    std::vector<Page> pages_;
    std::vector<std::string> tabNames_;   // the page behind each visible tab
    bool shownTabsVisible_ = true;
};

}  // namespace tarvex::win32
