#pragma once
// The cover page's today grid GRID_C: one row per task the agenda marked due.
#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::app {

// Rebuilds the cover ("Tarefa", "Hora", "Nome", "Último resultado") from the
// "S/N EXE" column of the task table, sorted by hour, always ending with one empty row.
void showCover(const tasks::TaskTable& table, ui::Grid& cover);

}  // namespace tarvex::app
