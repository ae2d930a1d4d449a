#pragma once
// What the scheduler needs from the rest of the main window: run one task, and
// save the task being edited. The executor and the editor fill these in.
#include "tasks/task_table.h"

namespace tarvex::tasks {

class TaskRunner {
public:
    virtual ~TaskRunner() = default;
    // Runs the task (wherever its row is now) and returns when it has finished;
    // a task no longer in the table is not run.
    virtual void run(TaskId task) = 0;
};

class EditorSave {
public:
    virtual ~EditorSave() = default;
    // saveTask: saves the edited task (its checks may refuse).
    virtual void saveTask() = 0;
};

}  // namespace tarvex::tasks
