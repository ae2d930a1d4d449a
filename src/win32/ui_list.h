#pragma once
// A choice among items: a group of option buttons, a drop-down list or a list
// box. The operator's choice runs the model's setItemIndex (and so onChange).
#include <memory>
#include <string>
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

enum class ListKind { Radio, DropDown, List };

class ListView : public View {
public:
    // caption: the frame's title of a radio group.
    ListView(ui::ListBox& model, HWND parent, int x, int y, int w, int h, ListKind kind,
             const std::string& caption = "");
    ~ListView() override;
    ui::ListBox& list() const { return static_cast<ui::ListBox&>(control()); }
    bool onCommand(WORD code) override;

protected:
    void sync() override;
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void rebuild();
    ListKind kind_;
    std::unique_ptr<Panel> frame_;    // radio group only
    HWND group_ = nullptr;
    std::vector<HWND> radios_;
    std::vector<std::string> shownItems_;
    int w_, h_;
};

}  // namespace tarvex::win32
