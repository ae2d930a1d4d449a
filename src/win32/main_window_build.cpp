// The main window's controls, placed as designed.
#include "win32/main_window.h"
#include "win32/ui_pictures.h"

namespace tarvex::win32 {

namespace {
HFONT bold() { return fontPoints(8, true); }
constexpr COLORREF kLinkColor = RGB(0, 0, 160);

// Every page of PC_GERAL, in order, with its caption.
constexpr std::pair<const char*, const char*> kPages[] = {
    {"TS_CALEND", "Calend"}, {"TS_TAREFAS", "Tarefas"}, {"TS_PARAM", "Param"}, {"TS_SISTEMA", "Sistema"},
    {"TS_HELP", "Help"},     {"TS_CAPA", "Capa"},       {"TS_LOG", "LOG"},
};
}  // namespace

void MainWindow::caption(HWND parent, const std::string& text, int x, int y, int w, int h, HFONT font,
                         COLORREF color, bool centred) {
    auto label = std::make_unique<ui::Label>("");
    label->setCaption(text);
    TextStyle style{color, kFormColor, font, centred};
    keep(std::make_unique<LabelView>(*label, parent, x, y, w, h, style));
    captions_.push_back(std::move(label));
}

void MainWindow::buildTopPanel() {
    top_ = std::make_unique<Panel>(hwnd_, 0, 0, kDesignWidth, kTopPanelHeight);
    HWND p = top_->hwnd();
    keep(std::make_unique<LabelView>(BU_LOG, p, 8, 22, 30, 16, TextStyle{kBlue, kFormColor, bold()}));

    struct Glyph { ui::Button& button; Picture picture; const char* label; };
    const Glyph glyphs[] = {{BU_CALEND, Picture::Calendar, "Calend"},
                            {BU_TAREFAS, Picture::Tasks, "Tarefas"},
                            {form_.BU_PROXIMO, Picture::Today, "Hoje"},
                            {BU_HELP, Picture::Help, "Help"}};
    int x = 44;
    for (const auto& g : glyphs) {
        ButtonStyle style;
        style.icon = pictureIcon(g.picture, 32);
        style.flat = true;
        style.showCaption = false;
        keep(std::make_unique<ButtonView>(g.button, p, x, 2, 46, 40, style));
        caption(p, g.label, x - 4, 44, 54, 14, nullptr, RGB(0, 0, 0), true);
        x += 50;
    }

    TextStyle boldText{RGB(0, 0, 0), kFormColor, bold()};
    keep(std::make_unique<CheckBoxView>(form_.CB_PARAR, p, 252, 4, 110, 18, boldText));
    keep(std::make_unique<CheckBoxView>(form_.CB_EXECUTANDO, p, 252, 23, 110, 18, boldText));
    keep(std::make_unique<LabelView>(form_.LA_MSG, p, 252, 45, 370, 16, TextStyle{kBlue, kFormColor, bold()}));

    caption(p, "Próximo", 370, 3, 60, 14);
    keep(std::make_unique<EditView>(form_.E_PROX_NOME, p, 370, 18, 246, 21));
    caption(p, "Hora", 622, 3, 50, 14);
    keep(std::make_unique<EditView>(form_.E_PROX_HORA, p, 622, 18, 50, 21));
    caption(p, "Intervalo ", 678, 3, 70, 14);
    keep(std::make_unique<EditView>(form_.E_PROX_INTERVALO, p, 678, 18, 70, 21));

    ButtonStyle iconizar;
    iconizar.picture = iconizarBackdrop();
    iconizar.textColor = RGB(255, 255, 255);
    iconizar.font = fontPoints(10, true);
    keep(std::make_unique<ButtonView>(form_.BU_ICONIZAR, p, 760, 3, 120, 32, iconizar));
    keep(std::make_unique<LabelView>(form_.LA_PROXIMO, p, 760, 40, 120, 16, TextStyle{RGB(0, 0, 0), kFormColor,
                                                                                        nullptr, true}));
}

void MainWindow::buildPages() {
    pagesView_ = std::make_unique<PagesView>(form_.PC_GERAL, hwnd_, 0, kTopPanelHeight, kDesignWidth, 500);
    for (const auto& [name, text] : kPages) {
        pagesView_->setCaption(name, text);
        pagesView_->setTabVisible(name, false);  // reached only through buttons, labels and menu
    }

    // Calendar: a month calendar filling its page, 10-point font.
    Panel& calend = page("TS_CALEND");
    calendar_ = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, calend.hwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(calendar_, WM_SETFONT, reinterpret_cast<WPARAM>(fontPoints(10)), TRUE);
    setControlName(calendar_, "CALEND");
    calend.onSize = [this](int w, int h) { MoveWindow(calendar_, 0, 0, w, h, TRUE); };

    // Tasks: the task list above; the editor's fields go below it.
    Panel& tasks = page("TS_TAREFAS");
    auto grid = std::make_unique<GridView>(form_.GRID, tasks.hwnd(), 4, 4, 880, 250);
    taskGrid_ = grid.get();
    keep(std::move(grid));
    caption(tasks.hwnd(), "Ult.Execução", 4, 262, 90, 14);
    keep(std::make_unique<EditView>(form_.E_ULTEXEC, tasks.hwnd(), 4, 278, 130, 21));
    keep(std::make_unique<ButtonView>(form_.BU_REAGENDAR, tasks.hwnd(), 4, 302, 130, 25));
    keep(std::make_unique<ButtonView>(form_.T_EXEC, tasks.hwnd(), 140, 302, 130, 25));
    tasks.onSize = [this](int w, int) { taskGrid_->move(4, 4, std::max(100, w - 8), 250); };

    // Settings: the folder they live in; the rest of the page is the settings' own.
    Panel& param = page("TS_PARAM");
    caption(param.hwnd(), "Pasta dos Parâmetros", 8, 8, 200, 14);
    keep(std::make_unique<EditView>(form_.E_DIR_PARAM, param.hwnd(), 8, 24, 420, 21));
    form_.E_DIR_PARAM.setReadOnly(true);

    // System: the memo the task load fills, a 6 x 6 grid and its check box.
    Panel& sys = page("TS_SISTEMA");
    EditOptions memo;
    memo.multiline = true;
    keep(std::make_unique<EditView>(form_.E_MEMO, sys.hwnd(), 4, 4, 440, 300, memo));
    keep(std::make_unique<GridView>(GRID_SISTEMA, sys.hwnd(), 452, 4, 400, 120));
    keep(std::make_unique<CheckBoxView>(CB_VISIVEL, sys.hwnd(), 452, 132, 220, 18));

    // Help: the placeholders, read-only.
    Panel& help = page("TS_HELP");
    keep(std::make_unique<EditView>(E_HELP, help.hwnd(), 8, 8, 400, 200, memo));
    SendMessageW(views_.back()->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontPoints(10)), TRUE);
}

void MainWindow::buildCover() {
    HWND p = page("TS_CAPA").hwnd();
    caption(p, "TARVEX", 16, 8, 300, 48, fontPixels(40, true));
    caption(p, "Tarefas para hoje.", 16, 58, 300, 20, fontPixels(16, true));
    GridOptions coverGrid;
    coverGrid.background = GetSysColor(COLOR_BTNFACE);
    coverGrid.font = fontPoints(10);
    auto grid = std::make_unique<GridView>(form_.GRID_C, p, 16, 82, 417, 265, coverGrid);
    coverGrid_ = grid.get();
    keep(std::move(grid));

    // The maker's logo, and the column of links under it.
    HWND pic = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 460, 8, 200, 120, p, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(makerLogo()));
    setControlName(pic, "IM_LOGO");
    TextStyle link{kLinkColor, kFormColor, bold()};
    ui::Label* links[] = {&LA_LOG, &LA_CALEND, &LA_TAREFAS, &form_.LA_HOJE, &LA_HELP, &LA_PARAM};
    int y = 140;
    for (ui::Label* l : links) {
        keep(std::make_unique<LabelView>(*l, p, 470, y, 180, 16, link));
        y += 24;
    }
}

void MainWindow::buildMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, ID_PARAMETROS, widen("Parâmetros").c_str());
    AppendMenuW(file, MF_STRING, ID_VER_ARQUIVOS, L"Ver Arquivos");
    AppendMenuW(file, MF_STRING, ID_LOG, L"LOG");
    AppendMenuW(file, MF_STRING, ID_LOG_EDIT, L"LOG - Edit");
    AppendMenuW(file, MF_STRING, ID_SISTEMA, L"Sistema");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"Arquivo");
    AppendMenuW(bar, MF_STRING, ID_VALDRIN, L"VALDRIN");
    AppendMenuW(bar, MF_STRING, ID_SAIR, L"Sair");
    SetMenu(hwnd_, bar);
}

}  // namespace tarvex::win32
