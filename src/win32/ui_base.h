#pragma once
// The base of the Win32 control views: text at the wide-call edge, the control's
// name as a window property, shared fonts, notification reflection and the
// window-as-object base for our own window classes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/controls.h"
#include "win32/wide.h"

namespace tarvex::win32 {

std::string windowText(HWND h);
void setWindowText(HWND h, const std::string& cp1252);

// The property a control's window carries: a global atom whose text is its name.
inline constexpr const wchar_t* kNameProp = L"TARVEX.Name";
void setControlName(HWND h, const std::string& name);
void clearControlName(HWND h);
std::string controlName(HWND h);
// Depth-first search of `root`'s descendants (and root itself) by name.
HWND findControl(HWND root, const std::string& name);
// A window making some controls only when they are first shown answers this
// message (wParam: a global atom of a name) by making the controls it has yet to
// make until one has that name: nonzero when one has.
UINT makeControlMessage();
// findControl, but a control not made yet is asked for first (of this or another
// process): what automation looks controls up with.
HWND findOrMakeControl(HWND root, const std::string& name);
// Registers the window class `name` of this module once (later calls find it):
// double clicks on, the arrow cursor, the program's icon where it has one.
void registerClass(const wchar_t* name, WNDPROC proc, UINT style = CS_DBLCLKS);

// The window is designed in pixels of a 96-DPI screen; on a scaled monitor every
// position, size and font is multiplied by dpi()/96. Views take design units and
// scale them; what Windows reports (client sizes, mouse points) is real pixels.
int dpi();
void setDpi(int dpi);
int scaled(int design);
int unscaled(int pixels);   // rounded down
// The DPI of the monitor a window is on (the system's, where Windows cannot tell).
int dpiOf(HWND h);
// After a DPI change (dpi() already `to`): every descendant of `root` moved, sized
// and given its font again for `to` instead of `from`.
void rescaleChildren(HWND root, int from, int to);

// Fonts live as long as the program; asking twice gives the same handle. Sizes in
// points or design pixels, made for dpi(); fontActual is in real pixels (pictures).
HFONT fontPoints(int points, bool bold = false, const std::string& face = "MS Sans Serif");
HFONT fontPixels(int pixels, bool bold = false, const std::string& face = "MS Sans Serif");
HFONT fontActual(int pixels, bool bold = false, const std::string& face = "MS Sans Serif");
// The same font as made for dpi(): what owner-drawn parts paint with.
HFONT fontForDpi(HFONT font);
HFONT defaultFont();

// Solid brushes, also cached for the program's life.
HBRUSH solidBrush(COLORREF c);
// WM_ERASEBKGND's answer for a window of one color.
LRESULT eraseWith(HWND h, WPARAM dc, COLORREF color);

inline constexpr COLORREF kFormColor = RGB(212, 207, 201);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// A view of one control model. Created by a concrete view on a parent window;
// the parent reflects notifications back to it, so each control handles its own.
class View : public ui::ControlView {
public:
    explicit View(ui::Control& model);
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    HWND hwnd() const { return hwnd_; }
    ui::Control& control() const { return model_; }
    void changed(ui::Control& control) override;
    void setFont(HFONT f);
    void move(int x, int y, int w, int h);

    // Reflected from the parent; true when handled.
    virtual bool onCommand(WORD /*code*/) { return false; }
    virtual bool onNotify(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual bool onCtlColor(HDC /*dc*/, HBRUSH& /*brush*/) { return false; }
    virtual bool onDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

protected:
    // Takes the created window: name, view pointer, font, hint, state.
    void adopt(HWND h);
    // Lets go of the window without destroying it.
    void release();
    // Copies the kind-specific state of the model into the window.
    virtual void sync() {}
    // Subclassed messages; return true when handled.
    virtual bool onMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
    bool syncing_ = false;   // set while code writes the window, so echoes are ignored

private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void syncCommon();
    ui::Control& model_;
    HWND hwnd_ = nullptr;
    std::string shownHint_;
};

View* viewOf(HWND h);

// Container windows call this for every message; true when a child's view
// handled a notification it raised.
bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// Shows `text` as the tool tip of `h` (empty removes it).
void setToolTip(HWND h, const std::string& text);

// Window-as-object base for our own window classes: the static procedure finds
// the object stored at WM_NCCREATE and forwards to handle().
class Wnd {
public:
    Wnd() = default;
    virtual ~Wnd();
    Wnd(const Wnd&) = delete;
    Wnd& operator=(const Wnd&) = delete;
    HWND hwnd() const { return hwnd_; }

protected:
    // Registers `cls` once and creates the window with this object behind it.
    HWND createWindow(const wchar_t* cls, DWORD exStyle, DWORD style, const std::string& text,
                      int x, int y, int w, int h, HWND parent, HMENU menu = nullptr);
    virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
};

// A plain coloured child window that holds controls and reflects their
// notifications: the top panel, each page, a group.
class Panel : public Wnd {
public:
    Panel(HWND parent, int x, int y, int w, int h, COLORREF color = kFormColor);
    COLORREF color() const { return color_; }
    void move(int x, int y, int w, int h);
    // Called after the panel's size changed.
    std::function<void(int w, int h)> onSize;

protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COLORREF color_;
};

}  // namespace tarvex::win32
