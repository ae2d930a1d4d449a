#pragma once
// Views the Tarefas screen needs beyond the kit's: the hour field typed over its
// "  :  " mask, the command memo in the text font of the settings, a coloured
// panel bound to a model, and a caption that owns its label.
#include <functional>
#include <memory>
#include <string>

#include "settings/settings.h"
#include "win32/ui_edit.h"
#include "win32/ui_label.h"
#include "win32/ui_list.h"

namespace tarvex::win32 {

// Typing overwrites the digit positions, steps over the fixed colon, and a
// backspace blanks the position before the caret.
class HourEditView : public EditView {
public:
    HourEditView(ui::Edit& model, HWND parent, int x, int y, int w, int h);

protected:
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void put(int pos, wchar_t ch);
};

// A memo whose font follows the settings as last read; checked before each paint,
// so a saved change shows at once.
class FontedMemoView : public EditView {
public:
    FontedMemoView(ui::Edit& model, HWND parent, int x, int y, int w, int h,
                   std::function<const settings::Settings&()> settings);

protected:
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void applyFont();
    std::function<const settings::Settings&()> settings_;
    HFONT applied_ = nullptr;
};

// A drop-down list whose pick always counts, the item already chosen included:
// the editor reads a row into the text field beside the list without moving the
// list, so picking the same item again must still copy it.
// A drop-down list's window height: its field and `rows` items below it when open.
int droppedHeight(HWND combo, int rows);

class PickListView : public ListView {
public:
    PickListView(ui::ListBox& model, HWND parent, int x, int y, int w, int h)
        : ListView(model, parent, x, y, w, h, ListKind::DropDown) {}
    bool onCommand(WORD code) override;
};

// A plain panel whose window carries the model's name.
class PanelView : public View {
public:
    PanelView(ui::Control& model, HWND parent, int x, int y, int w, int h, COLORREF color);
    ~PanelView() override;
    Panel& panel() { return *panel_; }

private:
    std::unique_ptr<Panel> panel_;
};

// A caption with no model elsewhere: the view keeps its label.
struct OwnedLabel {
    explicit OwnedLabel(const std::string& text) : owned("") { owned.setCaption(text); }
    ui::Label owned;
};
class CaptionView : private OwnedLabel, public LabelView {
public:
    CaptionView(const std::string& text, HWND parent, int x, int y, int w, int h, TextStyle style = {})
        : OwnedLabel(text), LabelView(owned, parent, x, y, w, h, style) {}
};

}  // namespace tarvex::win32
