#include "scheduler/loop.h"

#include "lib/datetime.h"
#include "lib/mrqr.h"
#include "platform/operator.h"
#include "scheduler/period_rules.h"
#include "tasks/columns.h"

namespace tarvex::scheduler {

namespace {
constexpr int kRetryMs = 10'000;
}

Loop::Loop(LoopControls controls, LoopState state, Agenda& agenda, Agenda::Tell tell)
    : c_(controls), s_(state), agenda_(agenda), tell_(std::move(tell)) {}

bool Loop::stillDue(int row) const {
    const tasks::TaskTable& g = c_.table;
    if (row < 1 || row >= g.rowCount()) return false;
    TaskTiming t{g.cell(col::TIPO, row), g.cell(col::PERIODO, row), g.cell(col::ULTIMA_EXEC, row),
                 g.cell(col::HORA, row)};
    return dueToday(t, today());
}

void Loop::TIMER1Timer() {
    if (c_.CB_PARAR.checked()) return;   // stays armed, fires again after its interval
    if (c_.CB_EXECUTANDO.checked()) {
        // A run started by "Executar agora" is still going: try again shortly
        // rather than start a second run inside it.
        c_.TIMER1.setInterval(kRetryMs);
        return;
    }
    c_.TIMER1.setTimerEnabled(false);
    if (const int row = armedRow(); runner_ && row) runner_->run(c_.table.idAt(row));
    platform::op().processMessages();
    agenda_.BU_PROXIMOClick();
}

// The table may have changed since the agenda armed its task: rows moved,
// emptied or added, the task run by hand, made inactive or given another hour.
// Only the armed task, still due and still at the hour it was armed for, runs;
// otherwise the agenda chooses again.
int Loop::armedRow() const {
    const int row = c_.table.rowOf(s_.armed);
    if (row < 1 || !stillDue(row)) return 0;
    return trim(c_.table.cell(col::HORA, row)) == s_.armedHour ? row : 0;
}

void Loop::T_SUPERVISORTimer() {
    c_.T_SUPERVISOR.setTimerEnabled(false);
    c_.T_SUPERVISOR.setTimerEnabled(true);
    if (c_.CB_EXECUTANDO.checked() || c_.CB_PARAR.checked()) return;
    agenda_.BU_PROXIMOClick();
}

void Loop::CB_PARARClick() {
    if (undoingStop_) return;
    if (c_.CB_EXECUTANDO.checked()) {
        if (c_.CB_PARAR.checked()) refuseStop();
        return;
    }
    if (c_.CB_PARAR.checked()) {
        c_.TIMER1.setTimerEnabled(false);
        showStopped();
        c_.E_PROX_NOME.setText("");
        c_.E_PROX_HORA.setText("");
        c_.E_PROX_INTERVALO.setText("");
        return;
    }
    c_.TrayIcon1.setHint("Tarvex em Espera");
    c_.LA_MSG.setCaption("Tarvex em Espera");
    agenda_.BU_PROXIMOClick();
}

// The running task goes on and the stop does not happen, so the box goes back to
// unchecked; "Executando" stays as the executor set it.
void Loop::refuseStop() {
    if (tell_) tell_("Times executando.   Não pode parar agora.");
    undoingStop_ = true;
    try {
        c_.CB_PARAR.setChecked(false);
    } catch (...) {
        undoingStop_ = false;
        throw;
    }
    undoingStop_ = false;
}

void Loop::showStopped() {
    c_.TrayIcon1.setHint("Tarvex Parado");
    c_.LA_MSG.setCaption("Tarvex PARADO");
}

void Loop::BU_REAGENDARClick() {
    c_.E_ULTEXEC.setText("");
    if (s_.LINHA >= 1 && s_.LINHA < c_.table.rowCount()) c_.table.setCell(col::ULTIMA_EXEC, s_.LINHA, "");
    c_.CB_PARAR.setChecked(false);
    agenda_.BU_PROXIMOClick();
}

void Loop::T_EXECClick() {
    if (c_.CB_EXECUTANDO.checked()) {
        if (tell_) tell_("Já existe uma tarefa em execução. Aguarde o fim dela para executar outra.");
        return;
    }
    const bool wasStopped = c_.CB_PARAR.checked();
    if (editor_) editor_->BU_TAREFAS_SALVAClick();
    if (runner_) runner_->run(c_.table.idAt(s_.LINHA));
    if (c_.CB_EXECUTANDO.checked()) return;
    // The end of a run shows the waiting look: a scheduler still stopped shows so
    // again, and one the operator resumed during the run resumes now.
    if (c_.CB_PARAR.checked())
        showStopped();
    else if (wasStopped)
        CB_PARARClick();
}

void Loop::BU_ICONIZARClick() {
    c_.CB_PARAR.setChecked(false);
    c_.window.hide();
    agenda_.BU_PROXIMOClick();
}

}  // namespace tarvex::scheduler
