// The Tarefas screen's frame: toolbar, task list and general panel.
#include "win32/editor_view.h"

#include <algorithm>

#include "win32/dialogs_win32.h"
#include "win32/editor_fields.h"
#include "win32/editor_glyphs.h"
#include "win32/ui_edit.h"
#include "win32/ui_grid.h"
#include "win32/ui_label.h"
#include "win32/ui_list.h"
#include "win32/ui_pages.h"

namespace tarvex::win32 {

namespace {

constexpr int kToolbarHeight = 30;
constexpr int kGridWidth = 250;
constexpr int kEditorLeft = kGridWidth + 10;
constexpr int kGeneralHeight = 110;
constexpr int kPagesTop = kToolbarHeight + kGeneralHeight + 6;

Win32Dialogs& dialogs() {
    static Win32Dialogs d;   // lives as long as the model that calls it
    return d;
}

EditOptions optionsOf(const app::EditLook& look) {
    return EditOptions{look.multiline, look.upperCase, look.maxLength, look.suggestions};
}

class Builder {
public:
    Builder(app::MainForm& form, const KeepView& keep) : form_(form), ed_(form.editor()), keep_(keep) {}

    template <class V, class... A>
    V* add(A&&... args) {
        auto view = std::make_unique<V>(std::forward<A>(args)...);
        V* raw = view.get();
        keep_(std::move(view));
        return raw;
    }

    void toolbar(HWND p);
    PanelView* general(HWND p, int w);
    void edit(ui::Edit& e, HWND p, int x, int y, int w) { add<EditView>(e, p, x, y, w, 21, optionsOf(ed_.look(e))); }
    void choice(ui::Edit& text, ui::ListBox& list, int items, HWND p, int x, int y, int w);

private:
    app::MainForm& form_;
    app::TaskEditor& ed_;
    const KeepView& keep_;
};

void Builder::toolbar(HWND p) {
    struct Tool { ui::Button& button; Glyph glyph; };
    const Tool tools[] = {{ed_.BU_ANOTA_MAIS, Glyph::Add},     {ed_.BU_TAREFA_SOBE, Glyph::Up},
                          {ed_.BU_TAREFA_SOBE5, Glyph::Up5},   {ed_.BU_TAREFA_DESCE, Glyph::Down},
                          {ed_.BU_TAREFA_DESCE5, Glyph::Down5}, {ed_.BU_MONTAR, Glyph::Reload},
                          {ed_.BU_EXCLUI, Glyph::Delete}};
    int x = 4;
    for (const Tool& t : tools) {
        ButtonStyle style;
        style.icon = glyphIcon(t.glyph);
        style.showCaption = false;
        add<ButtonView>(t.button, p, x, 3, 26, 25, style);
        x += t.glyph == Glyph::Down5 || t.glyph == Glyph::Reload ? 34 : 28;   // gaps between groups
    }
    ButtonStyle save;
    save.font = fontPoints(8, true);
    add<ButtonView>(ed_.BU_TAREFAS_SALVA, p, x + 8, 3, 80, 25, save);
    add<ButtonView>(ed_.BU_SIMULAR, p, x + 96, 3, 80, 25);
}

// The type and period lists lie behind their text fields: the field covers the
// list's own text, leaving its arrow to open it.
void Builder::choice(ui::Edit& text, ui::ListBox& list, int items, HWND p, int x, int y, int w) {
    auto* drop = add<PickListView>(list, p, x, y, w, 21);
    drop->move(x, y, w, droppedHeight(drop->hwnd(), items));
    SetWindowLongW(drop->hwnd(), GWL_STYLE, GetWindowLongW(drop->hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
    auto* field = add<EditView>(text, p, x, y, w - unscaled(GetSystemMetrics(SM_CXVSCROLL)) - 2, 21);
    // Just above its list, not above every sibling: the Tab order follows this
    // order, and the field is the list's own first stop.
    HWND above = GetWindow(drop->hwnd(), GW_HWNDPREV);
    SetWindowPos(field->hwnd(), above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

PanelView* Builder::general(HWND page, int w) {
    auto* panel = add<PanelView>(ed_.PA_GERAL, page, kEditorLeft, kToolbarHeight + 2, w, kGeneralHeight,
                                 GetSysColor(COLOR_INFOBK));
    HWND p = panel->hwnd();
    const TextStyle onPanel{GetSysColor(COLOR_INFOTEXT), GetSysColor(COLOR_INFOBK)};
    auto label = [&](ui::Label& l, int x, int y, int lw) { add<LabelView>(l, p, x, y, lw, 14, onPanel); };

    label(ed_.LA_E_NOME, 6, 4, 200);
    edit(ed_.E_NOME, p, 6, 18, 250);
    label(ed_.LA_E_TIPO, 264, 4, 200);
    choice(ed_.E_TIPO, ed_.E_TIPO1, app::TaskEditor::E_TIPO1_DROPDOWN, p, 264, 18, 210);
    label(ed_.LA_E_HORA, 482, 4, 60);
    add<HourEditView>(ed_.E_HORA, p, 482, 18, 50, 21);

    label(ed_.LA_E_PERIODO, 6, 44, 200);
    choice(ed_.E_PERIODO, ed_.E_PERIODO1, app::TaskEditor::E_PERIODO1_DROPDOWN, p, 6, 58, 250);
    label(ed_.LA_E_MSG, 264, 44, 300);
    edit(ed_.E_MSG, p, 264, 58, 350);

    label(ed_.LA_E_ULTEXEC, 6, 88, 72);
    edit(form_.E_ULTEXEC, p, 80, 84, 130);
    add<CheckBoxView>(ed_.CB_PAUSE, p, 220, 86, 110, 18, onPanel);
    add<ButtonView>(form_.runNowButton, p, 340, 83, 130, 23);
    add<ButtonView>(form_.BU_REAGENDAR, p, 476, 83, 100, 23);
    return panel;
}

}  // namespace

void buildTarefasPage(app::MainForm& form, Panel& page, const KeepView& keep) {
    dialogs().setOwner(GetAncestor(page.hwnd(), GA_ROOT));
    form.setDialogs(&dialogs());

    Builder b(form, keep);
    HWND p = page.hwnd();
    RECT rc;
    GetClientRect(p, &rc);
    const int w = std::max(640, unscaled(rc.right)), h = std::max(420, unscaled(rc.bottom));
    b.toolbar(p);
    GridOptions editable;
    editable.editable = true;
    auto* grid = b.add<GridView>(form.GRID, p, 4, kToolbarHeight + 2, kGridWidth, h - kToolbarHeight - 6, editable);
    PanelView* general = b.general(p, w - kEditorLeft - 4);
    auto* types = b.add<PagesView>(form.editor().pages.PC_TIPO, p, kEditorLeft, kPagesTop, w - kEditorLeft - 4,
                                   h - kPagesTop - 4);
    buildTypePages(form, *types, keep);

    page.onSize = [grid, general, types](int pw, int ph) {
        const int right = std::max(kEditorLeft + 200, pw - 4);
        grid->move(4, kToolbarHeight + 2, kGridWidth, std::max(40, ph - kToolbarHeight - 6));
        general->move(kEditorLeft, kToolbarHeight + 2, right - kEditorLeft, kGeneralHeight);
        types->move(kEditorLeft, kPagesTop, right - kEditorLeft, std::max(60, ph - kPagesTop - 4));
    };
}

}  // namespace tarvex::win32
