#pragma once
// The real main window around the MainForm model: the frame, the top panel,
// the page control with its pages (tabs hidden), the cover page, the status bar,
// the main menu and the notification-area icon.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "win32/ui_base.h"
#include "win32/ui_calendar.h"
#include "win32/ui_edit.h"
#include "win32/ui_grid.h"
#include "win32/ui_label.h"
#include "win32/ui_list.h"
#include "win32/ui_pages.h"
#include "win32/ui_timer.h"
#include "win32/ui_tray.h"
#include "win32/ui_window.h"

namespace tarvex::win32 {

// Main menu command IDs (a driver may post them as WM_COMMAND).
enum MenuId : UINT {
    ID_PARAMETROS = 101,
    ID_VER_ARQUIVOS,
    ID_LOG,
    ID_LOG_EDIT,
    ID_SISTEMA,
    ID_VALDRIN,
    ID_SAIR,
};

// Named timer IDs.
enum TimerId : UINT_PTR { ID_TIMER1 = 1, ID_T_SUPERVISOR = 2, ID_T_DURACAO = 3, ID_T_EMAIL = 4 };

// Posted once start-up is over: the first message the loop handles finds the window up.
inline constexpr UINT WM_TARVEX_WINDOW_UP = WM_APP + 0x20;

inline constexpr int kTopPanelHeight = 65;
// The least client area, design units: the top bar's controls at their closest,
// and a strip of page under them.
inline constexpr int kTopBarLeast = 760;
inline constexpr int kPageStripLeast = 150;
inline constexpr UINT kDpiChanged = 0x02E0;   // WM_DPICHANGED, newer than the headers' Windows 7

class HistoryButtons;

class MainWindow : public Wnd {
public:
    explicit MainWindow(app::MainForm& form);
    ~MainWindow() override;

    app::MainForm& form() { return form_; }
    PagesView& pages() { return *pagesView_; }
    // The panel of a page ("TS_LOG", ...), for the views other parts put on it.
    Panel& page(const std::string& name) { return pagesView_->page(name); }

    // Controls of the window that carry no action of the model.
    ui::Grid GRID_SISTEMA{"GRID_SISTEMA"};
    ui::CheckBox CB_VISIVEL{"CB_VISIVEL"};

    // The menu's own action: a file-open dialog to browse with.
    void VerArquivos1Click();

protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void design();
    LRESULT makeControl(ATOM name);
    void buildTopPanel();
    void buildCover();
    void buildPages();
    void buildCalendarPage(Panel& page);
    void buildSystemPage(Panel& page);
    void buildParamPage();
    void buildLogPage();
    void buildMailSection(HWND page);
    void buildMenu();
    void addTrayIcon();
    void layout();
    SIZE frameSize() const;
    void minimumSize(MINMAXINFO& info) const;
    void menuCommand(UINT id);
    void dpiChanged(int to, const RECT& proposed);
    bool systemEvent(UINT msg, WPARAM wp, LRESULT& result);
    void guarded(const std::function<void()>& action);
    void caption(HWND parent, const std::string& text, int x, int y, int w, int h, HFONT font = nullptr,
                 COLORREF color = RGB(0, 0, 0), bool centred = false);
    template <class V>
    V* keep(std::unique_ptr<V> view) {
        V* kept = view.get();
        views_.push_back(std::move(view));
        return kept;
    }

    app::MainForm& form_;
    std::unique_ptr<Panel> top_;
    std::unique_ptr<PagesView> pagesView_;
    std::unique_ptr<WindowView> windowView_;
    std::unique_ptr<TrayView> trayView_;
    std::unique_ptr<TimerView> timer1_, supervisor_, duration_, mailTimer_;
    std::unique_ptr<HistoryButtons> history_;
    std::vector<std::unique_ptr<View>> views_;
    std::vector<std::unique_ptr<ui::Label>> captions_;   // plain captions: labels of fields and buttons
    GridView* coverGrid_ = nullptr;
    HWND status_ = nullptr;
    bool shown_ = false;
};

}  // namespace tarvex::win32
