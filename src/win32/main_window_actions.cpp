// Moving between pages, the tray icon's click and the menu's own actions.
#include "win32/main_window.h"

#include <commdlg.h>
#include <shellapi.h>

namespace tarvex::win32 {

// Shows `own`, or `other` when `own` is already the page shown.
void MainWindow::toggle(const char* own, const char* other) {
    form_.PC_GERAL.show(form_.PC_GERAL.active() == own ? other : own);
}

void MainWindow::BU_CALENDClick() {
    RECT rc;
    GetClientRect(page("TS_CALEND").hwnd(), &rc);
    MoveWindow(calendar_, 0, 0, rc.right, rc.bottom, TRUE);
    toggle("TS_CALEND", "TS_TAREFAS");
}

void MainWindow::BU_TAREFASClick() { toggle("TS_TAREFAS", "TS_CAPA"); }
void MainWindow::BU_HELPClick() { toggle("TS_HELP", "TS_TAREFAS"); }
void MainWindow::BU_LOGClick() { toggle("TS_LOG", "TS_TAREFAS"); }
void MainWindow::LA_PARAMClick() { form_.PC_GERAL.show("TS_PARAM"); }
void MainWindow::SistemaClick() { form_.PC_GERAL.show("TS_SISTEMA"); }

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

void MainWindow::VALDRIN1Click() {
    ShellExecuteW(hwnd_, L"open", widen(kMakerAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void MainWindow::openLog() {
    std::string folder = form_.PASTA_PARAM();
    ShellExecuteW(hwnd_, L"open", widen(folder + "LOG_TIMER.TXT").c_str(), nullptr, widen(folder).c_str(),
                  SW_SHOWNORMAL);
}

}  // namespace tarvex::win32
