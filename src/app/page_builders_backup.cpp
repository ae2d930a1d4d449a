// Page T07: the database backup page's pickers and builder.
#include "app/page_builders.h"

#include "exec/batch_text.h"
#include "lib/routines.h"
#include "platform/files.h"

namespace tarvex::app {

using namespace exec;

void BackupBuilder::pickDatabaseFile() { f_.E07_ARQUIVO.setText(registry_.readGbDir5()); }

std::string BackupBuilder::browse(const std::string& initial) {
    if (auto folder = dialogs_.browseFolder(platform::FOLDER_TITLE_DESTINO, initial)) return *folder;
    return platform::dirExists(initial) ? initial : std::string();
}

void BackupBuilder::pickBackupToolFolder() { f_.E07_PASTAEXE.setText(browse(trim(f_.E07_PASTAEXE.text()))); }
void BackupBuilder::pickBackupDestination() { f_.E07_DESTINO.setText(browse(trim(f_.E07_DESTINO.text()))); }

void BackupBuilder::buildBackupLine() {
    const std::string source = f_.E07_ARQUIVO.text();
    const std::string destino = f_.E07_DESTINO.text();
    std::string line;
    try {
        line = gbakLine(f_.E07_PASTAEXE.text(), source, destino, f_.E07_EXTENSAO.text());
    } catch (const BatchRefused& refused) {
        return tell(platform::op(), refused.what());
    }
    if (!destino.empty() && !platform::dirExists(destino)) createFolders(destino);
    if (f_.E07_MEMO.lines().size() < 2)
        for (const auto& set : GBAK_SET_LINES) f_.E07_MEMO.addLine(set);
    f_.E07_MEMO.addLine(line);
}

}  // namespace tarvex::app
