#pragma once
// A window with one control of every kind, used in-process by the kit tests and
// as the program a second process drives by control names.
#include <memory>
#include <string>

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

namespace tarvex::testui {

using namespace tarvex::win32;

inline constexpr int kBigRows = 1000000;

class HostFrame : public Wnd {
public:
    HostFrame() {
        createWindow(L"TarvexTestHost", WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                     "TARVEX kit test", 40, 40, 760, 560, nullptr);
    }
    bool closed = false;

protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT r = 0;
        if (reflect(msg, wp, lp, r)) return r;
        if (msg == WM_ERASEBKGND) {
            RECT rc;
            GetClientRect(hwnd_, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, solidBrush(kFormColor));
            return 1;
        }
        if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
            SetBkColor(reinterpret_cast<HDC>(wp), kFormColor);
            return reinterpret_cast<LRESULT>(solidBrush(kFormColor));
        }
        if (msg == WM_DESTROY) closed = true;
        return defaultProc(msg, wp, lp);
    }
};

struct KitHost {
    ui::Window form{"F_HOST"};
    ui::Edit name{"E_NOME"};
    ui::Memo memo{"E_MEMO"};
    ui::Edit ext{"E_EXT"};
    ui::Label echo{"LA_ECO"};
    ui::Label ticks{"LA_TICKS"};
    ui::Button ok{"BU_OK"};
    ui::CheckBox stop{"CB_PARAR"};
    ui::Grid big{"GRID_BIG"};
    ui::Timer timer{"TIMER1"};
    ui::Pages pages{"PC_GERAL"};
    ui::Label onPage{"LA_PAGINA"};
    ui::ListBox start{"RG_INICIAR"};
    ui::ListBox size{"CB_FONTE"};
    ui::Tray tray{"TrayIcon1"};
    ui::ComboBox textSize{"CB_FONTEXT"};
    ui::Calendar calend{"CALEND"};

    int nameChanges = 0, okClicks = 0, stopClicks = 0, tickCount = 0, startChanges = 0, trayClicks = 0;
    int textSizeChanges = 0, textSizeClicks = 0;
    std::string shownPage;

    HostFrame frame;
    std::unique_ptr<WindowView> formView;
    std::unique_ptr<EditView> nameView, memoView, extView;
    std::unique_ptr<LabelView> echoView, ticksView, onPageView;
    std::unique_ptr<ButtonView> okView;
    std::unique_ptr<CheckBoxView> stopView;
    std::unique_ptr<GridView> bigView;
    std::unique_ptr<TimerView> timerView;
    std::unique_ptr<PagesView> pagesView;
    std::unique_ptr<ListView> startView, sizeView;
    std::unique_ptr<TrayView> trayView;
    std::unique_ptr<EditView> textSizeView;
    std::unique_ptr<CalendarView> calendView;

    KitHost() {
        HWND f = frame.hwnd();
        formView = std::make_unique<WindowView>(form, f, true);
        form.setCaption("TARVEX kit test");
        name.onChange = [this] { ++nameChanges; };
        nameView = std::make_unique<EditView>(name, f, 10, 10, 150, 21);
        EditOptions multi;
        multi.multiline = true;
        memoView = std::make_unique<EditView>(memo, f, 10, 40, 150, 60, multi);
        ext.setText("_[DIA]");
        extView = std::make_unique<EditView>(ext, f, 170, 10, 120, 21,
                                             EditOptions{false, false, 0, {"_[DIA]", "_[MES]", "_[ANO]"}});
        echoView = std::make_unique<LabelView>(echo, f, 300, 10, 200, 16, TextStyle{kBlue});
        ticks.setCaption("0");
        ticksView = std::make_unique<LabelView>(ticks, f, 300, 30, 100, 16);
        ok.setCaption("OK");
        ok.onClick = [this] { ++okClicks; echo.setCaption(name.text()); };
        okView = std::make_unique<ButtonView>(ok, f, 170, 40, 75, 25);
        stop.setCaption("Parar Timer");
        stop.onClick = [this] { ++stopClicks; };
        stopView = std::make_unique<CheckBoxView>(stop, f, 170, 70, 120, 20);

        std::vector<std::string> cells;
        cells.reserve(static_cast<size_t>(kBigRows) * 2);
        for (int r = 0; r < kBigRows; ++r) {
            cells.push_back(std::to_string(r));
            cells.push_back(r == 0 ? "Texto" : "linha " + std::to_string(r));
        }
        big.assign(2, kBigRows, cells);
        big.setColWidth(1, 200);
        bigView = std::make_unique<GridView>(big, f, 10, 110, 300, 200, GridOptions{true});

        timer.onTimer = [this] { ++tickCount; ticks.setCaption(std::to_string(tickCount)); };
        timerView = std::make_unique<TimerView>(timer, 1);

        pages.addPage("TS_CAPA");
        pages.addPage("TS_LOG");
        pages.addPage("TS_HELP");
        pages.onShow = [this](const std::string& p) { shownPage = p; };
        pagesView = std::make_unique<PagesView>(pages, f, 320, 110, 300, 200);
        pagesView->setCaption("TS_CAPA", "Capa");
        pagesView->setCaption("TS_LOG", "LOG");
        pagesView->setCaption("TS_HELP", "Help");
        pagesView->setTabVisible("TS_HELP", false);
        onPage.setCaption("Tarefas para hoje.");
        onPageView = std::make_unique<LabelView>(onPage, pagesView->page("TS_CAPA").hwnd(), 10, 10, 200, 16);
        pages.show("TS_CAPA");

        start.items = {"0 - Abrir Normal", "1 - Iniciar Maximizado", "2 - Iniciarf Iconizado"};
        start.onChange = [this] { ++startChanges; };
        startView = std::make_unique<ListView>(start, f, 10, 320, 200, 90, ListKind::Radio, "  AO INICIAR  ");
        size.items = {"4", "5", "6", "7", "8", "9", "10", "12", "14"};
        size.setItemIndex(4);
        sizeView = std::make_unique<ListView>(size, f, 220, 320, 60, 21, ListKind::DropDown);

        textSize.items = {"6", "7", "8", "9", "10", "12"};
        textSize.setText("8");
        textSize.onChange = [this] { ++textSizeChanges; };
        textSize.onClick = [this] { ++textSizeClicks; };
        textSizeView = std::make_unique<EditView>(textSize, f, 290, 320, 60, 21);
        calend.setDate(2026, 12, 7);
        calendView = std::make_unique<CalendarView>(calend, f, 360, 320, 250, 180);

        tray.setHint("Tarvex em Espera");
        tray.onClick = [this] { ++trayClicks; form.show(); form.setState(ui::Window::State::Normal); };
        trayView = std::make_unique<TrayView>(tray, std::vector<HICON>{LoadIconW(nullptr, MAKEINTRESOURCEW(32512)),
                                                                       LoadIconW(nullptr, MAKEINTRESOURCEW(32515))}, f);
        form.show();
    }
};

}  // namespace tarvex::testui
