#pragma once
// What the scheduler needs from the rest of the main window: run one task, and
// save the task being edited. The executor and the editor fill these in.

namespace tarvex::tasks {

class TaskRunner {
public:
    virtual ~TaskRunner() = default;
    // EXECUTANDO(row): runs the task in that row of the task table and returns
    // when it has finished.
    virtual void EXECUTANDO(int row) = 0;
};

class EditorSave {
public:
    virtual ~EditorSave() = default;
    // BU_TAREFAS_SALVAClick: saves the edited task (its checks may refuse).
    virtual void BU_TAREFAS_SALVAClick() = 0;
};

}  // namespace tarvex::tasks
