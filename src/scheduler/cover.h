#pragma once
// The cover page's today grid GRID_C: one row per task the agenda marked due.
#include "ui/controls.h"

namespace tarvex::scheduler {

// MONTA_CAPA: rebuilds GRID_C ("Tarefa", "Hora", "Nome") from the "S/N EXE" column
// of the task table, sorted by hour, always ending with one empty row.
void MONTA_CAPA(const ui::Grid& GRID, ui::Grid& GRID_C);

}  // namespace tarvex::scheduler
