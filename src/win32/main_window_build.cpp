// The main window's controls, placed as designed.
#include "win32/main_window.h"
#include "settings/page.h"
#include "settings/start_options.h"
#include "win32/editor_view.h"
#include "win32/history_window.h"
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
    keep(std::make_unique<LabelView>(form_.BU_LOG, p, 8, 22, 30, 16, TextStyle{kBlue, kFormColor, bold()}));

    struct Glyph { ui::Button& button; Picture picture; const char* label; };
    const Glyph glyphs[] = {{form_.BU_CALEND, Picture::Calendar, "Calend"},
                            {form_.BU_TAREFAS, Picture::Tasks, "Tarefas"},
                            {form_.BU_PROXIMO, Picture::Today, "Hoje"},
                            {form_.BU_HELP, Picture::Help, "Help"}};
    int x = 44;
    for (const auto& g : glyphs) {
        ButtonStyle style;
        style.icon = pictureIcon(g.picture, scaled(32));
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
    View* name = keep(std::make_unique<EditView>(form_.E_PROX_NOME, p, 370, 18, 246, 21));
    struct Shifted { View* view; RECT at; };
    std::vector<Shifted> right;
    auto shifted = [&](View* v, int x, int y, int w, int h) { right.push_back({v, RECT{x, y, w, h}}); };
    caption(p, "Hora", 622, 3, 50, 14);
    shifted(views_.back().get(), 622, 3, 50, 14);
    shifted(keep(std::make_unique<EditView>(form_.E_PROX_HORA, p, 622, 18, 50, 21)), 622, 18, 50, 21);
    caption(p, "Intervalo ", 678, 3, 70, 14);
    shifted(views_.back().get(), 678, 3, 70, 14);
    shifted(keep(std::make_unique<EditView>(form_.E_PROX_INTERVALO, p, 678, 18, 70, 21)), 678, 18, 70, 21);

    ButtonStyle iconizar;
    iconizar.picture = iconizarBackdrop();
    iconizar.textColor = RGB(255, 255, 255);
    iconizar.font = fontPoints(10, true);
    shifted(keep(std::make_unique<ButtonView>(form_.BU_ICONIZAR, p, 760, 3, 120, 32, iconizar)), 760, 3, 120, 32);
    shifted(keep(std::make_unique<LabelView>(form_.LA_PROXIMO, p, 760, 40, 120, 16,
                                             TextStyle{RGB(0, 0, 0), kFormColor, nullptr, true})),
            760, 40, 120, 16);

    // Narrower than the design (a large scale on a small screen): the next task's
    // name gives up its room, so "Iconizar" stays whole on the screen.
    top_->onSize = [name, right](int w, int) {
        const int lack = std::clamp(884 - w, 0, 126);
        name->move(370, 18, 246 - lack, 21);
        for (const Shifted& s : right) s.view->move(s.at.left - lack, s.at.top, s.at.right, s.at.bottom);
    };
}

// Only the cover is made with the window; each other page's controls are made
// the first time it shows, or when automation looks one of them up.
void MainWindow::buildPages() {
    pagesView_ = std::make_unique<PagesView>(form_.PC_GERAL, hwnd_, 0, kTopPanelHeight, kDesignWidth, 500);
    for (const auto& [name, text] : kPages) pagesView_->setCaption(name, text);
    pagesView_->buildLater("TS_CALEND", [this](Panel& p) { buildCalendarPage(p); });
    pagesView_->buildLater("TS_TAREFAS", [this](Panel& p) {
        buildTarefasPage(form_, p, [this](std::unique_ptr<View> v) { keep(std::move(v)); });
        if (history_) history_->addEditorButton();
    });
    pagesView_->buildLater(settings::kPageName, [this](Panel&) { buildParamPage(); });
    pagesView_->buildLater("TS_LOG", [this](Panel&) { buildLogPage(); });
    pagesView_->buildLater("TS_SISTEMA", [this](Panel& p) { buildSystemPage(p); });
    pagesView_->buildLater("TS_HELP", [this](Panel& p) {
        EditOptions memo;
        memo.multiline = true;
        keep(std::make_unique<EditView>(form_.E_HELP, p.hwnd(), 8, 8, 400, 200, memo));
        SendMessageW(views_.back()->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontPoints(10)), TRUE);
    });
}

// A month calendar filling its page.
void MainWindow::buildCalendarPage(Panel& calend) {
    View* calendarView = keep(std::make_unique<CalendarView>(form_.CALEND, calend.hwnd(), 0, 0, 600, 400));
    calend.onSize = [calendarView](int w, int h) { calendarView->move(0, 0, w, h); };
}

// The last batch made and the log's raw lines, each under a caption saying so.
void MainWindow::buildSystemPage(Panel& sys) {
    EditOptions memo;
    memo.multiline = true;
    caption(sys.hwnd(), "Último lote de comandos montado (TIMER_xx.BAT)", 4, 4, 440, 14);
    keep(std::make_unique<EditView>(form_.E_MEMO, sys.hwnd(), 4, 20, 440, 236, memo));
    caption(sys.hwnd(), "Linhas do log lidas pela página LOG", 4, 262, 440, 14);
    keep(std::make_unique<EditView>(form_.E_MEMO_LOG, sys.hwnd(), 4, 278, 440, 232, memo));
    keep(std::make_unique<GridView>(GRID_SISTEMA, sys.hwnd(), 452, 4, 400, 120));
    keep(std::make_unique<CheckBoxView>(CB_VISIVEL, sys.hwnd(), 452, 132, 220, 18));
}

void MainWindow::buildParamPage() {
    HWND p = page(settings::kPageName).hwnd();
    caption(p, settings::kFolderLabel, 8, 8, 200, 14);
    keep(std::make_unique<EditView>(form_.E_DIR_PARAM, p, 8, 24, 420, 21));
    keep(std::make_unique<ListView>(form_.startModeList, p, 8, 56, 200, 90, ListKind::Radio,
                                    settings::kStartModeCaption));
    keep(std::make_unique<ListView>(form_.startPageList, p, 216, 56, 200, 90, ListKind::Radio,
                                    settings::kStartPageCaption));
    caption(p, settings::kCalendarFontList.label, 8, 156, 200, 14);
    keep(std::make_unique<EditView>(form_.CB_FONTE, p, 8, 172, 60, 21));
    caption(p, settings::kTextFontSizeList.label, 216, 156, 200, 14);
    keep(std::make_unique<EditView>(form_.CB_FONTEXT, p, 216, 172, 60, 21));
    caption(p, settings::kFontNameList.label, 8, 204, 200, 14);
    keep(std::make_unique<EditView>(form_.CB_FONTNAME, p, 8, 220, 230, 21));
    // The two bounds one under the other, left of the e-mail section (x 460 on).
    caption(p, settings::kTimeLimitLabel, 248, 204, 200, 14);
    keep(std::make_unique<EditView>(form_.E_TEMPO_LIMITE, p, 248, 220, 60, 21));
    keep(std::make_unique<CheckBoxView>(form_.CB_AUTORUN, p, 8, 254, 232, 18));
    caption(p, settings::kLogMaxLabel, 248, 252, 200, 14);
    keep(std::make_unique<EditView>(form_.E_LOG_MAXIMO, p, 248, 268, 60, 21));
    keep(std::make_unique<ButtonView>(form_.BU_PARAM_SALVA, p, 8, 300, 150, 28));
    buildMailSection(p);
}

// The log page: its actions and filters in a row, the grid filling the rest.
void MainWindow::buildLogPage() {
    Panel& log = page("TS_LOG");
    HWND p = log.hwnd();
    keep(std::make_unique<ButtonView>(form_.BU_MONTA_LOG, p, 8, 6, 90, 25));
    keep(std::make_unique<ButtonView>(form_.BU_ZERA_LOG, p, 104, 6, 90, 25));
    keep(std::make_unique<ButtonView>(form_.BU_FINAL_LOG, p, 200, 6, 120, 25));
    keep(std::make_unique<CheckBoxView>(form_.CB_VER_INICIO, p, 336, 10, 100, 18));
    keep(std::make_unique<CheckBoxView>(form_.CB_VER_TERMINO, p, 444, 10, 110, 18));
    // The second row: which month's file, which task, which result.
    caption(p, "Mês:", 8, 42, 34, 14);
    keep(std::make_unique<ListView>(form_.E_LOG_MES, p, 44, 38, 90, 200, ListKind::DropDown));
    caption(p, "Tarefa:", 146, 42, 48, 14);
    keep(std::make_unique<ListView>(form_.E_LOG_TAREFA, p, 196, 38, 220, 300, ListKind::DropDown));
    caption(p, "Resultado:", 428, 42, 66, 14);
    keep(std::make_unique<ListView>(form_.E_LOG_RESULTADO, p, 496, 38, 80, 120, ListKind::DropDown));
    View* gridView = keep(std::make_unique<GridView>(form_.GRID_LOG, p, 0, 66, 880, 372));
    log.onSize = [gridView](int w, int h) { gridView->move(0, 66, w, std::max(40, h - 66)); };
}

void MainWindow::buildCover() {
    HWND p = page("TS_CAPA").hwnd();
    caption(p, "TARVEX", 16, 8, 300, 48, fontPixels(40, true));
    caption(p, "Tarefas para hoje.", 16, 58, 300, 20, fontPixels(16, true));
    GridOptions coverGrid;
    coverGrid.background = GetSysColor(COLOR_BTNFACE);
    coverGrid.font = fontPoints(10);
    coverGrid.shareCols = {2, 3};   // the name and the last result take the room there is
    coverGrid_ = keep(std::make_unique<GridView>(form_.GRID_C, p, 16, 82, 417, 265, coverGrid));
    View* late = keep(std::make_unique<LabelView>(form_.LA_ATRASADAS, p, 16, 352, 417, 80,
                                                  TextStyle{RGB(200, 0, 0), kFormColor, bold()}));

    // The maker's logo, and the column of links under it.
    HWND pic = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, scaled(460), scaled(8), 200, 120,
                               p, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(makerLogo()));
    setControlName(pic, "IM_LOGO");
    TextStyle link{kLinkColor, kFormColor, bold()};
    ui::Label* links[] = {&form_.LA_LOG, &form_.LA_CALEND, &form_.LA_TAREFAS, &form_.LA_HOJE, &form_.LA_HELP,
                          &form_.LA_PARAM};
    int y = 140;
    std::vector<View*> linkViews;
    for (ui::Label* l : links) {
        linkViews.push_back(keep(std::make_unique<LabelView>(*l, p, 470, y, 180, 16, link)));
        y += 24;
    }

    // The list widens with the window; the logo and the links keep to its right.
    page("TS_CAPA").onSize = [this, late, pic, linkViews](int w, int h) {
        const int gridWidth = std::max(417, w - 16 - 230);
        const int gridHeight = std::max(265, h - 82 - 96);
        coverGrid_->move(16, 82, gridWidth, gridHeight);
        late->move(16, 82 + gridHeight + 5, gridWidth, 80);
        const int right = 16 + gridWidth + 27;
        SetWindowPos(pic, nullptr, scaled(right - 10), scaled(8), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        int at = 140;
        for (View* v : linkViews) {
            v->move(right, at, 180, 16);
            at += 24;
        }
        // The history's button, made beside the links once the window is built.
        if (HWND history = findControl(hwnd_, "BU_HISTORICO"))
            SetWindowPos(history, nullptr, scaled(right), scaled(290), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
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
