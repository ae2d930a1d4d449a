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

constexpr int W = 600;        // a whole-width field, stretched with the page
constexpr int kFill = -1;     // a height reaching the page's bottom
constexpr int kBeside = 400;  // a field sharing its row with a list at the right edge
constexpr int kRight = 414;   // that list, kept at the right edge
constexpr int kListWidth = 194;
constexpr int kDropRows = 8;     // items an open pick list shows

struct Place {
    const char* name;
    int x, y, w, h;
};

const std::map<std::string, std::vector<Place>>& layout() {
    static const std::map<std::string, std::vector<Place>> pages = {
        {"T00", {{"B00_ORIGEM", 8, 24, 250, 22}, {"B00_ARQUIVO", 262, 24, 26, 22}, {"E00_ORIGEM", 8, 48, W, 21},
                 {"B00_DESTINO", 8, 74, 250, 22}, {"B00_DEST", 262, 74, 26, 22}, {"E00_DESTINO", 8, 98, W, 21},
                 {"LA_E00_PEN", 8, 124, 80, 14}, {"E00_PEN", 8, 138, 84, 21}, {"LA_E00_PEN_UNIDADE", 8, 161, 250, 14},
                 {"LA_E00_EXTENSAO", 100, 124, 180, 14}, {"E00_EXTENSAO", 100, 138, 160, 21},
                 {"B00_MONTA", 272, 137, 26, 23}, {"E00_MEMO", 8, 178, W, kFill}}},
        {"T01", {{"B01_ORIGEM", 8, 24, 250, 22}, {"E01_ORIGEM", 8, 48, W, 21}, {"B01_DESTINO", 8, 74, 250, 22},
                 {"E01_DESTINO", 8, 98, W, 21}, {"LA_E01_PEN", 8, 124, 80, 14}, {"E01_PEN", 8, 138, 84, 21},
                 {"LA_E01_PEN_UNIDADE", 8, 161, 250, 14},
                 {"LA_E01_EXTENSAO", 100, 124, 180, 14}, {"E01_EXTENSAO", 100, 138, 160, 21},
                 {"T01_MONTA", 272, 137, 26, 23}, {"E01_MEMO", 8, 178, W, kFill}}},
        {"T02", {{"B02_ORIGEM", 8, 24, 250, 22}, {"E02_ORIGEM", 8, 48, W, 21}, {"LA_E02_ARQUIVO", 8, 76, 300, 14},
                 {"E02_ARQUIVO", 8, 90, 300, 21}, {"LA_E02_PEN", 320, 76, 80, 14}, {"E02_PEN", 320, 90, 84, 21},
                 {"LA_E02_PEN_UNIDADE", 320, 113, 250, 14},
                 {"B02_DESTINO", 8, 118, 250, 22}, {"E02_DESTINO", 8, 142, W, 21},
                 {"LA_E02_EXTENSAO", 8, 170, 180, 14}, {"E02_EXTENSAO", 8, 184, 160, 21}}},
        {"T03", {{"B06_EXECUTAVEL", 8, 24, 160, 22}, {"E03_EXECUTAVEL", 8, 48, W, 21},
                 {"LA_E03_PEN", 8, 76, 80, 14}, {"E03_PEN", 8, 90, 84, 21},
                 {"LA_E03_PEN_UNIDADE", 8, 113, 250, 14}}},
        {"T04", {{"LA_E04_LIST", 8, 28, 130, 14}, {"BU_PROCESSOS", 140, 24, 90, 22},
                 {"BU_EXECUTAVEIS", 236, 24, 90, 22}, {"E04_LIST", 8, 50, W, 220}, {"T04_EXECUTAVEL", 8, 276, W, 21}}},
        {"T05", {{"T05_FUNCOES", 8, 24, 300, 100}}},
        {"T06", {{"B06_ORIGEM", 8, 24, 250, 22}, {"E06_ORIGEM", 8, 48, W, 21}, {"B06_ARQ_ORIGEM", 8, 74, 250, 22},
                 {"E06_ARQUIVO", 8, 98, kBeside, 21}, {"E06_ARQUIVO1", kRight, 98, kListWidth, 21},
                 {"SpeedButton2", 8, 124, 250, 22}, {"E06_EXCLUIR", 8, 148, kBeside, 21},
                 {"E06_EXCLUIR1", kRight, 148, kListWidth, 21}, {"B06_DESTINO", 8, 174, 250, 22}, {"E06_DESTINO", 8, 198, W, 21},
                 {"B06_ARQ_DESTINO", 8, 224, 250, 22}, {"E06_ARQDEST", 8, 248, 300, 21},
                 {"LA_E06_EXTENSAO", 320, 232, 180, 14}, {"E06_EXTENSAO", 320, 248, 160, 21},
                 {"E_ZIP_LIMPAR", 8, 278, 350, 18}, {"LA_E06_MANTER", 8, 306, 130, 14},
                 {"E06_MANTER", 140, 302, 50, 21}}},
        {"T07", {{"B07_ARQUIVO", 8, 24, 360, 22}, {"E07_ARQUIVO", 8, 48, W, 21}, {"B07_PASTAEXE", 8, 74, 250, 22},
                 {"E07_PASTAEXE", 8, 98, W, 21}, {"B07_DESTINO", 8, 124, 250, 22}, {"E07_DESTINO", 8, 148, W, 21},
                 {"LA_E07_PEN", 8, 174, 80, 14}, {"E07_PEN", 8, 188, 84, 21}, {"LA_E07_PEN_UNIDADE", 8, 211, 250, 14},
                 {"LA_E07_EXTENSAO", 100, 174, 180, 14}, {"E07_EXTENSAO", 100, 188, 160, 21},
                 {"B07_MONTA", 272, 187, 26, 23}, {"LA_E07_MANTER", 320, 174, 130, 14},
                 {"E07_MANTER", 320, 188, 50, 21}, {"E07_MEMO", 8, 228, W, kFill}}},
        {"T09", {{"E09_MEMO", 8, 24, W, kFill}}},
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
    PageBuilder(app::TF_TARVEX& form, Panel& page, const KeepView& keep) : form_(form), page_(page), keep_(keep) {}

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
            const int right = std::max(W + 8, w - 8);   // where whole-width fields end
            for (const auto& [view, at] : stretch) {
                const int x = at.x == kRight ? right - kListWidth : at.x;
                const int width = at.w == W ? right - at.x : at.w == kBeside ? right - kListWidth - 6 - at.x : at.w;
                view->move(x, at.y, width, at.h == kFill ? std::max(40, h - at.y - 6) : at.h);
            }
        };
    }

private:
    void place(ui::Control& c, const Place& at) {
        const int h = at.h == kFill ? 100 : at.h;
        HWND p = page_.hwnd();
        std::unique_ptr<View> view;
        Place where = at;
        if (auto* b = dynamic_cast<ui::Button*>(&c)) {
            ButtonStyle style;
            if (b->caption().empty()) style.icon = glyphIcon(glyphOf(c.name()));
            view = std::make_unique<ButtonView>(*b, p, at.x, at.y, at.w, h, style);
        } else if (auto* l = dynamic_cast<ui::Label*>(&c)) {
            view = std::make_unique<LabelView>(*l, p, at.x, at.y, at.w, h);
        } else if (auto* cb = dynamic_cast<ui::CheckBox*>(&c)) {
            view = std::make_unique<CheckBoxView>(*cb, p, at.x, at.y, at.w, h);
        } else if (auto* list = dynamic_cast<ui::ListBox*>(&c)) {
            if (listKind(c.name()) == ListKind::DropDown) {
                // The window's height is the open list's: at a field's height it would not open.
                view = std::make_unique<PickListView>(*list, p, at.x, at.y, at.w, h);
                where.h = droppedHeight(view->hwnd(), kDropRows);
                view->move(at.x, at.y, at.w, where.h);
            } else view = std::make_unique<ListView>(*list, p, at.x, at.y, at.w, h, listKind(c.name()));
        } else if (auto* e = dynamic_cast<ui::Edit*>(&c)) {
            view = editView(*e, p, at, h);
        }
        if (!view) return;
        if (at.w == W || at.w == kBeside || at.x == kRight || at.h == kFill) stretch_.push_back({view.get(), where});
        keep_(std::move(view));
    }

    std::unique_ptr<View> editView(ui::Edit& e, HWND p, const Place& at, int h) {
        if (&e == &form_.editor().pages.E00_MEMO) {
            app::TF_TARVEX* form = &form_;
            return std::make_unique<FontedMemoView>(e, p, at.x, at.y, at.w, h,
                                                    [form]() -> const settings::Settings& { return form->settings(); });
        }
        const app::EditLook look = form_.editor().look(e);
        return std::make_unique<EditView>(e, p, at.x, at.y, at.w, h,
                                          EditOptions{look.multiline, look.upperCase, look.maxLength, look.suggestions});
    }

    app::TF_TARVEX& form_;
    Panel& page_;
    const KeepView& keep_;
    std::vector<std::pair<View*, Place>> stretch_;
};

}  // namespace

void buildTypePages(app::TF_TARVEX& form, PagesView& pages, const KeepView& keep) {
    for (const auto& name : app::EditorPages::pageNames()) {
        pages.setCaption(name, app::EditorPages::pageTitle(name));
        pages.setTabVisible(name, false);   // only the current type's page shows
        PageBuilder(form, pages.page(name), keep).build(name);
    }
}

}  // namespace tarvex::win32
