// Console stand-in for tarvex.exe (-DTARVEX_CONSOLE_ENTRY=ON): loads the task file
// beside the executable the way the program does and prints the settings folder
// and the tasks it found. Useful to check a task file without the window.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/files.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "ui/controls.h"

namespace {

// The system's texts are Windows-1252; a console shows them right only as UTF-16.
void print(const std::string& cp1252) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(out, &mode)) {
        std::fwrite(cp1252.data(), 1, cp1252.size(), stdout);
        std::fflush(stdout);
        return;
    }
    int n = MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), wide.data(), n);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

std::string describe(const tarvex::ui::Grid& grid, int row) {
    using namespace tarvex;
    return grid.cell(col::TAREFA, row) + "  " + grid.cell(col::NOME, row) + "  [" +
           grid.cell(col::TIPO, row) + "]  [" + grid.cell(col::PERIODO, row) + "]  " +
           grid.cell(col::HORA, row) + "  " + grid.cell(col::ULTIMA_EXEC, row) + "\r\n";
}

}  // namespace

int main() {
    using namespace tarvex;
    const std::string folder = platform::exeFolder();
    print("TARVEX (console)\r\nPasta de parâmetros: " + folder + "\r\n");

    ui::Grid GRID("GRID");
    ui::Memo E_MEMO("E_MEMO");
    tasks::TaskStore store(GRID, E_MEMO, folder);
    try {
        store.BU_MONTARClick(1);
    } catch (const std::exception& e) {
        print(std::string("Erro: ") + e.what() + "\r\n");
        return 1;
    }
    print("Arquivo de tarefas: " + store.taskFilePath() + "\r\n" +
          std::to_string(GRID.rowCount() - 1) + " linha(s), " + std::to_string(GRID.colCount()) +
          " colunas\r\n");
    for (int row = 1; row < GRID.rowCount(); ++row) print(describe(GRID, row));
    return 0;
}
