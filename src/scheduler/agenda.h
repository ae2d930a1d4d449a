#pragma once
// The day agenda (BU_PROXIMOClick): marks today's due tasks, fills the cover grid,
// chooses the next task and arms TIMER1 for it.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::scheduler {

// The controls of the main window that the agenda reads and writes.
struct AgendaControls {
    tasks::TaskTable& table;    // the task list
    ui::Grid& GRID_C;            // the cover page's today grid
    ui::CheckBox& CB_EXECUTANDO;
    ui::CheckBox& CB_PARAR;
    ui::Label& LA_MSG;
    ui::Label& LA_PROXIMO;       // computation counter
    ui::Edit& E_PROX_NOME;
    ui::Edit& E_PROX_HORA;
    ui::Edit& E_PROX_INTERVALO;
    ui::Timer& TIMER1;
    ui::Pages& PC_GERAL;
};

// Values of the main window the agenda keeps between computations.
struct AgendaState {
    tasks::TaskId& armed;        // the task TIMER1 runs
    std::string& armedHour;      // its hour when it was armed
    bool& armedOnce;             // TIMER1 armed at least once since start-up
};

// The wait before a task at `targetSecond` (of the day) starts, seen at `nowMs`
// (of the day): whole seconds to go, an overdue task as "now"; short waits become
// 30 s at the first arming and 10 s after it.
int waitSeconds(long long nowMs, int targetSecond, bool armedOnce);

class Agenda {
public:
    // `tell` shows a text to the operator: after a computation that found tasks
    // with bad hours not told yet today, one text that lists them.
    using Tell = std::function<void(const std::string&)>;
    Agenda(AgendaControls controls, AgendaState state, Tell tell);

    void BU_PROXIMOClick();
    // A run of `row` failed: the task stays due but waits before it is chosen again,
    // ten minutes after a first failure and twice as long after each further one
    // (four hours at most), so a missing drive is not retried every ten seconds.
    void deferRetry(tasks::TaskId task);
    // `task` waits for its pen drive: looked at again a minute from now, at the next
    // computation (the supervisor's, or a drive's arrival).
    void holdForDrive(tasks::TaskId task);
    // A run of `task` succeeded: its next failure waits ten minutes again.
    void clearRetry(tasks::TaskId task) { retries_.erase(task); }
    // Told at every computation: "Sem backup há N dias: NN - NOME" for each late task.
    std::function<void(const std::vector<std::string>&)> onStale;

private:
    std::vector<std::string> markDue();
    std::vector<std::string> lateTasks() const;
    int chooseNext(std::string& bestHour) const;
    void arm(int row, const std::string& hour);
    bool hourReadable(int row, std::vector<std::string>& warnings);

    AgendaControls c_;
    AgendaState s_;
    Tell tell_;
    std::string warnedDay_;
    std::set<std::pair<tasks::TaskId, std::string>> warned_;   // (task, hour) told today
    struct Retry {
        long long after;   // first minute (minuteNow) it may run again
        long long wait;    // the last wait, doubled at the next failure
    };
    std::map<tasks::TaskId, Retry> retries_;
};

}  // namespace tarvex::scheduler
