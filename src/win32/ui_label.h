#pragma once
// Labels (real static windows, so their captions can be read), buttons and
// check boxes. A click runs the model's click action.
#include <string>

#include "win32/ui_base.h"

namespace tarvex::win32 {

struct TextStyle {
    COLORREF color = RGB(0, 0, 0);
    COLORREF background = kFormColor;
    HFONT font = nullptr;          // nullptr: the default font
    bool centred = false;
};

// A static or button window drawn in a style's colors.
class StyledView : public View {
public:
    bool onCtlColor(HDC dc, HBRUSH& brush) override;

protected:
    StyledView(ui::Control& model, TextStyle style) : View(model), style_(style) {}
    // From the derived constructor, so the first sync is the derived one.
    void create(const wchar_t* cls, DWORD style, HWND parent, int x, int y, int w, int h);
    TextStyle style_;
};

class LabelView : public StyledView {
public:
    LabelView(ui::Label& model, HWND parent, int x, int y, int w, int h, TextStyle style = {});
    ui::Label& label() const { return static_cast<ui::Label&>(control()); }
    bool onCommand(WORD code) override;

protected:
    void sync() override;
};

struct ButtonStyle {
    HICON icon = nullptr;          // a picture button shows it centred
    HBITMAP picture = nullptr;     // drawn stretched under the caption
    bool flat = false;             // no frame until pressed
    bool showCaption = true;
    std::wstring glyph;            // drawn when the model has no caption (an arrow, "...")
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF background = kFormColor;
    HFONT font = nullptr;
};

class ButtonView : public View {
public:
    ButtonView(ui::Button& model, HWND parent, int x, int y, int w, int h, ButtonStyle style = {});
    ui::Button& button() const { return static_cast<ui::Button&>(control()); }
    bool onCommand(WORD code) override;
    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    void sync() override;

private:
    ButtonStyle style_;
};

class CheckBoxView : public StyledView {
public:
    CheckBoxView(ui::CheckBox& model, HWND parent, int x, int y, int w, int h, TextStyle style = {});
    ui::CheckBox& box() const { return static_cast<ui::CheckBox&>(control()); }
    bool onCommand(WORD code) override;

protected:
    void sync() override;
};

}  // namespace tarvex::win32
