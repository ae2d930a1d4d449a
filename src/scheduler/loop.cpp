#include "scheduler/loop.h"

#include "lib/datetime.h"
#include "lib/routines.h"
#include "platform/operator.h"
#include "scheduler/period_rules.h"
#include "tasks/columns.h"

namespace tarvex::scheduler {

namespace {
constexpr int kRetryMs = 10'000;
}

Loop::Loop(LoopLinks links, Agenda& agenda, Agenda::Tell tell)
    : c_(links), agenda_(agenda), tell_(std::move(tell)) {}

bool Loop::stillDue(int row) const {
    const tasks::TaskTable& g = c_.table;
    if (row < 1 || row >= g.rowCount()) return false;
    TaskTiming t{g.cell(col::TIPO, row), g.cell(col::PERIODO, row), g.cell(col::ULTIMA_EXEC, row),
                 g.cell(col::HORA, row)};
    return dueToday(t, today());
}

void Loop::timerFired() {
    if (c_.state.stopped) return;   // stays armed, fires again after its interval
    if (c_.state.running) {
        // A run started by "Executar agora" is still going: try again shortly
        // rather than start a second run inside it.
        c_.timer.start(kRetryMs);
        return;
    }
    c_.timer.stop();
    if (const int row = armedRow(); runner_ && row) runner_->run(c_.table.idAt(row));
    platform::op().processMessages();
    agenda_.compute();
}

// The table may have changed since the agenda armed its task: rows moved,
// emptied or added, the task run by hand, made inactive or given another hour.
// Only the armed task, still due and still at the hour it was armed for, runs;
// otherwise the agenda chooses again.
int Loop::armedRow() const {
    const int row = c_.table.rowOf(c_.state.armed);
    if (row < 1 || !stillDue(row)) return 0;
    return trim(c_.table.cell(col::HORA, row)) == c_.state.armedHour ? row : 0;
}

void Loop::supervisorFired() {
    c_.supervisor.start(kSupervisorMs);
    if (c_.state.running || c_.state.stopped) return;
    agenda_.compute();
}

void Loop::setStopped(bool stop) {
    tasks::ScheduleState& s = c_.state;
    if (s.running) {
        // The running task goes on: a stop does not happen (the window shows the
        // box unchecked again), a resume is taken up when the run ends.
        if (stop && tell_) tell_("Times executando.   Não pode parar agora.");
        if (!stop) s.stopped = false;
        s.changed();
        return;
    }
    if (stop == s.stopped) return;
    s.stopped = stop;
    if (stop) {
        c_.timer.stop();
        s.nextName.clear();
        s.nextHour.clear();
        s.nextWait.clear();
        showStopped();
        return;
    }
    resume();
}

void Loop::resume() {
    c_.state.trayHint = "Tarvex em Espera";
    c_.state.status = "Tarvex em Espera";
    c_.state.changed();
    agenda_.compute();
}

void Loop::showStopped() {
    c_.state.trayHint = "Tarvex Parado";
    c_.state.status = "Tarvex PARADO";
    c_.state.changed();
}

void Loop::runNow(tasks::TaskId task) {
    tasks::ScheduleState& s = c_.state;
    if (s.running) {
        if (tell_) tell_("Já existe uma tarefa em execução. Aguarde o fim dela para executar outra.");
        return;
    }
    const bool wasStopped = s.stopped;
    if (editor_) editor_->saveTask();
    if (runner_) runner_->run(task);
    if (s.running) return;
    // The end of a run shows the waiting look: a schedule still stopped shows so
    // again, and one the operator resumed during the run resumes now.
    if (s.stopped) {
        showStopped();
    } else if (wasStopped) {
        resume();
    }
}

}  // namespace tarvex::scheduler
