// The task list's commands: moving the current task, deleting it, adding rows;
// "Simular"; and the editor's controls as a window binds them.
#include "app/editor.h"

#include "app/dry_run.h"
#include "lib/routines.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"

namespace tarvex::app {

// The tasks trade rows and keep their identities: what is kept about a task
// (armed as next, retries, a pen-drive wait) follows it.
void TaskEditor::exchange(int a, int b) { links_.table.swapRows(a, b); }

void TaskEditor::moveTo(int row) {
    links_.GRID.setRow(row);
    gridCellSelected(links_.GRID.fixedCols, row);
    tasks::numberRows(links_.table);
    links_.saveTasks();
}

// A run stamps the row it started on when it ends; moving or emptying rows under
// it would put the stamp into another task.
bool TaskEditor::rowsLocked() {
    if (!links_.running || !links_.running()) return false;
    tell("Aguarde o fim da tarefa em execução para mudar a ordem ou excluir tarefas.");
    return true;
}

void TaskEditor::moveUpClicked() {
    const int row = links_.editorRow();
    if (row < 2 || row >= links_.table.rowCount() || rowsLocked() || !leaveRow()) return;
    exchange(row - 1, row);
    moveTo(row - 1);
}

// Row 0 holds the titles: a current row of 0 (nothing selected yet) moves nothing.
void TaskEditor::moveDownClicked() {
    const int row = links_.editorRow();
    if (row < 1 || row >= links_.table.rowCount() - 1 || rowsLocked() || !leaveRow()) return;
    exchange(row, row + 1);
    moveTo(row + 1);
}

void TaskEditor::moveUpFiveClicked() {
    for (int i = 0; i < 5; ++i) moveUpClicked();
}

void TaskEditor::moveDownFiveClicked() {
    for (int i = 0; i < 5; ++i) moveDownClicked();
}

// The row stays as an empty slot.
void TaskEditor::deleteClicked() {
    const int row = links_.editorRow();
    if (row < 1 || row >= links_.table.rowCount() || rowsLocked()) return;
    const std::string name = trim(links_.table.cell(col::NOME, row));
    if (!services_.op.question("Mensagem do Sistema",
                               "Confirma Exclusão da tarefa " + zeroPad(row, 2) + " - " + name + " ?"))
        return;
    links_.table.clearRow(row);
    tasks::numberRows(links_.table);
    links_.saveTasks();   // a restart shows the task gone
    loadRow();            // the editor shows the emptied row, not the deleted task
}

void TaskEditor::addRowsClicked() {
    tasks::TaskTable& g = links_.table;
    // No list was loaded (the file is held): the save says why, nothing is added.
    if (g.colCount() == 0) return links_.saveTasks();
    g.setRowCount(g.rowCount() + 3);
    tasks::numberRows(g);
    links_.saveTasks();
}

// The report stays on screen without holding the scheduler: a task may run meanwhile.
void TaskEditor::simulateClicked() {
    if (!services_.shell) return;
    const int row = links_.editorRow();
    std::string text = dryRunText(links_.table, row, *services_.shell, links_.batchFolder ? links_.batchFolder() : "");
    if (changed()) text = "Os campos alterados e não salvos não entram na simulação.\r\n" + text;
    services_.op.notice("Simular", text);
}

std::vector<ui::Control*> TaskEditor::controls() {
    std::vector<ui::Control*> all{&BU_ANOTA_MAIS, &BU_TAREFA_SOBE, &BU_TAREFA_SOBE5, &BU_TAREFA_DESCE,
                                  &BU_TAREFA_DESCE5, &BU_MONTAR, &BU_EXCLUI, &BU_TAREFAS_SALVA, &BU_SIMULAR,
                                  &PA_GERAL, &LA_E_NOME, &E_NOME, &LA_E_TIPO, &E_TIPO1, &E_TIPO,
                                  &LA_E_PERIODO, &E_PERIODO1, &E_PERIODO, &LA_E_HORA, &E_HORA,
                                  &LA_E_MSG, &E_MSG, &LA_E_ULTEXEC, &CB_PAUSE};
    for (ui::Control* c : pages.controls()) all.push_back(c);
    return all;
}

EditLook TaskEditor::look(const ui::Edit& edit) const {
    if (&edit == &E_NOME) return {false, true, 0, {}};
    if (&edit == &E_HORA) return {false, false, 5, {}};
    return pages.look(edit);
}

}  // namespace tarvex::app
