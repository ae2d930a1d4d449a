#include "win32/ui_base.h"
#include "win32/handles.h"

#include <commctrl.h>

#include <map>
#include <tuple>
#include <vector>

#include "win32/callback_guard.h"

namespace tarvex::win32 {

std::string windowText(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(h, w.data(), n + 1);
    w.resize(n > 0 ? n : 0);
    return narrow(w);
}

void setWindowText(HWND h, const std::string& cp1252) {
    SetWindowTextW(h, widen(cp1252).c_str());
}

void setControlName(HWND h, const std::string& name) {
    clearControlName(h);
    ATOM atom = GlobalAddAtomW(widen(name).c_str());
    if (atom) SetPropW(h, kNameProp, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void clearControlName(HWND h) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropW(h, kNameProp)));
    if (atom) GlobalDeleteAtom(atom);
}

std::string controlName(HWND h) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(h, kNameProp)));
    if (!atom) return {};
    wchar_t buf[256];
    UINT n = GlobalGetAtomNameW(atom, buf, 256);
    return narrow(std::wstring(buf, n));
}

namespace {
struct FindByName {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK findChild(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<FindByName*>(lp);
    return guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (controlName(h) == f->name) { f->found = h; return FALSE; }
        return TRUE;
    });
}
}  // namespace

HWND findControl(HWND root, const std::string& name) {
    if (controlName(root) == name) return root;
    FindByName f{name};
    EnumChildWindows(root, findChild, reinterpret_cast<LPARAM>(&f));  // visits all descendants
    return f.found;
}

UINT makeControlMessage() {
    static const UINT message = RegisterWindowMessageW(L"TARVEX.MakeControl");
    return message;
}

HWND findOrMakeControl(HWND root, const std::string& name) {
    if (HWND found = findControl(root, name)) return found;
    const ATOM atom = GlobalAddAtomW(widen(name).c_str());
    if (!atom) return nullptr;
    DWORD_PTR made = 0;
    const bool answered = SendMessageTimeoutW(GetAncestor(root, GA_ROOT), makeControlMessage(), atom, 0,
                                              SMTO_ABORTIFHUNG, 30000, &made) != 0;
    GlobalDeleteAtom(atom);
    return answered && made ? findControl(root, name) : nullptr;
}

namespace {
int gDpi = 96;

struct FontKey {
    int pixels;
    bool bold;
    std::string face;
    auto operator<=>(const FontKey&) const = default;
};
struct FontMade {
    FontKey key;
    int dpi;   // the scale it was first asked for
};
std::map<FontKey, HFONT>& fontsByKey() {
    static std::map<FontKey, HFONT> fonts;
    return fonts;
}
std::map<HFONT, FontMade>& keysByFont() {
    static std::map<HFONT, FontMade> keys;
    return keys;
}
}  // namespace

int dpi() { return gDpi; }
void setDpi(int d) { gDpi = d > 0 ? d : 96; }
int scaled(int design) { return MulDiv(design, gDpi, 96); }
// Rounded down, so that scaling back never gives more than there is.
int unscaled(int pixels) { return static_cast<int>(static_cast<long long>(pixels) * 96 / gDpi); }

int dpiOf(HWND h) {
    // Windows 10 (1607) and later; Windows 7 and 8 have the system's DPI only.
    using ForWindow = UINT(WINAPI*)(HWND);
    static auto forWindow = reinterpret_cast<ForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow && h) {
        if (UINT d = forWindow(h)) return static_cast<int>(d);
    }
    const int d = GetDeviceCaps(ScreenDC().get(), LOGPIXELSY);
    return d > 0 ? d : 96;
}

HFONT fontActual(int pixels, bool bold, const std::string& face) {
    FontKey key{pixels, bold, face};
    auto it = fontsByKey().find(key);
    if (it != fontsByKey().end()) return it->second;
    HFONT f = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, widen(face).c_str());
    fontsByKey()[key] = f;
    keysByFont()[f] = FontMade{key, gDpi};
    return f;
}

HFONT fontForDpi(HFONT f) {
    auto made = keysByFont().find(f);
    if (made == keysByFont().end() || made->second.dpi == gDpi) return f;
    const FontKey k = made->second.key;   // the maps grow below
    return fontActual(MulDiv(k.pixels, gDpi, made->second.dpi), k.bold, k.face);
}

HFONT fontPixels(int pixels, bool bold, const std::string& face) { return fontActual(scaled(pixels), bold, face); }

HFONT fontPoints(int points, bool bold, const std::string& face) {
    return fontActual(MulDiv(points, gDpi, 72), bold, face);
}

namespace {
// Children of this program's own windows; the parts inside a standard control
// (a combo box's field) are the control's to place.
BOOL CALLBACK collectChild(HWND h, LPARAM lp) {
    const auto ours = reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr));
    if ((GetWindowLongW(h, GWL_STYLE) & WS_CHILD) && GetClassLongPtrW(GetParent(h), GCLP_HMODULE) == ours)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}
}  // namespace

// Every place is read before anything moves: a panel that is resized lays its
// children out again, and they must not be scaled twice.
void rescaleChildren(HWND root, int from, int to) {
    if (from == to || from <= 0 || to <= 0) return;
    std::vector<HWND> children;
    EnumChildWindows(root, collectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<RECT> places;
    for (HWND h : children) {
        RECT rc;
        GetWindowRect(h, &rc);
        // A drop-down combo box's window is as tall as its open list, which its
        // rectangle leaves out.
        RECT list{};
        if (SendMessageW(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list)) && list.bottom > rc.bottom)
            rc.bottom = list.bottom;
        MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&rc), 2);
        places.push_back(rc);
    }
    auto s = [&](LONG v) { return MulDiv(v, to, from); };
    for (size_t i = 0; i < children.size(); ++i) {
        HWND h = children[i];
        const RECT& rc = places[i];
        SetWindowPos(h, nullptr, s(rc.left), s(rc.top), s(rc.right - rc.left), s(rc.bottom - rc.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
        if (font && fontForDpi(font) != font)
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fontForDpi(font)), TRUE);
    }
}

HFONT defaultFont() { return fontPoints(8); }

HBRUSH solidBrush(COLORREF c) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto it = brushes.find(c);
    if (it != brushes.end()) return it->second;
    return brushes[c] = CreateSolidBrush(c);
}

LRESULT eraseWith(HWND h, WPARAM dc, COLORREF color) {
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(reinterpret_cast<HDC>(dc), &rc, solidBrush(color));
    return 1;
}

// ---- tool tips: one tip window per top-level window ----

namespace {
constexpr const wchar_t* kTipsProp = L"TARVEX.Tips";
constexpr const wchar_t* kViewProp = L"TARVEX.View";

HWND tipsFor(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    if (!root) return nullptr;
    auto tips = static_cast<HWND>(GetPropW(root, kTipsProp));
    if (tips) return tips;
    tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           0, 0, 0, 0, root, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(root, kTipsProp, tips);
    return tips;
}
}  // namespace

void setToolTip(HWND h, const std::string& text) {
    HWND tips = tipsFor(h);
    if (!tips) return;
    std::wstring w = widen(text);
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(h);
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (text.empty()) return;
    ti.lpszText = w.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- View ----

View::View(ui::Control& model) : model_(model) { model_.attach(this); }

View::~View() {
    model_.attach(nullptr);
    HWND h = hwnd_;
    release();
    if (h) DestroyWindow(h);
}

void View::release() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, subclassProc, 0);
    RemovePropW(hwnd_, kViewProp);
    clearControlName(hwnd_);
    hwnd_ = nullptr;
}

View* viewOf(HWND h) { return h ? static_cast<View*>(GetPropW(h, kViewProp)) : nullptr; }

void View::adopt(HWND h) {
    hwnd_ = h;
    SetPropW(h, kViewProp, this);
    setControlName(h, model_.name());
    SetWindowSubclass(h, subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
    changed(model_);
}

void View::setFont(HFONT f) {
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
}

void View::move(int x, int y, int w, int h) {
    if (hwnd_) MoveWindow(hwnd_, scaled(x), scaled(y), scaled(w), scaled(h), TRUE);
}

void View::changed(ui::Control&) {
    if (!hwnd_) return;
    syncing_ = true;
    syncCommon();
    sync();
    syncing_ = false;
}

void View::syncCommon() {
    bool shown = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != model_.visible()) ShowWindow(hwnd_, model_.visible() ? SW_SHOWNA : SW_HIDE);
    if ((IsWindowEnabled(hwnd_) != FALSE) != model_.enabled()) EnableWindow(hwnd_, model_.enabled());
    if (shownHint_ != model_.hint()) {
        shownHint_ = model_.hint();
        setToolTip(hwnd_, shownHint_);
    }
}

LRESULT CALLBACK View::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<View*>(ref);
    if (msg == WM_NCDESTROY) {
        // The parent went first: forget the window so the destructor leaves it alone.
        RemoveWindowSubclass(h, subclassProc, 0);
        RemovePropW(h, kViewProp);
        clearControlName(h);
        self->hwnd_ = nullptr;
        return DefSubclassProc(h, msg, wp, lp);
    }
    // A handler that threw leaves the message to the default handling, so a
    // failed paint still validates and cannot come back at once.
    LRESULT result = 0;
    if (guarded(false, [&] { return self->onMessage(msg, wp, lp, result); })) return result;
    return DefSubclassProc(h, msg, wp, lp);
}

bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (View* v = viewOf(reinterpret_cast<HWND>(lp))) { result = 0; return v->onCommand(HIWORD(wp)); }
        return false;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (View* v = viewOf(hdr->hwndFrom)) return v->onNotify(hdr, result);
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (View* v = viewOf(reinterpret_cast<HWND>(lp))) {
            HBRUSH brush = nullptr;
            if (v->onCtlColor(reinterpret_cast<HDC>(wp), brush)) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (View* v = viewOf(di->hwndItem)) { result = TRUE; return v->onDrawItem(*di); }
        return false;
    }
    default:
        return false;
    }
}

// ---- Wnd ----

Wnd::~Wnd() {
    if (hwnd_) {
        // Clear the object first, so no handler runs on a half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

void registerClass(const wchar_t* name, WNDPROC proc, UINT style) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(inst, name, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

HWND Wnd::createWindow(const wchar_t* cls, DWORD exStyle, DWORD style, const std::string& text,
                       int x, int y, int w, int h, HWND parent, HMENU menu) {
    registerClass(cls, proc);
    return CreateWindowExW(exStyle, cls, widen(text).c_str(), style, x, y, w, h, parent, menu,
                           GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK Wnd::proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Wnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Wnd*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        LRESULT r = guarded<LRESULT>(0, [&] { return self->handle(msg, wp, lp); });
        self->hwnd_ = nullptr;
        return r;
    }
    bool failed = true;
    const LRESULT r = guarded<LRESULT>(0, [&] {
        const LRESULT handled = self->handle(msg, wp, lp);
        failed = false;
        return handled;
    });
    return failed ? DefWindowProcW(h, msg, wp, lp) : r;
}

LRESULT Wnd::handle(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT Wnd::defaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

// ---- Panel ----

Panel::Panel(HWND parent, int x, int y, int w, int h, COLORREF color) : color_(color) {
    createWindow(L"TarvexPanel", WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, "", scaled(x),
                 scaled(y), scaled(w), scaled(h), parent);
}

void Panel::move(int x, int y, int w, int h) {
    MoveWindow(hwnd_, scaled(x), scaled(y), scaled(w), scaled(h), TRUE);
}

LRESULT Panel::handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (reflect(msg, wp, lp, r)) return r;
    switch (msg) {
    case WM_ERASEBKGND: return eraseWith(hwnd_, wp, color_);
    // Esc in a multi-line box asks the box's parent to close: a page never does.
    case WM_CLOSE: return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wp), color_);
        return reinterpret_cast<LRESULT>(solidBrush(color_));
    case WM_SIZE:
        if (onSize) onSize(unscaled(LOWORD(lp)), unscaled(HIWORD(lp)));
        return 0;
    default:
        return defaultProc(msg, wp, lp);
    }
}

}  // namespace tarvex::win32
