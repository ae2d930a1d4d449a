#pragma once
// The two dialogs the task pages pick paths with: the folder browser and the
// window's shared file-open dialog. The product shows the real ones; tests script them.
#include <optional>
#include <string>

namespace tarvex::platform {

// Titles of the folder browser.
inline constexpr const char* FOLDER_TITLE = "Selecionar Diretório";
inline constexpr const char* FOLDER_TITLE_DESTINO = "Selecionar Diretório de Destino";

// The shared file dialog's filter: description and pattern pairs separated by bars.
inline constexpr const char* OPEN_FILTER =
    "Todos arquivos|*.*|Arquivos CSV / TXT|*.CSV;*.TXT|Intebase / Firebird|*.FDB;*.GDB|"
    "Arquivos DB/DBF|*.DB;*.DBF|Excel|*.xls;*.xlsx";

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The folder browser. Preselects `initial` when it names an existing folder.
    // On OK the chosen folder without a trailing backslash (a drive's root as "D:\");
    // nothing on Cancel.
    virtual std::optional<std::string> browseFolder(const std::string& title, const std::string& initial) = 0;
    // The file-open dialog with `filter`, starting from `start` (a folder or a file)
    // when it is not empty. The chosen file's full path; nothing on Cancel.
    virtual std::optional<std::string> openFile(const std::string& filter, const std::string& start) = 0;
};

}  // namespace tarvex::platform
