// The type pages T00..T09 and T99: where each control of a page stands.
#include <algorithm>
#include <map>
#include <vector>

#include "win32/editor_fields.h"
#include "win32/editor_glyphs.h"
#include "win32/editor_view.h"
#include "win32/ui_label.h"
#include "win32/ui_list.h"
#include "win32/ui_pages.h"

namespace tarvex::win32 {

namespace {

constexpr int kMargin = 8;         // the page's edges to its fields
constexpr int kWideWidth = 600;    // a whole-width field at the page's design size
constexpr int kMemoHeight = 100;   // a memo's height before the page is sized
constexpr int kListWidth = 194;    // a list kept at the right edge
constexpr int kListGap = 6;        // between that list and the field beside it
constexpr int kBottomGap = 6;      // below a field reaching the page's bottom
constexpr int kMinHeight = 40;     // of that field, however small the page
constexpr int kDropRows = 8;       // items an open pick list shows

// How a field follows the page's size: its right edge at the page's or at the list
// beside it, kept at the right edge, its bottom at the page's.
enum Stretch : unsigned { kFixed = 0, kToRight = 1, kBesideList = 2, kAtRight = 4, kToBottom = 8 };

struct Place {
    const char* name;
    int x, y, w, h;
    unsigned stretch = kFixed;
};

Place wide(const char* name, int y, int h = 21) { return {name, kMargin, y, kWideWidth, h, kToRight}; }
Place memo(const char* name, int y) { return {name, kMargin, y, kWideWidth, kMemoHeight, kToRight | kToBottom}; }
Place besideList(const char* name, int y) {
    return {name, kMargin, y, kWideWidth - kListWidth - kListGap, 21, kBesideList};
}
Place atRight(const char* name, int y) {
    return {name, kMargin + kWideWidth - kListWidth, y, kListWidth, 21, kAtRight};
}

// Moves a stretching field on a page whose whole-width fields end at `right`.
void follow(View& view, const Place& at, int right, int pageHeight) {
    const int x = at.stretch & kAtRight ? right - kListWidth : at.x;
    const int w = at.stretch & kToRight      ? right - at.x
                  : at.stretch & kBesideList ? right - kListWidth - kListGap - at.x
                                             : at.w;
    const int h = at.stretch & kToBottom ? std::max(kMinHeight, pageHeight - at.y - kBottomGap) : at.h;
    view.move(x, at.y, w, h);
}

const std::map<std::string, std::vector<Place>>& layout() {
    static const std::map<std::string, std::vector<Place>> pages = {
        {"T00", {{"B00_ORIGEM", 8, 24, 250, 22}, {"B00_ARQUIVO", 262, 24, 26, 22}, wide("E00_ORIGEM", 48),
                 {"B00_DESTINO", 8, 74, 250, 22}, {"B00_DEST", 262, 74, 26, 22}, wide("E00_DESTINO", 98),
                 {"LA_E00_PEN", 8, 124, 80, 14}, {"E00_PEN", 8, 138, 84, 21}, {"LA_E00_PEN_UNIDADE", 8, 161, 250, 14},
                 {"LA_E00_EXTENSAO", 100, 124, 180, 14}, {"E00_EXTENSAO", 100, 138, 160, 21},
                 {"B00_MONTA", 272, 137, 26, 23}, memo("E00_MEMO", 178)}},
        {"T01", {{"B01_ORIGEM", 8, 24, 250, 22}, wide("E01_ORIGEM", 48), {"B01_DESTINO", 8, 74, 250, 22},
                 wide("E01_DESTINO", 98), {"LA_E01_PEN", 8, 124, 80, 14}, {"E01_PEN", 8, 138, 84, 21},
                 {"LA_E01_PEN_UNIDADE", 8, 161, 250, 14},
                 {"LA_E01_EXTENSAO", 100, 124, 180, 14}, {"E01_EXTENSAO", 100, 138, 160, 21},
                 {"T01_MONTA", 272, 137, 26, 23}, memo("E01_MEMO", 178)}},
        {"T02", {{"B02_ORIGEM", 8, 24, 250, 22}, wide("E02_ORIGEM", 48), {"LA_E02_ARQUIVO", 8, 76, 300, 14},
                 {"E02_ARQUIVO", 8, 90, 300, 21}, {"LA_E02_PEN", 320, 76, 80, 14}, {"E02_PEN", 320, 90, 84, 21},
                 {"LA_E02_PEN_UNIDADE", 320, 113, 250, 14},
                 {"B02_DESTINO", 8, 118, 250, 22}, wide("E02_DESTINO", 142),
                 {"LA_E02_EXTENSAO", 8, 170, 180, 14}, {"E02_EXTENSAO", 8, 184, 160, 21}}},
        {"T03", {{"B06_EXECUTAVEL", 8, 24, 160, 22}, wide("E03_EXECUTAVEL", 48),
                 {"LA_E03_PEN", 8, 76, 80, 14}, {"E03_PEN", 8, 90, 84, 21},
                 {"LA_E03_PEN_UNIDADE", 8, 113, 250, 14}}},
        {"T04", {{"LA_E04_LIST", 8, 28, 130, 14}, {"BU_PROCESSOS", 140, 24, 90, 22},
                 {"BU_EXECUTAVEIS", 236, 24, 90, 22}, wide("E04_LIST", 50, 220), wide("T04_EXECUTAVEL", 276)}},
        {"T05", {{"T05_FUNCOES", 8, 24, 300, 100}}},
        {"T06", {{"B06_ORIGEM", 8, 24, 250, 22}, wide("E06_ORIGEM", 48), {"B06_ARQ_ORIGEM", 8, 74, 250, 22},
                 besideList("E06_ARQUIVO", 98), atRight("E06_ARQUIVO1", 98),
                 {"SpeedButton2", 8, 124, 250, 22}, besideList("E06_EXCLUIR", 148),
                 atRight("E06_EXCLUIR1", 148), {"B06_DESTINO", 8, 174, 250, 22}, wide("E06_DESTINO", 198),
                 {"B06_ARQ_DESTINO", 8, 224, 250, 22}, {"E06_ARQDEST", 8, 248, 300, 21},
                 {"LA_E06_EXTENSAO", 320, 232, 180, 14}, {"E06_EXTENSAO", 320, 248, 160, 21},
                 {"E_ZIP_LIMPAR", 8, 278, 350, 18}, {"LA_E06_MANTER", 8, 306, 130, 14},
                 {"E06_MANTER", 140, 302, 50, 21}, {"LA_E06_SENHA", 210, 306, 110, 14},
                 {"E06_SENHA", 320, 302, 150, 21}, {"E06_MOSTRAR", 480, 304, 80, 18},
                 {"LA_E06_SENHA2", 210, 332, 110, 14}, {"E06_SENHA2", 320, 328, 150, 21},
                 {"E06_SENHA_AVISO", 8, 356, 560, 14}}},
        {"T07", {{"B07_ARQUIVO", 8, 24, 360, 22}, wide("E07_ARQUIVO", 48), {"B07_PASTAEXE", 8, 74, 250, 22},
                 wide("E07_PASTAEXE", 98), {"B07_DESTINO", 8, 124, 250, 22}, wide("E07_DESTINO", 148),
                 {"LA_E07_PEN", 8, 174, 80, 14}, {"E07_PEN", 8, 188, 84, 21}, {"LA_E07_PEN_UNIDADE", 8, 211, 250, 14},
                 {"LA_E07_EXTENSAO", 100, 174, 180, 14}, {"E07_EXTENSAO", 100, 188, 160, 21},
                 {"B07_MONTA", 272, 187, 26, 23}, {"LA_E07_MANTER", 320, 174, 130, 14},
                 {"E07_MANTER", 320, 188, 50, 21}, memo("E07_MEMO", 228)}},
        {"T08", {{"B08_ORIGEM", 8, 24, 250, 22}, wide("E08_ORIGEM", 48), {"LA_E08_ARQUIVO", 8, 76, 200, 14},
                 {"E08_ARQUIVO", 8, 90, 200, 21}, {"LA_E08_SERVIDOR", 8, 118, 200, 14}, wide("E08_SERVIDOR", 132),
                 {"LA_E08_USUARIO", 8, 160, 150, 14}, {"E08_USUARIO", 8, 174, 180, 21},
                 {"LA_E08_SENHA", 200, 160, 100, 14}, {"E08_SENHA", 200, 174, 150, 21},
                 {"E08_MOSTRAR", 360, 176, 80, 18}, {"E08_SENHA_AVISO", 8, 198, 560, 14},
                 {"LA_E08_MANTER", 8, 218, 130, 14}, {"E08_MANTER", 8, 232, 50, 21},
                 {"LA_E08_LIMITE", 150, 218, 120, 14}, {"E08_LIMITE", 150, 232, 60, 21},
                 {"B08_TESTAR", 280, 231, 120, 23}, wide("E08_TESTE", 262, 16)}},
        {"T09", {memo("E09_MEMO", 24)}},
    };
    return pages;
}

Glyph glyphOf(const std::string& button) {
    if (button == "B00_ARQUIVO") return Glyph::File;
    if (button == "B00_DEST") return Glyph::Send;
    return Glyph::Build;   // the "Monta as tarefas" buttons
}

ListKind listKind(const std::string& name) {
    if (name == "T05_FUNCOES") return ListKind::Radio;
    if (name == "E04_LIST") return ListKind::List;
    return ListKind::DropDown;
}

// One page's views, made from its controls, stretched with the page.
class PageBuilder {
public:
    PageBuilder(app::MainForm& form, Panel& page, const KeepView& keep) : form_(form), page_(page), keep_(keep) {}

    void build(const std::string& name) {
        const std::string title = app::EditorPages::pageTitle(name);
        if (!title.empty())
            keep_(std::make_unique<CaptionView>(title, page_.hwnd(), 8, 4, 400, 16,
                                                TextStyle{kBlue, kFormColor, fontPoints(8, true)}));
        auto places = layout().find(name);
        if (places == layout().end()) return;
        for (ui::Control* c : form_.editor().pages.pageControls(name))
            for (const Place& at : places->second)
                if (c->name() == at.name) place(*c, at);
        page_.onSize = [stretch = stretch_](int w, int h) {
            const int right = std::max(kMargin + kWideWidth, w - kMargin);   // where whole-width fields end
            for (const auto& [view, at] : stretch) follow(*view, at, right, h);
        };
    }

private:
    void place(ui::Control& c, const Place& at) {
        HWND p = page_.hwnd();
        std::unique_ptr<View> view;
        Place where = at;
        if (auto* b = dynamic_cast<ui::Button*>(&c)) {
            ButtonStyle style;
            if (b->caption().empty()) style.icon = glyphIcon(glyphOf(c.name()));
            view = std::make_unique<ButtonView>(*b, p, at.x, at.y, at.w, at.h, style);
        } else if (auto* l = dynamic_cast<ui::Label*>(&c)) {
            view = std::make_unique<LabelView>(*l, p, at.x, at.y, at.w, at.h);
        } else if (auto* cb = dynamic_cast<ui::CheckBox*>(&c)) {
            view = std::make_unique<CheckBoxView>(*cb, p, at.x, at.y, at.w, at.h);
        } else if (auto* list = dynamic_cast<ui::ListBox*>(&c)) {
            if (listKind(c.name()) == ListKind::DropDown) {
                // The window's height is the open list's: at a field's height it would not open.
                view = std::make_unique<PickListView>(*list, p, at.x, at.y, at.w, at.h);
                where.h = droppedHeight(view->hwnd(), kDropRows);
                view->move(at.x, at.y, at.w, where.h);
            } else view = std::make_unique<ListView>(*list, p, at.x, at.y, at.w, at.h, listKind(c.name()));
        } else if (auto* e = dynamic_cast<ui::Edit*>(&c)) {
            view = editView(*e, p, at);
        }
        if (!view) return;
        if (at.stretch != kFixed) stretch_.push_back({view.get(), where});
        keep_(std::move(view));
    }

    std::unique_ptr<View> editView(ui::Edit& e, HWND p, const Place& at) {
        if (&e == &form_.editor().pages.E00_MEMO) {
            app::MainForm* form = &form_;
            return std::make_unique<FontedMemoView>(e, p, at.x, at.y, at.w, at.h,
                                                    [form]() -> const settings::Settings& { return form->settings(); });
        }
        const app::EditLook look = form_.editor().look(e);
        return std::make_unique<EditView>(e, p, at.x, at.y, at.w, at.h,
                                          EditOptions{look.multiline, look.upperCase, look.maxLength, look.suggestions});
    }

    app::MainForm& form_;
    Panel& page_;
    const KeepView& keep_;
    std::vector<std::pair<View*, Place>> stretch_;
};

}  // namespace

void buildTypePages(app::MainForm& form, PagesView& pages, const KeepView& keep) {
    for (const auto& name : app::EditorPages::pageNames()) {
        pages.setCaption(name, app::EditorPages::pageTitle(name));
        pages.setTabVisible(name, false);   // only the current type's page shows
        PageBuilder(form, pages.page(name), keep).build(name);
    }
}

}  // namespace tarvex::win32
