// Pages T00, T01 and T02: the copy tasks' pickers and builders.
#include "app/page_builders.h"

#include "exec/batch_text.h"
#include "lib/routines.h"
#include "platform/files.h"

namespace tarvex::app {

using namespace exec;

using platform::FOLDER_TITLE;
using platform::OPEN_FILTER;

// ---- T00 ---------------------------------------------------------------------------

void XcopyBuilder::pickXcopySource() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E00_ORIGEM.text())))
        f_.E00_ORIGEM.setText(inQuotes(*folder));
}

void XcopyBuilder::pickXcopyFile() {
    const std::string start = trim(f_.E02_ORIGEM.text()).empty() ? "" : f_.E02_ORIGEM.text();
    auto file = dialogs_.openFile(OPEN_FILTER, start);
    if (!file) return;
    f_.E00_ORIGEM.setText(inQuotes(*file));
    f_.E00_DESTINO.setText(penFolderOfFile(*file));
}

void XcopyBuilder::penDestinationClicked() { f_.E00_DESTINO.setText(penFolderOfOrigin(f_.E00_ORIGEM.text())); }

void XcopyBuilder::pickXcopyDestination() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E00_DESTINO.text())))
        f_.E00_DESTINO.setText(inQuotes(*folder + "[EXT]\\"));
}

void XcopyBuilder::buildXcopyLines() {
    f_.E00_ORIGEM.setText(trim(f_.E00_ORIGEM.text()));
    f_.E00_DESTINO.setText(trim(f_.E00_DESTINO.text()));
    if (f_.E00_ORIGEM.text().empty()) return tell(op_, "Deve informar a pasta de ORIGEM");
    if (f_.E00_DESTINO.text().empty()) return tell(op_, "Deve informar a pasta de DESTINO");
    // No "CHCP" line: the batch is written in the code page cmd reads it in.
    try {
        f_.E00_MEMO.addLine(xcopyLine(f_.E00_ORIGEM.text(), f_.E00_DESTINO.text()));
    } catch (const BatchRefused& refused) {
        tell(op_, refused.what());
    }
}

// ---- T01 ---------------------------------------------------------------------------

void FolderCopyBuilder::pickFolderCopySource() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E01_ORIGEM.text())))
        f_.E01_ORIGEM.setText(trim(*folder));
}

void FolderCopyBuilder::pickFolderCopyDestination() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E01_DESTINO.text())))
        f_.E01_DESTINO.setText(trim(*folder + "[EXT]\\"));
}

void FolderCopyBuilder::buildFolderCopyLines() {
    f_.E01_ORIGEM.setText(trim(f_.E01_ORIGEM.text()));
    f_.E01_DESTINO.setText(trim(f_.E01_DESTINO.text()));
    const std::string& origem = f_.E01_ORIGEM.text();
    if (origem.empty()) return tell(op_, "Deve informar a pasta de ORIGEM");
    if (!platform::dirExists(replaceText(origem, "\"", ""))) return tell(op_, "Diretório de ORIGEM não existe");
    if (f_.E01_DESTINO.text().empty()) return tell(op_, "Deve informar a pasta de DESTINO");
    f_.E01_MEMO.addLine(folderPairLine(origem, f_.E01_DESTINO.text()));
}

// ---- T02 ---------------------------------------------------------------------------

void FileCopyPicker::pickFileCopySource() {
    const std::string start = trim(f_.E02_ORIGEM.text()).empty() ? "" : f_.E02_ORIGEM.text();
    auto file = dialogs_.openFile(OPEN_FILTER, start);
    if (!file) return;
    f_.E02_ORIGEM.setText(folderOf(*file));
    f_.E02_ARQUIVO.setText(nameOf(*file));
}

void FileCopyPicker::pickFileCopyDestination() {
    if (auto folder = dialogs_.browseFolder(FOLDER_TITLE, trim(f_.E02_DESTINO.text())))
        f_.E02_DESTINO.setText(*folder + "[EXT]\\");
}

}  // namespace tarvex::app
