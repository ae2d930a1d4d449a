#pragma once
// The scheduler loop: the one-shot timer, the supervisor, stop and resume, and a
// run the operator starts by hand.
#include "platform/timer.h"
#include "scheduler/agenda.h"
#include "tasks/schedule_state.h"
#include "tasks/task_runner.h"

namespace tarvex::scheduler {

using tasks::EditorSave;
using tasks::TaskRunner;

// The supervisor's period: the agenda is computed again at least this often.
inline constexpr int kSupervisorMs = 600'000;

struct LoopLinks {
    tasks::TaskTable& table;
    tasks::ScheduleState& state;
    platform::Timer& timer;        // armed by the agenda for its next task
    platform::Timer& supervisor;   // fires every kSupervisorMs
};

class Loop {
public:
    // `tell` gives the operator a text; the window decides how.
    Loop(LoopLinks links, Agenda& agenda, Agenda::Tell tell);

    // Set when the executor and the editor exist; without them nothing runs or saves.
    void setRunner(TaskRunner* runner) { runner_ = runner; }
    void setEditor(EditorSave* editor) { editor_ = editor; }

    void timerFired();
    void supervisorFired();
    // The operator stops (true) or resumes (false) the schedule. A stop is
    // refused while a task runs; a resume then waits for the run's end.
    void setStopped(bool stop);
    // "Executar agora": the editor's task is saved and run at once.
    void runNow(tasks::TaskId task);

private:
    bool stillDue(int row) const;
    int armedRow() const;
    void showStopped();
    void resume();

    LoopLinks c_;
    Agenda& agenda_;
    Agenda::Tell tell_;
    TaskRunner* runner_ = nullptr;
    EditorSave* editor_ = nullptr;
};

}  // namespace tarvex::scheduler
