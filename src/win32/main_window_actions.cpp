// The menu's own action: browsing files.
#include "win32/main_window.h"

#include <commdlg.h>

namespace tarvex::win32 {

void MainWindow::VerArquivos1Click() {
    // The filter's pairs are separated by bars; the dialog wants NULs.
    std::wstring filter = widen(
        "Todos arquivos|*.*|Arquivos CSV / TXT|*.CSV;*.TXT|Intebase / Firebird|*.FDB;*.GDB|"
        "Arquivos DB/DBF|*.DB;*.DBF|Excel|*.xls;*.xlsx");
    for (auto& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    GetOpenFileNameW(&ofn);  // browsing only: the file chosen is not used
}

}  // namespace tarvex::win32
