#pragma once
// An editable drop-down list: the operator types a text or picks an item. Typing
// runs the model's setText; picking runs its pick (the text, then onClick).
#include <string>
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

class ComboBoxView : public View {
public:
    ComboBoxView(ui::ComboBox& model, HWND parent, int x, int y, int w, int h);
    ui::ComboBox& combo() const { return static_cast<ui::ComboBox&>(control()); }
    bool onCommand(WORD code) override;
    bool onCtlColor(HDC dc, HBRUSH& brush) override;

protected:
    void sync() override;

private:
    std::vector<std::string> shownItems_;
    std::string shownText_;
};

}  // namespace tarvex::win32
