#include "win32/ui_pictures.h"

#include <algorithm>
#include <map>
#include <utility>

#include "win32/handles.h"
#include "win32/ui_base.h"

namespace tarvex::win32 {

namespace {

// Drawing happens on a 64-unit square scaled to the icon's size.
struct Canvas {
    HDC dc;
    int size;
    int s(int units) const { return MulDiv(units, size, 64); }
    template <class Shape>
    void filled(Shape shape, int l, int t, int r, int b, COLORREF fill, COLORREF line) const {
        const Gdi brush(CreateSolidBrush(fill));
        const Gdi pen(CreatePen(PS_SOLID, std::max(1, s(3)), line));
        const Selected withBrush(dc, brush.get()), withPen(dc, pen.get());
        shape(dc, s(l), s(t), s(r), s(b));
    }
    void box(int l, int t, int r, int b, COLORREF fill, COLORREF line) const { filled(Rectangle, l, t, r, b, fill, line); }
    void disc(int l, int t, int r, int b, COLORREF fill, COLORREF line) const { filled(Ellipse, l, t, r, b, fill, line); }
    void line(int x1, int y1, int x2, int y2, COLORREF c, int width) const {
        const Gdi pen(CreatePen(PS_SOLID, std::max(1, s(width)), c));
        const Selected withPen(dc, pen.get());
        MoveToEx(dc, s(x1), s(y1), nullptr);
        LineTo(dc, s(x2), s(y2));
    }
    void text(const wchar_t* t, COLORREF c, int height) const {
        const Selected font(dc, fontActual(std::max(8, s(height)), true, "Arial"));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c);
        RECT r{0, 0, size, size};
        DrawTextW(dc, t, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

void clockFace(const Canvas& c, COLORREF rim, COLORREF face) {
    c.disc(4, 4, 60, 60, face, rim);
    c.line(32, 32, 32, 14, RGB(0, 0, 0), 5);
    c.line(32, 32, 46, 38, RGB(0, 0, 0), 5);
}

// A round badge with a mark in the middle.
void badge(const Canvas& c, COLORREF fill, COLORREF rim, const wchar_t* mark, COLORREF ink, int height) {
    c.disc(4, 4, 60, 60, fill, rim);
    c.text(mark, ink, height);
}

void draw(const Canvas& c, Picture p) {
    const COLORREF ink = RGB(40, 40, 40);
    switch (p) {
    case Picture::Calendar:
        c.box(6, 10, 58, 58, RGB(255, 255, 255), ink);
        c.box(6, 10, 58, 22, RGB(200, 30, 30), ink);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                c.box(12 + col * 12, 27 + row * 10, 19 + col * 12, 33 + row * 10, RGB(80, 80, 160), RGB(80, 80, 160));
        break;
    case Picture::Tasks:
        c.box(10, 4, 54, 60, RGB(255, 255, 240), ink);
        for (int i = 0; i < 4; ++i) {
            int y = 16 + i * 11;
            c.line(16, y, 21, y + 4, RGB(0, 140, 0), 4);
            c.line(21, y + 4, 27, y - 3, RGB(0, 140, 0), 4);
            c.line(31, y + 1, 48, y + 1, ink, 3);
        }
        break;
    case Picture::Today:
        clockFace(c, RGB(0, 90, 170), RGB(255, 255, 255));
        break;
    case Picture::Help:
        badge(c, RGB(30, 90, 200), RGB(20, 60, 150), L"?", RGB(255, 255, 255), 46);
        break;
    case Picture::TrayIdle:
        clockFace(c, RGB(0, 110, 0), RGB(200, 240, 200));
        break;
    case Picture::TrayBusy:
        badge(c, RGB(250, 160, 0), RGB(170, 60, 0), L"\x25BA", RGB(120, 0, 0), 40);   // a task is running
        break;
    case Picture::TrayWarning:
        badge(c, RGB(220, 30, 30), RGB(120, 0, 0), L"!", RGB(255, 255, 255), 44);   // a failure nobody has seen yet
        break;
    }
}

// Paints the picture on `color` and marks in `mask` what stays transparent; both
// are free again when it returns, as an icon wants them.
void paintIcon(HDC screen, HBITMAP color, HBITMAP mask, Picture p, int size) {
    const MemoryDC dc(screen), mdc(screen);
    const Selected onColor(dc.get(), color), onMask(mdc.get(), mask);
    const COLORREF key = RGB(255, 0, 255);   // magenta marks what stays transparent
    RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, Gdi(CreateSolidBrush(key)).get());
    draw(Canvas{dc.get(), size}, p);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool clear = GetPixel(dc.get(), x, y) == key;
            SetPixel(mdc.get(), x, y, clear ? RGB(255, 255, 255) : RGB(0, 0, 0));
            if (clear) SetPixel(dc.get(), x, y, RGB(0, 0, 0));
        }
}

HICON makeIcon(Picture p, int size) {
    const ScreenDC screen;
    const Gdi color(CreateCompatibleBitmap(screen.get(), size, size));
    const Gdi mask(CreateBitmap(size, size, 1, 1, nullptr));
    paintIcon(screen.get(), color.get(), mask.get(), p, size);
    ICONINFO ii{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&ii);
}

// The bitmap is the caller's to keep.
HBITMAP makeBitmap(int w, int h, void (*paint)(HDC, int, int)) {
    const ScreenDC screen;
    const MemoryDC dc(screen.get());
    HBITMAP bmp = CreateCompatibleBitmap(screen.get(), w, h);
    const Selected drawn(dc.get(), bmp);
    paint(dc.get(), w, h);
    return bmp;
}

void verticalShade(HDC dc, int w, int h, COLORREF top, COLORREF bottom) {
    for (int y = 0; y < h; ++y) {
        auto mix = [&](int a, int b) { return a + (b - a) * y / std::max(1, h - 1); };
        RECT r{0, y, w, y + 1};
        const Gdi br(CreateSolidBrush(RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                                          mix(GetBValue(top), GetBValue(bottom)))));
        FillRect(dc, &r, br.get());
    }
}

}  // namespace

HICON pictureIcon(Picture picture, int size) {
    static std::map<std::pair<Picture, int>, HICON> icons;
    auto key = std::make_pair(picture, size);
    auto it = icons.find(key);
    if (it != icons.end()) return it->second;
    return icons[key] = makeIcon(picture, size);
}

HBITMAP iconizarBackdrop() {
    static HBITMAP bmp = makeBitmap(120, 32, [](HDC dc, int w, int h) {
        verticalShade(dc, w, h, RGB(70, 120, 200), RGB(10, 40, 110));
    });
    return bmp;
}

HBITMAP makerLogo() {
    static HBITMAP bmp = makeBitmap(200, 120, [](HDC dc, int w, int h) {
        verticalShade(dc, w, h, RGB(255, 255, 255), RGB(190, 205, 230));
        {
            const Selected font(dc, fontActual(34, true, "Arial"));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(20, 50, 130));
            RECT top{0, 20, w, 70};
            DrawTextW(dc, L"VALDRIN", -1, &top, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
            const Gdi pen(CreatePen(PS_SOLID, 3, RGB(20, 50, 130)));
            const Selected withPen(dc, pen.get());
            MoveToEx(dc, 30, 82, nullptr);
            LineTo(dc, w - 30, 82);
        }
        RECT r{0, 0, w, h};
        FrameRect(dc, &r, solidBrush(RGB(20, 50, 130)));
    });
    return bmp;
}

}  // namespace tarvex::win32
