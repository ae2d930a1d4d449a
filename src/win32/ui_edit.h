#pragma once
// Text fields: a single-line edit, a multi-line memo, or an edit with a list to
// drop down: fixed suggestions, or the items of a ui::ComboBox model. A typed
// change runs the model's setText, so its change action runs as it does when
// code sets the text; picking a ComboBox's item runs its pick.
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
    HWND createCombo(HWND parent, int x, int y, int w, int h, int maxLength);
    HWND createEdit(HWND parent, int x, int y, int w, int h, const EditOptions& options);
    const std::vector<std::string>& items() const { return picks_ ? picks_->items : suggestions_; }
    void syncItems();
    void picked();
    void typed(const std::string& text);

    ui::ComboBox* picks_;                  // a model whose items are its own
    std::vector<std::string> suggestions_;
    bool combo_;
    std::vector<std::string> shownItems_;
    bool shownMasked_ = false;
    std::string shown_;   // what the window holds, so long texts are not read back to compare
};

}  // namespace tarvex::win32
