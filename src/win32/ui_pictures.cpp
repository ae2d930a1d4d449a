#include "win32/ui_pictures.h"

#include <algorithm>
#include <map>
#include <utility>

#include "win32/ui_base.h"

namespace tarvex::win32 {

namespace {

// Drawing happens on a 64-unit square scaled to the icon's size.
struct Canvas {
    HDC dc;
    int size;
    int s(int units) const { return MulDiv(units, size, 64); }
    void box(int l, int t, int r, int b, COLORREF fill, COLORREF line) const {
        HBRUSH br = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, std::max(1, s(3)), line);
        HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
        Rectangle(dc, s(l), s(t), s(r), s(b));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(br);
        DeleteObject(pen);
    }
    void disc(int l, int t, int r, int b, COLORREF fill, COLORREF line) const {
        HBRUSH br = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, std::max(1, s(3)), line);
        HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
        Ellipse(dc, s(l), s(t), s(r), s(b));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(br);
        DeleteObject(pen);
    }
    void line(int x1, int y1, int x2, int y2, COLORREF c, int width) const {
        HPEN pen = CreatePen(PS_SOLID, std::max(1, s(width)), c);
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, s(x1), s(y1), nullptr);
        LineTo(dc, s(x2), s(y2));
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    void text(const wchar_t* t, COLORREF c, int height) const {
        HFONT f = fontActual(std::max(8, s(height)), true, "Arial");
        HGDIOBJ of = SelectObject(dc, f);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c);
        RECT r{0, 0, size, size};
        DrawTextW(dc, t, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, of);
    }
};

void clockFace(const Canvas& c, COLORREF rim, COLORREF face) {
    c.disc(4, 4, 60, 60, face, rim);
    c.line(32, 32, 32, 14, RGB(0, 0, 0), 5);
    c.line(32, 32, 46, 38, RGB(0, 0, 0), 5);
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
        c.disc(4, 4, 60, 60, RGB(30, 90, 200), RGB(20, 60, 150));
        c.text(L"?", RGB(255, 255, 255), 46);
        break;
    case Picture::TrayIdle:
        clockFace(c, RGB(0, 110, 0), RGB(200, 240, 200));
        break;
    case Picture::TrayBusy:
        c.disc(4, 4, 60, 60, RGB(250, 160, 0), RGB(170, 60, 0));
        c.text(L"\x25BA", RGB(120, 0, 0), 40);  // a play mark: a task is running
        break;
    case Picture::TrayWarning:
        c.disc(4, 4, 60, 60, RGB(220, 30, 30), RGB(120, 0, 0));
        c.text(L"!", RGB(255, 255, 255), 44);   // a task failed and nobody has looked yet
        break;
    }
}

HICON makeIcon(Picture p, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP color = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, color);
    // Magenta marks what stays transparent.
    const COLORREF key = RGB(255, 0, 255);
    RECT all{0, 0, size, size};
    HBRUSH keyBrush = CreateSolidBrush(key);
    FillRect(dc, &all, keyBrush);
    DeleteObject(keyBrush);
    draw(Canvas{dc, size}, p);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HDC mdc = CreateCompatibleDC(screen);
    HGDIOBJ oldMask = SelectObject(mdc, mask);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool clear = GetPixel(dc, x, y) == key;
            SetPixel(mdc, x, y, clear ? RGB(255, 255, 255) : RGB(0, 0, 0));
            if (clear) SetPixel(dc, x, y, RGB(0, 0, 0));
        }
    SelectObject(mdc, oldMask);
    SelectObject(dc, old);
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    DeleteObject(color);
    DeleteDC(mdc);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return icon;
}

HBITMAP makeBitmap(int w, int h, void (*paint)(HDC, int, int)) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bmp);
    paint(dc, w, h);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

void verticalShade(HDC dc, int w, int h, COLORREF top, COLORREF bottom) {
    for (int y = 0; y < h; ++y) {
        auto mix = [&](int a, int b) { return a + (b - a) * y / std::max(1, h - 1); };
        RECT r{0, y, w, y + 1};
        HBRUSH br = CreateSolidBrush(RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                                         mix(GetBValue(top), GetBValue(bottom))));
        FillRect(dc, &r, br);
        DeleteObject(br);
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
        RECT r{0, 0, w, h};
        HGDIOBJ of = SelectObject(dc, fontActual(34, true, "Arial"));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(20, 50, 130));
        RECT top{0, 20, w, 70};
        DrawTextW(dc, L"VALDRIN", -1, &top, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        HPEN pen = CreatePen(PS_SOLID, 3, RGB(20, 50, 130));
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, 30, 82, nullptr);
        LineTo(dc, w - 30, 82);
        SelectObject(dc, op);
        DeleteObject(pen);
        SelectObject(dc, of);
        FrameRect(dc, &r, solidBrush(RGB(20, 50, 130)));
    });
    return bmp;
}

}  // namespace tarvex::win32
