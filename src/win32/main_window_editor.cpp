// The "Tarefas" page: the editor's tool row, the task list, the general fields
// and the page of the task's type. The type pages are laid out from the editor's
// own reading order: a label over its field, picker buttons beside it.
#include <algorithm>

#include "win32/main_window.h"

namespace tarvex::win32 {

namespace {
constexpr int kRowGap = 4;
constexpr int kLabelHeight = 14;
constexpr int kFieldHeight = 21;
constexpr int kButtonHeight = 23;
constexpr int kToolTop = 4, kGridTop = 34, kGridHeight = 190, kLowerTop = kGridTop + kGridHeight + 6;
constexpr int kGeneralWidth = 330;

// The glyph of a tool or picker button that has no caption of its own.
std::wstring glyphOf(const std::string& name) {
    if (name == "BU_ANOTA_MAIS") return L"+";
    if (name == "BU_TAREFA_SOBE") return L"\x25B2";
    if (name == "BU_TAREFA_SOBE5") return L"\x25B2" L"5";
    if (name == "BU_TAREFA_DESCE") return L"\x25BC";
    if (name == "BU_TAREFA_DESCE5") return L"\x25BC" L"5";
    if (name == "BU_MONTAR") return L"M";
    if (name == "BU_EXCLUI") return L"X";
    return L"...";
}

ListKind listKindOf(const std::string& name) {
    if (name.find("FUNCOES") != std::string::npos) return ListKind::Radio;
    if (name.find("LIST") != std::string::npos) return ListKind::List;
    return ListKind::DropDown;
}
}  // namespace

// One type page's controls in rows, under the page's title.
void MainWindow::layoutTypePage(HWND page, const std::string& title, const std::vector<ui::Control*>& controls) {
    app::TarefasEditor& ed = form_.editor();
    int x = 8, y = 8, rowHeight = 0;
    if (!title.empty()) {
        caption(page, title, 8, 4, 400, 16, fontPoints(8, true));
        y = 24;
    }
    auto newRow = [&] {
        if (x > 8) y += rowHeight + kRowGap;
        x = 8;
        rowHeight = 0;
    };
    // A control that would pass the page's right edge starts a new row.
    auto place = [&](int w, int h) {
        if (x > 8 && x + w > 560) newRow();
        rowHeight = std::max(rowHeight, h);
        int at = x;
        x += w + 4;
        return at;
    };
    bool lastWasField = false;
    for (ui::Control* c : controls) {
        if (auto* label = dynamic_cast<ui::Label*>(c); label && !dynamic_cast<ui::Button*>(c)) {
            newRow();
            keep(std::make_unique<LabelView>(*label, page, 8, y, 560, kLabelHeight));
            y += kLabelHeight + 1;
            lastWasField = false;
        } else if (auto* button = dynamic_cast<ui::Button*>(c)) {
            ButtonStyle style;
            style.glyph = glyphOf(button->name());
            int w = button->caption().empty() ? 26 : 16 + 6 * static_cast<int>(button->caption().size());
            int at = place(w, kButtonHeight);
            keep(std::make_unique<ButtonView>(*button, page, at, y, w, kButtonHeight, style));
        } else if (auto* edit = dynamic_cast<ui::Edit*>(c)) {
            app::EditLook look = ed.look(*edit);
            if (lastWasField || look.multiline) newRow();
            EditOptions o{look.multiline, look.upperCase, look.maxLength, look.suggestions};
            int w = look.multiline ? 560 : look.maxLength == 1 ? 30 : 300;
            int h = look.multiline ? 110 : kFieldHeight;
            int at = place(w, h);
            keep(std::make_unique<EditView>(*edit, page, at, y, w, h, o));
            lastWasField = true;
        } else if (auto* list = dynamic_cast<ui::ListBox*>(c)) {
            ListKind kind = listKindOf(list->name());
            if (kind != ListKind::DropDown) newRow();
            int w = kind == ListKind::DropDown ? 150 : 300;
            int h = kind == ListKind::DropDown ? kFieldHeight
                    : kind == ListKind::List   ? 100
                                               : 24 + 20 * static_cast<int>(list->items.size());
            int at = place(w, h);
            keep(std::make_unique<ListView>(*list, page, at, y, w, h, kind, list->hint()));
        } else if (auto* box = dynamic_cast<ui::CheckBox*>(c)) {
            newRow();
            int at = place(300, 18);
            keep(std::make_unique<CheckBoxView>(*box, page, at, y, 300, 18));
            lastWasField = false;
        }
    }
}

void MainWindow::buildEditor() {
    app::TarefasEditor& ed = form_.editor();
    Panel& tasks = page("TS_TAREFAS");
    HWND p = tasks.hwnd();

    int x = 4;
    for (ui::Button* b : {&ed.BU_ANOTA_MAIS, &ed.BU_TAREFA_SOBE, &ed.BU_TAREFA_SOBE5, &ed.BU_TAREFA_DESCE,
                          &ed.BU_TAREFA_DESCE5, &ed.BU_MONTAR, &ed.BU_EXCLUI, &ed.BU_TAREFAS_SALVA}) {
        ButtonStyle style;
        style.glyph = glyphOf(b->name());
        int w = b->caption().empty() ? 30 : 80;
        keep(std::make_unique<ButtonView>(*b, p, x, kToolTop, w, 25, style));
        x += w + 4;
    }
    auto grid = std::make_unique<GridView>(form_.GRID, p, 4, kGridTop, 880, kGridHeight);
    taskGrid_ = grid.get();
    keep(std::move(grid));

    // General fields, left.
    int y = kLowerTop;
    auto labelled = [&](ui::Label& label, int h) {
        keep(std::make_unique<LabelView>(label, p, 4, y, kGeneralWidth - 8, kLabelHeight));
        y += kLabelHeight + 1;
        int top = y;
        y += h + kRowGap;
        return top;
    };
    keep(std::make_unique<EditView>(ed.E_NOME, p, 4, labelled(ed.LA_E_NOME, kFieldHeight), kGeneralWidth - 8,
                                    kFieldHeight));
    int typeTop = labelled(ed.LA_E_TIPO, kFieldHeight);
    keep(std::make_unique<EditView>(ed.E_TIPO, p, 4, typeTop, 150, kFieldHeight));
    keep(std::make_unique<ListView>(ed.E_TIPO1, p, 158, typeTop, kGeneralWidth - 162, kFieldHeight,
                                    ListKind::DropDown));
    int periodTop = labelled(ed.LA_E_PERIODO, kFieldHeight);
    keep(std::make_unique<EditView>(ed.E_PERIODO, p, 4, periodTop, 150, kFieldHeight));
    keep(std::make_unique<ListView>(ed.E_PERIODO1, p, 158, periodTop, kGeneralWidth - 162, kFieldHeight,
                                    ListKind::DropDown));
    int hourTop = labelled(ed.LA_E_HORA, kFieldHeight);
    keep(std::make_unique<EditView>(ed.E_HORA, p, 4, hourTop, 60, kFieldHeight));
    keep(std::make_unique<CheckBoxView>(ed.CB_PAUSE, p, 80, hourTop + 2, 150, 18));
    keep(std::make_unique<EditView>(ed.E_MSG, p, 4, labelled(ed.LA_E_MSG, kFieldHeight), kGeneralWidth - 8,
                                    kFieldHeight));
    int lastTop = labelled(ed.LA_E_ULTEXEC, kFieldHeight);
    keep(std::make_unique<EditView>(form_.E_ULTEXEC, p, 4, lastTop, 130, kFieldHeight));
    keep(std::make_unique<ButtonView>(form_.BU_REAGENDAR, p, 4, y, 110, 25));
    keep(std::make_unique<ButtonView>(form_.T_EXEC, p, 120, y, 110, 25));

    // The page of the task's type, right.
    typePages_ = std::make_unique<PagesView>(ed.pages.PC_TIPO, p, kGeneralWidth, kLowerTop, 560, 330);
    for (const std::string& name : app::EditorPages::pageNames()) {
        Panel& page = typePages_->page(name);
        typePages_->setTabVisible(name, false);  // the task's type chooses the page
        layoutTypePage(page.hwnd(), app::EditorPages::pageTitle(name), ed.pages.pageControls(name));
    }
    tasks.onSize = [this](int w, int h) {
        taskGrid_->move(4, kGridTop, std::max(100, w - 8), kGridHeight);
        MoveWindow(typePages_->hwnd(), kGeneralWidth, kLowerTop, std::max(100, w - kGeneralWidth - 4),
                   std::max(60, h - kLowerTop - 4), TRUE);
    };
}

}  // namespace tarvex::win32
