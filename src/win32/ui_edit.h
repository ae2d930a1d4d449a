#pragma once
// Text fields: a single-line edit, a multi-line memo, or an edit with a list of
// suggestions to drop down. A typed change runs the model's setText, so its
// change action runs as it does when code sets the text.
#include <string>
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

struct EditOptions {
    bool multiline = false;
    bool upperCase = false;
    int maxLength = 0;                      // 0: no limit
    std::vector<std::string> suggestions;   // non-empty: a drop-down of them
};

class EditView : public View {
public:
    EditView(ui::Edit& model, HWND parent, int x, int y, int w, int h, EditOptions options = {});
    ui::Edit& edit() const { return static_cast<ui::Edit&>(control()); }
    bool onCommand(WORD code) override;
    bool onCtlColor(HDC dc, HBRUSH& brush) override;

protected:
    void sync() override;

private:
    void typed(const std::string& text);
    bool combo_;
    std::string shown_;   // what the window holds, so long texts are not read back to compare
};

}  // namespace tarvex::win32
