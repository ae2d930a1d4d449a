#include "scheduler/cover.h"

#include "lib/mrqr.h"
#include "scheduler/grid_sort.h"
#include "tasks/columns.h"

namespace tarvex::scheduler {

namespace {

// "OK" with the last stamp, or the last failure; nothing for a task never run.
std::string lastResult(const ui::Grid& GRID, int row) {
    const std::string failure = trim(GRID.cell(col::ULTIMO_ERRO, row));
    if (!failure.empty()) return "ERRO " + failure;
    const std::string stamp = trim(GRID.cell(col::ULTIMA_EXEC, row));
    return stamp.empty() ? "" : "OK " + stamp;
}

}  // namespace

// The name narrower than it was, so the last result shows without scrolling.
void MONTA_CAPA(const ui::Grid& GRID, ui::Grid& GRID_C) {
    GRID_C.setColCount(4);
    GRID_C.setRowCount(2);
    GRID_C.clearRow(1);
    const char* titles[] = {"Tarefa", "Hora", "Nome", "Último resultado"};
    const int widths[] = {45, 50, 150, 170};
    for (int c = 0; c < 4; ++c) {
        GRID_C.setCell(c, 0, titles[c]);
        GRID_C.setColWidth(c, widths[c]);
    }
    for (int row = 1; row < GRID.rowCount(); ++row) {
        if (GRID.cell(col::SN_EXE, row) == "N") continue;
        const int last = GRID_C.rowCount() - 1;
        GRID_C.setCell(0, last, MRQ_ZEROS(row, 2));
        GRID_C.setCell(1, last, trim(GRID.cell(col::HORA, row)));
        GRID_C.setCell(2, last, trim(GRID.cell(col::NOME, row)));
        GRID_C.setCell(3, last, lastResult(GRID, row));
        GRID_C.setRowCount(last + 2);
        GRID_C.clearRow(last + 1);
    }
    if (GRID_C.rowCount() > 2) MRQ_GRID_ORDENA(GRID_C, 1, 1, "A", 0);
}

}  // namespace tarvex::scheduler
