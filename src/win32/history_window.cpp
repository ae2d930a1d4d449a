#include "win32/history_window.h"

#include "lib/datetime.h"
#include "lib/routines.h"
#include "log/run_history.h"
#include "tasks/columns.h"
#include "win32/callback_guard.h"
#include "win32/history_chart_view.h"

namespace tarvex::win32 {

namespace {

enum : int { ID_TASKS = 301, ID_DAYS30, ID_DAYS90, ID_CHART };
constexpr UINT WM_HISTORY_LOADED = WM_APP + 0x31;   // wParam: the load's number
constexpr const char* kAllTasks = "Todas as tarefas";
constexpr int kWidth = 920, kHeight = 560;   // design pixels

}  // namespace

HistoryWindow::HistoryWindow(app::MainForm& form, HWND owner) : form_(form) {
    createWindow(L"TARVEX_HISTORY", WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, "Histórico",
                 CW_USEDEFAULT, CW_USEDEFAULT, scaled(kWidth), scaled(kHeight), owner);
    tasks_ = child(L"COMBOBOX", "CB_HIST_TAREFA", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, ID_TASKS);
    days30_ = child(L"BUTTON", "BU_HIST_30", "30 dias", BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_GROUP | WS_TABSTOP, ID_DAYS30);
    days90_ = child(L"BUTTON", "BU_HIST_90", "90 dias", BS_AUTORADIOBUTTON | BS_PUSHLIKE, ID_DAYS90);
    summary_ = child(L"STATIC", "LA_HIST_RESUMO", "", SS_LEFT, 0);
    jumps_ = child(L"STATIC", "LA_HIST_SALTOS", "", SS_LEFT, 0);
    status_ = child(L"STATIC", "LA_HIST_STATUS", "", SS_LEFT | SS_SUNKEN, 0);
    SendMessageW(jumps_, WM_SETFONT, reinterpret_cast<WPARAM>(fontPoints(9, true)), FALSE);
    chart_ = std::make_unique<HistoryChartView>(hwnd_, ID_CHART);
    chart_->onHover = [this](const std::string& text) { setWindowText(status_, text); };
    SendMessageW(days30_, BM_SETCHECK, BST_CHECKED, 0);
    layout();
    setControlName(hwnd_, "F_HISTORICO");   // last: found by name means ready
}

HistoryWindow::~HistoryWindow() {
    reading_.clear();   // each load ends before its window goes
    chart_.reset();
}

HWND HistoryWindow::child(const wchar_t* cls, const std::string& name, const std::string& text, DWORD style, int id) {
    HWND h = CreateWindowExW(0, cls, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    setControlName(h, name);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fontPoints(9)), FALSE);
    return h;
}

void HistoryWindow::layout() {
    if (!chart_) return;   // WM_SIZE of the creation, before the controls
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int w = rc.right, h = rc.bottom, m = scaled(8);
    MoveWindow(tasks_, m, m, scaled(300), scaled(300), TRUE);
    MoveWindow(days30_, m + scaled(310), m, scaled(70), scaled(24), TRUE);
    MoveWindow(days90_, m + scaled(384), m, scaled(70), scaled(24), TRUE);
    MoveWindow(summary_, m + scaled(466), m + scaled(4), std::max(10, w - scaled(482)), scaled(18), TRUE);
    const int statusH = scaled(20), jumpsH = scaled(36), top = m + scaled(32);
    MoveWindow(chart_->hwnd(), m, top, std::max(10, w - 2 * m), std::max(10, h - top - jumpsH - statusH - 2 * m), TRUE);
    MoveWindow(jumps_, m, h - statusH - jumpsH - m, std::max(10, w - 2 * m), jumpsH, TRUE);
    MoveWindow(status_, m, h - statusH - m / 2, std::max(10, w - 2 * m), statusH, TRUE);
}

void HistoryWindow::fillChoices(const std::string& task) {
    SendMessageW(tasks_, CB_RESETCONTENT, 0, 0);
    SendMessageW(tasks_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(kAllTasks).c_str()));
    int chosen = 0, index = 0;
    for (const history::TaskTiming& t : history::timingsOf(form_.table())) {
        ++index;
        SendMessageW(tasks_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(t.name).c_str()));
        if (t.name == task) chosen = index;
    }
    SendMessageW(tasks_, CB_SETCURSEL, chosen, 0);
}

void HistoryWindow::reload() {
    const int at = static_cast<int>(SendMessageW(tasks_, CB_GETCURSEL, 0, 0));
    std::string task;
    if (at > 0) {
        std::wstring w(static_cast<std::size_t>(SendMessageW(tasks_, CB_GETLBTEXTLEN, at, 0)) + 1, L'\0');
        SendMessageW(tasks_, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(w.data()));
        task = narrow(w.c_str());
    }
    setWindowText(summary_, "carregando…");
    // The file is read away from the window's thread: a long history never stops
    // the window answering. The table is read here, where it lives.
    auto load = std::make_unique<Load>();
    load->number = ++loads_;
    load->task = task;
    Load& l = *load;
    l.thread = std::jthread([&l, hwnd = hwnd_, folder = form_.programFolder(),
                             tasks = history::timingsOf(form_.table()), day = today(), days = days_] {
        try {
            l.chart = history::buildChart(log::recentRuns(folder, day, addDays(day, 1 - days)), tasks, l.task, day, days);
        } catch (...) {
            l.chart = {};   // an empty picture: nothing could be read
        }
        l.done = true;
        PostMessageW(hwnd, WM_HISTORY_LOADED, l.number, 0);
    });
    reading_.push_back(std::move(load));
}

// The latest load is shown; older ones that ended are let go.
void HistoryWindow::loaded(unsigned number) {
    for (auto it = reading_.begin(); it != reading_.end();) {
        Load& l = **it;
        if (!l.done) {
            ++it;
            continue;
        }
        if (l.number == number && number == loads_) {
            l.thread.join();
            history::Chart chart = std::move(l.chart);
            std::string said;
            for (const std::string& jump : chart.jumps) said += (said.empty() ? "Tamanho fora do comum: " : "   ") + jump;
            setWindowText(jumps_, said);
            setWindowText(summary_, "OK " + std::to_string(chart.ok) + "    ERRO " + std::to_string(chart.errors) +
                                        "    não rodou " + std::to_string(chart.missed) + "    saltos de tamanho " +
                                        std::to_string(chart.jumps.size()));
            setWindowText(status_, "Passe o mouse sobre uma barra para ver o dia e a hora.");
            chart_->show(std::move(chart), l.task.empty() ? kAllTasks : l.task);
        }
        it = reading_.erase(it);
    }
}

void HistoryWindow::showFor(const std::string& task) {
    fillChoices(task);
    reload();
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
}

LRESULT HistoryWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: layout(); return 0;
    case WM_HISTORY_LOADED: guarded([&] { loaded(static_cast<unsigned>(wp)); }); return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wp), code = HIWORD(wp);
        guarded([&] {
            if (id == ID_TASKS && code == CBN_SELCHANGE) reload();
            if ((id == ID_DAYS30 || id == ID_DAYS90) && code == BN_CLICKED) {
                days_ = id == ID_DAYS30 ? 30 : 90;
                SendMessageW(days30_, BM_SETCHECK, days_ == 30 ? BST_CHECKED : BST_UNCHECKED, 0);
                SendMessageW(days90_, BM_SETCHECK, days_ == 90 ? BST_CHECKED : BST_UNCHECKED, 0);
                reload();
            }
        });
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == jumps_) {
            SetTextColor(reinterpret_cast<HDC>(wp), RGB(200, 0, 0));
            SetBkColor(reinterpret_cast<HDC>(wp), kFormColor);
            return reinterpret_cast<LRESULT>(solidBrush(kFormColor));
        }
        SetBkColor(reinterpret_cast<HDC>(wp), kFormColor);
        return reinterpret_cast<LRESULT>(solidBrush(kFormColor));
    case WM_ERASEBKGND: return eraseWith(hwnd_, wp, kFormColor);
    case WM_CLOSE: ShowWindow(hwnd_, SW_HIDE); return 0;   // kept for the next opening
    default: return Wnd::handle(msg, wp, lp);
    }
}

HistoryButtons::HistoryButtons(app::MainForm& form, HWND mainWindow) : form_(form), main_(mainWindow) {
    cover_.setCaption("Histórico");
    editor_.setCaption("Histórico");
    cover_.setHint("Execuções dos últimos dias, de todas as tarefas");
    editor_.setHint("Execuções dos últimos dias desta tarefa");
    cover_.onClick = [this] { open(""); };
    editor_.onClick = [this] {
        const int row = form_.editorRow();
        open(row > 0 ? trim(form_.table().cell(col::NOME, row)) : "");
    };
    if (HWND cover = findControl(main_, "TS_CAPA")) {
        coverView_ = std::make_unique<ButtonView>(cover_, cover, 470, 290, 120, 26);
        // The cover lays it out beside its links, which follow the window's width.
        RECT rc;
        GetClientRect(cover, &rc);
        SendMessageW(cover, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
    addEditorButton();
}

void HistoryButtons::addEditorButton() {
    if (editorView_) return;
    if (HWND panel = findControl(main_, "PA_GERAL"))
        editorView_ = std::make_unique<ButtonView>(editor_, panel, 540, 16, 74, 23);
}

HistoryButtons::~HistoryButtons() {
    window_.reset();
    editorView_.reset();
    coverView_.reset();
}

void HistoryButtons::open(const std::string& task) {
    if (!window_) window_ = std::make_unique<HistoryWindow>(form_, main_);
    window_->showFor(task);
}

}  // namespace tarvex::win32
