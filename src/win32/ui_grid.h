#pragma once
// A string grid painted from the model: only the rows on screen are drawn, so a
// grid of a million rows shows at once. Fixed title rows and columns, columns
// resized by dragging the title row's borders, cells typed into when allowed.
#include <vector>

#include "win32/ui_base.h"

namespace tarvex::win32 {

struct GridOptions {
    bool editable = false;                      // Enter, F2 or a typed key edits the cell
    COLORREF background = RGB(255, 255, 255);
    HFONT font = nullptr;
    // Columns that share whatever width the others leave in the window, so a wide
    // window shows long names whole instead of a scroll bar beside empty space.
    std::vector<int> shareCols;
};

// Messages a driver in another process can send (RegisterWindowMessageW names):
// "TARVEX.GridRows" / "TARVEX.GridCols" answer the counts; "TARVEX.GridSelect"
// (wParam column, lParam row) selects a cell as a click does. WM_GETTEXT answers
// the selected cell's text.
class GridView : public View {
public:
    GridView(ui::Grid& model, HWND parent, int x, int y, int w, int h, GridOptions options = {});
    ~GridView() override;
    ui::Grid& grid() const { return static_cast<ui::Grid&>(control()); }
    int col() const { return col_; }
    int topRow() const { return top_; }
    // Selects a cell as the operator does (runs onSelectCell; may be refused).
    bool select(int col, int row);

protected:
    void sync() override;
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    struct Hit { int col = -1, row = -1, border = -1; };
    void refresh();
    void paint(HDC dc, const RECT& rc);
    void paintCell(HDC dc, int col, int row, const RECT& cell);
    int visibleRows() const;
    int colLeft(int col) const;          // x of a column on screen, -1 when scrolled out
    int colPixels(int col) const;        // its width on screen, with its share of the room left
    RECT cellRect(int col, int row) const;
    Hit hitTest(int x, int y) const;
    void scrollTo(int top, int left);
    void ensureVisible(int row);
    void updateScrollBars();
    bool colsFit() const;
    bool onDriverMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    static LRESULT copyText(const std::wstring& text, WPARAM cap, LPARAM out);
    bool onPaintMessage(UINT msg, LRESULT& result);
    bool onScrollMessage(UINT msg, WPARAM wp);
    bool onKeyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool onMouseMessage(UINT msg, LPARAM lp, LRESULT& result);
    void onPress(int x, int y);
    bool onSetCursor(WORD area, LRESULT& result);
    bool onKey(WPARAM key);
    void onScroll(int bar, WORD code);
    void beginEdit(const std::wstring* initial);
    void endEdit(bool commit);
    static LRESULT CALLBACK editorProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    GridOptions options_;
    int top_ = 0, left_ = 0;     // first scrollable row and column on screen
    int col_ = 0;
    int shownRow_ = -1;
    bool pending_ = false;
    int resizing_ = -1, resizeX_ = 0, resizeW_ = 0;
    HWND editor_ = nullptr;
    int editCol_ = 0, editRow_ = 0;
};

}  // namespace tarvex::win32
