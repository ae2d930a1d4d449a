// Pages T03, T04 and T06: the program, close and ZIP pages' pickers.
#include "app/page_builders.h"

#include "exec/close_program.h"
#include "lib/routines.h"

namespace tarvex::app {

using namespace exec;

void tell(platform::Operator& op, const std::string& text) { op.message(platform::appTitle(), text); }

using platform::FOLDER_TITLE;
using platform::OPEN_FILTER;

namespace {
std::string startOf(const ui::Edit& box) { return trim(box.text()).empty() ? "" : box.text(); }
}  // namespace

void pickProgram(ui::Edit& E03_EXECUTAVEL, platform::Dialogs& dialogs) {
    if (auto file = dialogs.openFile(OPEN_FILTER, startOf(E03_EXECUTAVEL))) E03_EXECUTAVEL.setText(*file);
}

void listProcessesClicked(ui::ListBox& E04_LIST, platform::Windows& windows) {
    E04_LIST.setItems(windowList(windows));
}

void processListClicked(const ui::ListBox& E04_LIST, ui::Edit& T04_EXECUTAVEL) {
    if (E04_LIST.itemIndex() >= 0) T04_EXECUTAVEL.setText(E04_LIST.selectedText());
}

void ZipPicker::pickZipSource() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E06_ORIGEM.text())))
        f_.E06_ORIGEM.setText(*folder);
}

void ZipPicker::pickZipDestination() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E06_DESTINO.text())))
        f_.E06_DESTINO.setText(*folder + "\\");
}

void ZipPicker::pickZipSourceFile() {
    if (auto file = dialogs_.openFile(OPEN_FILTER, startOf(f_.E06_ORIGEM))) f_.E06_ARQUIVO.setText(nameOf(*file));
}

void ZipPicker::pickZipArchiveName() {
    if (auto file = dialogs_.openFile(OPEN_FILTER, startOf(f_.E06_DESTINO))) f_.E06_ARQDEST.setText(nameOf(*file));
}

void ZipPicker::maskListSelected() {
    if (f_.E06_ARQUIVO1.itemIndex() >= 0) f_.E06_ARQUIVO.setText(f_.E06_ARQUIVO1.selectedText());
}

// The list's first item is empty: choosing it clears the exclusions.
void ZipPicker::excludeListClicked() {
    if (f_.E06_EXCLUIR1.itemIndex() >= 0) f_.E06_EXCLUIR.setText(f_.E06_EXCLUIR1.selectedText());
}

}  // namespace tarvex::app
