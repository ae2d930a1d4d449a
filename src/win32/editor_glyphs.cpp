#include "win32/editor_glyphs.h"
#include "win32/handles.h"

#include <map>
#include <vector>

namespace tarvex::win32 {

namespace {

constexpr int kSize = 16;

COLORREF colorOf(Glyph g) {
    switch (g) {
    case Glyph::Add: return RGB(0, 140, 0);
    case Glyph::Delete: return RGB(200, 0, 0);
    case Glyph::Reload: case Glyph::File: return RGB(60, 60, 60);
    case Glyph::Build: return RGB(150, 90, 0);
    default: return RGB(0, 0, 170);
    }
}

void polygon(HDC dc, std::vector<POINT> points) { Polygon(dc, points.data(), static_cast<int>(points.size())); }

void arrow(HDC dc, int top, int bottom, bool up) {
    if (up) polygon(dc, {{8, top}, {14, bottom}, {2, bottom}});
    else polygon(dc, {{2, top}, {14, top}, {8, bottom}});
}

void box(HDC dc, int l, int t, int r, int b) { Rectangle(dc, l, t, r, b); }

// Draws the shape in the current pen and brush.
void shape(HDC dc, Glyph g) {
    switch (g) {
    case Glyph::Add: box(dc, 7, 2, 10, 15); box(dc, 2, 7, 15, 10); break;
    case Glyph::Up: arrow(dc, 3, 12, true); break;
    case Glyph::Up5: arrow(dc, 1, 7, true); arrow(dc, 8, 14, true); break;
    case Glyph::Down: arrow(dc, 4, 13, false); break;
    case Glyph::Down5: arrow(dc, 2, 8, false); arrow(dc, 9, 15, false); break;
    case Glyph::Reload:
        for (int y = 2; y < 14; y += 4)
            for (int x = 1; x < 15; x += 5) box(dc, x, y, x + 4, y + 3);
        break;
    case Glyph::Delete:
        polygon(dc, {{2, 4}, {4, 2}, {14, 12}, {12, 14}});
        polygon(dc, {{12, 2}, {14, 4}, {4, 14}, {2, 12}});
        break;
    case Glyph::File: polygon(dc, {{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}); break;
    case Glyph::Send: polygon(dc, {{1, 6}, {8, 6}, {8, 2}, {15, 8}, {8, 14}, {8, 10}, {1, 10}}); break;
    case Glyph::Build:
        for (int y = 2; y < 15; y += 4) box(dc, 2, y, y == 10 ? 10 : 14, y + 2);
        break;
    }
}

void paint(HDC dc, HBITMAP bmp, COLORREF back, COLORREF ink, Glyph g) {
    const Selected target(dc, bmp);
    RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, Gdi<HBRUSH>(CreateSolidBrush(back)).get());
    const Gdi<HBRUSH> inkBrush(CreateSolidBrush(ink));
    const Gdi<HPEN> pen(CreatePen(PS_SOLID, 1, ink));
    const Selected brush(dc, inkBrush.get()), outline(dc, pen.get());
    shape(dc, g);
}

HICON make(Glyph g) {
    const ScreenDC screen;
    const MemoryDC dc(screen.get());
    const Gdi<HBITMAP> color(CreateCompatibleBitmap(screen.get(), kSize, kSize));
    const Gdi<HBITMAP> mask(CreateBitmap(kSize, kSize, 1, 1, nullptr));
    // Where the mask is white the icon is clear; the colour there stays black.
    paint(dc.get(), color.get(), RGB(0, 0, 0), colorOf(g), g);
    paint(dc.get(), mask.get(), RGB(255, 255, 255), RGB(0, 0, 0), g);
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&info);   // copies both bitmaps
}

}  // namespace

HICON glyphIcon(Glyph glyph) {
    static std::map<Glyph, HICON> icons;
    auto it = icons.find(glyph);
    if (it != icons.end()) return it->second;
    return icons[glyph] = make(glyph);
}

}  // namespace tarvex::win32
