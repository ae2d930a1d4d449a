#include "win32/ui_grid.h"
#include "win32/handles.h"

#include <windowsx.h>

#include <algorithm>

#include "win32/callback_guard.h"

namespace tarvex::win32 {

namespace {
constexpr UINT kRefresh = WM_APP + 0x101;

UINT registered(const wchar_t* name) { return RegisterWindowMessageW(name); }

LRESULT CALLBACK gridClassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(h, msg, wp, lp); }

HWND createGridWindow(HWND parent, int x, int y, int w, int h) {
    registerClass(L"TarvexGrid", gridClassProc);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    return CreateWindowExW(WS_EX_CLIENTEDGE, L"TarvexGrid", L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, scaled(x),
                           scaled(y), scaled(w), scaled(h), parent, nullptr, inst, nullptr);
}
}  // namespace

GridView::GridView(ui::Grid& model, HWND parent, int x, int y, int w, int h, GridOptions options)
    : View(model), options_(options) {
    adopt(createGridWindow(parent, x, y, w, h));
    if (options_.font) setFont(options_.font);
}

GridView::~GridView() {
    if (editor_) DestroyWindow(editor_);
}

// Model changes come in bursts (a log of a million lines is a million cell writes):
// one posted message repaints once after the burst.
void GridView::sync() {
    if (pending_) return;
    pending_ = true;
    PostMessageW(hwnd(), kRefresh, 0, 0);
}

void GridView::refresh() {
    pending_ = false;
    const ui::Grid& g = grid();
    if (col_ >= g.colCount()) col_ = std::max(g.fixedCols, g.colCount() - 1);
    if (col_ < g.fixedCols) col_ = g.fixedCols;
    updateScrollBars();
    if (g.row() != shownRow_) {
        shownRow_ = g.row();
        ensureVisible(shownRow_);
    }
    scrollTo(top_, left_);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

int GridView::visibleRows() const {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    int h = rc.bottom - grid().fixedRows * scaled(grid().rowHeight);
    return std::max(1, h / scaled(grid().rowHeight));
}

int GridView::colLeft(int col) const {
    const ui::Grid& g = grid();
    int x = 0;
    for (int c = 0; c < g.fixedCols && c < g.colCount(); ++c) {
        if (c == col) return x;
        x += colPixels(c);
    }
    if (col < left_) return -1;
    for (int c = left_; c < col; ++c) x += colPixels(c);
    return x;
}

int GridView::colPixels(int col) const {
    const ui::Grid& g = grid();
    const int own = scaled(g.colWidth(col));
    const auto& share = options_.shareCols;
    if (share.empty() || std::find(share.begin(), share.end(), col) == share.end()) return own;
    RECT rc;
    GetClientRect(hwnd(), &rc);
    int used = 0;
    for (int c = 0; c < g.colCount(); ++c) used += scaled(g.colWidth(c));
    const int room = rc.right - used - 1;
    return room > 0 ? own + room / static_cast<int>(share.size()) : own;
}

RECT GridView::cellRect(int col, int row) const {
    const ui::Grid& g = grid();
    int y = row < g.fixedRows ? row * scaled(g.rowHeight) : (g.fixedRows + row - top_) * scaled(g.rowHeight);
    int x = colLeft(col);
    return RECT{x, y, x + colPixels(col), y + scaled(g.rowHeight)};
}

GridView::Hit GridView::hitTest(int x, int y) const {
    const ui::Grid& g = grid();
    Hit hit;
    int r = y / scaled(g.rowHeight);
    hit.row = r < g.fixedRows ? r : top_ + (r - g.fixedRows);
    if (hit.row >= g.rowCount()) hit.row = -1;
    int cx = 0;
    for (int c = 0; c < g.colCount(); ++c) {
        if (c >= g.fixedCols && c < left_) continue;
        int right = cx + colPixels(c);
        if (std::abs(x - right) <= 3 && y < g.fixedRows * scaled(g.rowHeight)) hit.border = c;
        if (x >= cx && x < right) { hit.col = c; break; }
        cx = right;
    }
    return hit;
}

bool GridView::colsFit() const {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    int total = 0;
    for (int c = 0; c < grid().colCount(); ++c) total += colPixels(c);
    return total <= rc.right;
}

// A bar shows only when there is something to scroll to.
void GridView::updateScrollBars() {
    const ui::Grid& g = grid();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, g.rowCount() - g.fixedRows - 1);
    si.nPage = visibleRows();
    si.nPos = top_ - g.fixedRows;
    SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    bool fits = colsFit();
    si.nMax = fits ? 0 : std::max(0, g.colCount() - g.fixedCols - 1);
    si.nPage = 1;
    si.nPos = fits ? 0 : left_ - g.fixedCols;
    SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
}

void GridView::scrollTo(int top, int left) {
    const ui::Grid& g = grid();
    int lastTop = std::max(g.fixedRows, g.rowCount() - visibleRows());
    top = std::clamp(top, g.fixedRows, lastTop);
    left = colsFit() ? g.fixedCols : std::clamp(left, g.fixedCols, std::max(g.fixedCols, g.colCount() - 1));
    if (top == top_ && left == left_) return;
    endEdit(true);
    top_ = top;
    left_ = left;
    SetScrollPos(hwnd(), SB_VERT, top_ - g.fixedRows, TRUE);
    SetScrollPos(hwnd(), SB_HORZ, left_ - g.fixedCols, TRUE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void GridView::ensureVisible(int row) {
    if (row < grid().fixedRows) return;
    if (row < top_) scrollTo(row, left_);
    else if (row >= top_ + visibleRows()) scrollTo(row - visibleRows() + 1, left_);
}

bool GridView::select(int col, int row) {
    const ui::Grid& g = grid();
    if (row < g.fixedRows || row >= g.rowCount() || col < g.fixedCols || col >= g.colCount()) return false;
    bool can = true;
    if (grid().onSelectCell) grid().onSelectCell(col, row, can);
    if (!can) return false;
    endEdit(true);
    col_ = col;
    shownRow_ = row;
    ensureVisible(row);
    grid().setRow(row);
    InvalidateRect(hwnd(), nullptr, FALSE);
    return true;
}

void GridView::paintCell(HDC dc, int col, int row, const RECT& cell) {
    const ui::Grid& g = grid();
    bool fixed = row < g.fixedRows || col < g.fixedCols;
    bool selected = !fixed && row == g.row();
    COLORREF bg = fixed ? GetSysColor(COLOR_BTNFACE) : selected ? GetSysColor(COLOR_HIGHLIGHT) : options_.background;
    FillRect(dc, &cell, solidBrush(bg));
    const bool alert = !fixed && !selected && g.alertRow && g.alertRow(row);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : alert ? RGB(192, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    std::wstring text = widen(g.cell(col, row));
    RECT tr{cell.left + 2, cell.top, cell.right - 2, cell.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (fixed) {
        RECT e = cell;
        DrawEdge(dc, &e, BDR_RAISEDINNER, BF_RECT);
    } else {
        const Selected pen(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, RGB(192, 192, 192));
        MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
        LineTo(dc, cell.right - 1, cell.bottom - 1);
        LineTo(dc, cell.right - 1, cell.top - 1);
    }
    if (selected && col == col_ && GetFocus() == hwnd()) DrawFocusRect(dc, &cell);
}

void GridView::paint(HDC dc, const RECT& rc) {
    const ui::Grid& g = grid();
    FillRect(dc, &rc, solidBrush(options_.background));
    const Selected font(dc, options_.font ? fontForDpi(options_.font) : defaultFont());
    SetBkMode(dc, TRANSPARENT);
    int rows = visibleRows() + 1;
    auto drawRow = [&](int row) {
        for (int c = 0; c < g.colCount(); ++c) {
            if (c >= g.fixedCols && c < left_) continue;
            RECT cell = cellRect(c, row);
            if (cell.left >= rc.right) break;
            paintCell(dc, c, row, cell);
        }
    };
    for (int r = 0; r < g.fixedRows && r < g.rowCount(); ++r) drawRow(r);
    for (int r = top_; r < g.rowCount() && r < top_ + rows; ++r) drawRow(r);
}

void GridView::onScroll(int bar, WORD code) {
    const ui::Grid& g = grid();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd(), bar, &si);
    int pos = si.nPos;
    int page = bar == SB_VERT ? visibleRows() : 1;
    switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    if (bar == SB_VERT) scrollTo(pos + g.fixedRows, left_);
    else scrollTo(top_, pos + g.fixedCols);
}

bool GridView::onKey(WPARAM key) {
    const ui::Grid& g = grid();
    int row = g.row(), col = col_;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_PRIOR: row -= visibleRows(); break;
    case VK_NEXT: row += visibleRows(); break;
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_HOME: if (ctrl) row = g.fixedRows; else col = g.fixedCols; break;
    case VK_END: if (ctrl) row = g.rowCount() - 1; else col = g.colCount() - 1; break;
    case VK_RETURN:
    case VK_F2:
        if (options_.editable) beginEdit(nullptr);
        return true;
    default: return false;
    }
    row = std::clamp(row, g.fixedRows, std::max(g.fixedRows, g.rowCount() - 1));
    col = std::clamp(col, g.fixedCols, std::max(g.fixedCols, g.colCount() - 1));
    select(col, row);
    return true;
}

void GridView::beginEdit(const std::wstring* initial) {
    const ui::Grid& g = grid();
    if (editor_ || g.row() < g.fixedRows || g.row() >= g.rowCount() || col_ >= g.colCount()) return;
    ensureVisible(g.row());
    editCol_ = col_;
    editRow_ = g.row();
    RECT r = cellRect(editCol_, editRow_);
    editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, r.left + 1, r.top,
                              r.right - r.left - 2, r.bottom - r.top - 1, hwnd(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    HFONT font = options_.font ? fontForDpi(options_.font) : defaultFont();
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SetWindowSubclass(editor_, editorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    std::wstring text = initial ? *initial : widen(g.cell(editCol_, editRow_));
    SetWindowTextW(editor_, text.c_str());
    SendMessageW(editor_, EM_SETSEL, text.size(), text.size());
    SetFocus(editor_);
}

void GridView::endEdit(bool commit) {
    if (!editor_) return;
    HWND ed = editor_;
    editor_ = nullptr;  // before anything that may come back here (focus changes)
    std::string text = windowText(ed);
    RemoveWindowSubclass(ed, editorProc, 0);
    if (GetFocus() == ed) SetFocus(hwnd());
    DestroyWindow(ed);
    if (commit && editRow_ < grid().rowCount() && editCol_ < grid().colCount() &&
        text != grid().cell(editCol_, editRow_)) {
        grid().setCell(editCol_, editRow_, text);
        grid().edited(editCol_, editRow_);
    }
}

LRESULT CALLBACK GridView::editorProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<GridView*>(ref);
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_ESCAPE)) {
        guarded([&] { self->endEdit(wp == VK_RETURN); });   // the cell's text reaches the model here
        return 0;
    }
    if (msg == WM_CHAR && (wp == L'\r' || wp == L'\x1b')) return 0;
    if (msg == WM_KILLFOCUS) {
        LRESULT r = DefSubclassProc(h, msg, wp, lp);
        guarded([&] { self->endEdit(true); });
        return r;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

bool GridView::onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kRefresh) {
        refresh();
        return true;
    }
    return onDriverMessage(msg, wp, lp, result) || onPaintMessage(msg, result) || onScrollMessage(msg, wp) ||
           onKeyMessage(msg, wp, lp, result) || onMouseMessage(msg, lp, result);
}

// What a driver in another process asks: counts, a click on a cell, the selected cell's text.
bool GridView::onDriverMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    static const UINT rowsMsg = registered(L"TARVEX.GridRows");
    static const UINT colsMsg = registered(L"TARVEX.GridCols");
    static const UINT selectMsg = registered(L"TARVEX.GridSelect");
    const ui::Grid& g = grid();
    if (msg == rowsMsg) result = g.rowCount();
    else if (msg == colsMsg) result = g.colCount();
    else if (msg == selectMsg) result = select(static_cast<int>(wp), static_cast<int>(lp));
    else if (msg == WM_GETTEXTLENGTH) result = static_cast<LRESULT>(widen(g.cell(col_, g.row())).size());
    else if (msg == WM_GETTEXT) result = copyText(widen(g.cell(col_, g.row())), wp, lp);
    else return false;
    return true;
}

// WM_GETTEXT's answer: `text` cut to the caller's buffer of `cap` characters.
LRESULT GridView::copyText(const std::wstring& text, WPARAM cap, LPARAM out) {
    if (cap == 0) return 0;
    size_t n = std::min(static_cast<size_t>(cap) - 1, text.size());
    auto* to = reinterpret_cast<wchar_t*>(out);
    std::copy_n(text.data(), n, to);
    to[n] = L'\0';
    return static_cast<LRESULT>(n);
}

bool GridView::onPaintMessage(UINT msg, LRESULT& result) {
    if (msg == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT rc;
    GetClientRect(hwnd(), &rc);
    // Painted off screen first, so scrolling a long log does not flicker.
    {
        const MemoryDC mem(dc);
        const Gdi<HBITMAP> bmp(CreateCompatibleBitmap(dc, rc.right, rc.bottom));
        const Selected offScreen(mem.get(), bmp.get());
        paint(mem.get(), rc);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
    }
    EndPaint(hwnd(), &ps);
    return true;
}

bool GridView::onScrollMessage(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_SIZE: updateScrollBars(); scrollTo(top_, left_); InvalidateRect(hwnd(), nullptr, FALSE); return true;
    case WM_VSCROLL: onScroll(SB_VERT, LOWORD(wp)); return true;
    case WM_HSCROLL: onScroll(SB_HORZ, LOWORD(wp)); return true;
    case WM_MOUSEWHEEL: scrollTo(top_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3, left_); return true;
    default: return false;
    }
}

bool GridView::onKeyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETDLGCODE: {
        // Enter opens the cell's editor here rather than pressing a default button.
        const auto* m = reinterpret_cast<const MSG*>(lp);
        result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (options_.editable && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_F2))
            result |= DLGC_WANTMESSAGE;
        return true;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd(), nullptr, FALSE); return false;
    case WM_KEYDOWN: return onKey(wp);
    case WM_CHAR:
        // Keys typed faster than the editor took the focus still belong to it.
        if (editor_) {
            SendMessageW(editor_, WM_CHAR, wp, lp);
        } else if (options_.editable && wp >= 32) {
            std::wstring first(1, static_cast<wchar_t>(wp));
            beginEdit(&first);
        }
        return true;
    default: return false;
    }
}

bool GridView::onMouseMessage(UINT msg, LPARAM lp, LRESULT& result) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_LBUTTONDOWN: onPress(x, y); return true;
    case WM_MOUSEMOVE:
        if (resizing_ >= 0) grid().setColWidth(resizing_, std::max(4, unscaled(resizeW_ + x - resizeX_)));
        return true;
    case WM_LBUTTONUP:
        if (resizing_ >= 0) { resizing_ = -1; ReleaseCapture(); }
        return true;
    case WM_SETCURSOR: return onSetCursor(LOWORD(lp), result);
    case WM_LBUTTONDBLCLK:
        if (hitTest(x, y).border < 0 && grid().onDblClick) grid().onDblClick();
        return true;
    default: return false;
    }
}

// A press on a title border starts resizing its column; one on a cell selects it.
void GridView::onPress(int x, int y) {
    SetFocus(hwnd());
    Hit hit = hitTest(x, y);
    if (hit.border >= 0) {
        resizing_ = hit.border;
        resizeX_ = x;
        resizeW_ = colPixels(hit.border);
        SetCapture(hwnd());
    } else if (hit.col >= 0 && hit.row >= 0) {
        select(hit.col, hit.row);
    }
}

bool GridView::onSetCursor(WORD area, LRESULT& result) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd(), &p);
    if (area != HTCLIENT || (resizing_ < 0 && hitTest(p.x, p.y).border < 0)) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    result = TRUE;
    return true;
}

}  // namespace tarvex::win32
