#pragma once
// What a task run needs from the program around it: the task file, the agenda,
// and the operator. The window implements it; a run never opens a box itself.
#include <string>

#include "tasks/task_table.h"

namespace tarvex::exec {

class ExecHost {
public:
    virtual ~ExecHost() = default;
    virtual void saveTasks() = 0;       // write the task file (throws FileError)
    virtual void computeAgenda() = 0;
    virtual void requestQuit() = 0;     // end the program when the run returns to the loop
    // A task's own confirmation ("Mensagem"): true lets the run go on.
    virtual bool ask(const std::string& text) = 0;
    // The confirmation before a run of `task`: Later while its question waits for
    // the operator (the run ends and the task waits; other tasks go on).
    enum class Answer { Yes, No, Later };
    virtual Answer confirmRun(tasks::TaskId task, const std::string& text) {
        (void)task;
        return ask(text) ? Answer::Yes : Answer::No;
    }
    // A message task's text, shown without waiting for the operator.
    virtual void showMessage(const std::string& text) { tell(text); }
    // A notice for the operator (the end of a copy with "Pausa", a task that cannot run).
    virtual void tell(const std::string& text) = 0;
    // A run wrote its stamp into column "Ultima Exec" of the task.
    virtual void stamped(tasks::TaskId task, const std::string& stamp) = 0;
    // A run of the task failed for `reason` (in the operator's words).
    virtual void runFailed(tasks::TaskId task, const std::string& reason) = 0;
    // The tray picture between runs: 0 at rest, 2 while a failure is unseen.
    virtual int idleTrayImage() const = 0;
    // The task cannot run yet: its pen drive `pen` (letter or label) is not there.
    virtual void penWaiting(tasks::TaskId task, const std::string& pen) = 0;
    // A run's size is far from its usual one (`text` says both).
    virtual void sizeJumped(tasks::TaskId task, const std::string& text) { (void)task, (void)text; }
    // A long run's progress, shown in the status label and the tray hint until it ends.
    virtual void runProgress(const std::string& text) { (void)text; }
};

}  // namespace tarvex::exec
