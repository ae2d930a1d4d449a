#pragma once
// The day agenda (BU_PROXIMOClick): marks today's due tasks, fills the cover grid,
// chooses the next task and arms TIMER1 for it.
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/controls.h"

namespace tarvex::scheduler {

// The controls of the main window that the agenda reads and writes.
struct AgendaControls {
    ui::Grid& GRID;              // the task table
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
    int& LINHA_PROX;
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

private:
    std::vector<std::string> markDue();
    int chooseNext(std::string& bestHour) const;
    void arm(int row, const std::string& hour);
    bool hourReadable(int row, std::vector<std::string>& warnings);

    AgendaControls c_;
    AgendaState s_;
    Tell tell_;
    std::string warnedDay_;
    std::set<std::pair<int, std::string>> warned_;   // (row, hour) told today
};

}  // namespace tarvex::scheduler
