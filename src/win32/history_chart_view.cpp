#include "win32/history_chart_view.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <vector>

#include <windowsx.h>

#include "log/run_history.h"

namespace tarvex::win32 {

namespace {

constexpr COLORREF kOk = RGB(34, 150, 60), kError = RGB(210, 35, 35), kMissed = RGB(150, 150, 150);
constexpr COLORREF kSize = RGB(20, 70, 200), kGridLine = RGB(225, 225, 225), kBack = RGB(255, 255, 255);

COLORREF colorOf(history::Result r) {
    return r == history::Result::Ok ? kOk : r == history::Result::Error ? kError : kMissed;
}

void text(HDC dc, int x, int y, const std::string& s, UINT align = TA_LEFT, COLORREF color = RGB(0, 0, 0)) {
    SetTextAlign(dc, align | TA_TOP);
    SetTextColor(dc, color);
    const std::wstring w = widen(s);
    TextOutW(dc, x, y, w.c_str(), static_cast<int>(w.size()));
}

void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// A pen for this paint only.
class Pen {
public:
    Pen(HDC dc, COLORREF c, int width) : dc_(dc), pen_(CreatePen(PS_SOLID, width, c)), old_(SelectObject(dc, pen_)) {}
    ~Pen() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_;
};

}  // namespace

HistoryChartView::HistoryChartView(HWND parent, int id) {
    createWindow(L"TARVEX_HISTORY_CHART", 0, WS_CHILD | WS_VISIBLE | WS_BORDER, "", 0, 0, 10, 10, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    setControlName(hwnd_, "GR_HISTORICO");
}

std::string HistoryChartView::summary(const history::Chart& chart, const std::string& title) {
    return title + " | " + std::to_string(chart.days.size()) + " dias | OK " + std::to_string(chart.ok) + " | ERRO " +
           std::to_string(chart.errors) + " | não rodou " + std::to_string(chart.missed) + " | saltos de tamanho " +
           std::to_string(chart.jumps.size());
}

void HistoryChartView::show(history::Chart chart, const std::string& name) {
    chart_ = std::move(chart);
    title_ = name + " - últimos " + std::to_string(chart_.days.size()) + " dias";
    setWindowText(hwnd_, summary(chart_, name));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

HistoryChartView::Plot HistoryChartView::plot() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    RECT area{rc.left + scaled(72), rc.top + scaled(30), rc.right - scaled(72), rc.bottom - scaled(34)};
    if (area.right <= area.left) area.right = area.left + 1;
    if (area.bottom <= area.top) area.bottom = area.top + 1;
    const double slot = chart_.days.empty() ? 1.0 : double(area.right - area.left) / double(chart_.days.size());
    return {area, slot};
}

RECT HistoryChartView::barRect(const Plot& p, std::size_t day, std::size_t index) const {
    const auto& bars = chart_.days[day].bars;
    const double inner = p.slot * 0.8;
    // A busy day's runs share its slot, a pixel holding several: they never spill into the next day.
    const double width = inner / double(bars.size());
    const int left = p.area.left + int(p.slot * double(day) + p.slot * 0.1 + width * double(index));
    const int h = p.area.bottom - p.area.top;
    const history::Bar& bar = bars[index];
    int height = scaled(4);
    if (bar.result == history::Result::Missed) height = h / 5;
    else if (bar.seconds > 0 && chart_.longest > 0) height = std::max(scaled(3), int(double(h) * double(bar.seconds) / double(chart_.longest)));
    return {left, p.area.bottom - height, std::max(left + 1, left + int(width) - (width > 3 ? 1 : 0)), p.area.bottom};
}

void HistoryChartView::axes(HDC dc, const Plot& p) {
    const RECT& a = p.area;
    for (int i = 1; i <= 4; ++i) {
        Pen grid(dc, kGridLine, 1);
        const int y = a.bottom - (a.bottom - a.top) * i / 4;
        line(dc, a.left, y, a.right, y);
    }
    Pen axis(dc, RGB(0, 0, 0), 1);
    line(dc, a.left, a.top, a.left, a.bottom);
    line(dc, a.left, a.bottom, a.right, a.bottom);
    line(dc, a.right, a.top, a.right, a.bottom);
    const int gap = scaled(4), half = scaled(7);
    text(dc, a.left - gap, a.bottom - half, "0", TA_RIGHT);
    text(dc, a.left - gap, a.top - half, history::durationText(chart_.longest), TA_RIGHT);
    text(dc, a.left - gap, a.top - scaled(26), "duração", TA_RIGHT);
    if (chart_.largest > 0) {
        text(dc, a.right + gap, a.bottom - half, "0", TA_LEFT, kSize);
        text(dc, a.right + gap, a.top - half, log::sizeText(chart_.largest), TA_LEFT, kSize);
    }
    // A date every few days, so 90 of them still read.
    const std::size_t step = chart_.days.size() > 45 ? 10 : 5;
    for (std::size_t d = 0; d < chart_.days.size(); ++d) {
        if ((chart_.days.size() - 1 - d) % step) continue;
        const int x = a.left + int(p.slot * (double(d) + 0.5));
        line(dc, x, a.bottom, x, a.bottom + scaled(4));
        text(dc, x, a.bottom + scaled(6), formatDate(chart_.days[d].day).substr(0, 5), TA_CENTER);
    }
}

void HistoryChartView::bars(HDC dc, const Plot& p) {
    for (std::size_t d = 0; d < chart_.days.size(); ++d) {
        const std::vector<history::Bar>& day = chart_.days[d].bars;
        // Runs that fall on the same pixels (a thousand a day) are drawn as what
        // shows of them: from the last one back, each only above those after it.
        for (std::size_t end = day.size(); end > 0;) {
            const RECT last = barRect(p, d, end - 1);
            std::size_t begin = end - 1;
            for (RECT r; begin > 0 && (r = barRect(p, d, begin - 1)).left == last.left && r.right == last.right;) --begin;
            int covered = INT_MAX;
            for (std::size_t i = end; i-- > begin;) {
                RECT r = barRect(p, d, i);
                if (r.top >= covered) continue;
                r.bottom = std::min<LONG>(r.bottom, covered);
                FillRect(dc, &r, solidBrush(colorOf(day[i].result)));
                covered = r.top;
            }
            end = begin;
        }
        for (std::size_t i = 0; i < day.size(); ++i) {
            if (!day[i].sizeJump) continue;
            // The run of a size jump framed in red, from the axis to the top.
            const RECT r = barRect(p, d, i);
            const int w = scaled(2);
            RECT frame{r.left - w, p.area.top, r.right + w, p.area.bottom};
            for (int k = 0; k < w; ++k) {
                FrameRect(dc, &frame, solidBrush(kError));
                InflateRect(&frame, -1, -1);
            }
        }
    }
}

// Each task's sizes joined in a line; a size jump circled in red.
void HistoryChartView::sizes(HDC dc, const Plot& p) {
    if (chart_.largest <= 0) return;
    std::map<std::string, std::vector<POINT>> lines;
    std::vector<POINT> jumps;
    const int h = p.area.bottom - p.area.top;
    for (std::size_t d = 0; d < chart_.days.size(); ++d)
        for (std::size_t i = 0; i < chart_.days[d].bars.size(); ++i) {
            const history::Bar& bar = chart_.days[d].bars[i];
            if (bar.bytes < 0 || bar.result != history::Result::Ok) continue;
            const RECT r = barRect(p, d, i);
            const POINT pt{(r.left + r.right) / 2, p.area.bottom - int(double(h) * double(bar.bytes) / double(chart_.largest))};
            std::vector<POINT>& own = lines[bar.name];
            // Runs on the same pixel are one point.
            if (!own.empty() && own.back().x == pt.x && own.back().y == pt.y && !bar.sizeJump) continue;
            own.push_back(pt);
            if (bar.sizeJump) jumps.push_back(pt);
        }
    {
        Pen pen(dc, kSize, scaled(2));
        for (const auto& [name, points] : lines) {
            Polyline(dc, points.data(), static_cast<int>(points.size()));
            for (const POINT& pt : points) Ellipse(dc, pt.x - scaled(2), pt.y - scaled(2), pt.x + scaled(3), pt.y + scaled(3));
        }
    }
    Pen red(dc, kError, scaled(2));
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int rad = scaled(7);
    for (const POINT& pt : jumps) {
        Ellipse(dc, pt.x - rad, pt.y - rad, pt.x + rad + 1, pt.y + rad + 1);
        text(dc, pt.x, pt.y - rad - scaled(16), "!", TA_CENTER, kError);
    }
    SelectObject(dc, oldBrush);
}

void HistoryChartView::paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, solidBrush(kBack));
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, fontActual(scaled(13)));
    const Plot p = plot();
    SelectObject(dc, fontActual(scaled(14), true));
    text(dc, p.area.left, scaled(4), title_);
    SelectObject(dc, fontActual(scaled(13)));
    // The legend, at the right end.
    int x = p.area.right - scaled(320);
    const std::pair<COLORREF, const char*> keys[] = {{kOk, "OK"}, {kError, "ERRO"}, {kMissed, "não rodou"}};
    for (const auto& [color, label] : keys) {
        RECT box{x, scaled(7), x + scaled(12), scaled(19)};
        FillRect(dc, &box, solidBrush(color));
        text(dc, x + scaled(16), scaled(5), label);
        x += scaled(label[0] == 'n' ? 90 : 60);
    }
    {
        Pen pen(dc, kSize, scaled(2));
        line(dc, x, scaled(13), x + scaled(16), scaled(13));
    }
    text(dc, x + scaled(20), scaled(5), "tamanho", TA_LEFT, kSize);
    axes(dc, p);
    bars(dc, p);
    sizes(dc, p);
    SelectObject(dc, oldFont);
}

std::string HistoryChartView::hit(int x, int y) const {
    (void)y;
    const Plot p = plot();
    if (x < p.area.left || x >= p.area.right || chart_.days.empty()) return "";
    const std::size_t d = std::min(chart_.days.size() - 1, std::size_t(double(x - p.area.left) / p.slot));
    const history::Day& day = chart_.days[d];
    if (day.bars.empty()) return formatDate(day.day).substr(0, 5) + ": nenhuma execução";
    // The bar nearest the mouse in its day: thin bars need no aiming.
    std::size_t nearest = 0;
    int best = INT_MAX;
    for (std::size_t i = 0; i < day.bars.size(); ++i) {
        const RECT r = barRect(p, d, i);
        const int off = std::abs((r.left + r.right) / 2 - x);
        if (off < best) best = off, nearest = i;
    }
    return history::barText(day, day.bars[nearest]);
}

LRESULT HistoryChartView::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT rc;
        GetClientRect(hwnd_, &rc);
        // Drawn off screen first: no flicker while the mouse moves.
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom));
        const HGDIOBJ old = SelectObject(mem, bmp);
        paint(mem, rc);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_MOUSEMOVE:
        if (onHover) onHover(hit(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
        return 0;
    default: return Wnd::handle(msg, wp, lp);
    }
}

}  // namespace tarvex::win32
