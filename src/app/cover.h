#pragma once
// The cover page's today grid GRID_C: one row per task the agenda marked due.
#include <functional>
#include <string>
#include <vector>

#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::app {

// Rebuilds the cover ("Tarefa", "Hora", "Nome", "Último resultado") from the
// "S/N EXE" column of the task table, sorted by hour, always ending with one empty row.
void showCover(const tasks::TaskTable& table, ui::Grid& cover);

// What a task shown on the cover waits for ("AGUARDANDO ..."), or empty.
using WaitOf = std::function<std::string(tasks::TaskId)>;

// Puts each waiting task's wait in its "Último resultado" cell.
void markWaiting(const tasks::TaskTable& table, ui::Grid& cover, const WaitOf& waitOf);

// The cover's list of tasks that did not run, one per line.
std::string lateText(const std::vector<std::string>& late);

}  // namespace tarvex::app
