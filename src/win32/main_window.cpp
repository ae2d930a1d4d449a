#include "win32/main_window.h"

#include "win32/callback_guard.h"
#include "win32/history_window.h"
#include "win32/ui_pictures.h"

namespace tarvex::win32 {

MainWindow::MainWindow(app::MainForm& form) : form_(form) {
    setDpi(dpiOf(nullptr));
    createWindow(L"TF_TARVEX", WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, form_.F_TARVEX.caption(),
                 CW_USEDEFAULT, CW_USEDEFAULT, scaled(kDesignWidth), scaled(kDesignHeight), nullptr);
    // The controls are made for the monitor the frame landed on.
    setDpi(dpiOf(hwnd_));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(pictureIcon(Picture::TrayIdle, 32)));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(pictureIcon(Picture::TrayIdle, 16)));
    design();
    buildMenu();
    buildTopPanel();
    buildPages();
    buildCover();
    history_ = std::make_unique<HistoryButtons>(form_, hwnd_);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd_,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    timer1_ = std::make_unique<TimerView>(form_.TIMER1, ID_TIMER1);
    supervisor_ = std::make_unique<TimerView>(form_.T_SUPERVISOR, ID_T_SUPERVISOR);
    duration_ = std::make_unique<TimerView>(form_.T_DURACAO, ID_T_DURACAO);
    mailTimer_ = std::make_unique<TimerView>(form_.mail().T_EMAIL, ID_T_EMAIL);
    // While a task runs, a Windows shutdown waits and shows why.
    form_.onBusy = [this](const std::string& reason) {
        if (reason.empty()) ShutdownBlockReasonDestroy(hwnd_);
        else ShutdownBlockReasonCreate(hwnd_, widen(reason).c_str());
    };
    layout();
    // Last: from here on the model's visible and state drive the frame.
    windowView_ = std::make_unique<WindowView>(form_.F_TARVEX, hwnd_, true);
}

// The notification-area icon, once the window is up: the shell takes its time,
// and nothing needs the icon before.
void MainWindow::addTrayIcon() {
    if (trayView_) return;
    trayView_ = std::make_unique<TrayView>(
        form_.TrayIcon1,
        std::vector<HICON>{pictureIcon(Picture::TrayIdle, 16), pictureIcon(Picture::TrayBusy, 16),
                           pictureIcon(Picture::TrayWarning, 16)}, hwnd_);
    trayView_->menu = {
        {"Maximizar", [this] { form_.F_TARVEX.show(); form_.F_TARVEX.setState(ui::Window::State::Maximized); }},
        // "Fechar o Timer" closes the program, asking first as every close does.
        {"Fechar o Timer", [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }},
        {"Sair", [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }},
    };
}

MainWindow::~MainWindow() {
    // Views go before the frame, each releasing its own window.
    windowView_.reset();
    history_.reset();
    trayView_.reset();
    form_.onBusy = nullptr;
    timer1_.reset();
    supervisor_.reset();
    duration_.reset();
    mailTimer_.reset();
    views_.clear();
    pagesView_.reset();
    top_.reset();
}

void MainWindow::design() {
    GRID_SISTEMA.setColCount(6);
    GRID_SISTEMA.setRowCount(6);
    CB_VISIVEL.setCaption("Ver a execução (visivel)");
    // The system page's grid and check box never had content or action: kept hidden.
    GRID_SISTEMA.setVisible(false);
    CB_VISIVEL.setVisible(false);
    // The pages are reached by the window's buttons, never by tabs (start-up says
    // so too): no tab strip is made and laid out for each page added.
    form_.PC_GERAL.setTabsVisible(false);
}

void MainWindow::layout() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    // A maximised window cannot be resized: no grip. And the bar is painted anew
    // whole, or the grip drawn at its old corner stays in the middle of it.
    const LONG style = GetWindowLongW(status_, GWL_STYLE);
    const LONG grip = IsZoomed(hwnd_) ? style & ~SBARS_SIZEGRIP : style | SBARS_SIZEGRIP;
    if (grip != style) SetWindowLongW(status_, GWL_STYLE, grip);
    SendMessageW(status_, WM_SIZE, 0, 0);
    InvalidateRect(status_, nullptr, TRUE);
    RECT sb{};
    GetWindowRect(status_, &sb);
    int statusHeight = sb.bottom - sb.top;
    const int topHeight = scaled(kTopPanelHeight);
    MoveWindow(top_->hwnd(), 0, 0, rc.right, topHeight, TRUE);
    int pagesHeight = std::max(0, static_cast<int>(rc.bottom) - topHeight - statusHeight);
    MoveWindow(pagesView_->hwnd(), 0, topHeight, rc.right, pagesHeight, TRUE);
}

// What the frame, its caption and its menu take around the client area, in pixels.
SIZE MainWindow::frameSize() const {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, GetWindowLongW(hwnd_, GWL_STYLE), GetMenu(hwnd_) != nullptr,
                       GetWindowLongW(hwnd_, GWL_EXSTYLE));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The least size keeps the top bar whole ("Iconizar" and the next task's hour)
// and a strip of the page; the page scrolls the rest. Never more than the screen.
void MainWindow::minimumSize(MINMAXINFO& info) const {
    RECT sb{};
    if (status_) GetWindowRect(status_, &sb);
    const SIZE frame = frameSize();
    LONG w = scaled(kTopBarLeast) + frame.cx;
    LONG h = scaled(kTopPanelHeight + kPageStripLeast) + (sb.bottom - sb.top) + frame.cy;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi)) {
        w = std::min(w, mi.rcWork.right - mi.rcWork.left);
        h = std::min(h, mi.rcWork.bottom - mi.rcWork.top);
    }
    info.ptMinTrackSize = POINT{w, h};
}

// An action of the system's own messages: an error is shown, never let through Windows' code.
void MainWindow::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        platform::op().error(e.what());
    }
}

// Menu actions run as event actions do: an error ends the action and is shown.
void MainWindow::menuCommand(UINT id) {
    guarded([&] {
        switch (id) {
        case ID_PARAMETROS: form_.settingsMenuClicked(); break;
        case ID_VER_ARQUIVOS: VerArquivos1Click(); break;
        case ID_LOG: form_.openLogFile(); break;
        case ID_LOG_EDIT: form_.logoEditClicked(); break;
        case ID_SISTEMA: form_.systemMenuClicked(); break;
        case ID_VALDRIN: form_.makerMenuClicked(); break;
        case ID_SAIR: PostMessageW(hwnd_, WM_CLOSE, 0, 0); break;
        default: break;
        }
    });
}

// Automation asks for a control by name: the pages not made yet are made, one
// after another, until it is there.
LRESULT MainWindow::makeControl(ATOM atom) {
    wchar_t text[256];
    const UINT n = GlobalGetAtomNameW(atom, text, 256);
    if (n == 0) return 0;
    const std::string name = narrow(std::wstring(text, n));
    while (!findControl(hwnd_, name))
        if (!pagesView_->buildNext()) return 0;
    return 1;
}

LRESULT MainWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (reflect(msg, wp, lp, r) || systemEvent(msg, wp, r)) return r;
    if (msg == makeControlMessage()) return makeControl(static_cast<ATOM>(wp));
    switch (msg) {
    case WM_ERASEBKGND: return eraseWith(hwnd_, wp, kFormColor);
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED && top_) layout();
        return 0;
    case WM_GETMINMAXINFO:
        minimumSize(*reinterpret_cast<MINMAXINFO*>(lp));
        return 0;
    case kDpiChanged: dpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) >= ID_PARAMETROS && LOWORD(wp) <= ID_SAIR) {
            menuCommand(LOWORD(wp));
            return 0;
        }
        return defaultProc(msg, wp, lp);
    case WM_SHOWWINDOW:
        // The first time the window is shown, whenever that is (start mode 2 waits for the icon).
        if (wp && !shown_) {
            shown_ = true;
            form_.windowShown();
        }
        return defaultProc(msg, wp, lp);
    case WM_TARVEX_WINDOW_UP:
        addTrayIcon();
        form_.windowUp();
        return 0;
    case WM_CLOSE:
        // The model saves the settings and asks; a refused close keeps everything running.
        if (form_.closeRequested()) DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        form_.shutDown();
        PostQuitMessage(0);
        return 0;
    default: return defaultProc(msg, wp, lp);
    }
}

// Moved to a monitor of another scale: everything is laid out again for it, in
// the rectangle Windows proposes.
void MainWindow::dpiChanged(int to, const RECT& r) {
    const int from = dpi();
    setDpi(to);
    rescaleChildren(hwnd_, from, to);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// What the computer tells every window: sleep and resume, devices, the clock, the session's end.
bool MainWindow::systemEvent(UINT msg, WPARAM wp, LRESULT& result) {
    switch (msg) {
    case WM_POWERBROADCAST:
        if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) guarded([this] { form_.systemResumed(); });
        result = TRUE;
        return true;
    case WM_DEVICECHANGE:
        if (wp == 0x8000 /* DBT_DEVICEARRIVAL */) guarded([this] { form_.devicesChanged(); });
        result = TRUE;
        return true;
    case WM_TIMECHANGE: guarded([this] { form_.clockChanged(); }); return true;
    case WM_QUERYENDSESSION:
        // Never the close question: it would hold Windows' shutdown.
        result = form_.sessionMayEnd() ? TRUE : FALSE;
        return true;
    case WM_ENDSESSION:
        if (wp) guarded([this] { form_.sessionEnding(); });
        return true;
    default: return false;
    }
}

}  // namespace tarvex::win32
