#pragma once
// The chart itself: a child window painted with GDI from a history::Chart. Its
// window text sums up what it shows, so a test can read it.
#include <functional>
#include <string>

#include <windows.h>

#include "history/history_chart.h"
#include "win32/ui_base.h"

namespace tarvex::win32 {

class HistoryChartView : public Wnd {
public:
    HistoryChartView(HWND parent, int id);
    // `name`: the task's, or what stands for all of them.
    void show(history::Chart chart, const std::string& name);
    // Told the text of the run under the mouse (empty when none).
    std::function<void(const std::string&)> onHover;
    // What the chart shows, as one line.
    static std::string summary(const history::Chart& chart, const std::string& title);

protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Plot { RECT area; double slot; };
    Plot plot() const;
    void paint(HDC dc, const RECT& client);
    void axes(HDC dc, const Plot& p);
    void bars(HDC dc, const Plot& p);
    void sizes(HDC dc, const Plot& p);
    RECT barRect(const Plot& p, std::size_t day, std::size_t index) const;
    std::string hit(int x, int y) const;

    history::Chart chart_;
    std::string title_;
};

}  // namespace tarvex::win32
